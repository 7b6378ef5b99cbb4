// Behaviour of `List`, run over every element class in `ListElementTypes`.
#include "velmira/list/list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "capture.h"
#include "list_element_types.h"

namespace velmira {
namespace {

constexpr const char* kIndexOfNonEmpty =
    "List: Warning, an attempt was made to change the Index of a non-empty list";
constexpr const char* kInvalidItemNumber =
    "List: Warning, an attempt was made to access an Item using an invalid number";
constexpr const char* kAddNothing = "List: Warning, an attempt was made to Add Nothing";
constexpr const char* kAddInAList =
    "List: Warning, an attempt was made to Add a node that's already in a list";
constexpr const char* kAddLinked =
    "List: Warning, an attempt was made to Add a node with a predecessor or successor";
constexpr const char* kInsertNothing = "List: Warning, AddBefore was asked to add Nothing";
constexpr const char* kInsertNextToNothing =
    "List: Warning, AddBefore was asked to add a node before Nothing";
constexpr const char* kInsertNextToNonMember =
    "List: Warning, AddBefore was asked to add before a node that's not in the list";
constexpr const char* kInsertInAList =
    "List: Warning, AddBefore was asked to add a node that's already in a list";
constexpr const char* kInsertLinked =
    "List: Warning, AddBefore was asked to add a node with a predecessor or successor";
constexpr const char* kRemoveNonMember =
    "List: Warning, an attempt was made to Remove an item from a list it wasn't in";

using Nodes = std::vector<Ref<IListNode>>;

/// Checks every accessor of `list` and every link and tag of its elements against `expected`.
void ExpectList(const Ref<List>& list, const Nodes& expected) {
  const std::int32_t slot = list->Index();
  const auto n = static_cast<std::int32_t>(expected.size());
  EXPECT_EQ(list->Count(), n);
  EXPECT_EQ(list->IsEmpty(), n == 0);
  EXPECT_TRUE(Is(list->First(), n ? expected.front() : Ref<IListNode>()));
  EXPECT_TRUE(Is(list->Last(), n ? expected.back() : Ref<IListNode>()));
  for (std::int32_t k = 0; k < n; ++k) {
    SCOPED_TRACE("position " + std::to_string(k + 1));
    const Ref<IListNode>& node = expected[k];
    const Ref<IListNode> prev = k > 0 ? expected[k - 1] : Ref<IListNode>();
    const Ref<IListNode> next = k + 1 < n ? expected[k + 1] : Ref<IListNode>();
    EXPECT_TRUE(Is(node->PrevItem(slot), prev));
    EXPECT_TRUE(Is(node->NextItem(slot), next));
    EXPECT_TRUE(Is(list->PrevItem(node), prev));
    EXPECT_TRUE(Is(list->NextItem(node), next));
    EXPECT_TRUE(Is(list->Item(k + 1), node));
    // Every member carries the same tag, which is none of the elements.
    const Ref<IListNode> tag = node->Tag(slot);
    EXPECT_TRUE(tag);
    EXPECT_TRUE(Is(tag, expected.front()->Tag(slot)));
    for (const auto& other : expected) EXPECT_FALSE(Is(tag, other));
  }
}

/// Expects `node` to hold no links and no tag in `slot`.
void ExpectFree(const Ref<IListNode>& node, std::int32_t slot = 0) {
  EXPECT_EQ(node->NextItem(slot), Nothing);
  EXPECT_EQ(node->PrevItem(slot), Nothing);
  EXPECT_EQ(node->Tag(slot), Nothing);
}

template <class E>
class ListTest : public testing::VelmiraTest {
 protected:
  static Ref<IListNode> Make() { return New<E>(); }

  /// A new list with `Index` `slot` holding `nodes` in order.
  static Ref<List> ListOf(const Nodes& nodes, std::int32_t slot = 0) {
    Ref<List> list = New<List>();
    list->SetIndex(slot);
    for (const auto& n : nodes) list->Add(n);
    return list;
  }

