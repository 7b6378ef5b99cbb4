// Late-bound calls against direct ones, and what the live-object count costs object creation.
//
//   build/bench/bench/velmira_bench --benchmark_filter='LateBound|Direct|NewStackNode'
//
// - PushPop: one push and one pop of a sample element on a stack, called directly, late-bound by
//   name (each call looks the member up in the table), late-bound by dispatch identifier
//   (looked up once, as automation clients cache identifiers; each call still finds the
//   target's class) and resolved once (`Resolve`, then `Call`, as a proxy keeps its members).
// - NewStackNode: `New<StackNode>()` and the release of the last reference. A StackNode is two
//   counted objects (the element and its slot table), so it changes the live-object count four
//   times. The count is per thread and costs a plain increment: compare with a build whose
//   `Object` constructor and destructor leave the count alone to see its cost.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "velmira/catalogue/class_factory.h"
#include "velmira/dispatch/invoke.h"
#include "velmira/elements/stack_node.h"
#include "velmira/linear/stack.h"

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

void BM_PushPop_LateBoundResolved(benchmark::State& state) {
  const Ref<Object> stack = CreateObject("Velmira.Stack");
  const Variant node[] = {CreateObject("Velmira.StackNode")};
  const InterfaceInfo& own = DefaultInterfaceOf(stack);
  const ResolvedMember push = Resolve(own, "Push", CallKind::Method);
  const ResolvedMember pop = Resolve(own, "Pop", CallKind::Method);
  for (auto _ : state) {
    Call(push, stack, node);
    benchmark::DoNotOptimize(Call(pop, stack));
  }
}
BENCHMARK(BM_PushPop_LateBoundResolved);

void BM_NewStackNode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(New<StackNode>());
}
BENCHMARK(BM_NewStackNode);

}  // namespace
}  // namespace velmira::bench
