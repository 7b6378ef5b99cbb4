// Stack: push and pop of 100,000 client elements, beside the yardsticks.
//
//   build/bench/bench/velmira_bench --benchmark_filter=StackPushPop
//
// Each benchmark pushes every element, then pops them all. "ns_per_element" is the time for one
// push plus one pop.
//   - Velmira: `Stack::Push` / `Stack::Pop` over client `IStackNode` elements.
//   - Floor: the same loop written by hand over a minimal virtual element interface with an
//     intrusive, plain-int-counted link: the successor test and a link set per push, a link get
//     and a link set per pop. No container can do less with a virtual get/set per link.
//   - StdList: `std::list<T*>`, which allocates a list node per push.
//   - BoostSlist: Boost.Intrusive `slist` with its default safe-mode hook (no counting, no
//     virtual calls), when Boost is available.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <list>
#include <memory>
#include <utility>
#include <vector>

#include "contestants.h"
#include "linear_peers.h"
#include "velmira/linear/stack.h"

namespace velmira::bench {
namespace {

/// Elements pushed and popped (added and taken) per iteration.
constexpr std::int64_t kElements = 100'000;

void BM_StackPushPop_Velmira(benchmark::State& state) {
  // The stack is made before its elements, as a program usually does. Placed on the heap right
  // after the last element instead, it measured about twice as slow on this machine: the
  // figures are sensitive to where the container's head lands relative to the elements.
  Ref<Stack> stack = New<Stack>();
  std::vector<Ref<IStackNode>> nodes;
  nodes.reserve(Elements(state));
  for (std::size_t i = 0; i < Elements(state); ++i) nodes.push_back(NewClientStackNode());
  for (auto _ : state) {
    for (const Ref<IStackNode>& node : nodes) stack->Push(node);
    while (Ref<IStackNode> popped = stack->Pop()) benchmark::DoNotOptimize(popped.get());
  }
  PerElement(state);
}
BENCHMARK(BM_StackPushPop_Velmira)->Arg(kElements);

void BM_StackPushPop_Floor(benchmark::State& state) {
  std::vector<FloorRef<FloorNode>> nodes;
  nodes.reserve(Elements(state));
  for (std::size_t i = 0; i < Elements(state); ++i) nodes.push_back(NewFloorNode());
  constexpr std::int32_t kSlot = 0;
  FloorRef<FloorNode> top;
  for (auto _ : state) {
    for (const FloorRef<FloorNode>& node : nodes) {
      if (!node || node->NextItem(kSlot)) std::abort();  // the checks every push makes
      node->SetNextItem(kSlot, top);
      top = node;
    }
    while (top) {
      FloorRef<FloorNode> next = top->NextItem(kSlot);
      FloorRef<FloorNode> popped = std::exchange(top, std::move(next));
      popped->SetNextItem(kSlot, FloorRef<FloorNode>());
      benchmark::DoNotOptimize(popped.get());
    }
  }
  PerElement(state);
}
BENCHMARK(BM_StackPushPop_Floor)->Arg(kElements);

// The floor's loop over the library's own element interface and `Ref`: the difference to the
// floor is the cost of the object model (virtual `Object` base, its count), the difference to
// Velmira the cost of calling the container.
void BM_StackPushPop_HandLoopOverIStackNode(benchmark::State& state) {
  std::vector<Ref<IStackNode>> nodes;
  nodes.reserve(Elements(state));
  for (std::size_t i = 0; i < Elements(state); ++i) nodes.push_back(NewClientStackNode());
  constexpr std::int32_t kSlot = 0;
  Ref<IStackNode> top;
  for (auto _ : state) {
    for (const Ref<IStackNode>& node : nodes) {
      if (!node || node->NextItem(kSlot)) std::abort();
      node->SetNextItem(kSlot, top);
      top = node;
    }
    while (top) {
      Ref<IStackNode> next = top->NextItem(kSlot);
      Ref<IStackNode> popped = std::exchange(top, std::move(next));
      popped->SetNextItem(kSlot, Nothing);
      benchmark::DoNotOptimize(popped.get());
    }
  }
  PerElement(state);
}
BENCHMARK(BM_StackPushPop_HandLoopOverIStackNode)->Arg(kElements);

void BM_StackPushPop_StdList(benchmark::State& state) {
  std::vector<std::unique_ptr<ListPayload>> payloads;
  payloads.reserve(Elements(state));
  for (std::size_t i = 0; i < Elements(state); ++i) payloads.push_back(NewListPayload());
  std::list<ListPayload*> stack;
  for (auto _ : state) {
    for (const auto& payload : payloads) stack.push_front(payload.get());
    while (!stack.empty()) {
      benchmark::DoNotOptimize(stack.front());
      stack.pop_front();
    }
  }
  PerElement(state);
}
BENCHMARK(BM_StackPushPop_StdList)->Arg(kElements);

#if defined(VELMIRA_HAVE_BOOST)
void BM_StackPushPop_BoostSlist(benchmark::State& state) {
  std::vector<std::unique_ptr<SlistElement>> elements;
  elements.reserve(Elements(state));
  for (std::size_t i = 0; i < Elements(state); ++i) elements.push_back(NewSlistElement());
  boost::intrusive::slist<SlistElement> stack;
  for (auto _ : state) {
    for (const auto& element : elements) stack.push_front(*element);
    while (!stack.empty()) {
      benchmark::DoNotOptimize(&stack.front());
      stack.pop_front();
    }
  }
  PerElement(state);
}
BENCHMARK(BM_StackPushPop_BoostSlist)->Arg(kElements);
#endif

}  // namespace
}  // namespace velmira::bench
