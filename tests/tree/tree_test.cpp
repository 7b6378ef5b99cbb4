// Behaviour of Tree and SplayTree through the Tree interface, driven by small scripts: shapes
// after inserts, removals and lookups, lookup results, walks in the four orders, and warnings.
#include "velmira/tree/tree.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>
#include <string>

#include "capture.h"
#include "tree_test_support.h"
#include "velmira/core/tree_node.h"

namespace velmira {
namespace {

/// A script, the kinds of tree it runs on ("T" plain, "S" splay) and what it must print.
struct ScriptCase {
  const char* name;
  const char* kinds;
  const char* script;
  const char* expected;
};

/// Element classes the behaviour tests run over.
using TreeElementTypes = ::testing::Types<testing::ClientTreeNode, TreeNode>;

template <class E>
class TreeScript : public testing::VelmiraTest {
 protected:
  /// Runs space-separated steps, a key k being an integer or n for Null: +k adds a new element
  /// (+k< or +k> one with a left or right child already set), +N adds Nothing, =k adds again the
  /// element first added with k, -k removes k (printing "!" if the element first added with k
  /// keeps a link), ?k prints Exists(k) as 1 or 0, @k prints the key Item(k) finds ("x" if not
  /// the element first added with k, "-" for Nothing), Ik sets Index and prints it, W<order>
  /// prints a walk (i, r, p, o: in, reverse, pre, post). Each warning prints as {text} without
  /// its kind's prefix; the shape prints last.
  std::string Run(const Ref<Tree>& tree, const std::string& prefix, const std::string& script) {
    const std::map<char, TreeEnumEnum> orders{{'i', eTreeEnumInOrder},
                                              {'r', eTreeEnumReverseOrder},
                                              {'p', eTreeEnumPreOrder},
                                              {'o', eTreeEnumPostOrder}};
    std::map<int, Ref<E>> first;  // the element first added with each key
    std::ostringstream out;
    std::istringstream steps(script);
    for (std::string step; steps >> step;) {
      const char op = step[0];
      const bool null = step[1] == 'n';
      const int k = null || op == 'W' || step[1] == 'N' ? 0 : std::stoi(step.substr(1));
      const Variant key = null ? Variant::Null() : Variant(k);
      if (op == 'W') out << "[" << testing::Walk(tree, orders.at(step[1])) << "] ";
      if (op == 'I') tree->SetIndex(k), out << tree->Index() << ' ';
      if (op == '=') tree->Add(first[k]);
      if (op == '?') out << tree->Exists(key) << ' ';
      if (op == '+' && step[1] == 'N') tree->Add(Nothing);
      if (op == '+' && step[1] != 'N') {
        Ref<E> n = New<E>();
        n->SetKey(tree->Index(), key);
        if (step.back() == '<') n->SetLeft(tree->Index(), New<E>());
        if (step.back() == '>') n->SetRight(tree->Index(), New<E>());
        if (!null) first.emplace(k, n);
        tree->Add(n);
      }
      if (op == '-') {
        tree->Remove(key);
        const Ref<E> n = first.count(k) ? first[k] : Ref<E>();
        if (n && (n->Left(tree->Index()) || n->Right(tree->Index()))) out << "! ";
      }
      if (op == '@') {
        const Ref<ITreeNode> found = tree->Item(key);
        out << (!found ? "-" : Is(found, first[k]) ? std::to_string(k) : "x") << ' ';
      }
      for (const std::string& write : TakeOutput()) {
        EXPECT_EQ(write.rfind(prefix, 0), 0u) << write;
        out << "{" << write.substr(prefix.size()) << "} ";
      }
    }
    return out.str() + testing::Shape(tree);
  }
};
TYPED_TEST_SUITE(TreeScript, TreeElementTypes);

const ScriptCase kScripts[] = {
    // The plain tree keeps the shape of the insertion order; lookups change nothing.
    {"PlainInsertion", "T", "+50 +30 +70 +20 +40 +60 +80 +65 @65 ?81 @20 +40 @40 =65",
     "65 0 20 40 50(30(20,40),70(60(,65),80))"},
    // The six removal cases.
    {"PlainRemoveLeaf", "T", "+50 +30 +70 -30", "50(,70)"},
    {"PlainRemoveNoLeft", "T", "+50 +30 +70 +60 +65 -60", "50(30,70(65,))"},
    {"PlainRemoveNoRight", "T", "+50 +30 +20 -30", "50(20,)"},
    {"PlainRemoveLeftIsPredecessor", "T", "+50 +30 +70 +20 +40 +60 +80 +65 -30",
     "50(20(,40),70(60(,65),80))"},
    {"PlainRemoveRightIsSuccessor", "T", "+50 +30 +70 +20 +40 +60 +80 +65 -70",
     "50(30(20,40),80(60(,65),))"},
    {"PlainRemoveLeftmostSuccessor", "T", "+50 +30 +70 +20 +40 +60 +80 +65 -50",
     "60(30(20,40),70(65,80))"},
    {"PlainRemoveAbsentThenAll", "T", "+50 +30 +70 -99 Wp ?30 -50 -30 -70 -70", "[50 30 70] 1 "},
    // Splay: rotate to root by single rotations, on hits and on misses.
    {"SplayInsert", "S", "+1 +2 +3", "3(2(1,),)"},
    {"SplayExistsHitThenMiss", "S", "+1 +2 +3 ?1 ?5", "1 0 3(1(,2),)"},
    {"SplayExistsHit", "S", "+1 +2 +3 ?1", "1 1(,3(2,))"},
    {"SplayItem", "S", "+1 +2 +3 @2 @7", "2 - 3(2(1,),)"},
    {"SplayLeafReAddedComesUp", "S", "+1 +2 +3 =1 @1", "1 1(,3(2,))"},
    {"SplayFiveKeys", "S", "+50 +30 +70 +20 +40", "40(20(,30),70(50,))"},
    {"SplayDuplicateComesUp", "S", "+50 +30 +70 +20 +40 +30 @30", "30 30(20,40(,70(50,)))"},
    {"SplayRemoveRoot", "S", "+50 +30 +70 +20 +40 +30 -30", "20(,40(,70(50,)))"},
    {"SplayRemoveOneChild", "S", "+50 +30 +70 +20 +40 +30 -40", "30(20,70(50,))"},
    {"SplayRemoveLeaf", "S", "+50 +30 +70 +20 +40 +30 -50", "30(20,40(,70))"},
    {"SplayRemoveAbsent", "S", "+50 +30 +70 +20 +40 +30 -99", "30(20,40(,70(50,)))"},
    {"SplayRemoveSplaysLeftSubtree", "S", "+10 +5 +20 +7 +6 +30 +8 +20 -20", "10(8(6(5,7),),30)"},
    // Walks: the four orders over a balanced tree and over chains.
    {"WalkBalanced", "T", "+4 +2 +6 +1 +3 +5 +7 Wi Wr Wp Wo",
     "[1 2 3 4 5 6 7] [7 6 5 4 3 2 1] [4 2 1 3 6 5 7] [1 3 2 5 7 6 4] 4(2(1,3),6(5,7))"},
    {"WalkLeftChain", "T", "+3 +2 +1 Wi Wr Wp Wo", "[1 2 3] [3 2 1] [3 2 1] [1 2 3] 3(2(1,),)"},
    {"WalkZigzag", "T", "+1 +5 +2 +4 +3 Wi Wo Wr",
     "[1 2 3 4 5] [3 4 2 5 1] [5 4 3 2 1] 1(,5(2(,4(3,)),))"},
    {"WalkSplayDoesNotRestructure", "S", "+1 +2 +3 Wi Wo", "[1 2 3] [1 2 3] 3(2(1,),)"},
    // Both kinds alike: an empty tree, and misuse that warns once and changes nothing.
    {"Empty", "TS", "Wi Wp ?1 @1 -1", "[] [] 0 - "},
    {"Misuse", "TS", "-n +N +n< +5< +5> I5 I0 +1 I0 ?n @n -99 I3",
     "{Remove a node using a null Key} {Add Nothing} {Add a node with a null key} "
     "{Add a node with children} {Add a node with children} 5 0 0 0 - 0 "
     "{change the Index of a non-empty tree} 1"},
};

TYPED_TEST(TreeScript, ScriptsPrintTheExpectedResults) {
  for (const ScriptCase& c : kScripts) {
    for (const bool splay : {false, true}) {
      if (!std::strchr(c.kinds, splay ? 'S' : 'T')) continue;
      const std::string prefix = splay ? "SplayTree: " : "Tree: ";
      EXPECT_EQ(this->Run(testing::MakeTree(splay), prefix + "Warning, an attempt was made to ",
                          c.script),
                c.expected)
          << c.name << (splay ? " on SplayTree" : " on Tree");
    }
  }
}

TYPED_TEST(TreeScript, MixedKeyKindsAndSlotsAreIndependent) {
  for (const bool splay : {false, true}) {
    Ref<Tree> tree = testing::MakeTree(splay), other = testing::MakeTree(splay);
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

}  // namespace
}  // namespace velmira
