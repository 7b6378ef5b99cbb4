// Range-for over trees: Enumerate(tree, order) yields what a fresh TreeEnum's NextItem yields.
#include "velmira/tree/enumerate.h"

#include <gtest/gtest.h>

#include <random>
#include <ranges>
#include <vector>

#include "capture.h"
#include "tree_test_support.h"

namespace velmira::testing {
namespace {

class TreeEnumerate : public VelmiraTest {};

TEST_F(TreeEnumerate, EveryOrderMatchesTheEnumerator) {
  std::mt19937 rng(14);
  for (bool splay : {false, true}) {
    for (int round = 0; round < 10; ++round) {
      Ref<Tree> tree = MakeTree(splay);
      tree->SetIndex(2);
      for (int i = 0; i < 15; ++i) {
        auto n = New<ClientTreeNode>();
        n->SetKey(2, static_cast<std::int32_t>(rng() % 40));
        if (!tree->Exists(n->Key(2))) tree->Add(n);
      }
      for (TreeEnumEnum order :
           {eTreeEnumPreOrder, eTreeEnumReverseOrder, eTreeEnumInOrder, eTreeEnumPostOrder}) {
        std::vector<ITreeNode*> expected, got;
        Ref<TreeEnum> e = tree->NewEnum();
        e->SetOrder(order);
        for (auto n = e->NextItem(); n; n = e->NextItem()) expected.push_back(n.get());
        for (Ref<ITreeNode> n : Enumerate(tree, order)) got.push_back(n.get());
        EXPECT_EQ(got, expected) << "order " << order << (splay ? " splay" : " plain");
      }
    }
  }
  ExpectSilence();
}

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
