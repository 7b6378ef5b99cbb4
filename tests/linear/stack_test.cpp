#include "velmira/linear/stack.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "scale.h"
#include "slot_map.h"

namespace velmira {
namespace {

constexpr const char* kAddNothing = "Stack: Warning, an attempt was made to Add Nothing";
constexpr const char* kAddLinked = "Stack: Warning, an attempt was made to Add a node with a successor";
constexpr const char* kIndexChange =
    "Stack: Warning, an attempt was made to change the Index of a non-empty stack";

/// A client element with a link per slot that counts its calls and can be told to throw.
class Node : public IStackNode {
 public:
  Ref<IStackNode> NextItem(std::int32_t Index) override {
    ++gets;
    if (throw_on_get) throw std::runtime_error("get failed");
    return next_.Get(Index);
  }
  void SetNextItem(std::int32_t Index, const Ref<IStackNode>& Value) override {
    ++sets;
    if (throw_on_set) throw std::runtime_error("set failed");
    next_[Index] = Value;
  }
  /// The link as stored, without counting a call.
  Ref<IStackNode> Link(std::int32_t index) const { return next_.Get(index); }

  int gets = 0, sets = 0;
  bool throw_on_get = false, throw_on_set = false;

 private:
  testing::SlotMap<Ref<IStackNode>> next_;
};

class StackTest : public testing::VelmiraTest {
 protected:
  Ref<Stack> stack_ = New<Stack>();
  Ref<Node> a_ = New<Node>(), b_ = New<Node>(), c_ = New<Node>();
};

TEST_F(StackTest, NewStackIsEmpty) {
  EXPECT_TRUE(stack_->IsEmpty());
  EXPECT_EQ(stack_->Top(), Nothing);
  EXPECT_EQ(stack_->Index(), 0);
}

TEST_F(StackTest, EmptyStackOperationsAreSilentNoOps) {
  EXPECT_EQ(stack_->Pop(), Nothing);
  stack_->Drop();
  stack_->Clear();
  EXPECT_TRUE(stack_->IsEmpty());
  ExpectSilence();
}

TEST_F(StackTest, PopReturnsLastPushedAndUnlinksIt) {
  stack_->Push(a_);
  stack_->Push(b_);
  stack_->Add(c_);
  EXPECT_TRUE(Is(stack_->Top(), c_));
  for (const Ref<Node>& expected : {c_, b_, a_}) {
    Ref<IStackNode> popped = stack_->Pop();
    EXPECT_TRUE(Is(popped, expected));
    EXPECT_EQ(expected->Link(0), Nothing);
  }
  EXPECT_EQ(stack_->Pop(), Nothing);
  stack_->Push(b_);  // a popped element goes back at once, without a warning
  EXPECT_TRUE(Is(stack_->Top(), b_));
  ExpectSilence();
}

TEST_F(StackTest, AddAndPopMakeOneGetAndOneSetEach) {
  stack_->Push(a_);
  EXPECT_EQ(a_->gets, 1);
  EXPECT_EQ(a_->sets, 1);
  stack_->Pop();
  EXPECT_EQ(a_->gets, 2);
  EXPECT_EQ(a_->sets, 2);
}

TEST_F(StackTest, DropRemovesTheTopAndReleasesIt) {
  stack_->Push(a_);
  stack_->Push(b_);
  stack_->Drop();
  EXPECT_TRUE(Is(stack_->Top(), a_));
  EXPECT_EQ(b_->Link(0), Nothing);
}

TEST_F(StackTest, AddNothingWarnsOnce) {
  stack_->Push(Nothing);
  ExpectWarning(kAddNothing);
  stack_->Add(Ref<IStackNode>());
  ExpectWarning(kAddNothing);
  EXPECT_TRUE(stack_->IsEmpty());
}

TEST_F(StackTest, AddOfAnElementWithASuccessorWarnsAndChangesNothing) {
  stack_->Push(a_);
  stack_->Push(b_);
  stack_->Push(b_);  // b's link points to a
  ExpectWarning(kAddLinked);
  EXPECT_TRUE(Is(stack_->Top(), b_));
  EXPECT_TRUE(Is(b_->Link(0), a_));
  EXPECT_EQ(b_->sets, 1);
}

TEST_F(StackTest, IndexChangesOnlyWhileEmpty) {
  stack_->SetIndex(5);
  EXPECT_EQ(stack_->Index(), 5);
  stack_->Push(a_);
  stack_->Push(b_);
  EXPECT_TRUE(Is(b_->Link(5), a_));
  EXPECT_EQ(b_->Link(0), Nothing);
  ExpectSilence();
  stack_->SetIndex(5);
  ExpectSilence();
  stack_->SetIndex(6);
  ExpectWarning(kIndexChange);
  EXPECT_EQ(stack_->Index(), 5);
}

TEST_F(StackTest, TwoStacksWithDifferentSlotsShareElements) {
  Ref<Stack> other = New<Stack>();
  other->SetIndex(1);
  for (const Ref<Node>& n : {a_, b_, c_}) {
    stack_->Push(n);
    other->Push(n);
  }
  EXPECT_TRUE(Is(stack_->Pop(), c_));
  EXPECT_TRUE(Is(c_->Link(1), b_));  // still linked in the other stack
  EXPECT_TRUE(Is(other->Pop(), c_));
  EXPECT_TRUE(Is(other->Pop(), b_));
  EXPECT_TRUE(Is(b_->Link(0), a_));  // untouched in the first stack
  EXPECT_TRUE(Is(stack_->Pop(), b_));
  ExpectSilence();
}

TEST_F(StackTest, ClearAndTeardownUnlinkEveryElement) {
  for (const Ref<Node>& n : {a_, b_, c_}) stack_->Push(n);
  stack_->Clear();
  EXPECT_TRUE(stack_->IsEmpty());
  for (const Ref<Node>& n : {a_, b_, c_}) stack_->Push(n);
  stack_.reset();
  for (const Ref<Node>& n : {a_, b_, c_}) EXPECT_EQ(n->Link(0), Nothing);
  ExpectSilence();
}

TEST_F(StackTest, ErrorFromTheSuccessorTestPassesThroughAndChangesNothing) {
  a_->throw_on_get = true;
  EXPECT_THROW(stack_->Push(a_), std::runtime_error);
  EXPECT_TRUE(stack_->IsEmpty());
}

TEST_F(StackTest, ErrorWhileResettingAPoppedLinkLeavesItOffTheStack) {
  stack_->Push(a_);
  stack_->Push(b_);
  b_->throw_on_set = true;
  EXPECT_THROW(stack_->Pop(), std::runtime_error);
  EXPECT_TRUE(Is(stack_->Top(), a_));
  EXPECT_TRUE(Is(b_->Link(0), a_));  // the reset did not happen
}

TEST_F(StackTest, ErrorWhileReadingALinkStopsPopWithTheStackUnchanged) {
  stack_->Push(a_);
  stack_->Push(b_);
  b_->throw_on_get = true;
  EXPECT_THROW(stack_->Pop(), std::runtime_error);
  EXPECT_TRUE(Is(stack_->Top(), b_));
}

TEST_F(StackTest, TeardownIgnoresElementErrorsAndReleasesEverything) {
  for (const Ref<Node>& n : {a_, b_, c_}) stack_->Push(n);
  b_->throw_on_get = true;
  EXPECT_NO_THROW(stack_.reset());
  EXPECT_EQ(c_->Link(0), Nothing);  // reached before the failure
  EXPECT_TRUE(Is(b_->Link(0), a_));  // not reached: keeps its link
  // The fixture's leak check proves the stack itself and the remaining chain were released.
}

TEST_F(StackTest, PushingAllocatesNothing) {
  std::vector<Ref<Node>> nodes;
  for (int i = 0; i < 1000; ++i) nodes.push_back(New<Node>());
  for (auto& n : nodes) n->SetNextItem(0, Nothing);  // create each element's slot up front
  const std::int64_t before = testing::AllocationCount();
  for (auto& n : nodes) stack_->Push(n);
  while (stack_->Pop()) {
  }
  EXPECT_EQ(testing::AllocationCount(), before);
}

/// A bare element with one link, for chains of millions.
class ThinNode : public IStackNode {
 public:
  Ref<IStackNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<IStackNode>& Value) override { next_ = Value; }

 private:
  Ref<IStackNode> next_;
};

TEST_F(StackTest, LongChainIsPushedClearedPushedAgainAndReleased) {
  std::vector<Ref<IStackNode>> nodes;
  nodes.reserve(testing::kLongChain);
  for (int i = 0; i < testing::kLongChain; ++i) nodes.push_back(New<ThinNode>());
  for (const auto& n : nodes) stack_->Push(n);
  stack_->Clear();
  EXPECT_TRUE(stack_->IsEmpty());
  for (const auto& n : nodes) stack_->Push(n);
  nodes.clear();  // the stack now holds the only references
  stack_.reset();
}

}  // namespace
}  // namespace velmira
