// Test support for the debug module: a fixture that drives a debugger with a hand-set clock, a
// pinned report locale and a scratch directory, through scripts of short steps.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "capture.h"
#include "debug/debug_tree_node.h"
#include "debug/debugger_impl.h"
#include "velmira/core/error.h"
#include "velmira/debug/debugger.h"
#include "velmira/tree/tree_enum.h"

namespace velmira::testing {

/// Punctuation of a made-up region: `separator` between groups of three digits, `point` before
/// the decimals.
struct TestPunctuation : std::numpunct<char> {
  TestPunctuation(char separator, char point) : separator(separator), point(point) {}
  char do_thousands_sep() const override { return separator; }
  char do_decimal_point() const override { return point; }
  std::string do_grouping() const override { return "\3"; }
  char separator, point;
};

inline std::locale PunctuatedLocale(char separator = ',', char point = '.') {
  return std::locale(std::locale::classic(), new TestPunctuation(separator, point));
}

/// One of the sixteen Boolean settings: its name and accessors.
struct Setting {
  const char* name;
  bool (Debugger::*get)() const noexcept;
  void (Debugger::*set)(bool) noexcept;
};

#define VELMIRA_SETTING(Name, Description) {#Name, &Debugger::Name, &Debugger::Set##Name},
inline const Setting kSettings[] = {VELMIRA_DEBUGGER_SETTINGS(VELMIRA_SETTING)};
#undef VELMIRA_SETTING

/// A fresh debugger (see `Reset`) and an interpreter of scripts of space-separated steps.
/// Actions: +P Enter P; -P Leave P; aR Acquire R; rR Release R; !M and =M Assert(false / true, M);
/// oM,x,y Output M with the texts x and y; C ClearCounters; R Report; nK K unseen Enters of "P";
/// @t the clock reads t seconds; T each reading one second after the last; ~S and ^S setting S
/// off and on; Mx<name> a record's Count to 2^31-1 (x: p profile, c procedure counter,
/// r resource counter, a failed assertion); I<n> IndentLevel := n; fF SetOutputFile(F);
/// dD / xD create / remove directory D ('$' in a path is the scratch directory, '%' a NUL).
/// Probes print in braces: # "i<IndentLevel> s<call stack depth>"; P the profile records as
/// name:count:ms; K procedure counters|resource counters|failed assertions as name+count;
/// O OutputFile; FF the bytes of file F or "none".
/// Each write prints as its text and '|' (a write must be one line ending in one line feed), ten
/// or more leading spaces as "<n>"; an `Error` prints "<E#>".
class DebuggerScript : public VelmiraTest {
 protected:
  DebuggerScript() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmira-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
    Reset();
  }
  ~DebuggerScript() override { std::filesystem::remove_all(dir_); }

