// Walks in the four orders, changes of order mid-walk, and walks of changing trees.
#include "velmira/tree/tree_enum.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "capture.h"
#include "tree_test_support.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

namespace velmira {
namespace {

using testing::Walk;

using TreeEnumElementTypes = ::testing::Types<testing::ClientTreeNode>;

template <class E>
class TreeEnumTest : public testing::VelmiraTest {
 protected:
  Ref<Tree> Build(const std::vector<int>& keys) {
    Ref<Tree> tree = New<Tree>();
    for (int k : keys) {
      Ref<E> n = New<E>();
      n->SetKey(0, k);
      tree->Add(n);
    }
    return tree;
  }
  /// Returns the keys of the next `count` calls, "-" standing for Nothing.
  static std::string Take(const Ref<TreeEnum>& walk, int count) {
    std::string keys;
    for (int i = 0; i < count; ++i) {
      Ref<ITreeNode> n = walk->NextItem();
      if (!keys.empty()) keys += ' ';
      keys += n ? testing::KeyText(n->Key(0)) : "-";
    }
    return keys;
  }
};
TYPED_TEST_SUITE(TreeEnumTest, TreeEnumElementTypes);

TYPED_TEST(TreeEnumTest, FourOrdersOverABalancedTree) {
  Ref<Tree> tree = this->Build({4, 2, 6, 1, 3, 5, 7});
  EXPECT_EQ(Walk(tree, eTreeEnumPreOrder), "4 2 1 3 6 5 7");
  EXPECT_EQ(Walk(tree, eTreeEnumInOrder), "1 2 3 4 5 6 7");
  EXPECT_EQ(Walk(tree, eTreeEnumReverseOrder), "7 6 5 4 3 2 1");
  EXPECT_EQ(Walk(tree, eTreeEnumPostOrder), "1 3 2 5 7 6 4");
  Ref<TreeEnum> walk = tree->NewEnum();
  EXPECT_EQ(walk->Order(), eTreeEnumInOrder);
  EXPECT_EQ(this->Take(walk, 10), "1 2 3 4 5 6 7 - - -");
}

TYPED_TEST(TreeEnumTest, FourOrdersOverChains) {
  Ref<Tree> left_chain = this->Build({3, 2, 1});
  EXPECT_EQ(Walk(left_chain, eTreeEnumInOrder), "1 2 3");
  EXPECT_EQ(Walk(left_chain, eTreeEnumReverseOrder), "3 2 1");
  EXPECT_EQ(Walk(left_chain, eTreeEnumPreOrder), "3 2 1");
  EXPECT_EQ(Walk(left_chain, eTreeEnumPostOrder), "1 2 3");
  Ref<Tree> right_chain = this->Build({1, 2, 3});
  EXPECT_EQ(Walk(right_chain, eTreeEnumInOrder), "1 2 3");
  EXPECT_EQ(Walk(right_chain, eTreeEnumReverseOrder), "3 2 1");
  EXPECT_EQ(Walk(right_chain, eTreeEnumPreOrder), "1 2 3");
  EXPECT_EQ(Walk(right_chain, eTreeEnumPostOrder), "3 2 1");
  Ref<Tree> zigzag = this->Build({1, 5, 2, 4, 3});
  EXPECT_EQ(Walk(zigzag, eTreeEnumInOrder), "1 2 3 4 5");
  EXPECT_EQ(Walk(zigzag, eTreeEnumPostOrder), "3 4 2 5 1");
  EXPECT_EQ(Walk(zigzag, eTreeEnumReverseOrder), "5 4 3 2 1");
}

TYPED_TEST(TreeEnumTest, EmptyAndSingleElementTrees) {
  for (TreeEnumEnum order :
       {eTreeEnumPreOrder, eTreeEnumReverseOrder, eTreeEnumInOrder, eTreeEnumPostOrder}) {
    EXPECT_EQ(Walk(this->Build({}), order), "");
    Ref<TreeEnum> walk = this->Build({9})->NewEnum();  // the walk keeps the element alive
    walk->SetOrder(order);
    EXPECT_EQ(this->Take(walk, 3), "9 - -");
  }
}

TYPED_TEST(TreeEnumTest, OrderOutsideTheFourIsIgnored) {
  Ref<Tree> tree = this->Build({2, 1, 3});
  Ref<TreeEnum> walk = tree->NewEnum();
  walk->SetOrder(eTreeEnumReverseOrder);
  for (int bad : {0, 3, -3, 100}) {
    walk->SetOrder(static_cast<TreeEnumEnum>(bad));
    EXPECT_EQ(walk->Order(), eTreeEnumReverseOrder);
  }
  EXPECT_EQ(this->Take(walk, 4), "3 2 1 -");
}

TYPED_TEST(TreeEnumTest, ChangingOrderMidWalkContinuesFromTheStack) {
  Ref<Tree> tree = this->Build({4, 2, 6, 1, 3, 5, 7});
  Ref<TreeEnum> walk = tree->NewEnum();
  EXPECT_EQ(this->Take(walk, 1), "1");
  walk->SetOrder(eTreeEnumPreOrder);
  EXPECT_EQ(this->Take(walk, 7), "2 3 4 6 5 7 -");

  walk = tree->NewEnum();
  walk->SetOrder(eTreeEnumPostOrder);
  EXPECT_EQ(this->Take(walk, 3), "1 3 2");
  walk->SetOrder(eTreeEnumInOrder);
  EXPECT_EQ(this->Take(walk, 5), "4 5 6 7 -");
}

TYPED_TEST(TreeEnumTest, FinishedWalkStaysFinishedAndWalksAreIndependent) {
  Ref<Tree> tree = this->Build({2, 1, 3});
  Ref<TreeEnum> first = tree->NewEnum(), second = tree->NewEnum();
  EXPECT_EQ(this->Take(first, 2), "1 2");
  EXPECT_EQ(this->Take(second, 1), "1");
  EXPECT_EQ(this->Take(first, 2), "3 -");
  Ref<TypeParam> late = New<TypeParam>();
  late->SetKey(0, 4);
  tree->Add(late);
  EXPECT_EQ(this->Take(first, 2), "- -");
  EXPECT_EQ(this->Take(second, 4), "2 3 4 -");  // added below a subtree not reached yet
}

TYPED_TEST(TreeEnumTest, PendingElementsOutliveTheTree) {
  Ref<Tree> tree = this->Build({2, 1, 3});
  Ref<TreeEnum> walk = tree->NewEnum();
  walk->SetOrder(eTreeEnumPreOrder);
  EXPECT_EQ(this->Take(walk, 1), "2");
  tree.reset();  // links are reset; the two pending elements are still held by the walk
  EXPECT_EQ(this->Take(walk, 3), "1 3 -");
}

/// An element whose links can be made to fail.
class FailingNode : public testing::ClientTreeNode {
 public:
  Ref<ITreeNode> Left(std::int32_t Index) override {
    if (fail) throw std::runtime_error("Left failed");
    return ClientTreeNode::Left(Index);
  }
  bool fail = false;
};

using TreeEnumFailure = testing::VelmiraTest;

TEST_F(TreeEnumFailure, ErrorFromAnElementPassesOutAndTheStepsTakenStay) {
  Ref<Tree> tree = New<Tree>();
  std::vector<Ref<FailingNode>> nodes;
  for (int k : {2, 1, 3}) {
    nodes.push_back(New<FailingNode>());
    nodes.back()->SetKey(0, k);
    tree->Add(nodes.back());
  }
  Ref<TreeEnum> walk = tree->NewEnum();
  nodes[1]->fail = true;  // key 1: reached during the first descent
  EXPECT_THROW(walk->NextItem(), std::runtime_error);
  nodes[1]->fail = false;
  // The root's left side was marked before the failure: the walk goes on from the root.
  Ref<ITreeNode> n = walk->NextItem();
  EXPECT_TRUE(Is(n, nodes[0]));
}

}  // namespace
}  // namespace velmira
