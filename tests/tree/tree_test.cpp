// Behaviour of Tree and SplayTree: shapes, removal cases, warnings, slots and teardown.
#include "velmira/tree/tree.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "capture.h"
#include "tree_test_support.h"
#include "velmira/tree/splay_tree.h"

namespace velmira {
namespace {

using testing::Shape;

/// Element classes the behaviour tests run over.
using TreeElementTypes = ::testing::Types<testing::ClientTreeNode>;

template <class E>
class TreeBehaviour : public testing::VelmiraTest {
 protected:
  Ref<E> Make(const Variant& key, std::int32_t index = 0) {
    Ref<E> n = New<E>();
    n->SetKey(index, key);
    return n;
  }
  /// Adds an element per key, in order, and remembers them by key.
  void AddAll(const Ref<Tree>& tree, const std::vector<int>& keys) {
    for (int k : keys) {
      elements_[k] = Make(k, tree->Index());
      tree->Add(elements_[k]);
    }
  }
  /// True when the element has neither link in `index`.
  static bool IsFree(const Ref<E>& n, std::int32_t index = 0) {
    return !n->Left(index) && !n->Right(index);
  }

  std::map<int, Ref<E>> elements_;
};
TYPED_TEST_SUITE(TreeBehaviour, TreeElementTypes);

TYPED_TEST(TreeBehaviour, NewTreesAreEmpty) {
  for (Ref<Tree> tree : {New<Tree>(), Ref<Tree>(New<SplayTree>())}) {
    EXPECT_TRUE(tree->IsEmpty());
    EXPECT_EQ(tree->Index(), 0);
    EXPECT_EQ(tree->Item(1), Nothing);
    EXPECT_FALSE(tree->Exists("a"));
    EXPECT_TRUE(tree->IsEmpty());
  }
  this->ExpectSilence();
}

TYPED_TEST(TreeBehaviour, PlainTreeKeepsTheInsertionShape) {
  Ref<Tree> tree = New<Tree>();
  this->AddAll(tree, {50, 30, 70, 20, 40, 60, 80, 65});
  EXPECT_EQ(Shape(tree), "50(30(20,40),70(60(,65),80))");
  EXPECT_TRUE(Is(tree->Item(65), this->elements_[65]));
  EXPECT_TRUE(Is((*tree)[20], this->elements_[20]));
  EXPECT_TRUE(tree->Exists(80));
  EXPECT_FALSE(tree->Exists(81));
  EXPECT_EQ(Shape(tree), "50(30(20,40),70(60(,65),80))");  // lookups change nothing
  this->ExpectSilence();
}

TYPED_TEST(TreeBehaviour, DuplicateKeyAndReaddedLeafAreIgnoredSilently) {
  for (Ref<Tree> tree : {New<Tree>(), Ref<Tree>(New<SplayTree>())}) {
    this->AddAll(tree, {50, 30, 70, 20, 40, 60, 80, 65});
    const std::string shape = Shape(tree);
    Ref<TypeParam> second = this->Make(40);
    tree->Add(second);
    EXPECT_TRUE(this->IsFree(second));
    EXPECT_TRUE(Is(tree->Item(40), this->elements_[40]));
    if (!dynamic_cast<SplayTree*>(tree.get())) {
      EXPECT_EQ(Shape(tree), shape);
      tree->Add(this->elements_[65]);  // a leaf of this very tree passes every check
      EXPECT_EQ(Shape(tree), shape);
    }
    this->ExpectSilence();
  }
}

TYPED_TEST(TreeBehaviour, MixedKeyKindsOrderNumbersBeforeText) {
  Ref<Tree> tree = New<Tree>();
  Ref<TypeParam> ten = this->Make(10), nine = this->Make("9"), half = this->Make(0.5);
  tree->Add(ten);
  tree->Add(nine);
  tree->Add(half);
  EXPECT_EQ(Shape(tree), "10(?,9)");
  EXPECT_EQ(testing::Walk(tree, eTreeEnumInOrder), "? 10 9");
}

/// A removal from a tree built by adding `keys` in order, and the shape it must leave.
struct RemovalCase {
  const char* name;
  bool splay;
  std::vector<int> keys;
  int removed;
  const char* shape;
};

class TreeRemoval : public testing::VelmiraTest,
                    public ::testing::WithParamInterface<RemovalCase> {};

TEST_P(TreeRemoval, LeavesTheSpecifiedShapeAndFreesTheElement) {
  const RemovalCase& c = GetParam();
  Ref<Tree> tree = c.splay ? Ref<Tree>(New<SplayTree>()) : New<Tree>();
  std::map<int, Ref<testing::ClientTreeNode>> elements;
  for (int k : c.keys) {
    auto n = New<testing::ClientTreeNode>();
    n->SetKey(0, k);
    elements.emplace(k, n);  // the first element added with a key is the one in the tree
    tree->Add(n);
  }
  tree->Remove(c.removed);
  EXPECT_EQ(Shape(tree), c.shape);
  if (elements.count(c.removed)) {
    EXPECT_EQ(elements[c.removed]->Left(0), Nothing);
    EXPECT_EQ(elements[c.removed]->Right(0), Nothing);
    EXPECT_FALSE(tree->Exists(c.removed));
  }
  ExpectSilence();
}

// Plain trees: the six removal cases. Splay trees: 50 30 70 20 40 then a duplicate 30 gives
// 30(20,40(,70(50,))).
INSTANTIATE_TEST_SUITE_P(
    Shapes, TreeRemoval,
    ::testing::Values(
        RemovalCase{"PlainLeaf", false, {50, 30, 70}, 30, "50(,70)"},
        RemovalCase{"PlainNoLeftChild", false, {50, 30, 70, 60, 65}, 60, "50(30,70(65,))"},
        RemovalCase{"PlainNoRightChild", false, {50, 30, 20}, 30, "50(20,)"},
        RemovalCase{"PlainLeftChildIsPredecessor", false, {50, 30, 70, 20}, 30, "50(20,70)"},
        RemovalCase{"PlainReplaceByPredecessor",
                    false,
                    {50, 30, 70, 20, 40, 60, 80, 65},
                    30,
                    "50(20(,40),70(60(,65),80))"},
        RemovalCase{"PlainReplaceBySuccessorChild",
                    false,
                    {50, 30, 70, 20, 40, 60, 80, 65},
                    70,
                    "50(30(20,40),80(60(,65),))"},
        RemovalCase{"PlainReplaceByLeftmostSuccessor",
                    false,
                    {50, 30, 70, 20, 40, 60, 80, 65},
                    50,
                    "60(30(20,40),70(65,80))"},
        RemovalCase{
            "PlainRightChildIsSuccessor", false, {50, 30, 70, 40, 80}, 50, "70(30(,40),80)"},
        RemovalCase{"PlainAbsentKey", false, {50, 30, 70}, 99, "50(30,70)"},
        RemovalCase{"SplayRoot", true, {50, 30, 70, 20, 40, 30}, 30, "20(,40(,70(50,)))"},
        RemovalCase{"SplayOneChild", true, {50, 30, 70, 20, 40, 30}, 40, "30(20,70(50,))"},
        RemovalCase{"SplayLeaf", true, {50, 30, 70, 20, 40, 30}, 50, "30(20,40(,70))"},
        RemovalCase{"SplayAbsentKey", true, {50, 30, 70, 20, 40, 30}, 99, "30(20,40(,70(50,)))"},
        RemovalCase{"SplayTwoChildrenDeepPredecessor",
                    true,
                    {10, 5, 20, 7, 6, 30, 8, 20},
                    20,
                    "10(8(6(5,7),),30)"}),
    [](const auto& info) { return std::string(info.param.name); });

TYPED_TEST(TreeBehaviour, SplayTreeBringsEachAddedElementToTheRoot) {
  Ref<SplayTree> splay = New<SplayTree>();
  this->AddAll(splay, {1, 2});
  EXPECT_EQ(Shape(splay), "2(1,)");
  this->AddAll(splay, {3});
  EXPECT_EQ(Shape(splay), "3(2(1,),)");
  EXPECT_TRUE(splay->Exists(1));
  EXPECT_EQ(Shape(splay), "1(,3(2,))");  // rotate to root, not paired steps
  EXPECT_FALSE(splay->Exists(5));
  EXPECT_EQ(Shape(splay), "3(1(,2),)");
  this->ExpectSilence();
}

TYPED_TEST(TreeBehaviour, SplayTreeItemRotatesTheFoundElementUp) {
  Ref<Tree> splay = New<SplayTree>();
  this->AddAll(splay, {1, 2, 3});
  EXPECT_TRUE(Is(splay->Item(2), this->elements_[2]));
  EXPECT_EQ(Shape(splay), "2(1,3)");
  EXPECT_EQ(splay->Item(7), Nothing);  // a miss splays the last element on the path
  EXPECT_EQ(Shape(splay), "3(2(1,),)");
}

TYPED_TEST(TreeBehaviour, SplayTreeDuplicateComesToTheRoot) {
  Ref<Tree> splay = New<SplayTree>();
  this->AddAll(splay, {50, 30, 70, 20, 40});
  EXPECT_EQ(Shape(splay), "40(20(,30),70(50,))");
  Ref<TypeParam> duplicate = this->Make(30);
  splay->Add(duplicate);
  EXPECT_EQ(Shape(splay), "30(20,40(,70(50,)))");
  EXPECT_TRUE(this->IsFree(duplicate));
  splay->Add(this->elements_[50]);  // a leaf of this tree: rotated up, nothing written
  EXPECT_EQ(Shape(splay), "50(30(20,40),70)");
  this->ExpectSilence();
}

TYPED_TEST(TreeBehaviour, SlotsAreIndependent) {
  for (Ref<Tree> tree : {New<Tree>(), Ref<Tree>(New<SplayTree>())}) {
    Ref<Tree> other =
        dynamic_cast<SplayTree*>(tree.get()) ? Ref<Tree>(New<SplayTree>()) : New<Tree>();
    other->SetIndex(-7);
    EXPECT_EQ(other->Index(), -7);
    std::vector<Ref<TypeParam>> shared;
    for (int k : {2, 1, 3}) {
      shared.push_back(this->Make(k, 0));
      shared.back()->SetKey(-7, -k);  // reversed order in the other slot
      tree->Add(shared.back());
      other->Add(shared.back());
    }
    EXPECT_EQ(testing::Walk(tree, eTreeEnumInOrder), "1 2 3");
    EXPECT_EQ(testing::Walk(other, eTreeEnumInOrder), "-3 -2 -1");
    tree->Remove(2);
    EXPECT_EQ(testing::Walk(other, eTreeEnumInOrder), "-3 -2 -1");
    EXPECT_TRUE(other->Exists(-2));
    this->ExpectSilence();
  }
}

TYPED_TEST(TreeBehaviour, ClearAndTeardownFreeEveryElement) {
  for (bool splay : {false, true}) {
    // Made here rather than in a list of trees, which would keep its own reference.
    Ref<Tree> tree = splay ? Ref<Tree>(New<SplayTree>()) : New<Tree>();
    this->AddAll(tree, {4, 2, 6, 1, 3, 5, 7});
    tree->Clear();
    EXPECT_TRUE(tree->IsEmpty());
    for (auto& [key, n] : this->elements_) EXPECT_TRUE(this->IsFree(n)) << key;
    this->AddAll(tree, {4, 2, 6, 1, 3, 5, 7});
    tree.reset();
    for (auto& [key, n] : this->elements_) EXPECT_TRUE(this->IsFree(n)) << key;
    this->ExpectSilence();
  }
}

/// The warnings of one kind of tree, reached through a `Ref<Tree>`.
struct TreeKind {
  const char* name;
  std::function<Ref<Tree>()> make;
  std::string prefix;
};

class TreeWarnings : public testing::VelmiraTest, public ::testing::WithParamInterface<TreeKind> {
 protected:
  Ref<testing::ClientTreeNode> Make(const Variant& key) {
    auto n = New<testing::ClientTreeNode>();
    n->SetKey(0, key);
    return n;
  }
  void ExpectTreeWarning(const std::string& text) { ExpectWarning(GetParam().prefix + text); }
  Ref<Tree> tree_ = GetParam().make();
};

TEST_P(TreeWarnings, AddRefusesNothingNullKeysAndLinkedElements) {
  tree_->Add(Nothing);
  ExpectTreeWarning("an attempt was made to Add Nothing");
  Ref<testing::ClientTreeNode> null_key = Make(Variant::Null());
  null_key->SetLeft(0, Make(1));  // the key check comes first
  tree_->Add(null_key);
  ExpectTreeWarning("an attempt was made to Add a node with a null key");
  for (bool left : {true, false}) {
    Ref<testing::ClientTreeNode> linked = Make(5);
    if (left) {
      linked->SetLeft(0, Make(1));
    } else {
      linked->SetRight(0, Make(9));
    }
    tree_->Add(linked);
    ExpectTreeWarning("an attempt was made to Add a node with children");
  }
  EXPECT_TRUE(tree_->IsEmpty());
  Ref<testing::ClientTreeNode> elsewhere = Make(5);
  elsewhere->SetLeft(1, Make(1));  // linked in another slot only
  tree_->Add(elsewhere);
  ExpectSilence();
  EXPECT_TRUE(tree_->Exists(5));
}

TEST_P(TreeWarnings, RemoveWithNullKeyWarnsEvenWhenEmpty) {
  tree_->Remove(Variant::Null());
  ExpectTreeWarning("an attempt was made to Remove a node using a null Key");
  tree_->Remove(3);
  tree_->Clear();
  EXPECT_FALSE(tree_->Exists(Variant::Null()));
  EXPECT_EQ(tree_->Item(Variant::Null()), Nothing);
  ExpectSilence();
  tree_->Add(Make(1));
  EXPECT_FALSE(tree_->Exists(Variant::Null()));
  ExpectSilence();
}

TEST_P(TreeWarnings, IndexChangesOnlyWhileEmpty) {
  tree_->SetIndex(5);
  EXPECT_EQ(tree_->Index(), 5);
  auto n = New<testing::ClientTreeNode>();
  n->SetKey(5, 1);
  tree_->Add(n);
  tree_->SetIndex(5);
  ExpectSilence();
  tree_->SetIndex(0);
  ExpectTreeWarning("an attempt was made to change the Index of a non-empty tree");
  EXPECT_EQ(tree_->Index(), 5);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TreeWarnings,
    ::testing::Values(TreeKind{"Tree", [] { return New<Tree>(); }, "Tree: Warning, "},
                      TreeKind{"SplayTree", [] { return Ref<Tree>(New<SplayTree>()); },
                               "SplayTree: Warning, "}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmira
