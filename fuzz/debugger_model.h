// Fuzz support: a model of the debugger's counters, nesting and lines (not its clock), checked
// against the library's output line by line. Profiler lines are checked up to their timings.
//
//   DebuggerModel m;  m.Enter("A");  // the lines the debugger must write, in order
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace velmira::reliability {

class DebuggerModel {
 public:
  std::vector<std::string> lines;  // expected lines since the last check, without line feeds

  void Enter(const std::string& n) {
    ++profile_[n];
    Line("Enter: " + n + " [" + std::to_string(++procedures_[n]) + "]");
    indent_ += 2;
    stack_.push_back(n);
  }
  void Leave(const std::string& n) {
    if (!stack_.empty()) {
      if (stack_.back() != n)
        Line("Debugger: Warning, Leaving procedure " + n + ", expected " + stack_.back());
      stack_.pop_back();
    }
    int& c = procedures_[n];
    if (c == 0) {
      Line("Debugger: Warning, called Leave more times than Enter for procedure " + n);
    } else {
      --c;
    }
    indent_ -= 2;
    Line("Leave: " + n + " [" + std::to_string(c) + "]");
  }
  void Acquire(const std::string& n) {
    Line("Acquire: " + n + " [" + std::to_string(++resources_[n]) + "]");
  }
  void Release(const std::string& n) {
    int& c = resources_[n];
    if (c == 0) {
      Line("Debugger: Warning, called Release more times than Acquire for resource " + n);
    } else {
      --c;
    }
    Line("Release: " + n + " [" + std::to_string(c) + "]");
  }
  void Assert(const std::string& message) {
    Line("Assertion failed: " + message + " [" + std::to_string(++failed_[message]) + "]");
  }
  void ClearCounters() {
    procedures_.clear();
    resources_.clear();
    indent_ = 0;
  }
  /// The report; a profiler line is given up to " calls, " (its timings are not modelled).
  void Report() {
    Section("Procedure Counters:", procedures_, "");
    Section("Resource Counters:", resources_, "");
    Section("Failed Assertions:", failed_, "");
    Section("Profiler Data:", profile_, " calls, ");
  }

 private:
  using Counters = std::map<std::string, int>;
  void Line(const std::string& text, int extra = 0) {
    const int indent = std::max(0, std::min(indent_, 128) + extra);
    lines.push_back(std::string(static_cast<std::size_t>(indent), ' ') + text);
  }
  /// The names are ASCII, so the map's byte order is the report's UTF-16 order.
  void Section(const char* heading, const Counters& records, const char* suffix) {
    Line(heading);
    for (const auto& [name, count] : records) Line(name + ": " + std::to_string(count) + suffix, 2);
  }

  Counters procedures_, resources_, failed_, profile_;
  std::vector<std::string> stack_;
  int indent_ = 0;
};

}  // namespace velmira::reliability
