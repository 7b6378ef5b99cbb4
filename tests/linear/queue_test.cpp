#include "velmira/linear/queue.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "client_nodes.h"
#include "scale.h"
#include "velmira/core/queue_node.h"

namespace velmira {
namespace {

using testing::ClientQueueNode;
using testing::QueueLink;

constexpr const char* kAddNothing = "Queue: Warning, an attempt was made to Add Nothing";
constexpr const char* kAddLinked =
    "Queue: Warning, an attempt was made to Add a node with a successor";
constexpr const char* kRemoveAbsent =
    "Queue: Warning, an attempt was made to Remove an item from a queue it wasn't in";
constexpr const char* kIndexChange =
    "Queue: Warning, an attempt was made to change the Index of a non-empty queue";

/// Takes every element out with `NextItem` and expects exactly `expected`, in that order, each
/// with its link in the queue's slot reset; then expects the queue to be empty.
template <class E>
void ExpectDrainsAs(Queue& queue, std::initializer_list<Ref<E>> expected) {
  const std::int32_t slot = queue.Index();
  int position = 0;
  for (const Ref<E>& element : expected) {
    Ref<IQueueNode> taken = queue.NextItem();
    EXPECT_TRUE(Is(taken, element)) << "wrong element at position " << position;
    EXPECT_EQ(QueueLink(element, slot), Nothing) << "link not reset at position " << position;
    ++position;
  }
  EXPECT_EQ(queue.NextItem(), Nothing);
  EXPECT_TRUE(queue.IsEmpty());
  EXPECT_EQ(queue.First(), Nothing);
}

// Behaviour, run over every element class in QueueElementTypes. Elements are made with
// New<E>() and their links are read only through IQueueNode.
template <class E>
class QueueTest : public testing::VelmiraTest {
 protected:
  void AddAll(std::initializer_list<Ref<E>> elements) {
    for (const Ref<E>& e : elements) queue_->Add(e);
  }
  void ExpectDrainsAs(std::initializer_list<Ref<E>> expected) {
    velmira::ExpectDrainsAs<E>(*queue_, expected);
  }

