// Tree walks that change order, run side by side, outlive their tree, or meet a failing element.
#include "velmira/tree/tree_enum.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "capture.h"
#include "tree_test_support.h"
#include "velmira/tree/tree.h"

namespace velmira {
namespace {

/// An element whose Left can be made to fail.
class FailingNode : public testing::ClientTreeNode {
 public:
  Ref<ITreeNode> Left(std::int32_t Index) override {
    if (fail) throw std::runtime_error("Left failed");
    return ClientTreeNode::Left(Index);
  }
  bool fail = false;
};

class TreeEnumTest : public testing::VelmiraTest {
 protected:
  Ref<Tree> Build(const std::vector<int>& keys) {
    Ref<Tree> tree = New<Tree>();
    for (int k : keys) {
      nodes_.push_back(New<FailingNode>());
      nodes_.back()->SetKey(0, k);
      tree->Add(nodes_.back());
    }
    return tree;
  }
  /// The keys of the next `count` calls, "-" standing for Nothing.
  static std::string Take(const Ref<TreeEnum>& walk, int count) {
    std::string keys;
    for (int i = 0; i < count; ++i) {
      Ref<ITreeNode> n = walk->NextItem();
      keys += (keys.empty() ? "" : " ") + (n ? testing::KeyText(n->Key(0)) : "-");
    }
    return keys;
  }
  std::vector<Ref<FailingNode>> nodes_;
};

TEST_F(TreeEnumTest, ChangingOrderMidWalkContinuesFromThePendingStack) {
  Ref<Tree> tree = Build({4, 2, 6, 1, 3, 5, 7});
  Ref<TreeEnum> walk = tree->NewEnum();
  EXPECT_EQ(walk->Order(), eTreeEnumInOrder);
  EXPECT_EQ(Take(walk, 1), "1");
  walk->SetOrder(eTreeEnumPreOrder);
  EXPECT_EQ(Take(walk, 8), "2 3 4 6 5 7 - -");
  walk = tree->NewEnum();
  walk->SetOrder(eTreeEnumPostOrder);
  EXPECT_EQ(Take(walk, 3), "1 3 2");
  for (int ignored : {0, 3, -3}) walk->SetOrder(static_cast<TreeEnumEnum>(ignored));
  EXPECT_EQ(walk->Order(), eTreeEnumPostOrder);
  walk->SetOrder(eTreeEnumInOrder);
  EXPECT_EQ(Take(walk, 5), "4 5 6 7 -");
}

TEST_F(TreeEnumTest, WalksAreIndependentAndAFinishedWalkStaysFinished) {
  Ref<Tree> tree = Build({2, 1, 3});
  Ref<TreeEnum> first = tree->NewEnum(), second = tree->NewEnum();
  EXPECT_EQ(Take(first, 2), "1 2");
  EXPECT_EQ(Take(second, 1), "1");
  EXPECT_EQ(Take(first, 2), "3 -");
  nodes_.push_back(New<FailingNode>());
  nodes_.back()->SetKey(0, 4);
  tree->Add(nodes_.back());
  EXPECT_EQ(Take(first, 1), "-");
  EXPECT_EQ(Take(second, 4), "2 3 4 -");  // added under a subtree not reached yet: visited
}

TEST_F(TreeEnumTest, PendingElementsOutliveTheTree) {
  Ref<Tree> tree = Build({2, 1, 3});
  Ref<TreeEnum> walk = tree->NewEnum();
  walk->SetOrder(eTreeEnumPreOrder);
  EXPECT_EQ(Take(walk, 1), "2");
  tree.reset();  // the tree's links are reset; the walk still holds 1 and 3
  EXPECT_EQ(Take(walk, 3), "1 3 -");
}

TEST_F(TreeEnumTest, ErrorPassesOutAndTheFlagsAlreadySetStay) {
  Ref<Tree> tree = Build({2, 1, 3});
  Ref<TreeEnum> walk = tree->NewEnum();
  nodes_[1]->fail = true;  // key 1, met during the first descent
  EXPECT_THROW(walk->NextItem(), std::runtime_error);
  nodes_[1]->fail = false;
  EXPECT_EQ(Take(walk, 3), "2 3 -");  // the root's left side was marked before the failure
}

}  // namespace
}  // namespace velmira
