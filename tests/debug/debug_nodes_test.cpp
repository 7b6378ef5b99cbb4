// The debugger's private elements use one set of links whatever slot they are asked about.
#include <gtest/gtest.h>

#include "capture.h"
#include "debug/debug_stack_node.h"
#include "debug/debug_tree_node.h"
#include "velmira/linear/stack.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree_enum.h"

namespace velmira {
namespace {

using DebugNodes = testing::VelmiraTest;

TEST_F(DebugNodes, TreeRecordsAreKeyedByNameInATreeOfAnySlot) {
  const Ref<Tree> tree = New<SplayTree>();
  tree->SetIndex(5);
  for (const char* name : {"b", "a", "c"}) tree->Add(New<detail::DebugTreeNode>(Variant(name)));
  const Ref<ITreeNode> a = tree->Item(Variant("a"));
  ASSERT_TRUE(a);
  EXPECT_EQ(a->Key(-3).Kind(), VariantKind::String);
  ASSERT_TRUE(a->Right(0));  // splayed to the root, the other two to its right
  EXPECT_TRUE(Is(a->Right(0), a->Right(9)));
  const Ref<TreeEnum> walk = tree->NewEnum();
  std::string keys;
  for (Ref<ITreeNode> n = walk->NextItem(); n; n = walk->NextItem()) keys += n->Key(7).Text();
  EXPECT_EQ(keys, "abc");
  tree->Clear();
  EXPECT_EQ(a->Left(0), Nothing);
  EXPECT_EQ(a->Right(0), Nothing);
}

TEST_F(DebugNodes, StackElementsHaveOneLinkForEverySlot) {
  const Ref<detail::DebugStackNode> a = New<detail::DebugStackNode>();
  const Ref<detail::DebugStackNode> b = New<detail::DebugStackNode>();
  const Ref<Stack> stack = New<Stack>();
  stack->SetIndex(3);
  stack->Push(a);
  stack->Push(b);
  EXPECT_TRUE(Is(b->NextItem(-8), a));
  EXPECT_TRUE(Is(stack->Pop(), b));
  EXPECT_EQ(b->NextItem(0), Nothing);
}

}  // namespace
}  // namespace velmira
