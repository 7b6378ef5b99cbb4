// Internal: `ProfilerClock`, the debugger's clock: seconds since the clock was made, read from
// the processor's time-stamp counter where it ticks at a constant rate, and from the monotonic
// clock elsewhere.
//
//   ProfilerClock clock;                  // calibrates itself for about 20 microseconds
//   double start = clock.Seconds();       // a counter read and a multiply on the usual path
//   double spent = clock.Seconds() - start;
//
// Contract: readings never decrease, and each stays within a microsecond of the monotonic clock
// however long the clock runs. The counter's rate is measured against the monotonic clock at
// creation and measured again, over the whole time since creation, every time the counter has
// advanced by as much as it had at the previous measurement (at most about a millisecond): each
// measurement also re-anchors the counter to the monotonic clock, so the error never grows past
// what one short interval at a well-known rate allows. `BasicProfilerClock` takes its two sources
// as parameters, so tests can drive it through simulated hours.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#  include <x86intrin.h>
#  define VELMIRA_HAS_TIME_STAMP_COUNTER 1
#endif

namespace velmira::detail {

/// The monotonic clock in seconds since an arbitrary origin.
struct MonotonicSeconds {
  double operator()() const noexcept {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

/// The processor's time-stamp counter, and whether it ticks at a constant rate in every power
/// state (an "invariant" counter). Without one, `Invariant` is false and the clock falls back to
/// the monotonic clock.
struct TimeStampCounter {
  static bool Invariant() noexcept;
  std::uint64_t operator()() const noexcept {
#if defined(VELMIRA_HAS_TIME_STAMP_COUNTER)
    return __rdtsc();
#else
    return 0;
#endif
  }
};

template <class Ticks, class Monotonic>
class BasicProfilerClock {
 public:
  /// A clock reading 0 now. With `use_ticks` false (or a counter that is not invariant), every
  /// reading comes from the monotonic clock.
  explicit BasicProfilerClock(Ticks ticks = {}, Monotonic monotonic = {}, bool use_ticks = true)
      : ticks_(ticks), monotonic_(monotonic), use_ticks_(use_ticks) {
    origin_seconds_ = monotonic_();
    if (use_ticks_) Calibrate();
  }

  /// Seconds since the clock was made; never less than the previous reading.
  double Seconds() noexcept {
    if (!use_ticks_) return Monotone(monotonic_() - origin_seconds_);
    const std::uint64_t now = ticks_();
    const std::uint64_t since_anchor = now - anchor_ticks_;
    if (since_anchor >= remeasure_after_) return Remeasure();
    return Monotone(anchor_seconds_ + static_cast<double>(since_anchor) * seconds_per_tick_);
  }

 private:
  /// The counter is re-anchored at least this often, in seconds.
  static constexpr double kLongestInterval = 1e-3;
  /// The first rate measurement spans this long.
  static constexpr double kFirstMeasurement = 20e-6;

  /// A monotonic reading (seconds since the origin) with the counter value at that moment, taken
  /// as the midpoint of two counter reads around it.
  struct Pair {
    double seconds;
    std::uint64_t ticks;
  };
  Pair ReadPair() noexcept {
    const std::uint64_t before = ticks_();
    const double seconds = monotonic_() - origin_seconds_;
    const std::uint64_t after = ticks_();
    return {seconds, before + (after - before) / 2};
  }

  void Calibrate() noexcept {
    const Pair origin = ReadPair();
    origin_ticks_ = origin.ticks;
    origin_offset_ = origin.seconds;
    Pair now = ReadPair();
    while (now.seconds - origin.seconds < kFirstMeasurement || now.ticks == origin.ticks) {
      now = ReadPair();
    }
    Anchor(now);
  }

  /// Measures the rate over the whole time since the origin and re-anchors at `pair`.
  void Anchor(const Pair& pair) noexcept {
    const std::uint64_t elapsed_ticks = pair.ticks - origin_ticks_;
    if (elapsed_ticks != 0) {
      seconds_per_tick_ = (pair.seconds - origin_offset_) / static_cast<double>(elapsed_ticks);
    }
    anchor_ticks_ = pair.ticks;
    anchor_seconds_ = pair.seconds;
    // The next measurement comes once the counter has moved as far again as it has since the
    // origin, so the rate's error (the monotonic clock's jitter over the whole span) times the
    // interval stays near that jitter; but no later than the longest interval.
    const double longest = kLongestInterval / std::max(seconds_per_tick_, 1e-15);
    remeasure_after_ = std::max<std::uint64_t>(
        1, std::min(elapsed_ticks, static_cast<std::uint64_t>(std::min(longest, 1e18))));
  }

  double Remeasure() noexcept {
    const Pair pair = ReadPair();
    Anchor(pair);
    return Monotone(pair.seconds);
  }

  double Monotone(double seconds) noexcept {
    if (seconds < last_) return last_;
    last_ = seconds;
    return seconds;
  }

  Ticks ticks_;
  Monotonic monotonic_;
  bool use_ticks_;
  double origin_seconds_ = 0.0;  // the monotonic clock when the clock was made
  double origin_offset_ = 0.0;   // seconds at origin_ticks_
  std::uint64_t origin_ticks_ = 0;
  std::uint64_t anchor_ticks_ = 0;
  double anchor_seconds_ = 0.0;
  double seconds_per_tick_ = 0.0;
  std::uint64_t remeasure_after_ = 1;
  double last_ = 0.0;
};

/// The debugger's clock: the time-stamp counter where it is invariant, else the monotonic clock.
class ProfilerClock : public BasicProfilerClock<TimeStampCounter, MonotonicSeconds> {
 public:
  ProfilerClock() : BasicProfilerClock({}, {}, TimeStampCounter::Invariant()) {}
};

}  // namespace velmira::detail
