// Range-for over lists: Enumerate(list, order) does what a fresh ListEnum does, changes
// mid-walk included.
#include "velmira/list/enumerate.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <ranges>
#include <vector>

#include "capture.h"

namespace velmira::testing {
namespace {

class Link : public IListNode {
 public:
  Ref<IListNode> NextItem(std::int32_t i) override { return links_[{0, i}]; }
  void SetNextItem(std::int32_t i, const Ref<IListNode>& v) override { links_[{0, i}] = v; }
  Ref<IListNode> PrevItem(std::int32_t i) override { return links_[{1, i}]; }
  void SetPrevItem(std::int32_t i, const Ref<IListNode>& v) override { links_[{1, i}] = v; }
  Ref<IListNode> Tag(std::int32_t i) override { return links_[{2, i}]; }
  void SetTag(std::int32_t i, const Ref<IListNode>& v) override { links_[{2, i}] = v; }

 private:
  std::map<std::pair<int, std::int32_t>, Ref<IListNode>> links_;
};

class ListEnumerate : public VelmiraTest {};

// Two equal lists; one walked by range-for, the other by hand with the enumerator, each body
// removing some elements as it goes. Both walks see the same positions.
TEST_F(ListEnumerate, MatchesTheEnumeratorWhileTheListChanges) {
  std::mt19937 rng(14);
  for (ListEnumEnum order : {eListEnumInOrder, eListEnumReverseOrder}) {
    for (int round = 0; round < 10; ++round) {
      Ref<List> a = New<List>(), b = New<List>();
      const int n = static_cast<int>(rng() % 10);
      for (int i = 0; i < n; ++i) a->Add(New<Link>()), b->Add(New<Link>());
      std::vector<bool> remove(n + 1);
      for (auto&& r : remove) r = rng() % 3 == 0;

      std::vector<std::int32_t> by_range, by_hand;
      std::size_t step = 0;
      for (const auto& node : Enumerate(a, order)) {
        by_range.push_back(a->Count());
        if (remove[step++]) a->Remove(node);
      }
      step = 0;
      Ref<ListEnum> e = b->NewEnum();
      e->SetOrder(order);
      for (auto node = e->NextItem(); node; node = e->NextItem()) {
        by_hand.push_back(b->Count());
        if (remove[step++]) b->Remove(node);
      }
      EXPECT_EQ(by_range, by_hand);
      EXPECT_EQ(a->Count(), b->Count());
    }
  }
  ExpectSilence();
}

TEST_F(ListEnumerate, ReverseOrderAndRanges) {
  Ref<List> list = New<List>();
  std::vector<IListNode*> added;
  for (int i = 0; i < 4; ++i) {
    auto n = New<Link>();
    added.push_back(n.get());
    list->Add(n);
  }
  std::vector<IListNode*> back;
  for (auto& n : Enumerate(list, eListEnumReverseOrder)) back.push_back(n.get());
  EXPECT_EQ(back, std::vector<IListNode*>(added.rbegin(), added.rend()));
  EXPECT_EQ(std::ranges::distance(Enumerate(list)), 4);
  auto walk = Enumerate(list);
  auto third =
      std::ranges::find_if(walk, [&](const Ref<IListNode>& n) { return n.get() == added[2]; });
  ASSERT_NE(third, walk.end());
  EXPECT_EQ((*++third).get(), added[3]);
}

}  // namespace
}  // namespace velmira::testing
