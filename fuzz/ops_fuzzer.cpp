// Fuzz target: the input is a sequence of operations over every container and a debugger; each
// step is checked against the models (results, warnings, every link), and each debugger call
// against its model's lines. Six bytes make one operation: type, operation, container, two
// element ids and a value; a type byte of 6 or 7 picks a debugger call instead.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "debugger_model.h"
#include "model_world.h"
#include "velmira/debug/debugger.h"

using namespace velmira;
using namespace velmira::reliability;

namespace {

[[noreturn]] void Mismatch(const std::string& what) {
  std::fprintf(stderr, "mismatch: %s\n", what.c_str());
  std::abort();
}

void DebuggerStep(Debugger& d, DebuggerModel& m, const std::uint8_t* p,
                  std::vector<std::string>& writes) {
  static const char* kNames[] = {"A", "B", "Init", "init", "", "x y", "Z9", "a"};
  const std::string name = kNames[p[2] % 8];
  writes.clear();
  // The same call on the debugger and on its model.
  auto both = [&](auto call) { call(d), call(m); };
  switch (p[1] % 7) {
    case 0:
      both([&](auto& x) { x.Enter(name); });
      break;
    case 1:
      both([&](auto& x) { x.Leave(name); });
      break;
    case 2:
      both([&](auto& x) { x.Acquire(name); });
      break;
    case 3:
      both([&](auto& x) { x.Release(name); });
      break;
    case 4:
      d.Assert(p[3] % 2 == 0, name);
      if (p[3] % 2) m.Assert(name);
      break;
    case 5:
      both([](auto& x) { x.ClearCounters(); });
      break;
    default:
      both([](auto& x) { x.Report(); });
      break;
  }
  if (writes.size() != m.lines.size())
    Mismatch("debugger wrote " + std::to_string(writes.size()) + " lines, model " +
             std::to_string(m.lines.size()));
  for (std::size_t i = 0; i < writes.size(); ++i) {
    const std::string& want = m.lines[i];
    const bool prefix = want.size() > 8 && want.compare(want.size() - 8, 8, " calls, ") == 0;
    if (prefix ? writes[i].compare(0, want.size(), want) != 0 : writes[i] != want + "\n") {
      Mismatch("debugger line [" + writes[i] + "], model [" + want + "]");
    }
  }
  m.lines.clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::int64_t live = LiveObjectCount();
  {
    ModelWorld world(size > 0 ? data[0] : 0);
    std::vector<std::string> writes;
    Ref<Debugger> debugger = New<Debugger>();
    DebuggerModel model;
    for (std::size_t i = 1; i + 6 <= size; i += 6) {
      const std::uint8_t* p = data + i;
      if (p[0] % 8 >= 6) {
        DebugSink previous = SetDebugOutput([&](std::string_view s) { writes.emplace_back(s); });
        DebuggerStep(*debugger, model, p, writes);
        SetDebugOutput(previous);
        continue;
      }
      const Op op = MakeOp(p[0], p[1], p[2], p[3], p[4], p[5]);
      if (std::string diff = world.Step(op); !diff.empty()) Mismatch(Describe(op) + ": " + diff);
    }
  }
  if (LiveObjectCount() != live) Mismatch("objects leaked");
  return 0;
}
