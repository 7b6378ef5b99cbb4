// Behaviour of Tree, SplayTree and TreeEnum, driven by small scripts: shapes after inserts,
// removals and lookups, the results of lookups, and walks in the four orders.
#include "velmira/tree/tree.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "capture.h"
#include "tree_test_support.h"
#include "velmira/core/tree_node.h"
#include "velmira/tree/splay_tree.h"

namespace velmira {
namespace {

/// A script run on a tree of the given kind, and what it must print.
struct ScriptCase {
  const char* name;
  bool splay;
  const char* script;
  const char* expected;
};

/// Element classes the behaviour tests run over.
using TreeElementTypes = ::testing::Types<testing::ClientTreeNode, TreeNode>;

template <class E>
class TreeScript : public testing::VelmiraTest {
 protected:
  /// Runs a script of space-separated steps on `tree`: +k adds a new element with key k, -k
  /// removes key k (printing "!" if the element first added with that key keeps a link), ?k
  /// prints Exists(k) as 1 or 0, @k prints the key Item(k) finds ("x" if it is not the element
  /// first added with k, "-" for Nothing), and W<order> prints a walk (i, r, p, o: in, reverse,
  /// pre and post order). Prints the tree's shape last.
  std::string Run(const Ref<Tree>& tree, const std::string& script) {
    std::map<int, Ref<E>> first;  // the element first added with each key
    std::ostringstream out;
    std::istringstream steps(script);
    for (std::string step; steps >> step;) {
      const char op = step[0];
      if (op == 'W') {
        const std::map<char, TreeEnumEnum> orders{{'i', eTreeEnumInOrder},
                                                  {'r', eTreeEnumReverseOrder},
                                                  {'p', eTreeEnumPreOrder},
                                                  {'o', eTreeEnumPostOrder}};
        out << "[" << testing::Walk(tree, orders.at(step[1])) << "] ";
        continue;
      }
      const int key = std::stoi(step.substr(1));
      if (op == '+') {
        Ref<E> n = New<E>();
        n->SetKey(tree->Index(), key);
        first.emplace(key, n);
        tree->Add(n);
      } else if (op == '-') {
        tree->Remove(key);
        if (first.count(key) &&
            (first[key]->Left(tree->Index()) || first[key]->Right(tree->Index()))) {
          out << "! ";
        }
      } else if (op == '?') {
        out << tree->Exists(key) << ' ';
      } else if (op == '@') {
        Ref<ITreeNode> found = tree->Item(key);
        out << (!found ? "-" : Is(found, first[key]) ? std::to_string(key) : "x") << ' ';
      }
    }
    out << testing::Shape(tree);
    return out.str();
  }
};
TYPED_TEST_SUITE(TreeScript, TreeElementTypes);

const ScriptCase kScripts[] = {
    // The plain tree keeps the shape of the insertion order; lookups change nothing.
    {"PlainInsertion", false, "+50 +30 +70 +20 +40 +60 +80 +65 @65 ?81 @20",
     "65 0 20 50(30(20,40),70(60(,65),80))"},
    {"PlainDuplicateIgnored", false, "+50 +30 +40 +40 @40", "40 50(30(,40),)"},
    // The six removal cases.
    {"PlainRemoveLeaf", false, "+50 +30 +70 -30", "50(,70)"},
    {"PlainRemoveNoLeft", false, "+50 +30 +70 +60 +65 -60", "50(30,70(65,))"},
    {"PlainRemoveNoRight", false, "+50 +30 +20 -30", "50(20,)"},
    {"PlainRemoveLeftIsPredecessor", false, "+50 +30 +70 +20 +40 +60 +80 +65 -30",
     "50(20(,40),70(60(,65),80))"},
    {"PlainRemoveRightIsSuccessor", false, "+50 +30 +70 +20 +40 +60 +80 +65 -70",
     "50(30(20,40),80(60(,65),))"},
    {"PlainRemoveLeftmostSuccessor", false, "+50 +30 +70 +20 +40 +60 +80 +65 -50",
     "60(30(20,40),70(65,80))"},
    {"PlainRemoveAbsent", false, "+50 +30 +70 -99 ?30", "1 50(30,70)"},
    {"PlainRemoveAll", false, "+2 +1 +3 -2 -1 -3 -3", ""},
    // Splay: rotate to root by single rotations, on hits and on misses.
    {"SplayInsert", true, "+1 +2 +3", "3(2(1,),)"},
    {"SplayExistsHit", true, "+1 +2 +3 ?1", "1 1(,3(2,))"},
    {"SplayExistsMiss", true, "+1 +2 +3 ?1 ?5", "1 0 3(1(,2),)"},
    {"SplayItem", true, "+1 +2 +3 @2 @7", "2 - 3(2(1,),)"},
    {"SplayFiveKeys", true, "+50 +30 +70 +20 +40", "40(20(,30),70(50,))"},
    {"SplayDuplicateComesUp", true, "+50 +30 +70 +20 +40 +30 @30", "30 30(20,40(,70(50,)))"},
    {"SplayRemoveRoot", true, "+50 +30 +70 +20 +40 +30 -30", "20(,40(,70(50,)))"},
    {"SplayRemoveOneChild", true, "+50 +30 +70 +20 +40 +30 -40", "30(20,70(50,))"},
    {"SplayRemoveLeaf", true, "+50 +30 +70 +20 +40 +30 -50", "30(20,40(,70))"},
    {"SplayRemoveAbsent", true, "+50 +30 +70 +20 +40 +30 -99", "30(20,40(,70(50,)))"},
    {"SplayRemoveSplaysLeftSubtree", true, "+10 +5 +20 +7 +6 +30 +8 +20 -20", "10(8(6(5,7),),30)"},
    // Walks: the four orders over a balanced tree and over chains.
    {"WalkBalanced", false, "+4 +2 +6 +1 +3 +5 +7 Wi Wr Wp Wo",
     "[1 2 3 4 5 6 7] [7 6 5 4 3 2 1] [4 2 1 3 6 5 7] [1 3 2 5 7 6 4] 4(2(1,3),6(5,7))"},
    {"WalkLeftChain", false, "+3 +2 +1 Wi Wr Wp Wo", "[1 2 3] [3 2 1] [3 2 1] [1 2 3] 3(2(1,),)"},
    {"WalkZigzag", false, "+1 +5 +2 +4 +3 Wi Wo Wr",
     "[1 2 3 4 5] [3 4 2 5 1] [5 4 3 2 1] 1(,5(2(,4(3,)),))"},
    {"WalkEmpty", true, "Wi Wp ?1 @1", "[] [] 0 - "},
    {"WalkSplayDoesNotRestructure", true, "+1 +2 +3 Wi Wo", "[1 2 3] [1 2 3] 3(2(1,),)"},
};

TYPED_TEST(TreeScript, ScriptsPrintTheExpectedShapes) {
  for (const ScriptCase& c : kScripts) {
    Ref<Tree> tree = c.splay ? Ref<Tree>(New<SplayTree>()) : New<Tree>();
    EXPECT_EQ(this->Run(tree, c.script), c.expected) << c.name;
    this->ExpectSilence();
  }
}

TYPED_TEST(TreeScript, MixedKeyKindsAndSlotsAreIndependent) {
  for (bool splay : {false, true}) {
    Ref<Tree> tree = splay ? Ref<Tree>(New<SplayTree>()) : New<Tree>();
    Ref<Tree> other = splay ? Ref<Tree>(New<SplayTree>()) : New<Tree>();
    other->SetIndex(-7);
    for (const Variant& key : {Variant(10), Variant("9"), Variant(-1)}) {
      Ref<TypeParam> n = New<TypeParam>();
      n->SetKey(0, key);
      n->SetKey(-7, Variant::Null());  // refused in the other tree's slot
      tree->Add(n);
      other->Add(n);
      n->SetKey(-7, Less(key, 0) ? Variant("z") : key);
      other->Add(n);
    }
    EXPECT_EQ(testing::Walk(tree, eTreeEnumInOrder), "-1 10 9");  // numbers before text
    tree->Remove(10);
    EXPECT_EQ(testing::Walk(other, eTreeEnumInOrder), "10 9 z");
    EXPECT_EQ(this->TakeOutput().size(), 3u);  // the three null-key refusals
    tree.reset();                              // teardown frees slot 0 only
    EXPECT_EQ(testing::Walk(other, eTreeEnumInOrder), "10 9 z");
  }
}

/// The warnings of one kind of tree, reached through a `Ref<Tree>`.
class TreeWarnings : public testing::VelmiraTest, public ::testing::WithParamInterface<bool> {
 protected:
  Ref<testing::ClientTreeNode> Make(const Variant& key, bool left = false, bool right = false) {
    auto n = New<testing::ClientTreeNode>();
    n->SetKey(0, key);
    if (left) n->SetLeft(0, New<testing::ClientTreeNode>());
    if (right) n->SetRight(0, New<testing::ClientTreeNode>());
    return n;
  }
  void Expect(const std::string& text) {
    ExpectWarning((GetParam() ? "SplayTree: Warning, " : "Tree: Warning, ") + text);
  }
  Ref<Tree> tree_ = GetParam() ? Ref<Tree>(New<SplayTree>()) : New<Tree>();
};

TEST_P(TreeWarnings, MisuseWarnsOnceAndChangesNothing) {
  tree_->Remove(Variant::Null());  // even on an empty tree
  Expect("an attempt was made to Remove a node using a null Key");
  tree_->Add(Nothing);
  Expect("an attempt was made to Add Nothing");
  tree_->Add(Make(Variant::Null(), true));  // the key check comes before the children check
  Expect("an attempt was made to Add a node with a null key");
  tree_->Add(Make(5, true));
  Expect("an attempt was made to Add a node with children");
  tree_->Add(Make(5, false, true));
  Expect("an attempt was made to Add a node with children");
  EXPECT_TRUE(tree_->IsEmpty());
  tree_->SetIndex(5);
  EXPECT_EQ(tree_->Index(), 5);
  tree_->SetIndex(0);
  tree_->Add(Make(1));
  tree_->SetIndex(0);  // its current value: silent
  EXPECT_FALSE(tree_->Exists(Variant::Null()));
  EXPECT_EQ(tree_->Item(Variant::Null()), Nothing);
  tree_->Remove(99);
  ExpectSilence();
  tree_->SetIndex(3);
  Expect("an attempt was made to change the Index of a non-empty tree");
  EXPECT_EQ(tree_->Index(), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TreeWarnings, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "SplayTree" : "Tree"; });

}  // namespace
}  // namespace velmira
