// Test support: counts heap allocations made by this thread, to prove that code allocates nothing.
#pragma once

#include <cstdint>

namespace velmira::testing {

/// Allocations made through global operator new on this thread so far.
std::int64_t AllocationCount() noexcept;

}  // namespace velmira::testing
