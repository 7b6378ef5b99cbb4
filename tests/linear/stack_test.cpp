#include "velmira/linear/stack.h"

#include <gtest/gtest.h>

#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "client_nodes.h"
#include "scale.h"
#include "velmira/core/stack_node.h"

namespace velmira {
namespace {

using testing::ClientStackNode;

constexpr const char* kAddNothing = "Stack: Warning, an attempt was made to Add Nothing";
constexpr const char* kAddLinked =
    "Stack: Warning, an attempt was made to Add a node with a successor";
constexpr const char* kIndexChange =
    "Stack: Warning, an attempt was made to change the Index of a non-empty stack";

// Behaviour, run over every element class in StackElementTypes. Elements are made with
// New<E>() and their links are read only through IStackNode.
template <class E>
class StackTest : public testing::VelmiraTest {
 protected:
  static Ref<IStackNode> Link(const Ref<E>& element, std::int32_t slot) {
    return testing::StackLink(element, slot);
  }

  Ref<Stack> stack_ = New<Stack>();
  Ref<E> a_ = New<E>(), b_ = New<E>(), c_ = New<E>();
};

using StackElementTypes = ::testing::Types<ClientStackNode, StackNode>;
TYPED_TEST_SUITE(StackTest, StackElementTypes);

TYPED_TEST(StackTest, NewStackIsEmpty) {
  EXPECT_TRUE(this->stack_->IsEmpty());
  EXPECT_EQ(this->stack_->Top(), Nothing);
  EXPECT_EQ(this->stack_->Index(), 0);
}

TYPED_TEST(StackTest, EmptyStackOperationsAreSilentNoOps) {
  EXPECT_EQ(this->stack_->Pop(), Nothing);
  this->stack_->Drop();
  this->stack_->Clear();
  EXPECT_TRUE(this->stack_->IsEmpty());
  this->ExpectSilence();
}

TYPED_TEST(StackTest, PopReturnsLastPushedAndUnlinksIt) {
  auto& stack = this->stack_;
  stack->Push(this->a_);
  stack->Push(this->b_);
  stack->Add(this->c_);
  EXPECT_TRUE(Is(stack->Top(), this->c_));
  for (const Ref<TypeParam>& expected : {this->c_, this->b_, this->a_}) {
    Ref<IStackNode> popped = stack->Pop();
    EXPECT_TRUE(Is(popped, expected));
    EXPECT_EQ(this->Link(expected, 0), Nothing);
  }
  EXPECT_EQ(stack->Pop(), Nothing);
  stack->Push(this->b_);  // a popped element goes back at once, without a warning
  EXPECT_TRUE(Is(stack->Top(), this->b_));
  this->ExpectSilence();
}

TYPED_TEST(StackTest, DropRemovesTheTopAndReleasesIt) {
  this->stack_->Push(this->a_);
  this->stack_->Push(this->b_);
  this->stack_->Drop();
  EXPECT_TRUE(Is(this->stack_->Top(), this->a_));
  EXPECT_EQ(this->Link(this->b_, 0), Nothing);
}

TYPED_TEST(StackTest, AddNothingWarnsOnce) {
  this->stack_->Push(Nothing);
  this->ExpectWarning(kAddNothing);
  this->stack_->Add(Ref<IStackNode>());
  this->ExpectWarning(kAddNothing);
  EXPECT_TRUE(this->stack_->IsEmpty());
}

TYPED_TEST(StackTest, AddOfAnElementWithASuccessorWarnsAndChangesNothing) {
  this->stack_->Push(this->a_);
  this->stack_->Push(this->b_);
  this->stack_->Push(this->b_);  // b's link points to a
  this->ExpectWarning(kAddLinked);
  EXPECT_TRUE(Is(this->stack_->Top(), this->b_));
  EXPECT_TRUE(Is(this->Link(this->b_, 0), this->a_));
  EXPECT_EQ(this->Link(this->a_, 0), Nothing);
}

TYPED_TEST(StackTest, IndexChangesOnlyWhileEmpty) {
  auto& stack = this->stack_;
  stack->SetIndex(5);
  EXPECT_EQ(stack->Index(), 5);
  stack->Push(this->a_);
  stack->Push(this->b_);
  EXPECT_TRUE(Is(this->Link(this->b_, 5), this->a_));
  EXPECT_EQ(this->Link(this->b_, 0), Nothing);
  this->ExpectSilence();
  stack->SetIndex(5);
  this->ExpectSilence();
  stack->SetIndex(6);
  this->ExpectWarning(kIndexChange);
  EXPECT_EQ(stack->Index(), 5);
}

TYPED_TEST(StackTest, TwoStacksWithDifferentSlotsShareElements) {
  auto& stack = this->stack_;
  Ref<Stack> other = New<Stack>();
  other->SetIndex(1);
  for (const Ref<TypeParam>& n : {this->a_, this->b_, this->c_}) {
    stack->Push(n);
    other->Push(n);
  }
  EXPECT_TRUE(Is(stack->Pop(), this->c_));
  EXPECT_TRUE(Is(this->Link(this->c_, 1), this->b_));  // still linked in the other stack
  EXPECT_TRUE(Is(other->Pop(), this->c_));
  EXPECT_TRUE(Is(other->Pop(), this->b_));
  EXPECT_TRUE(Is(this->Link(this->b_, 0), this->a_));  // untouched in the first stack
  EXPECT_TRUE(Is(stack->Pop(), this->b_));
  this->ExpectSilence();
}

TYPED_TEST(StackTest, ClearAndTeardownUnlinkEveryElement) {
  auto& stack = this->stack_;
  for (const Ref<TypeParam>& n : {this->a_, this->b_, this->c_}) stack->Push(n);
  stack->Clear();
  EXPECT_TRUE(stack->IsEmpty());
  for (const Ref<TypeParam>& n : {this->a_, this->b_, this->c_}) {
    EXPECT_EQ(this->Link(n, 0), Nothing);
    stack->Push(n);
  }
  stack.reset();
  for (const Ref<TypeParam>& n : {this->a_, this->b_, this->c_}) {
    EXPECT_EQ(this->Link(n, 0), Nothing);
  }
  this->ExpectSilence();
}

TYPED_TEST(StackTest, PushingAllocatesNothing) {
  std::vector<Ref<TypeParam>> nodes;
  for (int i = 0; i < 1000; ++i) nodes.push_back(New<TypeParam>());
  // Let each element set up its slot first: only the stack's own work is counted.
  for (auto& n : nodes) static_cast<IStackNode&>(*n).SetNextItem(0, Nothing);
  const std::int64_t before = testing::AllocationCount();
  for (auto& n : nodes) this->stack_->Push(n);
  while (this->stack_->Pop()) {
  }
  EXPECT_EQ(testing::AllocationCount(), before);
}

// Element calls and element errors, with the client element that counts and throws.
class StackClientTest : public testing::VelmiraTest {
 protected:
  Ref<Stack> stack_ = New<Stack>();
  Ref<ClientStackNode> a_ = New<ClientStackNode>(), b_ = New<ClientStackNode>(),
                       c_ = New<ClientStackNode>();
};

TEST_F(StackClientTest, AddAndPopMakeOneGetAndOneSetEach) {
  stack_->Push(a_);
  EXPECT_EQ(a_->gets, 1);
  EXPECT_EQ(a_->sets, 1);
  stack_->Pop();
  EXPECT_EQ(a_->gets, 2);
  EXPECT_EQ(a_->sets, 2);
}

TEST_F(StackClientTest, RefusedAddSetsNoLink) {
  stack_->Push(a_);
  stack_->Push(b_);
  stack_->Push(b_);
  ExpectWarning(kAddLinked);
  EXPECT_EQ(b_->sets, 1);
}

TEST_F(StackClientTest, ErrorFromTheSuccessorTestPassesThroughAndChangesNothing) {
  a_->throw_on_get = true;
  EXPECT_THROW(stack_->Push(a_), testing::ElementError);
  EXPECT_TRUE(stack_->IsEmpty());
}

TEST_F(StackClientTest, ErrorWhileResettingAPoppedLinkLeavesItOffTheStack) {
  stack_->Push(a_);
  stack_->Push(b_);
  b_->throw_on_set = true;
  EXPECT_THROW(stack_->Pop(), testing::ElementError);
  EXPECT_TRUE(Is(stack_->Top(), a_));
  EXPECT_TRUE(Is(testing::StackLink(b_, 0), a_));  // the reset did not happen
}

TEST_F(StackClientTest, ErrorWhileReadingALinkStopsPopWithTheStackUnchanged) {
  stack_->Push(a_);
  stack_->Push(b_);
  b_->throw_on_get = true;
  EXPECT_THROW(stack_->Pop(), testing::ElementError);
  EXPECT_TRUE(Is(stack_->Top(), b_));
}

TEST_F(StackClientTest, TeardownIgnoresElementErrorsAndReleasesEverything) {
  for (const Ref<ClientStackNode>& n : {a_, b_, c_}) stack_->Push(n);
  b_->throw_on_get = true;
  EXPECT_NO_THROW(stack_.reset());
  b_->throw_on_get = false;
  EXPECT_EQ(testing::StackLink(c_, 0), Nothing);   // reached before the failure
  EXPECT_TRUE(Is(testing::StackLink(b_, 0), a_));  // not reached: keeps its link
  // The fixture's leak check proves the stack itself and the remaining chain were released.
}

TEST_F(StackClientTest, LongChainIsPushedClearedPushedAgainAndReleased) {
  std::vector<Ref<IStackNode>> nodes;
  nodes.reserve(testing::kLongChain);
  for (int i = 0; i < testing::kLongChain; ++i) nodes.push_back(New<testing::ThinStackNode>());
  for (const auto& n : nodes) stack_->Push(n);
  stack_->Clear();
  EXPECT_TRUE(stack_->IsEmpty());
  for (const auto& n : nodes) stack_->Push(n);
  nodes.clear();  // the stack now holds the only references
  stack_.reset();
}

}  // namespace
}  // namespace velmira
