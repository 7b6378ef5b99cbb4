// Queue and PQueue: add and take out 100,000 client elements, beside hand-written floors.
//
//   build/bench/bench/velmira_bench --benchmark_filter='QueueAddNext|PQueueAddNext'
//
// "ns_per_element" is the time for one `Add` plus one `NextItem`.
//   - Velmira: `Queue` / `PQueue` over client elements.
//   - Floor: the same steps written by hand over a minimal virtual element interface with an
//     intrusive, plain-int-counted link (see stack_benchmark.cpp).
//   - StdList: `std::list<T*>` (push_back, pop_front).
// The priority queue is filled with ascending keys, so every `Add` meets a new highest key and
// takes its constant-time path: two key reads of the new element, one of the head, one
// comparison.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <list>
#include <memory>
#include <utility>
#include <vector>

#include "contestants.h"
#include "linear_peers.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"

namespace velmira::bench {
namespace {

/// Elements pushed and popped (added and taken) per iteration.
constexpr std::int64_t kElements = 100'000;

constexpr std::int32_t kSlot = 0;

void BM_QueueAddNext_Velmira(benchmark::State& state) {
  std::vector<Ref<IQueueNode>> nodes;
  nodes.reserve(Elements(state));
  for (std::size_t i = 0; i < Elements(state); ++i) nodes.push_back(NewClientQueueNode());
  Ref<Queue> queue = New<Queue>();
  for (auto _ : state) {
    for (const Ref<IQueueNode>& node : nodes) queue->Add(node);
    while (Ref<IQueueNode> taken = queue->NextItem()) benchmark::DoNotOptimize(taken.get());
  }
  PerElement(state);
}
BENCHMARK(BM_QueueAddNext_Velmira)->Arg(kElements);

void BM_QueueAddNext_Floor(benchmark::State& state) {
  std::vector<FloorRef<FloorNode>> nodes;
  nodes.reserve(Elements(state));
  for (std::size_t i = 0; i < Elements(state); ++i) nodes.push_back(NewFloorNode());
  FloorRef<FloorNode> first, last;
  for (auto _ : state) {
    for (const FloorRef<FloorNode>& node : nodes) {
      if (!node || node->NextItem(kSlot)) std::abort();  // the checks every Add makes
      if (first) {
        last->SetNextItem(kSlot, node);
      } else {
        first = node;
      }
      last = node;
    }
    while (first) {
      FloorRef<FloorNode> taken;
      if (first.get() == last.get()) {
        last = FloorRef<FloorNode>();
        taken = std::move(first);
      } else {
        FloorRef<FloorNode> next = first->NextItem(kSlot);
        taken = std::exchange(first, std::move(next));
        taken->SetNextItem(kSlot, FloorRef<FloorNode>());
      }
      benchmark::DoNotOptimize(taken.get());
    }
  }
  PerElement(state);
}
BENCHMARK(BM_QueueAddNext_Floor)->Arg(kElements);

void BM_QueueAddNext_StdList(benchmark::State& state) {
  std::vector<std::unique_ptr<ListPayload>> payloads;
  payloads.reserve(Elements(state));
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
BENCHMARK(BM_QueueAddNext_StdList)->Arg(kElements);

void BM_PQueueAddNext_Velmira(benchmark::State& state) {
  std::vector<Ref<IPQueueNode>> nodes;
  nodes.reserve(Elements(state));
  for (std::size_t i = 0; i < Elements(state); ++i)
    nodes.push_back(NewClientPQueueNode(static_cast<std::int32_t>(i)));
  Ref<PQueue> queue = New<PQueue>();
  for (auto _ : state) {
    for (const Ref<IPQueueNode>& node : nodes) queue->Add(node);
    while (Ref<IPQueueNode> taken = queue->NextItem()) benchmark::DoNotOptimize(taken.get());
  }
  PerElement(state);
}
BENCHMARK(BM_PQueueAddNext_Velmira)->Arg(kElements);

void BM_PQueueAddNext_Floor(benchmark::State& state) {
  std::vector<FloorRef<FloorKeyedNode>> nodes;
  nodes.reserve(Elements(state));
  for (std::size_t i = 0; i < Elements(state); ++i)
    nodes.push_back(NewFloorKeyedNode(static_cast<std::int32_t>(i)));
  FloorRef<FloorKeyedNode> first;
  for (auto _ : state) {
    for (const FloorRef<FloorKeyedNode>& node : nodes) {
      if (!node || IsNull(node->Key(kSlot)) || node->NextItem(kSlot)) std::abort();
      if (!first) {
        first = node;
        continue;
      }
      const Variant key = node->Key(kSlot);
      if (!Greater(key, first->Key(kSlot))) std::abort();  // ascending keys: never taken
      node->SetNextItem(kSlot, first);
      first = node;
    }
    while (first) {
      FloorRef<FloorKeyedNode> next = first->NextItem(kSlot);
      FloorRef<FloorKeyedNode> taken = std::exchange(first, std::move(next));
      taken->SetNextItem(kSlot, FloorRef<FloorKeyedNode>());
      benchmark::DoNotOptimize(taken.get());
    }
  }
  PerElement(state);
}
BENCHMARK(BM_PQueueAddNext_Floor)->Arg(kElements);

}  // namespace
}  // namespace velmira::bench
