// The cost of the debugger's Enter/Leave pair, beside the cost of two clock readings (of the
// monotonic clock, the yardstick, and of the debugger's own clock): with output switched off, and
// with every line going to a capturing sink. Output off, a pair outside any procedure reads the
// clock twice; nested in another procedure, four times.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "debug/profiler_clock.h"
#include "velmira/core/debug_output.h"
#include "velmira/debug/debugger.h"

namespace {

using velmira::Debugger;
using velmira::New;
using velmira::Ref;

/// Two readings of the monotonic clock, as seconds in double precision: the yardstick.
void BM_ProfilerClockTwoReadings(benchmark::State& state) {
  const auto origin = std::chrono::steady_clock::now();
  for (auto _ : state) {
    const double first =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - origin).count();
    const double second =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - origin).count();
    benchmark::DoNotOptimize(first);
    benchmark::DoNotOptimize(second);
  }
}
BENCHMARK(BM_ProfilerClockTwoReadings);

/// Two readings of the debugger's own clock (the time-stamp counter where it is invariant).
void BM_DebuggerClockTwoReadings(benchmark::State& state) {
  velmira::detail::ProfilerClock clock;
  for (auto _ : state) {
    benchmark::DoNotOptimize(clock.Seconds());
    benchmark::DoNotOptimize(clock.Seconds());
  }
}
BENCHMARK(BM_DebuggerClockTwoReadings);

/// A debugger that writes nowhere: the pair still counts, profiles and indents.
Ref<Debugger> SilentDebugger() {
  Ref<Debugger> d = New<Debugger>();
  d->SetOutputToDebug(false);
  d->SetOutputToFile(false);
  return d;
}

void BM_DebuggerEnterLeaveOutputOff(benchmark::State& state) {
  Ref<Debugger> d = SilentDebugger();
  for (auto _ : state) {
    d->Enter("Procedure");
    d->Leave("Procedure");
  }
}
BENCHMARK(BM_DebuggerEnterLeaveOutputOff);

/// The same inside an outer procedure, so that each pair also charges and resumes the caller.
void BM_DebuggerNestedEnterLeaveOutputOff(benchmark::State& state) {
  Ref<Debugger> d = SilentDebugger();
  d->Enter("Caller");
  for (auto _ : state) {
    d->Enter("Procedure");
    d->Leave("Procedure");
  }
  d->Leave("Caller");
}
BENCHMARK(BM_DebuggerNestedEnterLeaveOutputOff);

/// Every line goes to a sink that keeps a copy of the last one (as a capturing test sink would).
void BM_DebuggerEnterLeaveToCapturingSink(benchmark::State& state) {
  std::string last;
  std::size_t lines = 0;
  auto previous = velmira::SetDebugOutput([&](std::string_view line) {
    last.assign(line);
    ++lines;
  });
  Ref<Debugger> d = New<Debugger>();
  for (auto _ : state) {
    d->Enter("Procedure");
    d->Leave("Procedure");
  }
  velmira::SetDebugOutput(std::move(previous));
  benchmark::DoNotOptimize(last.data());
  state.counters["lines"] =
      benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DebuggerEnterLeaveToCapturingSink);

}  // namespace
