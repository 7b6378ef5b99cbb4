// Tree, SplayTree and TreeEnum over client elements: range-for walks, a tree damaged by an
// interrupted Remove, links stored by hand into a cycle, a splay removal among keys that do not
// order strictly, and elements that remove keys or drop the tree in the middle of a call.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <ranges>
#include <sstream>
#include <string>
#include <vector>

#include "capture.h"
#include "tree_test_support.h"
#include "velmira/tree/enumerate.h"

namespace velmira::testing {
namespace {

using TreeEnumerate = VelmiraTest;

TEST_F(TreeEnumerate, WalksInAnyOrderContinuesAnEnumeratorAndWorksWithViews) {
  Ref<Tree> tree = New<SplayTree>();
  for (std::int32_t key : {5, 1, 9, 3, 7}) tree->Add(Keyed(key));  // 7(3(1,5),9)
  using Keys = std::vector<std::int32_t>;
  const auto keys = [](auto&& walk) {
    Keys seen;
    for (const Ref<ITreeNode>& n : walk) seen.push_back(n->Key(0).Int32Value());
    return seen;
  };
  EXPECT_EQ(keys(Enumerate(tree) | std::views::take(2)), (Keys{1, 3}));
  EXPECT_EQ(keys(Enumerate(tree, eTreeEnumPostOrder)), (Keys{1, 5, 3, 9, 7}));
  Ref<TreeEnum> e = tree->NewEnum();
  e->NextItem();  // 1 is taken by hand; the range goes on from 3
  EXPECT_EQ(keys(Enumerate(e)), (Keys{3, 5, 7, 9}));
  EXPECT_TRUE(keys(Enumerate(e)).empty());  // an ended enumerator stays ended
}

// An element error in the middle of a Remove leaves 80 under two parents; the next splay rotates
// that into the cycle 80 -> 65 -> 60 -> 80. Lookups, Clear and teardown must still end, and once
// the client lets go, every element must be freed.
TEST(DamagedTree, WalksBreakTheCycleAnInterruptedRemoveLeft) {
  for (const char* next : {"C", "~", "62 C", "62 66 ~", "70 +61 62 -60 C"}) {
    const std::int64_t live = LiveObjectCount();
    ElementCalls calls(false, 1 << 20);
    Ref<Tree> tree = New<SplayTree>();
    Ref<TreeElement> e;
    for (int key : {60, 80, 65}) tree->Add(e = Keyed(key, &calls));
    e->fail = "l=_", e.reset();  // 65 fails as it loses its left child
    EXPECT_THROW(tree->Remove(65), ElementError);
    EXPECT_FALSE(tree->Exists(99));
    std::istringstream steps(next);
    for (std::string step; steps >> step;) {
      if (step == "C") tree->Clear();
      if (step == "~") tree.reset();
      if (step[0] == '+') tree->Add(Keyed(std::stoi(step), &calls));
      if (step[0] == '-') tree->Remove(std::stoi(step.substr(1)));
      if (std::isdigit(step[0])) tree->Exists(std::stoi(step));
    }
    EXPECT_TRUE(!tree || tree->IsEmpty()) << next;
    tree.reset();
    EXPECT_EQ(LiveObjectCount(), live) << next;
  }
}

// Links a client stores by hand that close a cycle: the largest element's right link and the
// smallest one's left link are set to the root. Every walk over the tree (a look-up past either
// end, an Add, a Remove, Clear, teardown, one step of an enumerator in each order) must end within
// the element calls' budget, and once the client lets go every element must be freed: the tree's
// walks cut the links that close the cycles.
TEST(HandMadeLinks, TreeWalksEndOnACycle) {
  const std::string ops = "ehaArc~IPRO";
  for (std::size_t run = 0; run < 2 * ops.size(); ++run) {
    const bool splay = run % 2;
    const char op = ops[run / 2];
    const std::int64_t live = LiveObjectCount();
    ElementCalls calls(false, 1 << 16);
    Ref<Tree> tree = MakeTree(splay);
    std::vector<Ref<TreeElement>> nodes;
    for (int key : {50, 30, 70, 20, 80}) tree->Add(nodes.emplace_back(Keyed(key, &calls)));
    nodes[4]->SetRight(0, tree->Root());  // 80 -> root
    nodes[3]->SetLeft(0, tree->Root());   // 20 -> root
    nodes.clear();
    if (op == 'e' || op == 'h') {
      EXPECT_FALSE(tree->Exists(op == 'e' ? 99 : 10)) << splay << op;
    }
    if (op == 'a') tree->Add(Keyed(99, &calls));
    if (op == 'A') tree->Add(Keyed(10, &calls));
    if (op == 'r') tree->Remove(99);
    if (op == 'c') tree->Clear();
    if (const auto order = std::string("IPRO").find(op); order != std::string::npos) {
      Ref<TreeEnum> walk = tree->NewEnum();
      walk->SetOrder(std::array{eTreeEnumInOrder, eTreeEnumPreOrder, eTreeEnumReverseOrder,
                                eTreeEnumPostOrder}[order]);
      for (int step = 0; step < 3; ++step) EXPECT_TRUE(walk->NextItem()) << splay << op;
    }
    EXPECT_EQ(tree->IsEmpty(), op == 'c') << splay << op;
    tree.reset();
    EXPECT_FALSE(calls.runaway) << splay << op;
    EXPECT_EQ(LiveObjectCount(), live) << splay << op;
  }
}

// Empty equals both 0 and the empty text, which do not equal each other. Removing Empty from the
// root "" splays 0 to the head of the left subtree, where 1 still hangs to its right: the right
// subtree must go below 1, not over it, so that only the root leaves.
TEST(SplayTreeRemove, KeysThatDoNotOrderStrictlyLoseNoElement) {
  Ref<SplayTree> tree = New<SplayTree>();
  for (const Variant& key : {Variant(1), Variant("a"), Variant(0), Variant("")}) {
    Ref<TreeElement> e = New<TreeElement>();
    e->SetKey(0, key);
    tree->Add(e);
  }
  tree->Remove(Variant());
  std::vector<Variant> keys;
  for (const Ref<ITreeNode>& e : Enumerate(tree)) keys.push_back(e->Key(0));
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_TRUE(Equal(keys[0], 0) && Equal(keys[1], 1) && Equal(keys[2], "a"));
}

// An element that, inside the tree's or the enumerator's call (Add, Exists, Remove, Clear, Item,
// a walk), removes the root's key (r) or drops the last references to the tree and the enumerator
// (d): memory-safe (the asan preset checks) and nothing left alive, whatever the outcome.
TEST(ReentrantElements, TreesAndEnumeratorsStayMemorySafe) {
  for (int run = 0; run < 2 * 6 * 2 * 4; ++run) {  // every tree kind, operation, action, element
    const bool splay = run % 2;
    const char op = "aerciw"[run / 2 % 6], action = "rd"[run / 12 % 2];
    const std::size_t armed = run / 24;
    const std::int64_t live = LiveObjectCount();
    Ref<Tree> tree = MakeTree(splay);
    std::vector<TreeElement*> nodes;  // the tree alone holds the first three
    Ref<TreeElement> extra;
    for (const int key : {20, 10, 30, 25}) {
      nodes.push_back((extra = Keyed(key)).get());
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

}  // namespace
}  // namespace velmira::testing
