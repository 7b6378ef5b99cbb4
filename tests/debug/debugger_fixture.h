// Test support for the debug module: a fixture holding a debugger with a hand-driven clock and a
// pinned report locale, and a scratch directory for log files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <locale>
#include <string>
#include <string_view>
#include <vector>

#include "capture.h"
#include "debug/debug_tree_node.h"
#include "debug/debugger_impl.h"
#include "velmira/debug/debugger.h"

namespace velmira::testing {

/// Punctuation of a made-up region: `separator` between groups of three digits, `point` before
/// the decimals.
class TestPunctuation : public std::numpunct<char> {
 public:
  TestPunctuation(char separator, char point) : separator_(separator), point_(point) {}

 protected:
  char do_thousands_sep() const override { return separator_; }
  char do_decimal_point() const override { return point_; }
  std::string do_grouping() const override { return "\3"; }

 private:
  char separator_, point_;
};

/// The classic locale with digits grouped by `separator` and decimals after `point`.
inline std::locale PunctuatedLocale(char separator = ',', char point = '.') {
  return std::locale(std::locale::classic(), new TestPunctuation(separator, point));
}

/// One of the sixteen Boolean settings: its name and accessors.
struct Setting {
  const char* name;
  bool (Debugger::*get)() const noexcept;
  void (Debugger::*set)(bool) noexcept;
};

inline const Setting kSettings[] = {
    {"ShowOutput", &Debugger::ShowOutput, &Debugger::SetShowOutput},
    {"ShowIndent", &Debugger::ShowIndent, &Debugger::SetShowIndent},
    {"ShowAssert", &Debugger::ShowAssert, &Debugger::SetShowAssert},
    {"ShowAssertCount", &Debugger::ShowAssertCount, &Debugger::SetShowAssertCount},
    {"ShowEnter", &Debugger::ShowEnter, &Debugger::SetShowEnter},
    {"ShowEnterCount", &Debugger::ShowEnterCount, &Debugger::SetShowEnterCount},
    {"ShowLeave", &Debugger::ShowLeave, &Debugger::SetShowLeave},
    {"ShowLeaveCount", &Debugger::ShowLeaveCount, &Debugger::SetShowLeaveCount},
    {"ShowAcquire", &Debugger::ShowAcquire, &Debugger::SetShowAcquire},
    {"ShowAcquireCount", &Debugger::ShowAcquireCount, &Debugger::SetShowAcquireCount},
    {"ShowRelease", &Debugger::ShowRelease, &Debugger::SetShowRelease},
    {"ShowReleaseCount", &Debugger::ShowReleaseCount, &Debugger::SetShowReleaseCount},
    {"ShowReport", &Debugger::ShowReport, &Debugger::SetShowReport},
    {"ShowReportZeros", &Debugger::ShowReportZeros, &Debugger::SetShowReportZeros},
    {"OutputToDebug", &Debugger::OutputToDebug, &Debugger::SetOutputToDebug},
    {"OutputToFile", &Debugger::OutputToFile, &Debugger::SetOutputToFile},
};

/// The writes a debugger makes for `lines`: each line followed by a line feed.
inline std::vector<std::string> Lines(std::initializer_list<std::string_view> lines) {
  std::vector<std::string> writes;
  for (std::string_view line : lines) writes.push_back(std::string(line) + '\n');
  return writes;
}

/// A fresh debugger whose clock reads `now_` (seconds, set by the test) and whose report formats
/// numbers with a comma between thousands and a point before the decimals.
class DebuggerTest : public VelmiraTest {
 protected:
  DebuggerTest() {
    impl_->SetClock([this] { return now_; });
    impl_->SetReportLocale(PunctuatedLocale());
  }

  /// The record named `name` in `tree`, or Nothing.
  static Ref<detail::DebugTreeNode> RecordOf(const Ref<Tree>& tree, std::string_view name) {
    Ref<ITreeNode> found = tree->Item(Variant(name));
    return Ref<detail::DebugTreeNode>(static_cast<detail::DebugTreeNode*>(found.get()));
  }
  /// The profiled time of `name` in milliseconds.
  double ProfiledMs(std::string_view name) {
    return RecordOf(impl_->ProfileRecords(), name)->Time() * 1000.0;
  }

  double now_ = 0.0;
  Ref<Debugger> debugger_ = New<Debugger>();
  Ref<detail::DebuggerImpl> impl_ = As<detail::DebuggerImpl>(debugger_);
};

/// A directory of its own under the system's temporary directory, removed with its contents.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  /// The name of `leaf` inside the directory, as text.
  std::string File(std::string_view leaf) const { return (path_ / leaf).string(); }

 private:
  std::filesystem::path path_;
};

/// The whole contents of a file, or an empty text when it does not exist.
std::string ReadFile(const std::string& name);
/// Writes `bytes` as the whole contents of a file.
void WriteFile(const std::string& name, std::string_view bytes);

}  // namespace velmira::testing
