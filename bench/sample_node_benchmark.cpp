// One per-slot link get and one link set on a sample element, called through its element
// interface as a container calls it: for the slot used last (answered at the root of the
// element's slot table) and for two slots used in turn (each call a lookup that rotates the other
// slot's record to the root). A bare element with one link and no slots is the yardstick. An
// element built from `StackLinks` is measured the same way: slot 0 alone and slots 0 and 1 in
// turn (both inline), and a slot outside the inline array (in the side table).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/elements/links.h"
#include "velmira/elements/stack_node.h"

namespace {

using velmira::IStackNode;
using velmira::New;
using velmira::Ref;
using velmira::StackLinks;
using velmira::StackNode;

/// The least an element can be: one link, whatever the slot.
class BareNode : public IStackNode {
 public:
  Ref<IStackNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<IStackNode>& Value) override { next_ = Value; }

 private:
  Ref<IStackNode> next_;
};

/// A sample element whose slots 0 and 1 both have records and link to `target`.
Ref<IStackNode> PreparedSampleNode(const Ref<IStackNode>& target) {
  Ref<IStackNode> node = New<StackNode>();
  node->SetNextItem(1, target);
  node->SetNextItem(0, target);
  benchmark::DoNotOptimize(node);  // no devirtualising: the call goes through the interface
  return node;
}

void BM_BareNodeGet(benchmark::State& state) {
  Ref<IStackNode> target = New<BareNode>();
  Ref<IStackNode> node = New<BareNode>();
  node->SetNextItem(0, target);
  benchmark::DoNotOptimize(node);  // no devirtualising: the call goes through the interface
  for (auto _ : state) benchmark::DoNotOptimize(node->NextItem(0));
}
BENCHMARK(BM_BareNodeGet);

void BM_BareNodeSet(benchmark::State& state) {
  Ref<IStackNode> target = New<BareNode>();
  Ref<IStackNode> node = New<BareNode>();
  benchmark::DoNotOptimize(node);
  for (auto _ : state) {
    node->SetNextItem(0, target);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BareNodeSet);

void BM_SampleNodeGetSlotUsedLast(benchmark::State& state) {
  Ref<IStackNode> target = New<StackNode>();
  Ref<IStackNode> node = PreparedSampleNode(target);
  for (auto _ : state) benchmark::DoNotOptimize(node->NextItem(0));
}
BENCHMARK(BM_SampleNodeGetSlotUsedLast);

void BM_SampleNodeSetSlotUsedLast(benchmark::State& state) {
  Ref<IStackNode> target = New<StackNode>();
  Ref<IStackNode> node = PreparedSampleNode(target);
  for (auto _ : state) {
    node->SetNextItem(0, target);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SampleNodeSetSlotUsedLast);

void BM_SampleNodeGetAlternatingSlots(benchmark::State& state) {
  Ref<IStackNode> target = New<StackNode>();
  Ref<IStackNode> node = PreparedSampleNode(target);
  std::int32_t slot = 0;
  for (auto _ : state) {
    slot ^= 1;
    benchmark::DoNotOptimize(node->NextItem(slot));
  }
}
BENCHMARK(BM_SampleNodeGetAlternatingSlots);

void BM_SampleNodeSetAlternatingSlots(benchmark::State& state) {
  Ref<IStackNode> target = New<StackNode>();
  Ref<IStackNode> node = PreparedSampleNode(target);
  std::int32_t slot = 0;
  for (auto _ : state) {
    slot ^= 1;
    node->SetNextItem(slot, target);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SampleNodeSetAlternatingSlots);

/// An element built from the building block, two slots inline.
class BlockNode : public StackLinks<2> {};

/// A building-block element whose slots 0, 1 and `outside` link to `target`.
Ref<IStackNode> PreparedBlockNode(const Ref<IStackNode>& target, std::int32_t outside) {
  Ref<IStackNode> node = New<BlockNode>();
  for (std::int32_t slot : {0, 1, outside}) node->SetNextItem(slot, target);
  benchmark::DoNotOptimize(node);  // no devirtualising: the call goes through the interface
  return node;
}

/// Gets in slot `first` and, when it differs, `second` in turn.
void BlockNodeGet(benchmark::State& state, std::int32_t first, std::int32_t second) {
  Ref<IStackNode> target = New<BlockNode>();
  Ref<IStackNode> node = PreparedBlockNode(target, first < 0 ? first : 7);
  std::int32_t slot = first;
  for (auto _ : state) {
    slot = slot == first ? second : first;
    benchmark::DoNotOptimize(node->NextItem(slot));
  }
}

/// Sets in slot `first` and, when it differs, `second` in turn.
void BlockNodeSet(benchmark::State& state, std::int32_t first, std::int32_t second) {
  Ref<IStackNode> target = New<BlockNode>();
  Ref<IStackNode> node = PreparedBlockNode(target, first < 0 ? first : 7);
  std::int32_t slot = first;
  for (auto _ : state) {
    slot = slot == first ? second : first;
    node->SetNextItem(slot, target);
    benchmark::ClobberMemory();
  }
}

BENCHMARK_CAPTURE(BlockNodeGet, InlineSlot, 0, 0);
BENCHMARK_CAPTURE(BlockNodeSet, InlineSlot, 0, 0);
BENCHMARK_CAPTURE(BlockNodeGet, AlternatingInlineSlots, 0, 1);
BENCHMARK_CAPTURE(BlockNodeSet, AlternatingInlineSlots, 0, 1);
BENCHMARK_CAPTURE(BlockNodeGet, OutsideSlot, -3, -3);
BENCHMARK_CAPTURE(BlockNodeSet, OutsideSlot, -3, -3);

}  // namespace
