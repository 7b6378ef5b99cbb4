#include "debug/profiler_clock.h"

#if defined(VELMIRA_HAS_TIME_STAMP_COUNTER)
#  include <cpuid.h>
#endif

namespace velmira::detail {

bool TimeStampCounter::Invariant() noexcept {
#if defined(VELMIRA_HAS_TIME_STAMP_COUNTER)
  // Extended leaf 0x80000007, EDX bit 8: the counter runs at a constant rate in every P-, C- and
  // T-state, so its ticks measure time.
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(0x80000000u, &eax, &ebx, &ecx, &edx) == 0 || eax < 0x80000007u) return false;
  if (__get_cpuid(0x80000007u, &eax, &ebx, &ecx, &edx) == 0) return false;
  return (edx & (1u << 8)) != 0;
#else
  return false;
#endif
}

}  // namespace velmira::detail