  /// A new debugger; the scratch directory holds only "log" (contents "old\r\n"), an empty
  /// regular file "plain" and a named pipe "fifo" that nothing reads.
  void Reset() {
    debugger_ = New<Debugger>();
    impl_ = As<detail::DebuggerImpl>(debugger_);
    impl_->SetClock([this] { return ticking_ ? ++now_ : now_; });
    impl_->SetReportLocale(PunctuatedLocale());
    now_ = 0.0;
    ticking_ = false;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) remove_all(entry.path());
    std::ofstream(dir_ / "log", std::ios::binary) << "old\r\n";
    std::ofstream(dir_ / "plain", std::ios::binary);
    ::mkfifo((dir_ / "fifo").c_str(), 0600);
  }

  std::string Run(std::string_view script) {
    std::string out;
    Render(out);
    std::istringstream steps{std::string(script)};
    for (std::string step; steps >> step;) {
      try {
        Step(step, out);
      } catch (const Error& e) {
        Render(out);
        out += "<E" + std::to_string(e.Number()) + ">";
      }
      Render(out);
    }
    return out;
  }

  std::string Path(std::string text) const {
    for (char& c : text) c = c == '%' ? '\0' : c;
    if (const auto at = text.find('$'); at != std::string::npos) text.replace(at, 1, dir_);
    return text;
  }

  Ref<Debugger> debugger_;
  Ref<detail::DebuggerImpl> impl_;
  double now_ = 0.0;
  bool ticking_ = false;
  std::filesystem::path dir_;

 private:
  void Step(const std::string& step, std::string& out) {
    const char op = step[0];
    const std::string arg = step.substr(1);
    Debugger& d = *debugger_;
    if (op == '+') return d.Enter(arg);
    if (op == '-') return d.Leave(arg);
    if (op == 'a') return d.Acquire(arg);
    if (op == 'r') return d.Release(arg);
    if (op == '!' || op == '=') return d.Assert(op == '=', arg);
    if (op == 'C') return d.ClearCounters();
    if (op == 'R') return d.Report();
    if (op == 'f') return d.SetOutputFile(Path(arg));
    if (op == 'd') return void(std::filesystem::create_directory(Path(arg)));
    if (op == 'x') return void(std::filesystem::remove_all(Path(arg)));
    if (op == '@') return void(now_ = std::stod(arg));
    if (op == 'T') return void(ticking_ = true);
    if (op == 'I') return impl_->SetIndentLevel(std::stoi(arg));
    for (const Setting& s : kSettings) {
      if ((op == '~' || op == '^') && arg == s.name) return (d.*s.set)(op == '^');
    }
    if (op == 'n') {
      for (int i = std::stoi(arg); i > 0; --i) d.Enter("P");
      return void(TakeOutput());
    }
    if (op == 'o') {
      std::istringstream parts(arg);
      std::string message;
      std::getline(parts, message, ',');
      std::vector<Variant> more;
      for (std::string part; std::getline(parts, part, ',');) more.emplace_back(part);
      return d.Output(message, more);
    }
    if (op == 'M') {
      const Ref<Tree>& tree = arg[0] == 'p'   ? impl_->ProfileRecords()
                              : arg[0] == 'c' ? impl_->ProcedureCounters()
                              : arg[0] == 'r' ? impl_->ResourceCounters()
                                              : impl_->FailedAssertions();
      Ref<ITreeNode> record = tree->Item(Variant(arg.substr(1)));
      ASSERT_TRUE(record) << step;
      return static_cast<detail::DebugTreeNode*>(record.get())->SetCount(INT32_MAX);
    }
    out += "{" + Probe(op, arg) + "}";
  }

  std::string Probe(char op, const std::string& arg) {
    if (op == 'P') return Records(impl_->ProfileRecords(), true);
    if (op == 'O') {
      const std::string name = debugger_->OutputFile(), dir = dir_.string();
      return name.rfind(dir, 0) == 0 ? "$" + name.substr(dir.size()) : name;
    }
    if (op == 'F') {
      std::ifstream in(Path(arg), std::ios::binary);
      return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "none";
    }
    if (op == 'K') {
      return Records(impl_->ProcedureCounters()) + "|" + Records(impl_->ResourceCounters()) + "|" +
             Records(impl_->FailedAssertions());
    }
    int depth = 0;
    for (Ref<IStackNode> e = impl_->CallStack()->Top(); e; e = e->NextItem(0)) ++depth;
    EXPECT_EQ(op, '#') << "unknown step";
    return "i" + std::to_string(impl_->IndentLevel()) + " s" + std::to_string(depth);
  }

  /// The records of `tree` in ascending order: name and count, and milliseconds with `time`.
  static std::string Records(const Ref<Tree>& tree, bool time = false) {
    std::ostringstream text;
    const Ref<TreeEnum> walk = tree->NewEnum();
    for (Ref<ITreeNode> n = walk->NextItem(); n; n = walk->NextItem()) {
      const auto* record = static_cast<detail::DebugTreeNode*>(n.get());
      text << (text.tellp() > 0 ? " " : "") << record->Name() << (time ? ":" : "")
           << record->Count();
      if (time) text << ':' << record->Time() * 1000.0;
    }
    return text.str();
  }

  /// Appends the writes since the last call.
  void Render(std::string& out) {
    for (const std::string& w : TakeOutput()) {
      const std::size_t end = w.find('\n'), n = std::min(w.find_first_not_of(' '), end);
      out += end + 1 != w.size() ? "<raw:" + w + ">"
             : n >= 10           ? "<" + std::to_string(n) + ">" + w.substr(n, end - n) + "|"
                                 : w.substr(0, end) + "|";
    }
  }
};

}  // namespace velmira::testing
