// The sample elements in the library's own containers, each element in two containers of its
// kind at once, through two different slots.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "capture.h"
#include "velmira/core/list_node.h"
#include "velmira/core/pqueue_node.h"
#include "velmira/core/queue_node.h"
#include "velmira/core/stack_node.h"
#include "velmira/core/tree_node.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"
#include "velmira/list/list_enum.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

namespace velmira {
namespace {

/// The user-data `Value` texts of the elements a tree yields in ascending order of its keys.
std::vector<std::string> ValuesInOrder(const Ref<Tree>& tree) {
  std::vector<std::string> values;
  Ref<TreeEnum> walk = tree->NewEnum();
  for (Ref<ITreeNode> n = walk->NextItem(); n; n = walk->NextItem()) {
    const Variant value = As<TreeNode>(n)->Value();
    values.emplace_back(value.Text());
  }
  return values;
}

/// The user-data `Value` numbers of a list's elements, walked in the given order.
std::vector<int> ValuesOf(const Ref<List>& list, ListEnumEnum order = eListEnumInOrder) {
  std::vector<int> values;
  Ref<ListEnum> walk = list->NewEnum();
  walk->SetOrder(order);
  for (Ref<IListNode> n = walk->NextItem(); n; n = walk->NextItem()) {
    values.push_back(As<ListNode>(n)->Value().Int32Value());
  }
  return values;
}

using SampleNodeInContainersTest = testing::VelmiraTest;

TEST_F(SampleNodeInContainersTest, StackNodesSitInTwoStacksAtOnce) {
  Ref<Stack> first = New<Stack>();
  Ref<Stack> second = New<Stack>();
  second->SetIndex(3);
  std::vector<Ref<StackNode>> nodes;
  for (int i = 0; i < 3; ++i) {
    nodes.push_back(New<StackNode>());
    nodes.back()->SetValue(i);
  }
  for (int i = 0; i < 3; ++i) first->Push(nodes[i]);
  for (int i = 2; i >= 0; --i) second->Push(nodes[i]);
  EXPECT_TRUE(Is(nodes[2]->NextItem(0), nodes[1]));
  EXPECT_TRUE(Is(nodes[0]->NextItem(3), nodes[1]));
  EXPECT_EQ(nodes[0]->NextItem(0), Nothing);
  EXPECT_EQ(nodes[2]->NextItem(3), Nothing);

  for (int i = 2; i >= 0; --i) EXPECT_TRUE(Is(first->Pop(), nodes[i]));
  EXPECT_TRUE(first->IsEmpty());
  // Emptying the first stack reset slot 0 only.
  EXPECT_TRUE(Is(nodes[0]->NextItem(3), nodes[1]));
  EXPECT_TRUE(Is(nodes[1]->NextItem(3), nodes[2]));
  for (int i = 0; i < 3; ++i) {
    Ref<StackNode> popped = As<StackNode>(second->Pop());
    EXPECT_TRUE(Is(popped, nodes[i]));
    EXPECT_EQ(popped->Value().Int32Value(), i);
  }
  for (const auto& n : nodes) {
    EXPECT_EQ(n->NextItem(0), Nothing);
    EXPECT_EQ(n->NextItem(3), Nothing);
  }
  ExpectSilence();
}

TEST_F(SampleNodeInContainersTest, StackTeardownResetsOnlyItsOwnSlot) {
  Ref<Stack> kept = New<Stack>();
  Ref<Stack> dropped = New<Stack>();
  dropped->SetIndex(-1);
  Ref<StackNode> a = New<StackNode>(), b = New<StackNode>();
  for (const auto& n : {a, b}) {
    kept->Push(n);
    dropped->Push(n);
  }
  dropped.reset();
  EXPECT_EQ(b->NextItem(-1), Nothing);
  EXPECT_TRUE(Is(b->NextItem(0), a));
  EXPECT_TRUE(Is(kept->Top(), b));
}

TEST_F(SampleNodeInContainersTest, QueueNodesSitInTwoQueuesAtOnce) {
  Ref<Queue> first = New<Queue>();
  Ref<Queue> second = New<Queue>();
  second->SetIndex(2);
  std::vector<Ref<QueueNode>> nodes;
  for (int i = 0; i < 4; ++i) {
    nodes.push_back(New<QueueNode>());
    nodes.back()->SetValue(i);
    first->Add(nodes.back());
  }
  for (int i : {2, 0, 3, 1}) second->Add(nodes[i]);
  EXPECT_TRUE(Is(nodes[0]->NextItem(0), nodes[1]));
  EXPECT_TRUE(Is(nodes[0]->NextItem(2), nodes[3]));
  first->Remove(nodes[2]);  // from the middle of the first queue only
  EXPECT_EQ(nodes[2]->NextItem(0), Nothing);
  EXPECT_TRUE(Is(nodes[2]->NextItem(2), nodes[0]));
  std::vector<int> taken;
  while (Ref<IQueueNode> n = first->NextItem())
    taken.push_back(As<QueueNode>(n)->Value().Int32Value());
  EXPECT_EQ(taken, (std::vector<int>{0, 1, 3}));
  taken.clear();
  while (Ref<IQueueNode> n = second->NextItem())
    taken.push_back(As<QueueNode>(n)->Value().Int32Value());
  EXPECT_EQ(taken, (std::vector<int>{2, 0, 3, 1}));
  for (const auto& n : nodes) {
    EXPECT_EQ(n->NextItem(0), Nothing);
    EXPECT_EQ(n->NextItem(2), Nothing);
  }
  ExpectSilence();
}

TEST_F(SampleNodeInContainersTest, PQueueNodesSitInTwoPriorityQueuesWithTheirOwnKeys) {
  Ref<PQueue> rising = New<PQueue>();
  Ref<PQueue> falling = New<PQueue>();
  falling->SetIndex(1);
  std::vector<Ref<PQueueNode>> nodes;
  for (int i = 0; i < 5; ++i) {
    nodes.push_back(New<PQueueNode>());
    nodes.back()->SetValue(i);
    nodes.back()->SetKey(0, i / 2);  // 0 0 1 1 2: equal keys leave in the order added
    nodes.back()->SetKey(1, "k" + std::to_string(4 - i));  // the reverse order, as text
    rising->Add(nodes.back());
    falling->Add(nodes.back());
  }
  auto drain = [](const Ref<PQueue>& q) {
    std::vector<int> taken;
    while (Ref<IPQueueNode> n = q->NextItem())
      taken.push_back(As<PQueueNode>(n)->Value().Int32Value());
    return taken;
  };
  falling->Remove(nodes[4]);
  EXPECT_EQ(drain(rising), (std::vector<int>{4, 2, 3, 0, 1}));
  EXPECT_EQ(drain(falling), (std::vector<int>{0, 1, 2, 3}));
  // The keys stay with their slots after the elements leave.
  EXPECT_EQ(nodes[3]->Key(0).Int32Value(), 1);
  EXPECT_EQ(nodes[3]->Key(1).Text(), "k1");
  ExpectSilence();
}

TEST_F(SampleNodeInContainersTest, ListNodesSitInTwoListsAtOnce) {
  Ref<List> forward = New<List>();
  Ref<List> backward = New<List>();
  backward->SetIndex(-5);
  std::vector<Ref<ListNode>> nodes;
  for (int i = 0; i < 4; ++i) {
    nodes.push_back(New<ListNode>());
    nodes.back()->SetValue(i);
    nodes.back()->SetTag("user tag");
    forward->Add(nodes.back());
  }
  backward->Add(nodes[3]);
  for (int i = 2; i >= 0; --i) backward->AddAfter(nodes[i], backward->Last());
  EXPECT_EQ(ValuesOf(forward), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(ValuesOf(backward), (std::vector<int>{3, 2, 1, 0}));
  EXPECT_EQ(ValuesOf(backward, eListEnumReverseOrder), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_TRUE(Is(forward->Item(2), nodes[1]));
  EXPECT_TRUE(Is(backward->Item(2), nodes[2]));
  // Each list keeps its marker in its own slot's Tag link; the user-data Tag is untouched.
  EXPECT_NE(nodes[0]->Tag(0), Nothing);
  EXPECT_NE(nodes[0]->Tag(-5), Nothing);
  EXPECT_FALSE(Is(nodes[0]->Tag(0), nodes[0]->Tag(-5)));
  for (const auto& n : nodes) EXPECT_EQ(n->Tag().Text(), "user tag");

  forward->Remove(nodes[1]);
  EXPECT_EQ(nodes[1]->NextItem(0), Nothing);
  EXPECT_EQ(nodes[1]->PrevItem(0), Nothing);
  EXPECT_EQ(nodes[1]->Tag(0), Nothing);
  EXPECT_EQ(ValuesOf(forward), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(ValuesOf(backward), (std::vector<int>{3, 2, 1, 0}));
  EXPECT_TRUE(Is(nodes[1]->NextItem(-5), nodes[0]));
  // Back into the first list at another place.
  forward->AddBefore(nodes[1], nodes[0]);
  EXPECT_EQ(ValuesOf(forward), (std::vector<int>{1, 0, 2, 3}));

  backward.reset();
  for (const auto& n : nodes) {
    EXPECT_EQ(n->NextItem(-5), Nothing);
    EXPECT_EQ(n->PrevItem(-5), Nothing);
    EXPECT_EQ(n->Tag(-5), Nothing);
    EXPECT_EQ(n->Tag().Text(), "user tag");
  }
  EXPECT_EQ(forward->Count(), 4);
  ExpectSilence();
}

template <class T>
class TreeNodeInTreesTest : public testing::VelmiraTest {
 protected:
  Ref<Tree> tree_ = New<T>();
};

using TreeKinds = ::testing::Types<Tree, SplayTree>;
TYPED_TEST_SUITE(TreeNodeInTreesTest, TreeKinds);

TYPED_TEST(TreeNodeInTreesTest, TheUsageExampleWorks) {
  Ref<Tree> tree = this->tree_;
  auto n = New<TreeNode>();
  n->SetKey(0, "word");
  n->SetValue(1);
  tree->Add(n);
  Ref<ITreeNode> found = tree->Item("word");
  EXPECT_TRUE(Is(found, n));
  EXPECT_EQ(As<TreeNode>(found)->Value().Int32Value(), 1);
  this->ExpectSilence();
}

TYPED_TEST(TreeNodeInTreesTest, TreeNodesSitInTwoTreesAtOnce) {
  // Slot 0 orders the elements by word, slot 7 by word length (then reversed by a minus sign).
  const std::vector<std::string> words = {"pear", "fig", "banana", "kiwi", "apple", "cherimoya"};
  Ref<Tree> by_word = this->tree_;
  Ref<Tree> by_length = New<SplayTree>();
  by_length->SetIndex(7);
  std::vector<Ref<TreeNode>> nodes;
  for (std::size_t i = 0; i < words.size(); ++i) {
    nodes.push_back(New<TreeNode>());
    nodes.back()->SetKey(0, words[i]);
    nodes.back()->SetKey(7, -static_cast<std::int32_t>(words[i].size() * 10 + i));
    nodes.back()->SetValue(words[i]);
    by_word->Add(nodes.back());
    by_length->Add(nodes.back());
  }
  EXPECT_EQ(ValuesInOrder(by_word),
            (std::vector<std::string>{"apple", "banana", "cherimoya", "fig", "kiwi", "pear"}));
  const std::vector<std::string> longest_first = {"cherimoya", "banana", "apple",
                                                  "kiwi",      "pear",   "fig"};
  EXPECT_EQ(ValuesInOrder(by_length), longest_first);

  // Lookups and removals in one tree leave the other's links alone.
  EXPECT_TRUE(Is(by_word->Item("kiwi"), nodes[3]));
  EXPECT_TRUE(Is(by_length->Item(-(4 * 10 + 3)), nodes[3]));
  by_word->Remove("kiwi");
  by_word->Remove("apple");
  EXPECT_EQ(nodes[3]->Left(0), Nothing);
  EXPECT_EQ(nodes[3]->Right(0), Nothing);
  EXPECT_EQ(ValuesInOrder(by_word),
            (std::vector<std::string>{"banana", "cherimoya", "fig", "pear"}));
  EXPECT_EQ(ValuesInOrder(by_length), longest_first);
  EXPECT_TRUE(Is(by_length->Item(-(4 * 10 + 3)), nodes[3]));

  // Dropping one tree resets its slot in every element it held and nothing else.
  by_length.reset();
  for (const auto& n : nodes) {
    EXPECT_EQ(n->Left(7), Nothing);
    EXPECT_EQ(n->Right(7), Nothing);
  }
  EXPECT_EQ(ValuesInOrder(by_word),
            (std::vector<std::string>{"banana", "cherimoya", "fig", "pear"}));
  this->ExpectSilence();
}

TYPED_TEST(TreeNodeInTreesTest, RefusalsOfSampleElementsWarnAsForAnyElement) {
  const std::string prefix = std::is_same_v<TypeParam, SplayTree> ? "SplayTree" : "Tree";
  Ref<TreeNode> keyless = New<TreeNode>();
  keyless->SetKey(0, Variant::Null());
  this->tree_->Add(keyless);
  this->ExpectWarning(prefix + ": Warning, an attempt was made to Add a node with a null key");
  EXPECT_TRUE(this->tree_->IsEmpty());
  // A key for another slot does not help.
  keyless->SetKey(1, 3);
  this->tree_->Add(keyless);
  this->ExpectWarning(prefix + ": Warning, an attempt was made to Add a node with a null key");
}

}  // namespace
}  // namespace velmira
