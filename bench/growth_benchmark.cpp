// How the cost per element grows with the number of elements, N = 1,000 to 1,000,000 (and
// 10,000,000 for the constant-time containers), each container beside its peers:
//
//   build/bench/bench/velmira_bench --benchmark_filter=Growth
//
//   Growth_Stack_*      push N, then pop N             std::list, Boost.Intrusive slist
//   Growth_Queue_*      add N, then take N out         std::list
//   Growth_PQueue_*     add N ascending keys, take out std::list (push_back, pop_front)
//   Growth_List_*       add N, then remove each first  std::list
//   Growth_Tree*_*      insert N random keys / look each up once / remove each: std::map,
//                       Boost.Intrusive set and splay_set
//
// Every benchmark reports ns_per_element (time of one pass divided by N), so a flat curve means
// constant time per element and a slowly rising one logarithmic time (plus cache misses once the
// elements no longer fit in the caches).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "linear_peers.h"
#include "tree_peers.h"
#include "velmira/elements/list_node.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

#if VELMIRA_HAVE_BOOST
#  include <boost/intrusive/set.hpp>
#  include <boost/intrusive/splay_set.hpp>
#endif

namespace velmira::bench {
namespace {

void PerElement(benchmark::State& state) {
  state.counters["ns_per_element"] = benchmark::Counter(
      static_cast<double>(state.range(0)) * 1e-9,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void LinearSizes(benchmark::internal::Benchmark* b) {
  for (std::int64_t n : {1'000, 10'000, 100'000, 1'000'000, 10'000'000}) b->Arg(n);
  b->Unit(benchmark::kMillisecond);
}
void TreeSizes(benchmark::internal::Benchmark* b) {
  for (std::int64_t n : {1'000, 10'000, 100'000, 1'000'000}) b->Arg(n);
  b->Unit(benchmark::kMillisecond);
}

// ---- Stack, Queue, PQueue, List -------------------------------------------------------------

void Growth_Stack_Velmira(benchmark::State& state) {
  Ref<Stack> stack = New<Stack>();
  std::vector<Ref<IStackNode>> nodes;
  for (std::int64_t i = 0; i < state.range(0); ++i) nodes.push_back(NewClientStackNode());
  for (auto _ : state) {
    for (const auto& node : nodes) stack->Push(node);
    while (Ref<IStackNode> popped = stack->Pop()) benchmark::DoNotOptimize(popped.get());
  }
  PerElement(state);
}
BENCHMARK(Growth_Stack_Velmira)->Apply(LinearSizes);

void Growth_Stack_StdList(benchmark::State& state) {
  std::vector<std::unique_ptr<ListPayload>> payloads;
  for (std::int64_t i = 0; i < state.range(0); ++i) payloads.push_back(NewListPayload());
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
  for (std::int64_t i = 0; i < state.range(0); ++i) elements.push_back(NewSlistElement());
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
  for (std::int64_t i = 0; i < state.range(0); ++i) nodes.push_back(NewClientQueueNode());
  for (auto _ : state) {
    for (const auto& node : nodes) queue->Add(node);
    while (Ref<IQueueNode> taken = queue->NextItem()) benchmark::DoNotOptimize(taken.get());
  }
  PerElement(state);
}
BENCHMARK(Growth_Queue_Velmira)->Apply(LinearSizes);

void Growth_Queue_StdList(benchmark::State& state) {
  std::vector<std::unique_ptr<ListPayload>> payloads;
  for (std::int64_t i = 0; i < state.range(0); ++i) payloads.push_back(NewListPayload());
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
  for (std::int64_t i = 0; i < state.range(0); ++i) {
    nodes.push_back(NewClientPQueueNode(static_cast<std::int32_t>(i)));
  }
  for (auto _ : state) {
    for (const auto& node : nodes) queue->Add(node);
    while (Ref<IPQueueNode> taken = queue->NextItem()) benchmark::DoNotOptimize(taken.get());
  }
  PerElement(state);
}
BENCHMARK(Growth_PQueue_Velmira)->Apply(TreeSizes);

void Growth_List_Velmira(benchmark::State& state) {
  Ref<List> list = New<List>();
  std::vector<Ref<IListNode>> nodes;
  for (std::int64_t i = 0; i < state.range(0); ++i) nodes.push_back(New<ListNode>());
  for (auto _ : state) {
    for (const auto& node : nodes) list->Add(node);
    for (const auto& node : nodes) list->Remove(node);
  }
  PerElement(state);
}
BENCHMARK(Growth_List_Velmira)->Apply(TreeSizes);

void Growth_List_StdList(benchmark::State& state) {
  std::vector<std::unique_ptr<ListPayload>> payloads;
  for (std::int64_t i = 0; i < state.range(0); ++i) payloads.push_back(NewListPayload());
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

// ---- Trees ----------------------------------------------------------------------------------

const std::vector<std::int32_t>& KeysOfSize(std::int64_t n) {
  static std::unordered_map<std::int64_t, std::vector<std::int32_t>> cache;
  auto& keys = cache[n];
  if (keys.empty()) keys = RandomIntKeys(static_cast<std::size_t>(n));
  return keys;
}

enum class Phase { kInsert, kLookUp, kRemove };

/// Times one phase over N random int keys; the other phases run untimed.
template <class Contestant, Phase kPhase>
void GrowthTree(benchmark::State& state) {
  Contestant c(KeysOfSize(state.range(0)));
  for (auto _ : state) {
    if constexpr (kPhase == Phase::kInsert) {
      c.InsertAll();
      state.PauseTiming();
      c.Clear();
      state.ResumeTiming();
    } else if constexpr (kPhase == Phase::kLookUp) {
      state.PauseTiming();
      c.InsertAll();
      state.ResumeTiming();
      benchmark::DoNotOptimize(c.LookUpAll());
      state.PauseTiming();
      c.Clear();
      state.ResumeTiming();
    } else {
      state.PauseTiming();
      c.InsertAll();
      state.ResumeTiming();
      c.RemoveAll();
    }
  }
  PerElement(state);
}

template <class TreeClass>
class VelmiraTreeOf {
 public:
  explicit VelmiraTreeOf(const std::vector<std::int32_t>& keys) : tree_(New<TreeClass>()) {
    for (std::int32_t k : keys) {
      keys_.emplace_back(k);
      nodes_.push_back(New<BenchTreeNode>(keys_.back()));
    }
  }
  ~VelmiraTreeOf() { tree_->Clear(); }
  void InsertAll() {
    for (const auto& n : nodes_) tree_->Add(n);
  }
  std::size_t LookUpAll() {
    std::size_t found = 0;
    for (const Variant& k : keys_) found += tree_->Item(k) ? 1 : 0;
    return found;
  }
  void RemoveAll() {
    for (const Variant& k : keys_) tree_->Remove(k);
  }
  void Clear() { tree_->Clear(); }

 private:
  Ref<Tree> tree_;
  std::vector<Variant> keys_;
  std::vector<Ref<ITreeNode>> nodes_;
};

class StdMapOf {
 public:
  explicit StdMapOf(const std::vector<std::int32_t>& keys) : keys_(keys) {
    for (std::int32_t k : keys) nodes_.push_back(std::make_unique<std::int32_t>(k));
  }
  void InsertAll() {
    for (const auto& n : nodes_) map_.emplace(*n, n.get());
  }
  std::size_t LookUpAll() {
    std::size_t found = 0;
    for (std::int32_t k : keys_) found += map_.find(k) != map_.end() ? 1 : 0;
    return found;
  }
  void RemoveAll() {
    for (std::int32_t k : keys_) map_.erase(k);
  }
  void Clear() { map_.clear(); }

 private:
  const std::vector<std::int32_t>& keys_;
  std::map<std::int32_t, const std::int32_t*> map_;
  std::vector<std::unique_ptr<std::int32_t>> nodes_;
};

#if VELMIRA_HAVE_BOOST
namespace bi = boost::intrusive;
template <class Hook>
struct BoostIntNode : Hook {
  explicit BoostIntNode(std::int32_t k) : key(k) {}
  std::int32_t key;
};
template <class Node>
struct IntKeyOf {
  using type = std::int32_t;
  std::int32_t operator()(const Node& n) const { return n.key; }
};

template <template <class...> class SetTemplate, class Hook>
class BoostSetOf {
  using Node = BoostIntNode<Hook>;
  using Set = SetTemplate<Node, bi::key_of_value<IntKeyOf<Node>>>;

 public:
  explicit BoostSetOf(const std::vector<std::int32_t>& keys) : keys_(keys) {
    for (std::int32_t k : keys) nodes_.push_back(std::make_unique<Node>(k));
  }
  ~BoostSetOf() { set_.clear(); }
  void InsertAll() {
    for (const auto& n : nodes_) set_.insert(*n);
  }
  std::size_t LookUpAll() {
    std::size_t found = 0;
    for (std::int32_t k : keys_) found += set_.find(k) != set_.end() ? 1 : 0;
    return found;
  }
  void RemoveAll() {
    for (std::int32_t k : keys_) set_.erase(k);
  }
  void Clear() { set_.clear(); }

 private:
  const std::vector<std::int32_t>& keys_;
  Set set_;
  std::vector<std::unique_ptr<Node>> nodes_;
};
using BoostSplaySetOf = BoostSetOf<bi::splay_set, bi::bs_set_base_hook<>>;
using BoostRbSetOf = BoostSetOf<bi::set, bi::set_base_hook<>>;
#endif

#define VELMIRA_GROWTH_TREE(Label, Contestant)               \
  BENCHMARK_TEMPLATE(GrowthTree, Contestant, Phase::kInsert) \
      ->Name("Growth_" #Label "Insert")                      \
      ->Apply(TreeSizes);                                    \
  BENCHMARK_TEMPLATE(GrowthTree, Contestant, Phase::kLookUp) \
      ->Name("Growth_" #Label "LookUp")                      \
      ->Apply(TreeSizes);                                    \
  BENCHMARK_TEMPLATE(GrowthTree, Contestant, Phase::kRemove) \
      ->Name("Growth_" #Label "Remove")                      \
      ->Apply(TreeSizes)

VELMIRA_GROWTH_TREE(SplayTree_Velmira_, VelmiraTreeOf<SplayTree>);
VELMIRA_GROWTH_TREE(Tree_Velmira_, VelmiraTreeOf<Tree>);
VELMIRA_GROWTH_TREE(Tree_StdMap_, StdMapOf);
#if VELMIRA_HAVE_BOOST
VELMIRA_GROWTH_TREE(SplayTree_BoostSplaySet_, BoostSplaySetOf);
VELMIRA_GROWTH_TREE(Tree_BoostSet_, BoostRbSetOf);
#endif

}  // namespace
}  // namespace velmira::bench
