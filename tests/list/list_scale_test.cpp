// `List` and `ListEnum` allocate nothing per element and cope with chains of millions.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "client_list_node.h"
#include "scale.h"
#include "velmira/list/list.h"
#include "velmira/list/list_enum.h"

namespace velmira {
namespace {

class ListScaleTest : public testing::VelmiraTest {};

TEST_F(ListScaleTest, OperationsAllocateNothing) {
  std::vector<Ref<testing::ClientListNode>> nodes;
  for (int i = 0; i < 200; ++i) {
    nodes.push_back(New<testing::ClientListNode>());
    nodes.back()->Reset(0);  // the element's own slot storage, made up front
  }
  Ref<List> list = New<List>();
  Ref<ListEnum> e = list->NewEnum();
  const std::int64_t before = testing::AllocationCount();
  for (int i = 0; i < 100; ++i) list->Add(nodes[i]);
  for (int i = 100; i < 150; ++i) list->AddBefore(nodes[i], nodes[i - 100]);
  for (int i = 150; i < 200; ++i) list->AddAfter(nodes[i], nodes[i - 150]);
  for (std::int32_t k = 1; k <= list->Count(); k += 7) list->Item(k);
  for (int i = 0; i < 200; i += 3) list->Remove(nodes[i]);
  list->Clear();
  EXPECT_EQ(testing::AllocationCount(), before);
  EXPECT_TRUE(list->IsEmpty());

  for (const auto& n : nodes) list->Add(n);
  e = list->NewEnum();
  const std::int64_t before_walk = testing::AllocationCount();
  int steps = 0;
  for (auto n = e->NextItem(); n; n = e->NextItem()) ++steps;
  EXPECT_EQ(testing::AllocationCount(), before_walk);
  EXPECT_EQ(steps, 200);
}

/// A bare element with one set of links, for chains of millions.
class ThinListNode : public IListNode {
 public:
  Ref<IListNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<IListNode>& Value) override { next_ = Value; }
  Ref<IListNode> PrevItem(std::int32_t) override { return prev_; }
  void SetPrevItem(std::int32_t, const Ref<IListNode>& Value) override { prev_ = Value; }
  Ref<IListNode> Tag(std::int32_t) override { return tag_; }
  void SetTag(std::int32_t, const Ref<IListNode>& Value) override { tag_ = Value; }

 private:
  Ref<IListNode> next_, prev_, tag_;
};

/// Walks `list` with a new enumerator in `order`; returns the number of elements returned and
/// checks that the walk starts and ends at the expected elements.
std::int32_t Walk(const Ref<List>& list, ListEnumEnum order, const Ref<IListNode>& start,
                  const Ref<IListNode>& end) {
  auto e = list->NewEnum();
  e->SetOrder(order);
  std::int32_t steps = 0;
  Ref<IListNode> previous;
  for (auto n = e->NextItem(); n; n = e->NextItem()) {
    if (steps++ == 0) {
      EXPECT_TRUE(Is(n, start));
    }
    previous = n;
  }
  EXPECT_TRUE(Is(previous, end));
  return steps;
}

TEST_F(ListScaleTest, LongChainIsEnumeratedClearedRefilledAndReleased) {
  const std::int32_t n = testing::kLongChain;
  std::vector<Ref<IListNode>> nodes;
  nodes.reserve(n);
  for (std::int32_t i = 0; i < n; ++i) nodes.push_back(New<ThinListNode>());
  Ref<List> list = New<List>();
  for (const auto& node : nodes) list->Add(node);
  EXPECT_EQ(list->Count(), n);
  EXPECT_EQ(Walk(list, eListEnumInOrder, nodes.front(), nodes.back()), n);
  EXPECT_EQ(Walk(list, eListEnumReverseOrder, nodes.back(), nodes.front()), n);
  EXPECT_TRUE(Is(list->Item(n / 2), nodes[n / 2 - 1]));
  EXPECT_TRUE(Is(list->Item(n / 2 + 1), nodes[n / 2]));
  list->Clear();
  EXPECT_TRUE(list->IsEmpty());
  EXPECT_EQ(nodes[n / 2]->Tag(0), Nothing);
  for (const auto& node : nodes) list->Add(node);
  nodes.clear();  // the list now holds the only references
  list.reset();   // teardown clears and releases the whole chain
  ExpectSilence();
}

}  // namespace
}  // namespace velmira
