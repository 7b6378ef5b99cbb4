// How the cost per element grows with the number of elements, N = 1,000 to 1,000,000 (and
// 10,000,000 for the constant-time containers), each container beside its peers:
//
//   build/bench/bench/velmira_bench --benchmark_filter=Growth
//
//   Growth_Stack_*      push N, then pop N             std::list, Boost.Intrusive slist
//   Growth_Queue_*      add N, then take N out         std::list
//   Growth_PQueue_*     add N ascending keys, take out
//   Growth_List_*       add N, then remove each        std::list, Boost.Intrusive list
//   Growth_Tree*_*      insert N random keys / look each up / remove each: std::map,
//                       Boost.Intrusive splay_set, bs_set and set
//
// Velmira runs over three kinds of element: "Velmira" is a client element written against the
// interface, "Blocks" the building blocks (`StackLinks<>`, ...), "Sample" the ready-made element
// classes. Every benchmark reports ns_per_element, so a flat curve means constant time per
// element and a slowly rising one logarithmic time (plus cache misses once the elements no longer
// fit in the caches).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "contestants.h"
#include "linear_peers.h"
#include "velmira/elements/list_node.h"
#include "velmira/elements/stack_node.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"

namespace velmira::bench {
namespace {

void LinearSizes(benchmark::internal::Benchmark* b) {
  for (std::int64_t n : {1'000, 10'000, 100'000, 1'000'000, 10'000'000}) b->Arg(n);
  b->Unit(benchmark::kMillisecond);
}
void TreeSizes(benchmark::internal::Benchmark* b) {
  for (std::int64_t n : {1'000, 10'000, 100'000, 1'000'000}) b->Arg(n);
  b->Unit(benchmark::kMillisecond);
}

// ---- Stack, Queue, PQueue, List -------------------------------------------------------------

/// One untimed pass for the sample elements, which make their slot record on first use, once in
/// their life. The other kinds need none, and their timed loops stay as they were.
template <class Element, class Container, class Node>
void WarmUp(Container& container, const std::vector<Ref<Node>>& nodes) {
  if constexpr (std::is_base_of_v<SampleNode<Node>, Element>) {
    for (const auto& node : nodes) container.Add(node);
    container.Clear();
  }
}

template <class Element>
Ref<IStackNode> NewStackElement() {
  if constexpr (std::is_same_v<Element, IStackNode>) {
    return NewClientStackNode();
  } else {
    return New<Element>();
  }
}

template <class Element>
void Growth_Stack(benchmark::State& state) {
  Ref<Stack> stack = New<Stack>();
  std::vector<Ref<IStackNode>> nodes;
  for (std::size_t i = 0; i < Elements(state); ++i) nodes.push_back(NewStackElement<Element>());
  WarmUp<Element>(*stack, nodes);
  for (auto _ : state) {
    for (const auto& node : nodes) stack->Push(node);
    while (Ref<IStackNode> popped = stack->Pop()) benchmark::DoNotOptimize(popped.get());
  }
  PerElement(state);
}
BENCHMARK_TEMPLATE(Growth_Stack, IStackNode)->Name("Growth_Stack_Velmira")->Apply(LinearSizes);
BENCHMARK_TEMPLATE(Growth_Stack, BlockStackElement)
    ->Name("Growth_Stack_Blocks")
    ->Apply(LinearSizes);
BENCHMARK_TEMPLATE(Growth_Stack, StackNode)->Name("Growth_Stack_Sample")->Apply(TreeSizes);

void Growth_Stack_StdList(benchmark::State& state) {
  std::vector<std::unique_ptr<ListPayload>> payloads;
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
BENCHMARK(Growth_Stack_StdList)->Apply(LinearSizes);

#if VELMIRA_HAVE_BOOST
void Growth_Stack_BoostSlist(benchmark::State& state) {
  std::vector<std::unique_ptr<SlistElement>> elements;
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
BENCHMARK(Growth_Stack_BoostSlist)->Apply(LinearSizes);
#endif

void Growth_Queue_Velmira(benchmark::State& state) {
  Ref<Queue> queue = New<Queue>();
  std::vector<Ref<IQueueNode>> nodes;
  for (std::size_t i = 0; i < Elements(state); ++i) nodes.push_back(NewClientQueueNode());
  for (auto _ : state) {
    for (const auto& node : nodes) queue->Add(node);
    while (Ref<IQueueNode> taken = queue->NextItem()) benchmark::DoNotOptimize(taken.get());
  }
  PerElement(state);
}
BENCHMARK(Growth_Queue_Velmira)->Apply(LinearSizes);

void Growth_Queue_StdList(benchmark::State& state) {
  std::vector<std::unique_ptr<ListPayload>> payloads;
  for (std::size_t i = 0; i < Elements(state); ++i) payloads.push_back(NewListPayload());
  std::list<ListPayload*> queue;
  for (auto _ : state) {
    for (const auto& payload : payloads) queue.push_back(payload.get());
    while (!queue.empty()) {
      benchmark::DoNotOptimize(queue.front());
      queue.pop_front();
    }
  }
  PerElement(state);
}
BENCHMARK(Growth_Queue_StdList)->Apply(LinearSizes);

void Growth_PQueue_Velmira(benchmark::State& state) {
  Ref<PQueue> queue = New<PQueue>();
  std::vector<Ref<IPQueueNode>> nodes;
  for (std::size_t i = 0; i < Elements(state); ++i) {
    nodes.push_back(NewClientPQueueNode(static_cast<std::int32_t>(i)));
  }
  for (auto _ : state) {
    for (const auto& node : nodes) queue->Add(node);
    while (Ref<IPQueueNode> taken = queue->NextItem()) benchmark::DoNotOptimize(taken.get());
  }
  PerElement(state);
}
BENCHMARK(Growth_PQueue_Velmira)->Apply(TreeSizes);

/// Adds every element at the end, then removes each from the front.
template <class Element>
void Growth_List(benchmark::State& state) {
  Ref<List> list = New<List>();
  std::vector<Ref<IListNode>> nodes;
  for (std::size_t i = 0; i < Elements(state); ++i) nodes.push_back(New<Element>());
  WarmUp<Element>(*list, nodes);
  for (auto _ : state) {
    for (const auto& node : nodes) list->Add(node);
    for (const auto& node : nodes) list->Remove(node);
  }
  PerElement(state);
}
BENCHMARK_TEMPLATE(Growth_List, ListNode)->Name("Growth_List_Sample")->Apply(TreeSizes);
BENCHMARK_TEMPLATE(Growth_List, BlockListElement)->Name("Growth_List_Blocks")->Apply(TreeSizes);

void Growth_List_StdList(benchmark::State& state) {
  std::vector<std::unique_ptr<ListPayload>> payloads;
  for (std::size_t i = 0; i < Elements(state); ++i) payloads.push_back(NewListPayload());
  std::list<ListPayload*> list;
  std::vector<std::list<ListPayload*>::iterator> where(payloads.size());
  for (auto _ : state) {
    for (std::size_t i = 0; i < payloads.size(); ++i) {
      where[i] = list.insert(list.end(), payloads[i].get());
    }
    for (const auto& at : where) list.erase(at);
  }
  PerElement(state);
}
BENCHMARK(Growth_List_StdList)->Apply(TreeSizes);

#if VELMIRA_HAVE_BOOST
struct BoostListElement : boost::intrusive::list_base_hook<> {};

void Growth_List_BoostList(benchmark::State& state) {
  std::vector<std::unique_ptr<BoostListElement>> elements;
  for (std::size_t i = 0; i < Elements(state); ++i) {
    elements.push_back(std::make_unique<BoostListElement>());
  }
  boost::intrusive::list<BoostListElement> list;
  for (auto _ : state) {
    for (const auto& element : elements) list.push_back(*element);
    for (const auto& element : elements) list.erase(list.iterator_to(*element));
  }
  PerElement(state);
}
BENCHMARK(Growth_List_BoostList)->Apply(TreeSizes);
#endif

// ---- Trees ----------------------------------------------------------------------------------

#define VELMIRA_GROWTH_TREE(Label, ...)                                                            \
  BENCHMARK_TEMPLATE(Insert, __VA_ARGS__)->Name("Growth_" #Label "_Insert")->Apply(TreeSizes);     \
  BENCHMARK_TEMPLATE(LookUpEach, __VA_ARGS__)->Name("Growth_" #Label "_LookUp")->Apply(TreeSizes); \
  BENCHMARK_TEMPLATE(Remove, __VA_ARGS__)->Name("Growth_" #Label "_Remove")->Apply(TreeSizes)

using Int = std::int32_t;
VELMIRA_GROWTH_TREE(SplayTree_Velmira, VelmiraTreeOf<SplayTree, BenchTreeNode, Int>);
VELMIRA_GROWTH_TREE(SplayTree_Blocks, VelmiraTreeOf<SplayTree, BlockTreeElement, Int>);
VELMIRA_GROWTH_TREE(SplayTree_Sample, VelmiraTreeOf<SplayTree, TreeNode, Int>);
VELMIRA_GROWTH_TREE(Tree_Velmira, VelmiraTreeOf<Tree, BenchTreeNode, Int>);
VELMIRA_GROWTH_TREE(Tree_Blocks, VelmiraTreeOf<Tree, BlockTreeElement, Int>);
VELMIRA_GROWTH_TREE(Tree_StdMap, StdMapOf<Int>);
#if VELMIRA_HAVE_BOOST
VELMIRA_GROWTH_TREE(SplayTree_BoostSplaySet, BoostSplaySetOf<Int>);
VELMIRA_GROWTH_TREE(Tree_BoostBsSet, BoostBsSetOf<Int>);
VELMIRA_GROWTH_TREE(Tree_BoostSet, BoostRbSetOf<Int>);
#endif

}  // namespace
}  // namespace velmira::bench
