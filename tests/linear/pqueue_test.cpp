#include "velmira/linear/pqueue.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "client_nodes.h"
#include "scale.h"
#include "velmira/core/pqueue_node.h"

namespace velmira {
namespace {

using testing::ClientPQueueNode;
using testing::PQueueLink;

constexpr const char* kAddNothing = "PQueue: Warning, an attempt was made to Add Nothing";
constexpr const char* kAddNullKey =
    "PQueue: Warning, an attempt was made to Add a node with a null key";
constexpr const char* kAddLinked =
    "PQueue: Warning, an attempt was made to Add a node with a successor";
constexpr const char* kRemoveAbsent =
    "PQueue: Warning, an attempt was made to Remove an item from a priority queue it wasn't in";
constexpr const char* kIndexChange =
    "PQueue: Warning, an attempt was made to change the Index of a non-empty priority queue";

/// Takes every element out with `NextItem` and expects exactly `expected`, in that order, each
/// with its link in the queue's slot reset; then expects the queue to be empty.
template <class E>
void ExpectDrainsAs(PQueue& queue, const std::vector<Ref<E>>& expected) {
  const std::int32_t slot = queue.Index();
  for (std::size_t position = 0; position < expected.size(); ++position) {
    Ref<IPQueueNode> taken = queue.NextItem();
    EXPECT_TRUE(Is(taken, expected[position])) << "wrong element at position " << position;
    EXPECT_EQ(PQueueLink(expected[position], slot), Nothing)
        << "link not reset at position " << position;
  }
  EXPECT_EQ(queue.NextItem(), Nothing);
  EXPECT_TRUE(queue.IsEmpty());
  EXPECT_EQ(queue.First(), Nothing);
}

// Behaviour, run over every element class in PQueueElementTypes. Elements are made with
// New<E>(), keyed with SetKey(Index, value), and their links are read only through IPQueueNode.
template <class E>
class PQueueTest : public testing::VelmiraTest {
 protected:
  /// A new element whose key in `slot` is `key`.
  static Ref<E> Keyed(const Variant& key, std::int32_t slot = 0) {
    Ref<E> element = New<E>();
    element->SetKey(slot, key);
    return element;
  }
  void AddAll(std::initializer_list<Ref<E>> elements) {
    for (const Ref<E>& e : elements) queue_->Add(e);
  }
  void ExpectDrainsAs(const std::vector<Ref<E>>& expected) {
    velmira::ExpectDrainsAs<E>(*queue_, expected);
  }