  Ref<List> list_ = New<List>();
  Ref<IListNode> a_ = Make(), b_ = Make(), c_ = Make(), d_ = Make(), x_ = Make();
};

TYPED_TEST_SUITE(ListTest, testing::ListElementTypes);

TYPED_TEST(ListTest, NewListIsEmpty) {
  ExpectList(this->list_, {});
  EXPECT_EQ(this->list_->Index(), 0);
  EXPECT_EQ(this->list_->Item(1), Nothing);
  this->ExpectWarning(kInvalidItemNumber);
}

TYPED_TEST(ListTest, AddAppendsAtTheEnd) {
  for (const auto& n : {this->a_, this->b_, this->c_}) this->list_->Add(n);
  ExpectList(this->list_, {this->a_, this->b_, this->c_});
  this->ExpectSilence();
}

TYPED_TEST(ListTest, AddRefusesNothing) {
  this->list_->Add(Nothing);
  this->ExpectWarning(kAddNothing);
  this->list_->Add(this->a_);
  this->list_->Add(Ref<IListNode>());
  this->ExpectWarning(kAddNothing);
  ExpectList(this->list_, {this->a_});
}

TYPED_TEST(ListTest, AddRefusesAMemberOfThisListByItsTag) {
  // The only member has no links, so only its tag can tell that it is already in.
  this->list_->Add(this->a_);
  this->list_->Add(this->a_);
  this->ExpectWarning(kAddInAList);
  ExpectList(this->list_, {this->a_});
  this->list_->Add(this->b_);
  this->list_->Add(this->c_);
  for (const auto& n : {this->a_, this->b_, this->c_}) {
    this->list_->Add(n);
    this->ExpectWarning(kAddInAList);
  }
  ExpectList(this->list_, {this->a_, this->b_, this->c_});
}

TYPED_TEST(ListTest, AddRefusesAMemberOfAnotherListWithTheSameIndex) {
  Ref<List> other = this->ListOf({this->c_, this->x_});
  this->list_->Add(this->a_);
  this->list_->Add(this->x_);
  this->ExpectWarning(kAddInAList);
  ExpectList(this->list_, {this->a_});
  ExpectList(other, {this->c_, this->x_});
}

TYPED_TEST(ListTest, AddRefusesAnElementWithHandFilledLinks) {
  this->list_->Add(this->a_);
  this->b_->SetNextItem(0, this->d_);
  this->c_->SetPrevItem(0, this->d_);
  this->list_->Add(this->b_);
  this->ExpectWarning(kAddLinked);
  this->list_->Add(this->c_);
  this->ExpectWarning(kAddLinked);
  ExpectList(this->list_, {this->a_});
  EXPECT_TRUE(Is(this->b_->NextItem(0), this->d_));
  EXPECT_EQ(this->b_->Tag(0), Nothing);
  EXPECT_TRUE(Is(this->c_->PrevItem(0), this->d_));
  this->b_->SetNextItem(0, Nothing);
  this->c_->SetPrevItem(0, Nothing);
}

TYPED_TEST(ListTest, AddBeforeInsertsBeforeAMember) {
  this->list_->Add(this->a_);
  this->list_->Add(this->c_);
  this->list_->AddBefore(this->b_, this->c_);
  ExpectList(this->list_, {this->a_, this->b_, this->c_});
  this->list_->AddBefore(this->x_, this->a_);  // before the first: the new first
  ExpectList(this->list_, {this->x_, this->a_, this->b_, this->c_});
  this->ExpectSilence();
}

TYPED_TEST(ListTest, AddAfterInsertsAfterAMember) {
  this->list_->Add(this->a_);
  this->list_->Add(this->c_);
  this->list_->AddAfter(this->b_, this->a_);
  ExpectList(this->list_, {this->a_, this->b_, this->c_});
  this->list_->AddAfter(this->x_, this->c_);  // after the last: the new last
  ExpectList(this->list_, {this->a_, this->b_, this->c_, this->x_});
  this->ExpectSilence();
}

TYPED_TEST(ListTest, AddBeforeAndAddAfterRefuseWithTheAddBeforeTextsInOrder) {
  using Insert = void (List::*)(Ref<IListNode>, Ref<IListNode>);
  Ref<List> other = this->ListOf({this->x_});
  this->list_->Add(this->a_);
  this->list_->Add(this->b_);
  Ref<IListNode> linked = TestFixture::Make();
  linked->SetPrevItem(0, this->d_);
  const Ref<IListNode> none;
  struct Case {
    Ref<IListNode> node1, node2;
    const char* warning;
  };
  const std::vector<Case> cases = {
      {none, none, kInsertNothing},  // Node1 is tested first
      {none, this->a_, kInsertNothing},
      {this->c_, none, kInsertNextToNothing},
      {linked, none, kInsertNextToNothing},  // Node2 before Node1's own state
      {this->c_, this->d_, kInsertNextToNonMember},
      {this->c_, this->x_, kInsertNextToNonMember},  // a member of another list
      {linked, this->x_, kInsertNextToNonMember},
      {this->a_, this->a_, kInsertInAList},  // a member relative to itself
      {this->b_, this->a_, kInsertInAList},
      {this->x_, this->a_, kInsertInAList},  // a member of another list with the same Index
      {linked, this->a_, kInsertLinked},
  };
  for (Insert insert : {&List::AddBefore, &List::AddAfter}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.warning);
      ((*this->list_).*insert)(c.node1, c.node2);
      this->ExpectWarning(c.warning);
      ExpectList(this->list_, {this->a_, this->b_});
      ExpectList(other, {this->x_});
      ExpectFree(this->c_);
      EXPECT_TRUE(Is(linked->PrevItem(0), this->d_));
    }
  }
  linked->SetPrevItem(0, Nothing);
}

