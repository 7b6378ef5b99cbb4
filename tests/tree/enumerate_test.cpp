// Range-for over trees: continuing an enumerator, views. Every walk of the tree rows also
// compares Enumerate(tree, order) with a fresh TreeEnum (tree_test_support.h).
#include "velmira/tree/enumerate.h"

#include <gtest/gtest.h>

#include <ranges>
#include <vector>

#include "capture.h"
#include "tree_test_support.h"

namespace velmira::testing {
namespace {

class TreeEnumerate : public VelmiraTest {};

TEST_F(TreeEnumerate, ContinuesAnEnumeratorAndWorksWithViews) {
  Ref<Tree> tree = New<SplayTree>();
  for (std::int32_t key : {5, 1, 9, 3, 7}) {
    auto n = New<ClientTreeNode>();
    n->SetKey(0, key);
    tree->Add(n);
  }
  auto key = [](const Ref<ITreeNode>& n) { return n->Key(0).Int32Value(); };
  std::vector<std::int32_t> firsts;
  for (std::int32_t k : Enumerate(tree) | std::views::transform(key) | std::views::take(2)) {
    firsts.push_back(k);
  }
  EXPECT_EQ(firsts, (std::vector<std::int32_t>{1, 3}));

  Ref<TreeEnum> e = tree->NewEnum();
  e->NextItem();  // 1 is taken by hand; the range goes on from 3
  std::vector<std::int32_t> rest;
  for (const auto& n : Enumerate(e)) rest.push_back(key(n));
  EXPECT_EQ(rest, (std::vector<std::int32_t>{3, 5, 7, 9}));
  auto again = Enumerate(e);
  EXPECT_TRUE(again.begin() == again.end());  // an ended enumerator stays ended
}

}  // namespace
}  // namespace velmira::testing
