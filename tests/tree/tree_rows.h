// The tree module's named rows, run over any element class: Tree, SplayTree and TreeEnum driven
// by small scripts (shapes after inserts, removals and lookups, lookup results, warnings, walks
// and walks that change or fail midway). A test file instantiates TreeRows with
// INSTANTIATE_TYPED_TEST_SUITE_P for its element types.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "capture.h"
#include "script.h"
#include "tree_test_support.h"

namespace velmira::testing {

template <class E>
class TreeRows : public VelmiraTest {
 protected:
  /// Runs space-separated steps on `tree` (k: an integer key, n for Null, q for NaN): +k adds a new
  /// element (+k< +k> one with a left or right child), +N adds Nothing, =k re-adds the element
  /// first added with k, -k removes k ("!" if that element keeps a link), ?k prints Exists(k),
  /// @k the key Item(k) finds ("x": not that element, "-": Nothing), Ik sets and prints Index,
  /// W<p|r|i|o> prints a walk, S the shape, ~ drops the tree, !k makes k's Left fail once. N makes
  /// walks A and B: A<order> or A=v sets A's order, A? prints it, An prints n items ("-" for
  /// Nothing; "E" for an error ends the step). Warnings print as script.h says; the shape last.
  std::string Run(Ref<Tree> tree, const char* name, const std::string& script) {
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
      if (op == 'W') out << "[" << Walk(tree, OrderOf(step[1])) << "] ";
      if (op == 'S') out << Shape(tree) << ' ';
      if (op == '~') tree.reset();
      if constexpr (requires { mine->fail_left; }) {
        if (op == '!') mine->fail_left = true;
      }
      if (op == 'N') walks[0] = tree->NewEnum(), walks[1] = tree->NewEnum();
      if (op == 'A' || op == 'B') {
        const Ref<TreeEnum>& walk = walks[op - 'A'];
        if (std::strchr("prio", step[1])) walk->SetOrder(OrderOf(step[1]));
        if (step[1] == '=') walk->SetOrder(static_cast<TreeEnumEnum>(std::atoi(&step[2])));
        if (step[1] == '?') out << walk->Order() << ' ';
        for (int n = std::isdigit(step[1]) ? k : 0; n > 0; --n) {
          try {
            const Ref<ITreeNode> item = walk->NextItem();
            out << (item ? KeyText(item->Key(i)) : "-") << ' ';
          } catch (const std::runtime_error&) {
            out << "E ";
            break;
          }
        }
      }
      const Ref<ITreeNode> found = op == '@' ? tree->Item(key) : Ref<ITreeNode>();
      if (op == '@') out << (!found ? "-" : Is(found, mine) ? std::to_string(k) : "x") << ' ';
      for (const std::string& write : TakeOutput()) out << "!" << WarningCode(name, write) << ' ';
    }
    return out.str() + (tree ? Shape(tree) : "");
  }
  static constexpr bool kCanFail = requires(E & e) { e.fail_left; };  // whether E can fail
};
TYPED_TEST_SUITE_P(TreeRows);