TYPED_TEST(ListTest, RemoveUnlinksMiddleLastFirstAndOnlyMembers) {
  this->list_ = this->ListOf({this->a_, this->b_, this->c_, this->d_});
  this->list_->Remove(this->b_);
  ExpectList(this->list_, {this->a_, this->c_, this->d_});
  ExpectFree(this->b_);
  this->list_->Remove(this->d_);
  ExpectList(this->list_, {this->a_, this->c_});
  ExpectFree(this->d_);
  this->list_->Remove(this->a_);
  ExpectList(this->list_, {this->c_});
  ExpectFree(this->a_);
  this->list_->Remove(this->c_);
  ExpectList(this->list_, {});
  ExpectFree(this->c_);
  // Every removed element can be added again at once, here or elsewhere.
  for (const auto& n : {this->d_, this->c_, this->b_, this->a_}) this->list_->Add(n);
  ExpectList(this->list_, {this->d_, this->c_, this->b_, this->a_});
  this->ExpectSilence();
}

TYPED_TEST(ListTest, RemoveOfANonMemberWarnsAndChangesNothing) {
  Ref<List> other = this->ListOf({this->x_, this->d_});
  this->list_->Add(this->a_);
  this->list_->Remove(this->c_);  // in no list
  this->ExpectWarning(kRemoveNonMember);
  this->list_->Remove(this->x_);  // in another list with the same Index
  this->ExpectWarning(kRemoveNonMember);
  ExpectList(this->list_, {this->a_});
  ExpectList(other, {this->x_, this->d_});
}

TYPED_TEST(ListTest, RemoveOnAnEmptyListOrOfNothingIsSilent) {
  Ref<List> other = this->ListOf({this->x_});
  this->list_->Remove(this->c_);
  this->list_->Remove(this->x_);
  this->list_->Remove(Nothing);
  this->list_->Add(this->a_);
  this->list_->Remove(Nothing);
  this->ExpectSilence();
  ExpectList(this->list_, {this->a_});
  ExpectList(other, {this->x_});
}

TYPED_TEST(ListTest, ClearFreesEveryMember) {
  this->list_->Clear();
  ExpectList(this->list_, {});
  this->list_ = this->ListOf({this->a_, this->b_, this->c_});
  this->list_->Clear();
  ExpectList(this->list_, {});
  for (const auto& n : {this->a_, this->b_, this->c_}) ExpectFree(n);
  for (const auto& n : {this->c_, this->a_}) this->list_->Add(n);
  ExpectList(this->list_, {this->c_, this->a_});
  this->ExpectSilence();
}

