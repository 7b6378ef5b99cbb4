// Late-bound calls against direct ones, and what the live-object count costs object creation.
//
//   build/bench/bench/velmira_bench --benchmark_filter='LateBound|Direct|NewStackNode|LiveCount'
//
// - PushPop: one push and one pop of a sample element on a stack, called directly, late-bound by
//   name (each call looks the member up in the table) and late-bound by dispatch identifier
//   (looked up once, as automation clients cache identifiers).
// - NewStackNode: `New<StackNode>()` and the release of the last reference. A StackNode is two
//   counted objects (the element and its slot table), so it pays for two increments and two
//   decrements of the live-object count.
// - LiveCountPair: one relaxed increment and decrement of an atomic like the live-object count,
//   by itself. NewStackNode minus two of these is what creation would cost without the count.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>

#include "velmira/elements/stack_node.h"
#include "velmira/linear/stack.h"
#include "velmira/registry/class_factory.h"
#include "velmira/registry/invoke.h"

namespace velmira::bench {
namespace {

void BM_PushPop_Direct(benchmark::State& state) {
  Ref<Stack> stack = New<Stack>();
  Ref<IStackNode> node = New<StackNode>();
  for (auto _ : state) {
    stack->Push(node);
    benchmark::DoNotOptimize(stack->Pop());
  }
}
BENCHMARK(BM_PushPop_Direct);

void BM_PushPop_LateBoundByName(benchmark::State& state) {
  const Ref<Object> stack = CreateObject("Velmira.Stack");
  const Variant node[] = {CreateObject("Velmira.StackNode")};
  for (auto _ : state) {
    Invoke(stack, "Push", CallKind::Method, node);
    benchmark::DoNotOptimize(Invoke(stack, "Pop", CallKind::Method));
  }
}
BENCHMARK(BM_PushPop_LateBoundByName);

void BM_PushPop_LateBoundById(benchmark::State& state) {
  const Ref<Object> stack = CreateObject("Velmira.Stack");
  const Variant node[] = {CreateObject("Velmira.StackNode")};
  const std::int32_t push = GetDispatchId(stack, "Push"), pop = GetDispatchId(stack, "Pop");
  for (auto _ : state) {
    Invoke(stack, push, CallKind::Method, node);
    benchmark::DoNotOptimize(Invoke(stack, pop, CallKind::Method));
  }
}
BENCHMARK(BM_PushPop_LateBoundById);

void BM_NewStackNode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(New<StackNode>());
}
BENCHMARK(BM_NewStackNode);

std::atomic<std::int64_t> count_like_the_library{0};

void BM_LiveCountPair(benchmark::State& state) {
  for (auto _ : state) {
    count_like_the_library.fetch_add(1, std::memory_order_relaxed);
    benchmark::ClobberMemory();
    count_like_the_library.fetch_sub(1, std::memory_order_relaxed);
  }
}
BENCHMARK(BM_LiveCountPair);

}  // namespace
}  // namespace velmira::bench
