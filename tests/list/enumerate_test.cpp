// Range-for over lists: reverse order and ranges algorithms. Every shape of the list rows also
// compares a range-for walk with the links (list_script.h).
#include "velmira/list/enumerate.h"

#include <gtest/gtest.h>

#include <map>
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