TYPED_TEST(ListTest, NextAndPrevItemStopAtTheEndsAndIgnoreNonMembers) {
  this->list_ = this->ListOf({this->a_, this->b_});
  Ref<List> same_slot = this->ListOf({this->c_, this->d_});
  Ref<List> other_slot = this->ListOf({this->x_, this->b_}, 1);
  EXPECT_EQ(this->list_->PrevItem(this->a_), Nothing);
  EXPECT_EQ(this->list_->NextItem(this->b_), Nothing);
  for (const auto& stranger : {this->c_, this->x_}) {
    EXPECT_EQ(this->list_->NextItem(stranger), Nothing);
    EXPECT_EQ(this->list_->PrevItem(stranger), Nothing);
  }
  EXPECT_EQ(same_slot->NextItem(this->a_), Nothing);
  EXPECT_EQ(other_slot->NextItem(this->a_), Nothing);
  EXPECT_TRUE(Is(other_slot->PrevItem(this->b_), this->x_));  // its own links, slot 1
  EXPECT_EQ(this->list_->NextItem(Nothing), Nothing);
  EXPECT_EQ(this->list_->PrevItem(Nothing), Nothing);
  this->ExpectSilence();
}

TYPED_TEST(ListTest, IndexChangesOnlyWhileEmpty) {
  this->list_->SetIndex(5);
  EXPECT_EQ(this->list_->Index(), 5);
  this->list_->Add(this->a_);
  this->list_->Add(this->b_);
  ExpectList(this->list_, {this->a_, this->b_});
  ExpectFree(this->a_, 0);
  ExpectFree(this->b_, 0);
  this->list_->SetIndex(5);
  this->ExpectSilence();
  this->list_->SetIndex(0);
  this->ExpectWarning(kIndexOfNonEmpty);
  EXPECT_EQ(this->list_->Index(), 5);
  this->list_->Clear();
  this->list_->SetIndex(-3);
  EXPECT_EQ(this->list_->Index(), -3);
  this->ExpectSilence();
}

TYPED_TEST(ListTest, ItemReturnsEveryPositionOfListsOfOneToSeven) {
  Nodes nodes;
  for (int n = 1; n <= 7; ++n) {
    SCOPED_TRACE("count " + std::to_string(n));
    nodes.push_back(TestFixture::Make());
    this->list_->Add(nodes.back());
    ExpectList(this->list_, nodes);  // checks Item(1) to Item(Count)
  }
  this->ExpectSilence();
}

TYPED_TEST(ListTest, ItemOutOfRangeWarnsOnceAndReturnsNothing) {
  this->list_ = this->ListOf({this->a_, this->b_, this->c_});
  for (std::int32_t number : {0, -1, 4, std::numeric_limits<std::int32_t>::min(),
                              std::numeric_limits<std::int32_t>::max()}) {
    SCOPED_TRACE(number);
    EXPECT_EQ(this->list_->Item(number), Nothing);
    this->ExpectWarning(kInvalidItemNumber);
  }
  EXPECT_TRUE(Is(this->list_->Item(1), this->a_));
  EXPECT_TRUE(Is(this->list_->Item(3), this->c_));
  this->ExpectSilence();
}

TYPED_TEST(ListTest, OneObjectSitsInTwoListsWithDifferentIndex) {
  this->list_ = this->ListOf({this->a_, this->b_, this->c_}, 0);
  Ref<List> other = this->ListOf({this->c_, this->b_, this->a_}, 1);
  this->list_->Remove(this->b_);
  ExpectList(this->list_, {this->a_, this->c_});
  ExpectList(other, {this->c_, this->b_, this->a_});
  this->list_->AddAfter(this->b_, this->c_);
  other->Remove(this->c_);
  other->AddBefore(this->x_, this->b_);
  ExpectList(this->list_, {this->a_, this->c_, this->b_});
  ExpectList(other, {this->x_, this->b_, this->a_});
  ExpectFree(this->c_, 1);
  this->ExpectSilence();
}

TYPED_TEST(ListTest, ReleasingAListFreesItsMembersForAnotherList) {
  this->list_ = this->ListOf({this->a_, this->b_, this->c_});
  this->list_ = New<List>();
  for (const auto& n : {this->a_, this->b_, this->c_}) ExpectFree(n);
  for (const auto& n : {this->b_, this->c_, this->a_}) this->list_->Add(n);
  ExpectList(this->list_, {this->b_, this->c_, this->a_});
  this->ExpectSilence();
}

}  // namespace
}  // namespace velmira
