// The debugger's record lookup leaves its tree exactly as the tree's own Exists, Item and Add
// would, and the debugger reuses a call-stack element only when no one else holds it.
#include "debug/debug_record_tree.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "debug/debugger_impl.h"
#include "velmira/tree/splay_tree.h"

namespace velmira {
namespace {

using DebugRecordTreeTest = testing::VelmiraTest;

/// The tree's shape, keys and counts as text: "(name:count left right)", "-" for Nothing.
std::string Shape(const Ref<ITreeNode>& n) {
  if (!n) return "-";
  const auto* record = static_cast<const detail::DebugTreeNode*>(n.get());
  return "(" + record->Name() + ":" + std::to_string(record->Count()) + " " + Shape(n->Left(0)) +
         " " + Shape(n->Right(0)) + ")";
}

/// The root of a tree, read through its enumerator's first pre-order step.
Ref<ITreeNode> RootOf(const Ref<Tree>& tree) {
  const Ref<TreeEnum> walk = tree->NewEnum();
  walk->SetOrder(eTreeEnumPreOrder);
  return walk->NextItem();
}

/// The lookup as the tree interface spells it: Exists, then Item, else a new record added.
Ref<detail::DebugTreeNode> ModelRecord(const Ref<Tree>& tree, const std::string& name) {
  if (tree->Exists(Variant(name))) {
    const Ref<ITreeNode> found = tree->Item(Variant(name));
    return Ref<detail::DebugTreeNode>(static_cast<detail::DebugTreeNode*>(found.get()));
  }
  Ref<detail::DebugTreeNode> created = New<detail::DebugTreeNode>(Variant(name));
  tree->Add(created);
  return created;
}

TEST_F(DebugRecordTreeTest, LookupsShapeTheTreeAsTheTreeInterfaceWould) {
  // Names with shared prefixes, multi-byte texts (ordered by UTF-16 code units) and the empty
  // name; skewed so that some are at the root often and others deep down.
  std::vector<std::string> names = {
      "", "a", "ab", "abc", "b", "\xC3\xA9", "\xF0\x9F\x98\x80", "\xEF\xBD\xA1", "Main", "main"};
  for (int i = 0; i < 40; ++i) names.push_back("P" + std::to_string(i * 37 % 101));
  std::mt19937 random(99);
  std::uniform_int_distribution<std::size_t> any(0, names.size() - 1), hot(0, 3);
  const Ref<detail::DebugRecordTree> fast = New<detail::DebugRecordTree>();
  const Ref<Tree> model = New<SplayTree>();
  for (int step = 0; step < 3000; ++step) {
    const std::string& name = names[step % 3 == 0 ? any(random) : hot(random)];
    detail::DebugTreeNode& got = fast->Record(name);
    const Ref<detail::DebugTreeNode> expected = ModelRecord(model, name);
    got.SetCount(got.Count() + 1);
    expected->SetCount(expected->Count() + 1);
    ASSERT_EQ(got.Name(), name);
    if (step % 7 == 0) {
      // A miss splays the last record on the search path up, as Exists does.
      EXPECT_EQ(fast->Find(name + "~"), nullptr);
      EXPECT_FALSE(model->Exists(Variant(name + "~")));
    }
    ASSERT_EQ(Shape(RootOf(fast)), Shape(RootOf(model))) << "step " << step << ": " << name;
  }
}

class DebuggerHotPath : public testing::VelmiraTest {
 protected:
  DebuggerHotPath() {
    debugger_->SetOutputToDebug(false);
    debugger_->SetOutputToFile(false);
  }
  Ref<Debugger> debugger_ = New<Debugger>();
  Ref<detail::DebuggerImpl> impl_ = As<detail::DebuggerImpl>(debugger_);
};

TEST_F(DebuggerHotPath, EnterAndLeaveOfKnownNamesAllocateNothing) {
  const std::string outer = "an outer procedure with a name too long to be stored inline";
  debugger_->Enter(outer);
  for (int i = 0; i < 2; ++i) {  // the second round splays, and sizes the reused path once
    debugger_->Enter("Inner");
    debugger_->Leave("Inner");
  }
  const std::int64_t before = testing::AllocationCount();
  for (int i = 0; i < 100; ++i) {
    debugger_->Enter("Inner");
    debugger_->Leave("Inner");
  }
  EXPECT_EQ(testing::AllocationCount(), before);
  debugger_->Leave(outer);
}

TEST_F(DebuggerHotPath, AStackElementSomeoneHoldsIsNotReused) {
  debugger_->Enter("A");
  const Ref<IStackNode> held = impl_->CallStack()->Top();
  debugger_->Leave("A");
  debugger_->Enter("B");
  Ref<IStackNode> top = impl_->CallStack()->Top();
  EXPECT_FALSE(Is(top, held));
  EXPECT_EQ(static_cast<detail::DebugStackNode*>(held.get())->Proc().Text(), "A");
  const Ref<IStackNode> held_too = top;
  debugger_->Leave("B");
  EXPECT_EQ(static_cast<detail::DebugStackNode*>(held_too.get())->Proc().Text(), "B");
  debugger_->Enter("C");
  EXPECT_FALSE(Is(impl_->CallStack()->Top(), top));
  debugger_->Leave("C");
}

}  // namespace
}  // namespace velmira