  Ref<PQueue> queue_ = New<PQueue>();
};

using PQueueElementTypes = ::testing::Types<ClientPQueueNode, PQueueNode>;
TYPED_TEST_SUITE(PQueueTest, PQueueElementTypes);

TYPED_TEST(PQueueTest, NewQueueIsEmpty) {
  EXPECT_TRUE(this->queue_->IsEmpty());
  EXPECT_EQ(this->queue_->First(), Nothing);
  EXPECT_EQ(this->queue_->Index(), 0);
}

TYPED_TEST(PQueueTest, EmptyQueueOperationsAreSilentNoOps) {
  auto a = this->Keyed(1);
  EXPECT_EQ(this->queue_->NextItem(), Nothing);
  this->queue_->Clear();
  this->queue_->Remove(a);
  this->queue_->Remove(Nothing);
  EXPECT_TRUE(this->queue_->IsEmpty());
  this->ExpectSilence();
}

TYPED_TEST(PQueueTest, HighestKeyComesFirst) {
  auto a = this->Keyed(1), b = this->Keyed(3), c = this->Keyed(2);
  this->AddAll({a, b, c});
  EXPECT_TRUE(Is(this->queue_->First(), b));
  this->ExpectDrainsAs({b, c, a});
  this->ExpectSilence();
}

TYPED_TEST(PQueueTest, EqualKeysLeaveInArrivalOrder) {
  auto a = this->Keyed(5), b = this->Keyed(5), c = this->Keyed(5);
  this->AddAll({a, b, c});
  this->ExpectDrainsAs({a, b, c});
}

TYPED_TEST(PQueueTest, AHigherKeyGoesFirstAndAnEqualOneBehindIt) {
  auto a = this->Keyed(5), b = this->Keyed(7), c = this->Keyed(7);
  this->AddAll({a, b});
  EXPECT_TRUE(Is(this->queue_->First(), b));
  this->queue_->Add(c);
  this->ExpectDrainsAs({b, c, a});
}

TYPED_TEST(PQueueTest, MixedKindsOrderByTheComparisonRules) {
  // Added in this order; numbers of every kind compare by value (Empty as 0), any text is
  // greater than any number, texts compare with each other, equal keys keep their order.
  auto one = this->Keyed(std::int32_t{1});
  auto text_b = this->Keyed("b");
  auto double_2_5 = this->Keyed(2.5);
  auto empty = this->Keyed(Variant());
  auto currency_1_5 = this->Keyed(Variant::Currency(1.5));
  auto date_2 = this->Keyed(Variant::Date(2.0));  // 1900-01-01
  auto text_a = this->Keyed("a");
  auto int16_minus_3 = this->Keyed(std::int16_t{-3});
  auto double_1 = this->Keyed(1.0);
  auto boolean_true = this->Keyed(true);  // -1
  auto single_2_5 = this->Keyed(2.5f);
  auto currency_minus_half = this->Keyed(Variant::CurrencyFromScaled(-5000));
  this->AddAll({one, text_b, double_2_5, empty, currency_1_5, date_2, text_a, int16_minus_3,
                double_1, boolean_true, single_2_5, currency_minus_half});
  this->ExpectDrainsAs({text_b, text_a, double_2_5, single_2_5, date_2, currency_1_5, one, double_1,
                        empty, currency_minus_half, boolean_true, int16_minus_3});
  this->ExpectSilence();
}

TYPED_TEST(PQueueTest, EmptyKeyCountsAsZeroAmongNumbers) {
  auto three = this->Keyed(3), one = this->Keyed(1), empty = this->Keyed(Variant());
  this->AddAll({three, one, empty});
  this->ExpectDrainsAs({three, one, empty});  // after the positive numbers

  auto minus_1 = this->Keyed(-1), minus_2 = this->Keyed(-2), empty2 = this->Keyed(Variant());
  this->AddAll({minus_1, minus_2, empty2});
  this->ExpectDrainsAs({empty2, minus_1, minus_2});  // before the negative ones

  auto zero = this->Keyed(0.0), empty3 = this->Keyed(Variant()), mixed = this->Keyed(-0.5);
  this->AddAll({mixed, zero, three, empty3});
  this->ExpectDrainsAs({three, zero, empty3, mixed});  // equal to zero: behind it
}

TYPED_TEST(PQueueTest, AStringGoesAheadOfEveryNumber) {
  auto small = this->Keyed(1), large = this->Keyed(1e300), b = this->Keyed("b");
  auto ten = this->Keyed("10"), nine = this->Keyed("9"), number_nine = this->Keyed(9);
  this->AddAll({small, large, b});
  EXPECT_TRUE(Is(this->queue_->First(), b));
  this->AddAll({number_nine, ten, nine});
  // Texts compare as texts: "9" is greater than "10", and "b" greater than both.
  this->ExpectDrainsAs({b, nine, ten, large, number_nine, small});
}

TYPED_TEST(PQueueTest, NullKeyIsRefusedAndChangesNothing) {
  auto a = this->Keyed(1), null_key = this->Keyed(Variant::Null());
  this->queue_->Add(a);
  this->queue_->Add(null_key);
  this->ExpectWarning(kAddNullKey);
  EXPECT_EQ(PQueueLink(null_key, 0), Nothing);
  EXPECT_EQ(PQueueLink(a, 0), Nothing);
  this->ExpectDrainsAs({a});
  // The key in the queue's own slot is what counts: Null in slot 0 is no bar to slot 1.
  this->queue_->SetIndex(1);
  null_key->SetKey(1, 4);
  this->queue_->Add(null_key);
  this->ExpectSilence();
  this->ExpectDrainsAs({null_key});
}

TYPED_TEST(PQueueTest, NullKeyIsRefusedBeforeTheSuccessorTest) {
  auto linked = this->Keyed(Variant::Null()), next = this->Keyed(1);
  static_cast<IPQueueNode&>(*linked).SetNextItem(0, next);  // a successor, set by hand
  this->queue_->Add(linked);
  this->ExpectWarning(kAddNullKey);
  EXPECT_TRUE(this->queue_->IsEmpty());
  EXPECT_TRUE(Is(PQueueLink(linked, 0), next));
  static_cast<IPQueueNode&>(*linked).SetNextItem(0, Nothing);
}

TYPED_TEST(PQueueTest, AddNothingWarnsOnce) {
  auto a = this->Keyed(1);
  this->queue_->Add(a);
  this->queue_->Add(Nothing);
  this->ExpectWarning(kAddNothing);
  this->queue_->Add(Ref<IPQueueNode>());
  this->ExpectWarning(kAddNothing);
  this->ExpectDrainsAs({a});
}

TYPED_TEST(PQueueTest, AddOfAnElementWithASuccessorWarnsAndChangesNothing) {
  auto a = this->Keyed(3), b = this->Keyed(2), c = this->Keyed(1);
  this->AddAll({a, b, c});
  a->SetKey(0, 9);  // even with the highest key it is refused while linked
  this->queue_->Add(a);
  this->ExpectWarning(kAddLinked);
  this->queue_->Add(b);
  this->ExpectWarning(kAddLinked);
  EXPECT_TRUE(Is(PQueueLink(a, 0), b));
  EXPECT_TRUE(Is(PQueueLink(b, 0), c));
  this->ExpectDrainsAs({a, b, c});
}

TYPED_TEST(PQueueTest, RemoveHeadMiddleAndTailThenAdd) {
  auto a = this->Keyed(4), b = this->Keyed(3), c = this->Keyed(2), d = this->Keyed(1);
  this->AddAll({a, b, c, d});
  this->queue_->Remove(b);  // middle
  EXPECT_EQ(PQueueLink(b, 0), Nothing);
  EXPECT_TRUE(Is(PQueueLink(a, 0), c));
  this->queue_->Remove(a);  // head
  EXPECT_EQ(PQueueLink(a, 0), Nothing);
  EXPECT_TRUE(Is(this->queue_->First(), c));
  this->queue_->Remove(d);  // tail
  EXPECT_EQ(PQueueLink(c, 0), Nothing);
  this->AddAll({d, b, a});
  this->ExpectDrainsAs({a, b, c, d});
  this->ExpectSilence();
}

TYPED_TEST(PQueueTest, RemoveTheOnlyElementThenAdd) {
  auto a = this->Keyed(1), b = this->Keyed(2);
  this->queue_->Add(a);
  this->queue_->Remove(a);
  EXPECT_TRUE(this->queue_->IsEmpty());
  this->AddAll({a, b});
  this->ExpectDrainsAs({b, a});
  this->ExpectSilence();
}

TYPED_TEST(PQueueTest, RemoveOfANonMemberWarnsAndChangesNothing) {
  auto a = this->Keyed(2), b = this->Keyed(1), c = this->Keyed(5), d = this->Keyed(4);
  Ref<PQueue> other = New<PQueue>();  // same slot: c is linked, but not in this queue
  other->Add(c);
  other->Add(d);
  this->AddAll({a, b});
  this->queue_->Remove(c);
  this->ExpectWarning(kRemoveAbsent);
  this->queue_->Remove(d);
  this->ExpectWarning(kRemoveAbsent);
  this->queue_->Remove(Nothing);  // Nothing is silent even on a non-empty queue
  this->ExpectSilence();
  this->ExpectDrainsAs({a, b});
  ExpectDrainsAs<TypeParam>(*other, {c, d});
}

TYPED_TEST(PQueueTest, IndexChangesOnlyWhileEmpty) {
  auto& queue = this->queue_;
  auto a = this->Keyed(1, 5), b = this->Keyed(2, 5);
  queue->SetIndex(5);
  EXPECT_EQ(queue->Index(), 5);
  this->AddAll({a, b});
  EXPECT_TRUE(Is(PQueueLink(b, 5), a));
  EXPECT_EQ(PQueueLink(b, 0), Nothing);
  this->ExpectSilence();
  queue->SetIndex(5);
  this->ExpectSilence();
  queue->SetIndex(6);
  this->ExpectWarning(kIndexChange);
  EXPECT_EQ(queue->Index(), 5);
  this->ExpectDrainsAs({b, a});
  queue->SetIndex(6);
  EXPECT_EQ(queue->Index(), 6);
  this->ExpectSilence();
}

TYPED_TEST(PQueueTest, TwoQueuesWithDifferentSlotsOrderByTheirOwnKeys) {
  auto a = this->Keyed(1, 0), b = this->Keyed(2, 0), c = this->Keyed(3, 0);
  a->SetKey(1, 30);
  b->SetKey(1, 20);
  c->SetKey(1, 10);
  Ref<PQueue> other = New<PQueue>();
  other->SetIndex(1);
  for (const auto& n : {a, b, c}) {
    this->queue_->Add(n);
    other->Add(n);
  }
  this->queue_->Remove(b);
  EXPECT_EQ(PQueueLink(b, 0), Nothing);
  EXPECT_TRUE(Is(PQueueLink(b, 1), c));  // its place in the other queue is kept
  ExpectDrainsAs<TypeParam>(*other, {a, b, c});
  this->ExpectDrainsAs({c, a});
  this->ExpectSilence();
}

TYPED_TEST(PQueueTest, KeysAreReadAfreshAtEveryComparison) {
  auto a = this->Keyed(5), b = this->Keyed(3), c = this->Keyed(4), d = this->Keyed(2);
  this->AddAll({a, b});
  b->SetKey(0, 10);  // a changed key does not move its element...
  this->queue_->Add(c);
  EXPECT_TRUE(Is(PQueueLink(b, 0), c));  // ...but later Adds see it: 4 is not greater than 10
  a->SetKey(0, 1);
  this->queue_->Add(d);  // 2 is greater than the head's key as it is now
  this->ExpectDrainsAs({d, a, b, c});
}

TYPED_TEST(PQueueTest, ClearAndTeardownUnlinkEveryElement) {
  auto& queue = this->queue_;
  auto a = this->Keyed(3), b = this->Keyed(2), c = this->Keyed(1);
  this->AddAll({a, b, c});
  queue->Clear();
  EXPECT_TRUE(queue->IsEmpty());
  EXPECT_EQ(queue->First(), Nothing);
  for (const auto& n : {a, b, c}) EXPECT_EQ(PQueueLink(n, 0), Nothing);
  this->AddAll({c, b, a});
  EXPECT_TRUE(Is(queue->First(), a));
  queue.reset();
  for (const auto& n : {a, b, c}) EXPECT_EQ(PQueueLink(n, 0), Nothing);
  this->ExpectSilence();
}

TYPED_TEST(PQueueTest, AddingAndTakingAllocateNothing) {
  std::vector<Ref<TypeParam>> nodes;
  for (int i = 0; i < 1000; ++i) {
    nodes.push_back(this->Keyed(i % 2 ? Variant(i % 7) : Variant("text")));
    // Let each element set up its slot first: only the queue's own work is counted.
    static_cast<IPQueueNode&>(*nodes.back()).SetNextItem(0, Nothing);
  }
  const std::int64_t before = testing::AllocationCount();
  for (auto& n : nodes) this->queue_->Add(n);
  this->queue_->Remove(nodes[500]);
  while (this->queue_->NextItem()) {
  }
  EXPECT_EQ(testing::AllocationCount(), before);
}

// Element calls and element errors, with the client element that counts and throws.
class PQueueClientTest : public testing::VelmiraTest {
 protected:
  static Ref<ClientPQueueNode> Keyed(const Variant& key) {
    Ref<ClientPQueueNode> element = New<ClientPQueueNode>();
    element->SetKey(0, key);
    return element;
  }
  static void ResetCounts(std::initializer_list<Ref<ClientPQueueNode>> elements) {
    for (const auto& e : elements) e->gets = e->sets = e->key_reads = 0;
  }
  void AddAll(std::initializer_list<Ref<ClientPQueueNode>> elements) {
    for (const auto& e : elements) queue_->Add(e);
  }

