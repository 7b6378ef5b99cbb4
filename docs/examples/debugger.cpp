// The debugger: messages, assertions, counters and a profiler report, all as lines of the
// debug output channel (and of a log file, if one is set).
#include <velmira/velmira.h>

#include <cassert>
#include <string>
#include <vector>

using namespace velmira;

int main() {
  std::vector<std::string> lines;
  DebugSink previous = SetDebugOutput([&](std::string_view line) { lines.emplace_back(line); });
  {
    Ref<Debugger> debug = New<Debugger>();  // New<NoDebugger>() accepts the same calls silently
    debug->Enter("Load");
    debug->Output("rows", 3);  // a line, then each extra value on its own indented line
    debug->Assert(1 + 1 == 3, "arithmetic holds");
    debug->Leave("Load");
    debug->SetShowReportZeros(false);
    debug->Report();
  }
  SetDebugOutput(previous);
  const std::vector<std::string> expected_start = {"Enter: Load [1]\n",
                                                   "  rows\n",
                                                   "    3\n",
                                                   "  Assertion failed: arithmetic holds [1]\n",
                                                   "Leave: Load [0]\n",
                                                   "Procedure Counters:\n",
                                                   "Resource Counters:\n",
                                                   "Failed Assertions:\n",
                                                   "  arithmetic holds: 1\n",
                                                   "Profiler Data:\n"};
  assert(lines.size() == expected_start.size() + 1);
  assert(std::equal(expected_start.begin(), expected_start.end(), lines.begin()));
  assert(lines.back().starts_with("  Load: 1 calls, "));  // then the time in ms
}
