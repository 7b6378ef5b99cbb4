// The cost of the C boundary: one push and one pop of a sample element through the C interface,
// by member name and by dispatch identifier. Compare with stack_benchmark (direct C++ calls) and
// bench/python_speed.py (the Python package, with a Python list as the yardstick).
#include <benchmark/benchmark.h>

#include "velmira/velmira_c.h"

namespace {

struct Fixture {
  velmira_handle stack = 0, node = 0;
  velmira_variant arg{};
  Fixture() {
    velmira_create_object("Velmira.Stack", &stack, nullptr);
    velmira_create_object("Velmira.StackNode", &node, nullptr);
    arg.kind = VELMIRA_OBJECT;
    arg.value.object = node;
  }
  ~Fixture() {
    velmira_release(node, nullptr);
    velmira_release(stack, nullptr);
  }
};

void BM_CApiPushPopByName(benchmark::State& state) {
  Fixture f;
  velmira_variant popped;
  for (auto _ : state) {
    velmira_invoke(f.stack, "Push", VELMIRA_METHOD, &f.arg, 1, nullptr, nullptr);
    velmira_invoke(f.stack, "Pop", VELMIRA_METHOD, nullptr, 0, &popped, nullptr);
    velmira_variant_clear(&popped);
  }
}
BENCHMARK(BM_CApiPushPopByName);

void BM_CApiPushPopById(benchmark::State& state) {
  Fixture f;
  std::int32_t push = 0, pop = 0;
  velmira_get_dispatch_id(f.stack, "Push", &push, nullptr);
  velmira_get_dispatch_id(f.stack, "Pop", &pop, nullptr);
  velmira_variant popped;
  for (auto _ : state) {
    velmira_invoke_id(f.stack, push, VELMIRA_METHOD, &f.arg, 1, nullptr, nullptr);
    velmira_invoke_id(f.stack, pop, VELMIRA_METHOD, nullptr, 0, &popped, nullptr);
    velmira_variant_clear(&popped);
  }
}
BENCHMARK(BM_CApiPushPopById);

}  // namespace