  Ref<PQueue> queue_ = New<PQueue>();
};

TEST_F(PQueueClientTest, AddReadsTheNewKeyTwiceAndEachComparedKeyOnce) {
  auto a = Keyed(3), b = Keyed(2), c = Keyed(1), d = Keyed(9);
  queue_->Add(a);
  EXPECT_EQ(a->key_reads, 1);  // into an empty queue: only the Null test
  queue_->Add(b);
  ResetCounts({a, b});
  queue_->Add(c);  // walks past a and b
  EXPECT_EQ(c->key_reads, 2);
  EXPECT_EQ(a->key_reads, 1);
  EXPECT_EQ(b->key_reads, 1);
  ResetCounts({a, b, c});
  queue_->Add(d);  // a new highest key: constant time, only the head's key is read
  EXPECT_EQ(d->key_reads, 2);
  EXPECT_EQ(a->key_reads, 1);
  EXPECT_EQ(b->key_reads + c->key_reads + b->gets + c->gets, 0);
}

/// A client element whose key changes after it is first read.
class KeyChangingNode : public ClientPQueueNode {
 public:
  KeyChangingNode(Variant first, Variant later) : first_(first), later_(later) {}
  Variant Key(std::int32_t) override { return key_reads++ == 0 ? first_ : later_; }