/// The kinds of tree each row runs on ("T" plain, "S" splay, "F": elements that can fail), the row.
// clang-format off
inline const std::vector<std::pair<const char*, Row>> kTreeRows = {
    // Plain: insertion order; lookups, a duplicate key, a leaf re-added, an absent key: no change.
    {"T", {"PlainInsertionOrderAndLookups",
        "+50 +30 +70 +20 +40 +60 +80 +65 @65 ?81 @20 +40 @40 =65 -99",
        "65 0 20 40 50(30(20,40),70(60(,65),80))"}},
    // The six removal cases; the removed element keeps no link.
    {"T", {"RemoveWithRightChildOnly", "+50 +30 +70 -30", "50(,70)"}},
    {"T", {"RemoveWithLeftChildWhosePredecessor", "+50 +30 +70 +60 +65 -60", "50(30,70(65,))"}},
    {"T", {"RemoveWithLeftChildOnly", "+50 +30 +20 -30", "50(20,)"}},
    {"T", {"RemoveWithSuccessorAsRightChild", "+50 +30 +70 +20 +40 +60 +80 +65 -30",
        "50(20(,40),70(60(,65),80))"}},
    {"T", {"RemoveWithDeepSuccessor", "+50 +30 +70 +20 +40 +60 +80 +65 -70",
        "50(30(20,40),80(60(,65),))"}},
    {"T", {"RemoveRoot", "+50 +30 +70 +20 +40 +60 +80 +65 -50", "60(30(20,40),70(65,80))"}},
    {"T", {"RemoveEveryElement", "+2 +1 +3 -2 -1 -3 -3", ""}},
    // Splay: rotate to root by single rotations, on hits and on misses.
    {"S", {"SplayOnHitsAndMisses", "+1 +2 +3 S ?1 S ?5", "3(2(1,),) 1 1(,3(2,)) 0 3(1(,2),)"}},
    {"S", {"SplayOnItem", "+1 +2 +3 @2 S @7", "2 2(1,3) - 3(2(1,),)"}},
    {"S", {"SplayOnReAdd", "+1 +2 +3 =1", "1(,3(2,))"}},
    {"S", {"SplayZigZigAndZigZag", "+50 +30 +70 +20 +40 S +30 @30",
        "40(20(,30),70(50,)) 30 30(20,40(,70(50,)))"}},
    {"S", {"SplayRemoveLeaf", "+50 +30 +70 +20 +40 +30 -30", "20(,40(,70(50,)))"}},
    {"S", {"SplayRemoveWithTwoChildren", "+50 +30 +70 +20 +40 +30 -40", "30(20,70(50,))"}},
    {"S", {"SplayRemoveRoot", "+50 +30 +70 +20 +40 +30 -50", "30(20,40(,70))"}},
    {"S", {"SplayRemoveAbsent", "+50 +30 +70 +20 +40 +30 -99", "30(20,40(,70(50,)))"}},
    {"S", {"SplayRemoveDeep", "+10 +5 +20 +7 +6 +30 +8 +20 -20", "10(8(6(5,7),),30)"}},
    // Walks: the four orders over a balanced tree and over chains; walking does not splay.
    {"T", {"WalksOverABalancedTree", "+4 +2 +6 +1 +3 +5 +7 Wi Wr Wp Wo",
        "[1 2 3 4 5 6 7] [7 6 5 4 3 2 1] [4 2 1 3 6 5 7] [1 3 2 5 7 6 4] 4(2(1,3),6(5,7))"}},
    {"T", {"WalksOverALeftChain", "+3 +2 +1 Wi Wr Wp Wo",
        "[1 2 3] [3 2 1] [3 2 1] [1 2 3] 3(2(1,),)"}},
    {"T", {"WalksOverAZigZagChain", "+1 +5 +2 +4 +3 Wi Wo Wr",
        "[1 2 3 4 5] [3 4 2 5 1] [5 4 3 2 1] 1(,5(2(,4(3,)),))"}},
    {"S", {"WalksDoNotSplay", "+1 +2 +3 Wi Wo", "[1 2 3] [1 2 3] 3(2(1,),)"}},
    // Both kinds alike: an empty tree, and misuse that warns once and changes nothing.
    {"TS", {"EmptyTree", "Wi Wp ?1 @1 -1", "[] [] 0 - "}},
    {"TS", {"MisuseWarnsAndChangesNothing", "-n +N +n< +5< +5> I5 I0 +1 I0 ?n @n -99 I3",
        "!Rk0 !A0 !Ak0 " "!Alk !Alk 5 0 0 0 - 0 " "!Ix 1"}},
    // A NaN key orders against nothing: refused like Null, so later keys are not lost.
    {"TS", {"NaNKeyRefused", "+q +1 ?1 ?q -q", "!Ak0 1 0 1"}},
    // Walks switching order (others ignored), side by side, done, orphaned, failing (F: needed).
    {"T", {"WalkSwitchesOrderOnlyAtTheStart", "+4 +2 +6 +1 +3 +5 +7 N A? A1 Ap A8",
        "1 1 2 3 4 6 5 7 - - 4(2(1,3),6(5,7))"}},
    {"T", {"WalkIgnoresOtherOrders", "+4 +2 +6 +1 +3 +5 +7 N Ao A3 A=0 A=3 A=-3 A=2 A? Ai A5",
        "1 3 2 2 4 5 6 7 - 4(2(1,3),6(5,7))"}},
    {"T", {"WalksSideBySide", "+2 +1 +3 N A2 B1 A2 +4 A1 B4", "1 2 1 3 - - 2 3 4 - 2(1,3(,4))"}},
    {"T", {"WalkOfAReleasedTree", "+2 +1 +3 N Ap A1 ~ A3", "2 1 3 - "}},
    {"TF", {"WalkErrorPassesOut", "+2 +1 +3 N !1 A1 A3", "E 2 3 - 2(1,3)"}},
};
// clang-format on

TYPED_TEST_P(TreeRows, ScriptsPrintTheExpectedResults) {
  for (const bool splay : {false, true}) {
    std::vector<Row> rows;
    for (const auto& [kinds, row] : kTreeRows) {
      if (!std::strchr(kinds, splay ? 'S' : 'T')) continue;
      if (!std::strchr(kinds, 'F') || TestFixture::kCanFail) rows.push_back(row);
    }
    RunRows(rows, [&](const Row& row) {
      return this->Run(MakeTree(splay), splay ? "SplayTree" : "Tree", row.script);
    });
  }
}

TYPED_TEST_P(TreeRows, MixedKeyKindsAndSlotsAreIndependent) {
  for (const bool splay : {false, true}) {
    Ref<Tree> tree = MakeTree(splay), other = MakeTree(splay);
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
    EXPECT_EQ(Walk(tree, eTreeEnumInOrder), "-1 10 9");  // numbers before text
    tree->Remove(10);
    EXPECT_EQ(Walk(other, eTreeEnumInOrder), "10 9 z");
    EXPECT_EQ(this->TakeOutput().size(), 3u);  // the three null-key refusals
    tree.reset();                              // teardown frees slot 0 only
    EXPECT_EQ(Walk(other, eTreeEnumInOrder), "10 9 z");
  }
}

REGISTER_TYPED_TEST_SUITE_P(TreeRows, ScriptsPrintTheExpectedResults,
                            MixedKeyKindsAndSlotsAreIndependent);

}  // namespace velmira::testing
