// The debugger's private elements: tree records and call-stack elements use one set of links
// whatever slot they are asked about.
#include <gtest/gtest.h>

#include "capture.h"
#include "debug/debug_stack_node.h"
#include "debug/debug_tree_node.h"
#include "velmira/linear/stack.h"
#include "velmira/tree/splay_tree.h"

namespace velmira {
namespace {

using detail::DebugStackNode;
using detail::DebugTreeNode;

using DebugTreeNodeTest = testing::VelmiraTest;

TEST_F(DebugTreeNodeTest, KeyIsTheNameAsTextForEverySlot) {
  const Ref<DebugTreeNode> record = New<DebugTreeNode>(Variant("Main"));
  for (std::int32_t slot : {0, 7, -1}) {
    const Variant key = record->Key(slot);
    ASSERT_EQ(key.Kind(), VariantKind::String);
    EXPECT_EQ(key.Text(), "Main");
  }
  EXPECT_EQ(record->Name(), "Main");
  EXPECT_EQ(record->Count(), 0);
  EXPECT_EQ(record->Time(), 0.0);
  record->SetName("Other");
  EXPECT_EQ(record->Key(3).Text(), "Other");
}

TEST_F(DebugTreeNodeTest, LinksAreSharedByAllSlots) {
  const Ref<DebugTreeNode> record = New<DebugTreeNode>(Variant("m"));
  const Ref<DebugTreeNode> left = New<DebugTreeNode>(Variant("a"));
  const Ref<DebugTreeNode> right = New<DebugTreeNode>(Variant("z"));
  record->SetLeft(0, left);
  record->SetRight(5, right);
  EXPECT_TRUE(Is(record->Left(-3), left));
  EXPECT_TRUE(Is(record->Right(0), right));
  record->SetLeft(9, Nothing);
  EXPECT_EQ(record->Left(0), Nothing);
}

TEST_F(DebugTreeNodeTest, RecordsWorkInATreeOfAnySlot) {
  const Ref<Tree> tree = New<SplayTree>();
  tree->SetIndex(5);
  for (const char* name : {"b", "a", "c"}) tree->Add(New<DebugTreeNode>(Variant(name)));
  const Ref<ITreeNode> found = tree->Item(Variant("a"));
  ASSERT_TRUE(found);
  EXPECT_EQ(found->Key(0).Text(), "a");
  tree->Clear();
  EXPECT_EQ(found->Left(0), Nothing);
  EXPECT_EQ(found->Right(0), Nothing);
}

using DebugStackNodeTest = testing::VelmiraTest;

TEST_F(DebugStackNodeTest, OneLinkForEverySlot) {
  const Ref<DebugStackNode> a = New<DebugStackNode>(), b = New<DebugStackNode>();
  EXPECT_TRUE(a->Proc().IsEmpty());
  EXPECT_EQ(a->Time(), 0.0);
  const Ref<Stack> stack = New<Stack>();
  stack->SetIndex(3);
  stack->Push(a);
  stack->Push(b);
  EXPECT_TRUE(Is(b->NextItem(0), a));
  EXPECT_TRUE(Is(b->NextItem(-8), a));
  EXPECT_TRUE(Is(stack->Pop(), b));
  EXPECT_EQ(b->NextItem(3), Nothing);
}

}  // namespace
}  // namespace velmira