  Ref<Queue> queue_ = New<Queue>();
  Ref<E> a_ = New<E>(), b_ = New<E>(), c_ = New<E>(), d_ = New<E>();
};

using QueueElementTypes = ::testing::Types<ClientQueueNode, QueueNode>;
TYPED_TEST_SUITE(QueueTest, QueueElementTypes);

TYPED_TEST(QueueTest, NewQueueIsEmpty) {
  EXPECT_TRUE(this->queue_->IsEmpty());
  EXPECT_EQ(this->queue_->First(), Nothing);
  EXPECT_EQ(this->queue_->Index(), 0);
}

TYPED_TEST(QueueTest, EmptyQueueOperationsAreSilentNoOps) {
  auto& queue = this->queue_;
  EXPECT_EQ(queue->NextItem(), Nothing);
  queue->Clear();
  queue->Remove(this->a_);
  queue->Remove(Nothing);
  EXPECT_TRUE(queue->IsEmpty());
  EXPECT_EQ(QueueLink(this->a_, 0), Nothing);
  this->ExpectSilence();
}

TYPED_TEST(QueueTest, NextItemReturnsElementsInArrivalOrder) {
  this->AddAll({this->a_, this->b_, this->c_});
  EXPECT_TRUE(Is(this->queue_->First(), this->a_));
  EXPECT_FALSE(this->queue_->IsEmpty());
  this->ExpectDrainsAs({this->a_, this->b_, this->c_});
  this->ExpectSilence();
}

TYPED_TEST(QueueTest, TakenElementsCanBeAddedAgainAtOnce) {
  this->AddAll({this->a_, this->b_});
  Ref<IQueueNode> first = this->queue_->NextItem();
  this->queue_->Add(first);  // a goes behind b, without a warning
  this->queue_->Add(this->c_);
  this->ExpectDrainsAs({this->b_, this->a_, this->c_});
  this->ExpectSilence();
}

TYPED_TEST(QueueTest, TakingTheOnlyElementEmptiesTheQueueAndAddStartsAfresh) {
  this->queue_->Add(this->a_);
  EXPECT_TRUE(Is(this->queue_->NextItem(), this->a_));
  EXPECT_TRUE(this->queue_->IsEmpty());
  this->AddAll({this->b_, this->c_});
  this->ExpectDrainsAs({this->b_, this->c_});
  EXPECT_EQ(QueueLink(this->a_, 0), Nothing);
}

TYPED_TEST(QueueTest, RemoveHeadThenAdd) {
  this->AddAll({this->a_, this->b_, this->c_});
  this->queue_->Remove(this->a_);
  EXPECT_EQ(QueueLink(this->a_, 0), Nothing);
  EXPECT_TRUE(Is(this->queue_->First(), this->b_));
  this->queue_->Add(this->d_);
  this->ExpectDrainsAs({this->b_, this->c_, this->d_});
  this->ExpectSilence();
}

TYPED_TEST(QueueTest, RemoveMiddleThenAdd) {
  this->AddAll({this->a_, this->b_, this->c_});
  this->queue_->Remove(this->b_);
  EXPECT_EQ(QueueLink(this->b_, 0), Nothing);
  EXPECT_TRUE(Is(QueueLink(this->a_, 0), this->c_));
  this->queue_->Add(this->d_);
  this->ExpectDrainsAs({this->a_, this->c_, this->d_});
  this->ExpectSilence();
}

TYPED_TEST(QueueTest, RemoveTailThenAddLinksBehindTheNewTail) {
  this->AddAll({this->a_, this->b_, this->c_});
  this->queue_->Remove(this->c_);
  EXPECT_EQ(QueueLink(this->b_, 0), Nothing);
  this->queue_->Add(this->d_);
  EXPECT_EQ(QueueLink(this->c_, 0), Nothing);  // d was not linked behind the removed tail
  this->ExpectDrainsAs({this->a_, this->b_, this->d_});
  this->ExpectSilence();
}

TYPED_TEST(QueueTest, RemoveTheOnlyElementThenAdd) {
  this->queue_->Add(this->a_);
  this->queue_->Remove(this->a_);
  EXPECT_TRUE(this->queue_->IsEmpty());
  this->AddAll({this->b_, this->a_});
  this->ExpectDrainsAs({this->b_, this->a_});
  this->ExpectSilence();
}

TYPED_TEST(QueueTest, RemoveIgnoresItsIndexArgument) {
  this->AddAll({this->a_, this->b_, this->c_});
  this->queue_->Remove(this->b_, 7);  // works in slot 0 all the same
  this->ExpectDrainsAs({this->a_, this->c_});
  EXPECT_EQ(QueueLink(this->b_, 0), Nothing);

  this->queue_->SetIndex(3);
  this->AddAll({this->a_, this->b_, this->c_});
  this->queue_->Remove(this->b_);  // the default 0 is ignored too: slot 3 is used
  EXPECT_TRUE(Is(QueueLink(this->a_, 3), this->c_));
  this->ExpectDrainsAs({this->a_, this->c_});
  this->ExpectSilence();
}

TYPED_TEST(QueueTest, AddNothingWarnsOnce) {
  this->queue_->Add(this->a_);
  this->queue_->Add(Nothing);
  this->ExpectWarning(kAddNothing);
  this->queue_->Add(Ref<IQueueNode>());
  this->ExpectWarning(kAddNothing);
  this->ExpectDrainsAs({this->a_});
}

TYPED_TEST(QueueTest, AddOfAnElementWithASuccessorWarnsAndChangesNothing) {
  this->AddAll({this->a_, this->b_, this->c_});
  this->queue_->Add(this->b_);
  this->ExpectWarning(kAddLinked);
  this->queue_->Add(this->c_);  // the last element: its link is Nothing, but it is linked
  this->ExpectWarning(kAddLinked);
  EXPECT_TRUE(Is(QueueLink(this->b_, 0), this->c_));
  EXPECT_EQ(QueueLink(this->c_, 0), Nothing);
  this->ExpectDrainsAs({this->a_, this->b_, this->c_});
}

TYPED_TEST(QueueTest, RemoveOfANonMemberWarnsAndChangesNothing) {
  Ref<Queue> other = New<Queue>();  // same slot: d is linked, but not in this queue
  other->Add(this->d_);
  other->Add(this->c_);
  this->AddAll({this->a_, this->b_});
  this->queue_->Remove(this->c_);
  this->ExpectWarning(kRemoveAbsent);
  this->queue_->Remove(this->d_);
  this->ExpectWarning(kRemoveAbsent);
  this->queue_->Remove(Nothing);  // Nothing is silent even on a non-empty queue
  this->ExpectSilence();
  EXPECT_TRUE(Is(QueueLink(this->d_, 0), this->c_));
  this->ExpectDrainsAs({this->a_, this->b_});
  ExpectDrainsAs<TypeParam>(*other, {this->d_, this->c_});
}

TYPED_TEST(QueueTest, IndexChangesOnlyWhileEmpty) {
  auto& queue = this->queue_;
  queue->SetIndex(5);
  EXPECT_EQ(queue->Index(), 5);
  this->AddAll({this->a_, this->b_});
  EXPECT_TRUE(Is(QueueLink(this->a_, 5), this->b_));
  EXPECT_EQ(QueueLink(this->a_, 0), Nothing);
  this->ExpectSilence();
  queue->SetIndex(5);
  this->ExpectSilence();
  queue->SetIndex(6);
  this->ExpectWarning(kIndexChange);
  EXPECT_EQ(queue->Index(), 5);
  this->ExpectDrainsAs({this->a_, this->b_});
  queue->SetIndex(6);
  EXPECT_EQ(queue->Index(), 6);
  this->ExpectSilence();
}

TYPED_TEST(QueueTest, TwoQueuesWithDifferentSlotsShareElements) {
  Ref<Queue> other = New<Queue>();
  other->SetIndex(1);
  this->AddAll({this->a_, this->b_, this->c_});
  for (const Ref<TypeParam>& n : {this->c_, this->b_, this->a_}) other->Add(n);
  this->queue_->Remove(this->b_);
  EXPECT_EQ(QueueLink(this->b_, 0), Nothing);
  EXPECT_TRUE(Is(QueueLink(this->b_, 1), this->a_));  // its place in the other queue is kept
  EXPECT_TRUE(Is(this->queue_->NextItem(), this->a_));
  EXPECT_TRUE(Is(QueueLink(this->c_, 1), this->b_));
  ExpectDrainsAs<TypeParam>(*other, {this->c_, this->b_, this->a_});
  this->ExpectDrainsAs({this->c_});
  this->ExpectSilence();
}

TYPED_TEST(QueueTest, ClearAndTeardownUnlinkEveryElement) {
  auto& queue = this->queue_;
  this->AddAll({this->a_, this->b_, this->c_});
  queue->Clear();
  EXPECT_TRUE(queue->IsEmpty());
  EXPECT_EQ(queue->First(), Nothing);
  for (const Ref<TypeParam>& n : {this->a_, this->b_, this->c_}) {
    EXPECT_EQ(QueueLink(n, 0), Nothing);
  }
  this->AddAll({this->d_, this->a_, this->b_});
  EXPECT_TRUE(Is(queue->First(), this->d_));
  queue.reset();
  for (const Ref<TypeParam>& n : {this->a_, this->b_, this->d_}) {
    EXPECT_EQ(QueueLink(n, 0), Nothing);
  }
  this->ExpectSilence();
}

TYPED_TEST(QueueTest, AnEmptiedQueueHoldsNoReferences) {
  // Whichever way the queue is emptied, neither end keeps an element alive.
  auto& queue = this->queue_;
  const std::int64_t live = LiveObjectCount();
  auto add_two = [&] {
    Ref<TypeParam> x = New<TypeParam>(), y = New<TypeParam>();
    queue->Add(x);
    queue->Add(y);
  };
  add_two();
  queue->Clear();
  EXPECT_EQ(LiveObjectCount(), live) << "after Clear";
  add_two();
  while (queue->NextItem()) {
  }
  EXPECT_EQ(LiveObjectCount(), live) << "after NextItem";
  add_two();
  queue->Remove(queue->First());
  queue->Remove(queue->First());
  EXPECT_EQ(LiveObjectCount(), live) << "after Remove from the head";
  add_two();
  Ref<IQueueNode> head = queue->First();
  queue->Remove(head->NextItem(0));
  queue->Remove(head);
  head.reset();
  EXPECT_EQ(LiveObjectCount(), live) << "after Remove of the tail";
  EXPECT_TRUE(queue->IsEmpty());
}

TYPED_TEST(QueueTest, AddingAndTakingAllocateNothing) {
  std::vector<Ref<TypeParam>> nodes;
  for (int i = 0; i < 1000; ++i) nodes.push_back(New<TypeParam>());
  // Let each element set up its slot first: only the queue's own work is counted.
  for (auto& n : nodes) static_cast<IQueueNode&>(*n).SetNextItem(0, Nothing);
  const std::int64_t before = testing::AllocationCount();
  for (auto& n : nodes) this->queue_->Add(n);
  this->queue_->Remove(nodes[500]);
  while (this->queue_->NextItem()) {
  }
  EXPECT_EQ(testing::AllocationCount(), before);
}

// Element calls and element errors, with the client element that counts and throws.
class QueueClientTest : public testing::VelmiraTest {
 protected:
  void AddAll(std::initializer_list<Ref<ClientQueueNode>> elements) {
    for (const auto& e : elements) queue_->Add(e);
  }

