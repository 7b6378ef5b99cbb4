// The profiler clock over simulated counters: an hour of readings, each within a microsecond of
// the monotonic clock and none below the one before.
#include "debug/profiler_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace velmira {
namespace {

/// Simulated time shared by both sources: the true time in seconds, and a counter whose rate
/// is off its nominal value and wanders (as a real crystal's does with temperature).
struct Simulation {
  double now = 1000.0;  // the monotonic clock's origin is arbitrary
  double ticks = 0.0;   // fractional ticks carried between advances
  double nominal_hz = 2.5e9;
  double drift_ppm = 40.0;   // constant offset of the counter's true rate
  double wander_ppm = 15.0;  // amplitude of a slow oscillation on top of it
  double jitter = 40e-9;     // how far a monotonic reading may be off the true time
  std::mt19937_64 random{2024};
  std::uint64_t reads = 0;

  double Rate(double t) const {
    return nominal_hz * (1 + 1e-6 * (drift_ppm + wander_ppm * std::sin(t / 300.0)));
  }
  /// Moves time on by `seconds`, the counter with it.
  void Advance(double seconds) {
    ticks += Rate(now) * seconds;
    now += seconds;
  }
};

/// Reads the clock over `hours` of simulated time at random intervals (some as short as a few
/// nanoseconds, some of seconds) and returns the largest distance to the true time.
double WorstErrorOverAnHour(Simulation& sim, bool use_counter) {
  const double origin = sim.now;
  const auto counter = [&sim] {
    sim.Advance(8e-9);  // a read takes a little time
    return static_cast<std::uint64_t>(sim.ticks);
  };
  const auto monotonic = [&sim] {
    sim.Advance(25e-9);
    ++sim.reads;
    return sim.now + std::uniform_real_distribution<double>(-sim.jitter, sim.jitter)(sim.random);
  };
  detail::BasicProfilerClock<decltype(counter), decltype(monotonic)> clock(counter, monotonic,
                                                                           use_counter);
  std::exponential_distribution<double> gap(1 / 2e-3);  // 2 ms apart on average
  std::uniform_int_distribution<int> burst(0, 999);
  double worst = 0.0, previous = -1.0;
  std::uint64_t readings = 0;
  while (sim.now - origin < 3600.0) {
    // Mostly spread out, sometimes a burst of back-to-back readings, sometimes a long pause.
    const int kind = burst(sim.random);
    sim.Advance(kind < 50 ? 0.0 : kind < 51 ? 3.0 : gap(sim.random));
    const double before = sim.now;
    const double reading = clock.Seconds();
    const double truth = (before + sim.now) / 2 - origin;
    EXPECT_GE(reading, previous) << "the clock went back after " << readings << " readings";
    if (reading < previous) break;
    previous = reading;
    worst = std::max(worst, std::abs(reading - truth));
    ++readings;
  }
  EXPECT_GT(readings, 500'000u);
  return worst;
}

TEST(ProfilerClock, CounterReadingsStayWithinAMicrosecondForAnHour) {
  for (double drift : {-300.0, 0.0, 40.0, 500.0}) {
    Simulation sim;
    sim.drift_ppm = drift;
    EXPECT_LT(WorstErrorOverAnHour(sim, true), 1e-6) << "drift " << drift << " ppm";
    // The monotonic clock is consulted about once a millisecond, not per reading.
    EXPECT_LT(sim.reads, 3600u * 1000u + 100'000u) << "drift " << drift << " ppm";
  }
}

TEST(ProfilerClock, WithoutACounterEveryReadingIsTheMonotonicClock) {
  Simulation sim;
  EXPECT_LT(WorstErrorOverAnHour(sim, false), 1e-6);
}

TEST(ProfilerClock, TheRealClockAgreesWithTheMonotonicClock) {
  detail::ProfilerClock clock;
  const detail::MonotonicSeconds monotonic;
  const double origin = monotonic() - clock.Seconds();
  double previous = 0.0;
  for (int i = 0; i < 200'000; ++i) {
    const double before = monotonic();
    const double reading = clock.Seconds();
    const double after = monotonic();
    ASSERT_GE(reading, previous);
    previous = reading;
    // Generous bounds: the machine may be busy, but a reading belongs between its neighbours.
    ASSERT_GT(reading, before - origin - 50e-6) << i;
    ASSERT_LT(reading, after - origin + 50e-6) << i;
  }
}

}  // namespace
}  // namespace velmira