 private:
  Variant first_, later_;
};

TEST_F(PQueueClientTest, TheSecondReadOfTheNewKeyIsUsedForEveryComparison) {
  auto a = Keyed(5), b = Keyed(3);
  AddAll({a, b});
  Ref<KeyChangingNode> rising = New<KeyChangingNode>(1, 4);
  queue_->Add(rising);  // 1 passes the Null test; 4 is what it is ordered by
  Ref<KeyChangingNode> vanishing = New<KeyChangingNode>(9, Variant::Null());
  queue_->Add(vanishing);  // a Null met after the Null test compares with nothing: to the end
  ExpectSilence();
  ExpectDrainsAs<ClientPQueueNode>(*queue_, {a, rising, b, vanishing});
}

TEST_F(PQueueClientTest, RemoveAndNextItemReadNoKeys) {
  auto a = Keyed(3), b = Keyed(2), c = Keyed(1);
  AddAll({a, b, c});
  ResetCounts({a, b, c});
  queue_->Remove(c);
  queue_->Remove(a);
  queue_->NextItem();
  EXPECT_EQ(a->key_reads + b->key_reads + c->key_reads, 0);
}

TEST_F(PQueueClientTest, RefusedAddSetsNoLinkAndNullRefusalReadsNoLink) {
  auto a = Keyed(1), b = Keyed(2), null_key = Keyed(Variant::Null());
  AddAll({a, b});
  ResetCounts({a, b});
  queue_->Add(b);  // the head, linked to a
  ExpectWarning(kAddLinked);
  queue_->Add(null_key);
  ExpectWarning(kAddNullKey);
  EXPECT_EQ(a->sets + b->sets + null_key->sets + null_key->gets, 0);
}

TEST_F(PQueueClientTest, ErrorFromTheNewKeyPassesThroughAndChangesNothing) {
  auto a = Keyed(1), b = Keyed(2);
  queue_->Add(a);
  b->throw_on_key = true;
  EXPECT_THROW(queue_->Add(b), testing::ElementError);
  EXPECT_EQ(a->sets + b->sets + b->gets, 0);
  b->throw_on_key = false;
  ExpectSilence();
  ExpectDrainsAs<ClientPQueueNode>(*queue_, {a});
}

TEST_F(PQueueClientTest, ErrorFromAQueuedKeyStopsAddBeforeAnyLinkChanges) {
  auto a = Keyed(3), b = Keyed(2), c = Keyed(1);
  AddAll({a, b});
  b->throw_on_key = true;
  EXPECT_THROW(queue_->Add(c), testing::ElementError);
  b->throw_on_key = false;
  EXPECT_EQ(PQueueLink(c, 0), Nothing);
  ExpectDrainsAs<ClientPQueueNode>(*queue_, {a, b});
}

TEST_F(PQueueClientTest, ErrorWhileLinkingInKeepsTheStepAlreadyTaken) {
  auto a = Keyed(3), b = Keyed(1), c = Keyed(2);
  AddAll({a, b});
  a->throw_on_set = true;
  EXPECT_THROW(queue_->Add(c), testing::ElementError);
  a->throw_on_set = false;
  EXPECT_TRUE(Is(PQueueLink(c, 0), b));  // c was pointed at b before a refused to take c
  EXPECT_TRUE(Is(PQueueLink(a, 0), b));
  ExpectDrainsAs<ClientPQueueNode>(*queue_, {a, b});
  static_cast<IPQueueNode&>(*c).SetNextItem(0, Nothing);
}

TEST_F(PQueueClientTest, ErrorWhileResettingATakenLinkLeavesItOutOfTheQueue) {
  auto a = Keyed(2), b = Keyed(1);
  AddAll({a, b});
  a->throw_on_set = true;
  EXPECT_THROW(queue_->NextItem(), testing::ElementError);
  a->throw_on_set = false;
  EXPECT_TRUE(Is(queue_->First(), b));
  EXPECT_TRUE(Is(PQueueLink(a, 0), b));  // the reset did not happen
  ExpectDrainsAs<ClientPQueueNode>(*queue_, {b});
}

TEST_F(PQueueClientTest, ErrorDuringTheRemoveWalkChangesNothing) {
  auto a = Keyed(3), b = Keyed(2), c = Keyed(1);
  AddAll({a, b, c});
  b->throw_on_get = true;
  EXPECT_THROW(queue_->Remove(c), testing::ElementError);
  b->throw_on_get = false;
  ExpectSilence();
  ExpectDrainsAs<ClientPQueueNode>(*queue_, {a, b, c});
}

TEST_F(PQueueClientTest, TeardownIgnoresElementErrorsAndReleasesEverything) {
  auto a = Keyed(3), b = Keyed(2), c = Keyed(1);
  AddAll({a, b, c});
  b->throw_on_get = true;
  EXPECT_NO_THROW(queue_.reset());
  b->throw_on_get = false;
  EXPECT_EQ(PQueueLink(a, 0), Nothing);  // reached before the failure
  EXPECT_TRUE(Is(PQueueLink(b, 0), c));  // not reached: keeps its link
  ExpectSilence();
  // The fixture's leak check proves the queue itself and the remaining chain were released.
}

TEST_F(PQueueClientTest, LongChainIsClearedAddedAgainAndReleased) {
  // Ascending keys: every Add meets a new highest key and takes constant time.
  std::vector<Ref<IPQueueNode>> nodes;
  nodes.reserve(testing::kLongChain);
  for (int i = 0; i < testing::kLongChain; ++i) nodes.push_back(New<testing::ThinPQueueNode>(i));
  for (const auto& n : nodes) queue_->Add(n);
  EXPECT_TRUE(Is(queue_->First(), nodes.back()));
  queue_->Clear();
  EXPECT_TRUE(queue_->IsEmpty());
  for (const auto& n : nodes) queue_->Add(n);
  nodes.clear();  // the queue now holds the only references
  queue_.reset();
}

}  // namespace
}  // namespace velmira
