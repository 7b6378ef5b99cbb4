// Tree, SplayTree and TreeEnum over client elements: the rows of tree_rows.h, a tree damaged by an
// interrupted Remove, and elements that re-enter the trees.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tree_rows.h"

namespace velmira {
namespace testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Tree, TreeRows, ClientTreeNode);
}  // namespace testing

namespace {

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

}  // namespace
}  // namespace velmira
