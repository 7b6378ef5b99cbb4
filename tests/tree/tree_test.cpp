// Behaviour of Tree, SplayTree and TreeEnum, driven by small scripts: shapes after inserts,
// removals and lookups, lookup results, warnings, walks and walks that change or fail midway.
#include "velmira/tree/tree.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "block_element.h"
#include "capture.h"
#include "tree_test_support.h"
#include "velmira/elements/tree_node.h"

namespace velmira {
namespace {

/// Element classes the behaviour tests run over.
using TreeElementTypes = ::testing::Types<testing::ClientTreeNode, TreeNode, testing::BlockElement>;

template <class E>
class TreeScript : public testing::VelmiraTest {
 protected:
  /// Runs space-separated steps on `tree` (k: an integer key, n for Null, q for NaN): +k adds a new
  /// element (+k< +k> one with a left or right child), +N adds Nothing, =k re-adds the element
  /// first added with k, -k removes k ("!" if that element keeps a link), ?k prints Exists(k),
  /// @k the key Item(k) finds ("x": not that element, "-": Nothing), Ik sets and prints Index,
  /// W<p|r|i|o> prints a walk, S the shape, ~ drops the tree, !k makes k's Left fail once. N makes
  /// walks A and B: A<order> or A=v sets A's order, A? prints it, An prints n items ("-" for
  /// Nothing; "E" for an error ends the step). Warnings print as {text} less `prefix`; shape last.
  std::string Run(Ref<Tree> tree, const std::string& prefix, const std::string& script) {
    std::map<int, Ref<E>> first;
    Ref<TreeEnum> walks[2];
    std::ostringstream out;
    std::istringstream steps(script);
    for (std::string step; steps >> step;) {
      const char op = step[0];
      const int k = std::atoi(step.c_str() + 1), i = tree ? tree->Index() : 0;
      const Variant key = step[1] == 'n'   ? Variant::Null()
                          : step[1] == 'q' ? Variant(std::nan(""))
                                           : Variant(k);
      const Ref<E> mine = first.count(k) ? first.at(k) : Ref<E>();
      if (op == '+' && step[1] != 'N') {
        Ref<E> n = New<E>();
        n->SetKey(i, key);
        if (step.back() == '<') n->SetLeft(i, New<E>());
        if (step.back() == '>') n->SetRight(i, New<E>());
        if (Equal(key, key)) first.emplace(k, n);
        tree->Add(n);
      }
      if (op == '+' && step[1] == 'N') tree->Add(Nothing);
      if (op == '=') tree->Add(mine);
      if (op == '-') tree->Remove(key);
      if (op == '-' && mine && (mine->Left(i) || mine->Right(i))) out << "! ";
      if (op == '?') out << tree->Exists(key) << ' ';
      if (op == 'I') tree->SetIndex(k), out << tree->Index() << ' ';
      if (op == 'W') out << "[" << testing::Walk(tree, testing::OrderOf(step[1])) << "] ";
      if (op == 'S') out << testing::Shape(tree) << ' ';
      if (op == '~') tree.reset();
      if constexpr (requires { mine->fail_left; }) {
        if (op == '!') mine->fail_left = true;
      }
      if (op == 'N') walks[0] = tree->NewEnum(), walks[1] = tree->NewEnum();
      if (op == 'A' || op == 'B') {
        const Ref<TreeEnum>& walk = walks[op - 'A'];
        if (std::strchr("prio", step[1])) walk->SetOrder(testing::OrderOf(step[1]));
        if (step[1] == '=') walk->SetOrder(static_cast<TreeEnumEnum>(std::atoi(&step[2])));
        if (step[1] == '?') out << walk->Order() << ' ';
        for (int n = std::isdigit(step[1]) ? k : 0; n > 0; --n) {
          try {
            const Ref<ITreeNode> item = walk->NextItem();
            out << (item ? testing::KeyText(item->Key(i)) : "-") << ' ';
          } catch (const std::runtime_error&) {
            out << "E ";
            break;
          }
        }
      }
      const Ref<ITreeNode> found = op == '@' ? tree->Item(key) : Ref<ITreeNode>();
      if (op == '@') out << (!found ? "-" : Is(found, mine) ? std::to_string(k) : "x") << ' ';
      for (const std::string& write : TakeOutput()) {
        EXPECT_EQ(write.rfind(prefix, 0), 0u) << write;
        out << "{" << write.substr(prefix.size()) << "} ";
      }
    }
    return out.str() + (tree ? testing::Shape(tree) : "");
  }
  static constexpr bool kCanFail = requires(E & e) { e.fail_left; };  // whether E can fail
};
TYPED_TEST_SUITE(TreeScript, TreeElementTypes);

/// The kinds of tree a script runs on ("T" plain, "S" splay), the script, what it prints.
const char* const kScripts[][3] = {
    // Plain: insertion order; lookups, a duplicate key, a leaf re-added, an absent key: no change.
    {"T", "+50 +30 +70 +20 +40 +60 +80 +65 @65 ?81 @20 +40 @40 =65 -99",
     "65 0 20 40 50(30(20,40),70(60(,65),80))"},
    // The six removal cases; the removed element keeps no link.
    {"T", "+50 +30 +70 -30", "50(,70)"},
    {"T", "+50 +30 +70 +60 +65 -60", "50(30,70(65,))"},
    {"T", "+50 +30 +20 -30", "50(20,)"},
    {"T", "+50 +30 +70 +20 +40 +60 +80 +65 -30", "50(20(,40),70(60(,65),80))"},
    {"T", "+50 +30 +70 +20 +40 +60 +80 +65 -70", "50(30(20,40),80(60(,65),))"},
    {"T", "+50 +30 +70 +20 +40 +60 +80 +65 -50", "60(30(20,40),70(65,80))"},
    {"T", "+2 +1 +3 -2 -1 -3 -3", ""},
    // Splay: rotate to root by single rotations, on hits and on misses.
    {"S", "+1 +2 +3 S ?1 S ?5", "3(2(1,),) 1 1(,3(2,)) 0 3(1(,2),)"},
    {"S", "+1 +2 +3 @2 S @7", "2 2(1,3) - 3(2(1,),)"},
    {"S", "+1 +2 +3 =1", "1(,3(2,))"},
    {"S", "+50 +30 +70 +20 +40 S +30 @30", "40(20(,30),70(50,)) 30 30(20,40(,70(50,)))"},
    {"S", "+50 +30 +70 +20 +40 +30 -30", "20(,40(,70(50,)))"},
    {"S", "+50 +30 +70 +20 +40 +30 -40", "30(20,70(50,))"},
    {"S", "+50 +30 +70 +20 +40 +30 -50", "30(20,40(,70))"},
    {"S", "+50 +30 +70 +20 +40 +30 -99", "30(20,40(,70(50,)))"},
    {"S", "+10 +5 +20 +7 +6 +30 +8 +20 -20", "10(8(6(5,7),),30)"},
    // Walks: the four orders over a balanced tree and over chains; walking does not splay.
    {"T", "+4 +2 +6 +1 +3 +5 +7 Wi Wr Wp Wo",
     "[1 2 3 4 5 6 7] [7 6 5 4 3 2 1] [4 2 1 3 6 5 7] [1 3 2 5 7 6 4] 4(2(1,3),6(5,7))"},
    {"T", "+3 +2 +1 Wi Wr Wp Wo", "[1 2 3] [3 2 1] [3 2 1] [1 2 3] 3(2(1,),)"},
    {"T", "+1 +5 +2 +4 +3 Wi Wo Wr", "[1 2 3 4 5] [3 4 2 5 1] [5 4 3 2 1] 1(,5(2(,4(3,)),))"},
    {"S", "+1 +2 +3 Wi Wo", "[1 2 3] [1 2 3] 3(2(1,),)"},
    // Both kinds alike: an empty tree, and misuse that warns once and changes nothing.
    {"TS", "Wi Wp ?1 @1 -1", "[] [] 0 - "},
    {"TS", "-n +N +n< +5< +5> I5 I0 +1 I0 ?n @n -99 I3",
     "{Remove a node using a null Key} {Add Nothing} {Add a node with a null key} "
     "{Add a node with children} {Add a node with children} 5 0 0 0 - 0 "
     "{change the Index of a non-empty tree} 1"},
    // A NaN key orders against nothing: refused like Null, so later keys are not lost.
    {"TS", "+q +1 ?1 ?q -q", "{Add a node with a null key} 1 0 1"},
    // Walks switching order (others ignored), side by side, done, orphaned, failing (F: needed).
    {"T", "+4 +2 +6 +1 +3 +5 +7 N A? A1 Ap A8", "1 1 2 3 4 6 5 7 - - 4(2(1,3),6(5,7))"},
    {"T", "+4 +2 +6 +1 +3 +5 +7 N Ao A3 A=0 A=3 A=-3 A=2 A? Ai A5",
     "1 3 2 2 4 5 6 7 - 4(2(1,3),6(5,7))"},
    {"T", "+2 +1 +3 N A2 B1 A2 +4 A1 B4", "1 2 1 3 - - 2 3 4 - 2(1,3(,4))"},
    {"T", "+2 +1 +3 N Ap A1 ~ A3", "2 1 3 - "},
    {"TF", "+2 +1 +3 N !1 A1 A3", "E 2 3 - 2(1,3)"},
};

TYPED_TEST(TreeScript, ScriptsPrintTheExpectedResults) {
  for (const auto& [kinds, script, expected] : kScripts) {
    for (const bool splay : {false, true}) {
      if (!std::strchr(kinds, splay ? 'S' : 'T')) continue;
      if (std::strchr(kinds, 'F') && !TestFixture::kCanFail) continue;
      const std::string prefix =
          std::string(splay ? "SplayTree" : "Tree") + ": Warning, an attempt was made to ";
      EXPECT_EQ(this->Run(testing::MakeTree(splay), prefix, script), expected) << script;
    }
  }
}

// An element error in the middle of a Remove leaves 80 under two parents; the next splay rotates
// that into the cycle 80 -> 65 -> 60 -> 80. Lookups, Clear and teardown must still end, and once
// the client lets go, every element must be freed.
TEST(DamagedTree, WalksBreakTheCycleAnInterruptedRemoveLeft) {
  for (const char* next : {"C", "~", "62 C", "62 66 ~", "70 +61 62 -60 C"}) {
    const std::int64_t live = LiveObjectCount();
    testing::CallLog log{"", "65.SetLeft(-)"};
    Ref<Tree> tree = New<SplayTree>();
    for (int key : {60, 80, 65}) tree->Add(New<testing::RecordingTreeNode>(key, &log));
    EXPECT_THROW(tree->Remove(65), std::runtime_error);
    log.fail_on.clear();
    EXPECT_FALSE(tree->Exists(99));
    std::istringstream steps(next);
    for (std::string step; steps >> step;) {
      if (step == "C") tree->Clear();
      if (step == "~") tree.reset();
      if (step[0] == '+') tree->Add(New<testing::RecordingTreeNode>(std::stoi(step), &log));
      if (step[0] == '-') tree->Remove(std::stoi(step.substr(1)));
      if (std::isdigit(step[0])) tree->Exists(std::stoi(step));
    }
    EXPECT_TRUE(!tree || tree->IsEmpty()) << next;
    tree.reset();
    EXPECT_EQ(LiveObjectCount(), live) << next;
  }
}

// An element that, inside the tree's or the enumerator's call, removes the root's key (r) or drops
// the last references to the tree and the enumerator (d): memory-safe (the asan preset checks) and
// nothing left alive, whatever the outcome.
TEST(ReentrantElements, TreesAndEnumeratorsStayMemorySafe) {
  for (const bool splay : {false, true}) {
    for (const char op : std::string("aerciw")) {
      for (const char action : std::string("rd")) {
        for (std::size_t armed = 0; armed < 4; ++armed) {
          const std::int64_t live = LiveObjectCount();
          Ref<Tree> tree = testing::MakeTree(splay);
          std::vector<testing::ClientTreeNode*> nodes;  // the tree alone holds the first three
          Ref<testing::ClientTreeNode> extra;
          for (const int key : {20, 10, 30, 25}) {
            extra = New<testing::ClientTreeNode>();
            extra->SetKey(0, key);
            nodes.push_back(extra.get());
            if (key != 25) tree->Add(extra);
          }
          Ref<TreeEnum> walk = tree->NewEnum();
          nodes[armed]->reenter = [&, action] {
            if (action == 'r' && tree) tree->Remove(20);
            if (action == 'd') tree.reset(), walk.reset();
          };
          Tree& target = *tree;  // the element may drop `tree` meanwhile
          if (op == 'a') target.Add(extra);
          if (op == 'e') target.Exists(10);
          if (op == 'r') target.Remove(30);
          if (op == 'c') target.Clear();
          if (op == 'i') target.Item(25);
          while (op == 'w' && walk && walk->NextItem()) {
          }
          tree.reset(), walk.reset(), extra.reset();
          EXPECT_EQ(LiveObjectCount(), live) << splay << op << action << armed;
        }
      }
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