  Ref<Queue> queue_ = New<Queue>();
  Ref<ClientQueueNode> a_ = New<ClientQueueNode>(), b_ = New<ClientQueueNode>(),
                       c_ = New<ClientQueueNode>();
};

TEST_F(QueueClientTest, AddTouchesOnlyTheNewElementAndTheOldLast) {
  AddAll({a_, b_});
  const int a_calls = a_->gets + a_->sets;
  queue_->Add(c_);
  EXPECT_EQ(a_->gets + a_->sets, a_calls);  // constant time: the head is not walked
  EXPECT_EQ(b_->sets, 1);                   // the old last now links to c
  EXPECT_EQ(c_->gets, 1);                   // the successor test
  EXPECT_EQ(c_->sets, 0);
}

TEST_F(QueueClientTest, NextItemMakesOneGetAndOneSetAndNoneForTheOnlyElement) {
  AddAll({a_, b_});
  const int a_gets = a_->gets, a_sets = a_->sets, b_gets = b_->gets, b_sets = b_->sets;
  queue_->NextItem();
  EXPECT_EQ(a_->gets, a_gets + 1);
  EXPECT_EQ(a_->sets, a_sets + 1);
  queue_->NextItem();  // b is first and last: its link is already Nothing and is left alone
  EXPECT_EQ(b_->gets, b_gets);
  EXPECT_EQ(b_->sets, b_sets);
}

TEST_F(QueueClientTest, RefusedAddSetsNoLink) {
  AddAll({a_, b_});
  queue_->Add(a_);
  ExpectWarning(kAddLinked);
  EXPECT_EQ(a_->sets, 1);
  EXPECT_EQ(b_->sets, 0);
}

TEST_F(QueueClientTest, ErrorFromTheSuccessorTestPassesThroughAndChangesNothing) {
  queue_->Add(b_);
  a_->throw_on_get = true;
  EXPECT_THROW(queue_->Add(a_), testing::ElementError);
  a_->throw_on_get = false;
  EXPECT_EQ(b_->sets, 0);
  queue_->Add(c_);
  ExpectDrainsAs<ClientQueueNode>(*queue_, {b_, c_});
}

TEST_F(QueueClientTest, ErrorWhileLinkingBehindTheLastLeavesTheQueueUnchanged) {
  queue_->Add(a_);
  a_->throw_on_set = true;
  EXPECT_THROW(queue_->Add(b_), testing::ElementError);
  a_->throw_on_set = false;
  queue_->Add(c_);  // the last is still a
  ExpectDrainsAs<ClientQueueNode>(*queue_, {a_, c_});
}

TEST_F(QueueClientTest, ErrorWhileResettingATakenLinkLeavesItOutOfTheQueue) {
  AddAll({a_, b_});
  a_->throw_on_set = true;
  EXPECT_THROW(queue_->NextItem(), testing::ElementError);
  a_->throw_on_set = false;
  EXPECT_TRUE(Is(queue_->First(), b_));
  EXPECT_TRUE(Is(QueueLink(a_, 0), b_));  // the reset did not happen
  ExpectDrainsAs<ClientQueueNode>(*queue_, {b_});
}

TEST_F(QueueClientTest, ErrorDuringTheRemoveWalkChangesNothing) {
  AddAll({a_, b_, c_});
  b_->throw_on_get = true;
  EXPECT_THROW(queue_->Remove(c_), testing::ElementError);
  b_->throw_on_get = false;
  ExpectSilence();
  ExpectDrainsAs<ClientQueueNode>(*queue_, {a_, b_, c_});
}

TEST_F(QueueClientTest, ErrorWhileResettingARemovedLinkLeavesItOutOfTheQueue) {
  AddAll({a_, b_, c_});
  b_->throw_on_set = true;
  EXPECT_THROW(queue_->Remove(b_), testing::ElementError);
  b_->throw_on_set = false;
  EXPECT_TRUE(Is(QueueLink(a_, 0), c_));  // the step taken stays taken
  EXPECT_TRUE(Is(QueueLink(b_, 0), c_));
  ExpectDrainsAs<ClientQueueNode>(*queue_, {a_, c_});
}

TEST_F(QueueClientTest, ErrorWhileUnlinkingARemovedTailLeavesTheQueueUnchanged) {
  AddAll({a_, b_, c_});
  b_->throw_on_set = true;
  EXPECT_THROW(queue_->Remove(c_), testing::ElementError);
  b_->throw_on_set = false;
  ExpectDrainsAs<ClientQueueNode>(*queue_, {a_, b_, c_});
}

TEST_F(QueueClientTest, ErrorDuringClearStopsThereAndClearCanFinishLater) {
  AddAll({a_, b_, c_});
  b_->throw_on_get = true;
  EXPECT_THROW(queue_->Clear(), testing::ElementError);
  b_->throw_on_get = false;
  EXPECT_EQ(QueueLink(a_, 0), Nothing);  // reached before the failure
  EXPECT_TRUE(Is(queue_->First(), b_));
  queue_->Clear();
  EXPECT_TRUE(queue_->IsEmpty());
  queue_->Add(a_);
  ExpectDrainsAs<ClientQueueNode>(*queue_, {a_});
  EXPECT_EQ(QueueLink(c_, 0), Nothing);
}

TEST_F(QueueClientTest, TeardownIgnoresElementErrorsAndReleasesEverything) {
  AddAll({a_, b_, c_});
  b_->throw_on_get = true;
  EXPECT_NO_THROW(queue_.reset());
  b_->throw_on_get = false;
  EXPECT_EQ(QueueLink(a_, 0), Nothing);   // reached before the failure
  EXPECT_TRUE(Is(QueueLink(b_, 0), c_));  // not reached: keeps its link
  ExpectSilence();
  // The fixture's leak check proves the queue itself and the remaining chain were released.
}

TEST_F(QueueClientTest, LongChainIsClearedAddedAgainAndReleased) {
  std::vector<Ref<IQueueNode>> nodes;
  nodes.reserve(testing::kLongChain);
  for (int i = 0; i < testing::kLongChain; ++i) nodes.push_back(New<testing::ThinQueueNode>());
  for (const auto& n : nodes) queue_->Add(n);
  EXPECT_TRUE(Is(queue_->First(), nodes.front()));
  queue_->Clear();
  EXPECT_TRUE(queue_->IsEmpty());
  for (const auto& n : nodes) queue_->Add(n);
  nodes.clear();  // the queue now holds the only references
  queue_.reset();
}

}  // namespace
}  // namespace velmira
