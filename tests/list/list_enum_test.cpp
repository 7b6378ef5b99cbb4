// Behaviour of `ListEnum`, run over every element class in `ListElementTypes`.
#include "velmira/list/list_enum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "capture.h"
#include "list_element_types.h"
#include "velmira/list/list.h"

namespace velmira {
namespace {

using Nodes = std::vector<Ref<IListNode>>;

template <class T>
concept CreatableByClients = requires {
  new T();
};
static_assert(CreatableByClients<List>);
static_assert(!CreatableByClients<ListEnum>, "only a list's NewEnum makes an enumerator");

/// Calls `e->NextItem()` once per entry of `expected` and checks each result by identity.
void ExpectSteps(const Ref<ListEnum>& e, const Nodes& expected) {
  for (std::size_t k = 0; k < expected.size(); ++k) {
    SCOPED_TRACE("call " + std::to_string(k + 1));
    EXPECT_TRUE(Is(e->NextItem(), expected[k]));
  }
}

template <class E>
class ListEnumTest : public testing::VelmiraTest {
 protected:
  ListEnumTest() {
    for (const auto& n : {a_, b_, c_}) list_->Add(n);
  }

  static Ref<IListNode> Make() { return New<E>(); }

  const Ref<IListNode> none_;
  Ref<List> list_ = New<List>();  // a, b, c
  Ref<IListNode> a_ = Make(), b_ = Make(), c_ = Make(), d_ = Make(), x_ = Make();
};

TYPED_TEST_SUITE(ListEnumTest, testing::ListElementTypes);

TYPED_TEST(ListEnumTest, WalksInOrderInCyclesWithNothingBetween) {
  auto e = this->list_->NewEnum();
  EXPECT_EQ(e->Order(), eListEnumInOrder);
  const auto& [a, b, c, none] = std::tie(this->a_, this->b_, this->c_, this->none_);
  ExpectSteps(e, {a, b, c, none, a, b, c, none, a});
  this->ExpectSilence();
}

TYPED_TEST(ListEnumTest, WalksInReverseWhenToldBeforeTheFirstCall) {
  auto e = this->list_->NewEnum();
  e->SetOrder(eListEnumReverseOrder);
  EXPECT_EQ(e->Order(), eListEnumReverseOrder);
  const auto& [a, b, c, none] = std::tie(this->a_, this->b_, this->c_, this->none_);
  ExpectSteps(e, {c, b, a, none, c, b, a, none, c});
}

TYPED_TEST(ListEnumTest, TheLoopFormVisitsEachElementOnce) {
  Nodes seen;
  auto e = this->list_->NewEnum();
  e->SetOrder(eListEnumReverseOrder);
  for (auto n = e->NextItem(); n; n = e->NextItem()) seen.push_back(n);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_TRUE(Is(seen[0], this->c_));
  EXPECT_TRUE(Is(seen[2], this->a_));
}

TYPED_TEST(ListEnumTest, OrderIgnoresValuesOutsideTheEnumeration) {
  auto e = this->list_->NewEnum();
  for (ListEnumEnum current : {eListEnumInOrder, eListEnumReverseOrder}) {
    e->SetOrder(current);
    for (std::int32_t value : {0, 2, -2, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()}) {
      e->SetOrder(static_cast<ListEnumEnum>(value));
      EXPECT_EQ(e->Order(), current) << value;
    }
  }
  // The ignored values did not disturb the walk either: it still goes in reverse.
  ExpectSteps(e, {this->c_, this->b_});
  this->ExpectSilence();
}

TYPED_TEST(ListEnumTest, AnEnumeratorOfAnEmptyListReturnsNothingForEver) {
  Ref<List> empty = New<List>();
  auto e = empty->NewEnum();
  empty->Add(this->x_);  // the enumerator's stored ends stay Nothing
  const auto& none = this->none_;
  ExpectSteps(e, {none, none, none});
  e->SetOrder(eListEnumReverseOrder);
  ExpectSteps(e, {none, none});
}

TYPED_TEST(ListEnumTest, ChangingOrderMidWalkTurnsAtTheCurrentElement) {
  this->list_->Add(this->d_);
  this->list_->Add(this->x_);  // a, b, c, d, x
  auto e = this->list_->NewEnum();
  const auto& [a, b, c, none] = std::tie(this->a_, this->b_, this->c_, this->none_);
  ExpectSteps(e, {a, b, c});
  e->SetOrder(eListEnumReverseOrder);
  ExpectSteps(e, {b, a, none, this->x_, this->d_});
  e->SetOrder(eListEnumInOrder);
  ExpectSteps(e, {this->x_, none, a});
}

TYPED_TEST(ListEnumTest, ReversingAfterTwoStepsReturnsTheFirstThenRestartsFromTheLast) {
  auto e = this->list_->NewEnum();
  const auto& [a, b, c, none] = std::tie(this->a_, this->b_, this->c_, this->none_);
  ExpectSteps(e, {a, b});
  e->SetOrder(eListEnumReverseOrder);
  ExpectSteps(e, {a, none, c});
}

TYPED_TEST(ListEnumTest, RemovingTheCurrentElementEndsTheWalkThenItRestarts) {
  auto e = this->list_->NewEnum();
  const auto& [a, b, c, none] = std::tie(this->a_, this->b_, this->c_, this->none_);
  ExpectSteps(e, {a, b});
  this->list_->Remove(b);
  ExpectSteps(e, {none, a, c, none});
}

TYPED_TEST(ListEnumTest, ARemovedStoredFirstIsReturnedAloneOnRestart) {
  auto e = this->list_->NewEnum();
  this->list_->Remove(this->a_);
  const auto& [a, b, c, none] = std::tie(this->a_, this->b_, this->c_, this->none_);
  ExpectSteps(e, {a, none, a, none});
  e->SetOrder(eListEnumReverseOrder);  // the stored last is still in the list
  ExpectSteps(e, {c, b, none});
}

TYPED_TEST(ListEnumTest, ARemovedStoredLastIsReturnedAloneOnRestart) {
  auto e = this->list_->NewEnum();
  e->SetOrder(eListEnumReverseOrder);
  this->list_->Remove(this->c_);
  const auto& [a, b, c, none] = std::tie(this->a_, this->b_, this->c_, this->none_);
  ExpectSteps(e, {c, none, c, none});
  e->SetOrder(eListEnumInOrder);
  ExpectSteps(e, {a, b, none});
}

TYPED_TEST(ListEnumTest, ElementsInsertedAheadAreSeenAndBehindAreNot) {
  auto e = this->list_->NewEnum();
  const auto& [a, b, c, none] = std::tie(this->a_, this->b_, this->c_, this->none_);
  ExpectSteps(e, {a});
  this->list_->AddBefore(this->x_, a);  // behind the cursor, and before the stored first
  this->list_->AddAfter(this->d_, a);   // ahead of the cursor
  ExpectSteps(e, {this->d_, b, c, none, a});
}

TYPED_TEST(ListEnumTest, ElementsAddedAtTheEndAreSeenBeforeTheWalkEnds) {
  auto e = this->list_->NewEnum();
  const auto& [a, b, c, none] = std::tie(this->a_, this->b_, this->c_, this->none_);
  ExpectSteps(e, {a});
  this->list_->Add(this->d_);
  ExpectSteps(e, {b, c, this->d_, none});
  e->SetOrder(eListEnumReverseOrder);  // the stored last is still c
  ExpectSteps(e, {c, b});
}

TYPED_TEST(ListEnumTest, TwoEnumeratorsWalkIndependently) {
  auto first = this->list_->NewEnum();
  auto second = this->list_->NewEnum();
  const auto& [a, b, c, none] = std::tie(this->a_, this->b_, this->c_, this->none_);
  ExpectSteps(first, {a, b});
  ExpectSteps(second, {a});
  second->SetOrder(eListEnumReverseOrder);
  EXPECT_EQ(first->Order(), eListEnumInOrder);
  ExpectSteps(first, {c});
  ExpectSteps(second, {none, c});
  ExpectSteps(first, {none, a});
}

TYPED_TEST(ListEnumTest, EachEnumeratorFollowsItsOwnListsSlot) {
  Ref<List> other = New<List>();
  other->SetIndex(4);
  for (const auto& n : {this->c_, this->x_, this->a_}) other->Add(n);
  auto mine = this->list_->NewEnum();
  auto theirs = other->NewEnum();
  const auto& [a, b, c, none] = std::tie(this->a_, this->b_, this->c_, this->none_);
  ExpectSteps(mine, {a, b, c, none});
  ExpectSteps(theirs, {c, this->x_, a, none});
}

TYPED_TEST(ListEnumTest, AnEnumeratorOutlivesItsList) {
  auto e = this->list_->NewEnum();
  const auto& [a, b, c, none] = std::tie(this->a_, this->b_, this->c_, this->none_);
  ExpectSteps(e, {a});
  this->list_.reset();  // teardown clears every link, so the walk ends at a
  ExpectSteps(e, {none, a, none});
  e->SetOrder(eListEnumReverseOrder);
  ExpectSteps(e, {c, none});
}

}  // namespace
}  // namespace velmira
