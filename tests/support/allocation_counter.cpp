// Replaces the global allocation functions of any test program that calls AllocationCount().
#include "allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local std::int64_t allocations = 0;

void* Allocate(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace

namespace velmira::testing {
std::int64_t AllocationCount() noexcept { return allocations; }
}  // namespace velmira::testing

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
