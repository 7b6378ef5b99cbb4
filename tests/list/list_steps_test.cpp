// The element calls `List` and `ListEnum` make, one by one and in order, seen through a client
// element that logs them. The order matters: an element that fails stops the operation there.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "capture.h"
#include "client_list_node.h"
#include "velmira/list/list.h"
#include "velmira/list/list_enum.h"

namespace velmira {
namespace {

using testing::CallLog;
using testing::ClientListNode;

class ListStepsTest : public testing::VelmiraTest {
 protected:
  /// A logging element named `name`.
  Ref<ClientListNode> Named(const std::string& name) {
    Ref<ClientListNode> node = New<ClientListNode>();
    node->name = name;
    node->log = &log_;
    return node;
  }

  /// Adds `nodes` to the list in order, then forgets their calls.
  void Fill(const std::vector<Ref<ClientListNode>>& nodes) {
    for (const auto& n : nodes) list_->Add(n);
    log_.clear();
  }

  /// The calls logged since the last look, then forgets them.
  CallLog Calls() { return std::exchange(log_, {}); }

  CallLog log_;  // declared first: the list's teardown still logs into it
  Ref<List> list_ = New<List>();
  Ref<ClientListNode> a_ = Named("a"), b_ = Named("b"), c_ = Named("c"), d_ = Named("d"),
                      x_ = Named("x");
};

TEST_F(ListStepsTest, AddChecksTagThenLinksThenLinksAtTheEnd) {
  list_->Add(a_);
  EXPECT_EQ(Calls(), (CallLog{"a.Tag", "a.Next", "a.Prev", "a.SetTag(marker)"}));
  list_->Add(b_);
  EXPECT_EQ(Calls(), (CallLog{"b.Tag", "b.Next", "b.Prev", "b.SetTag(marker)", "a.SetNext(b)",
                              "b.SetPrev(a)"}));
}

TEST_F(ListStepsTest, RefusedAddsStopAtTheFailingCheck) {
  Fill({a_});
  list_->Add(a_);
  EXPECT_EQ(Calls(), (CallLog{"a.Tag"}));
  x_->SetNextItem(0, b_);
  Calls();
  list_->Add(x_);
  EXPECT_EQ(Calls(), (CallLog{"x.Tag", "x.Next"}));
  EXPECT_EQ(TakeOutput().size(), 2u);
  x_->Reset(0);
}

TEST_F(ListStepsTest, AddBeforeInTheMiddleLinksThePredecessorFirst) {
  Fill({a_, c_});
  list_->AddBefore(b_, c_);
  EXPECT_EQ(Calls(), (CallLog{"c.Tag", "b.Tag", "b.Next", "b.Prev", "b.SetTag(marker)", "c.Prev",
                              "b.SetPrev(a)", "a.SetNext(b)", "b.SetNext(c)", "c.SetPrev(b)"}));
}

TEST_F(ListStepsTest, AddBeforeTheFirstMovesTheFirst) {
  Fill({a_});
  list_->AddBefore(x_, a_);
  EXPECT_EQ(Calls(), (CallLog{"a.Tag", "x.Tag", "x.Next", "x.Prev", "x.SetTag(marker)",
                              "x.SetNext(a)", "a.SetPrev(x)"}));
}

TEST_F(ListStepsTest, AddAfterInTheMiddleLinksTheSuccessorFirst) {
  Fill({a_, c_});
  list_->AddAfter(b_, a_);
  EXPECT_EQ(Calls(), (CallLog{"a.Tag", "b.Tag", "b.Next", "b.Prev", "b.SetTag(marker)", "a.Next",
                              "b.SetNext(c)", "c.SetPrev(b)", "b.SetPrev(a)", "a.SetNext(b)"}));
}

TEST_F(ListStepsTest, AddAfterTheLastMovesTheLast) {
  Fill({a_});
  list_->AddAfter(x_, a_);
  EXPECT_EQ(Calls(), (CallLog{"a.Tag", "x.Tag", "x.Next", "x.Prev", "x.SetTag(marker)",
                              "x.SetPrev(a)", "a.SetNext(x)"}));
}

TEST_F(ListStepsTest, RemoveSteps) {
  Fill({a_, b_, c_, d_});
  list_->Remove(b_);  // in the middle: the successor is read back through the predecessor
  EXPECT_EQ(Calls(), (CallLog{"b.Tag", "b.Prev", "b.Next", "a.SetNext(c)", "a.Next", "c.SetPrev(a)",
                              "b.SetNext(Nothing)", "b.SetPrev(Nothing)", "b.SetTag(Nothing)"}));
  list_->Remove(d_);  // the last
  EXPECT_EQ(Calls(), (CallLog{"d.Tag", "d.Prev", "c.SetNext(Nothing)", "d.SetPrev(Nothing)",
                              "d.SetTag(Nothing)"}));
  list_->Remove(a_);  // the first
  EXPECT_EQ(Calls(), (CallLog{"a.Tag", "a.Next", "c.SetPrev(Nothing)", "a.SetNext(Nothing)",
                              "a.SetTag(Nothing)"}));
  list_->Remove(c_);  // the only one
  EXPECT_EQ(Calls(), (CallLog{"c.Tag", "c.SetTag(Nothing)"}));
  EXPECT_EQ(list_->Count(), 0);
}

TEST_F(ListStepsTest, ClearWalksFromTheFirstResettingEachElement) {
  Fill({a_, b_, c_});
  list_->Clear();
  EXPECT_EQ(Calls(),
            (CallLog{"a.Next", "b.SetPrev(Nothing)", "a.SetNext(Nothing)", "a.SetTag(Nothing)",
                     "b.Next", "c.SetPrev(Nothing)", "b.SetNext(Nothing)", "b.SetTag(Nothing)",
                     "c.Next", "c.SetNext(Nothing)", "c.SetTag(Nothing)"}));
}

TEST_F(ListStepsTest, AccessorsOfTheListItselfCallNoElement) {
  Fill({a_, b_, c_});
  EXPECT_EQ(list_->Count(), 3);
  EXPECT_FALSE(list_->IsEmpty());
  EXPECT_TRUE(Is(list_->First(), a_));
  EXPECT_TRUE(Is(list_->Last(), c_));
  EXPECT_TRUE(Is(list_->Item(1), a_));
  EXPECT_TRUE(Is(list_->Item(3), c_));
  auto e = list_->NewEnum();
  EXPECT_EQ(Calls(), CallLog{});
  EXPECT_TRUE(Is(list_->NextItem(b_), c_));
  EXPECT_EQ(Calls(), (CallLog{"b.Tag", "b.Next"}));
  EXPECT_TRUE(Is(list_->PrevItem(b_), a_));
  EXPECT_EQ(Calls(), (CallLog{"b.Tag", "b.Prev"}));
}

TEST_F(ListStepsTest, EveryCallUsesTheListsIndex) {
  for (std::int32_t slot : {7, -2}) {
    SCOPED_TRACE(slot);
    const std::string mark = "@" + std::to_string(slot);
    list_ = New<List>();
    list_->SetIndex(slot);
    list_->Add(a_);
    list_->Add(c_);
    list_->AddBefore(b_, c_);
    list_->AddAfter(d_, c_);
    list_->Item(3);
    list_->NextItem(b_);
    auto e = list_->NewEnum();
    while (e->NextItem()) {
    }
    list_->Remove(b_);
    list_->Clear();
    const CallLog calls = Calls();
    EXPECT_FALSE(calls.empty());
    for (const auto& call : calls) EXPECT_NE(call.find(mark), std::string::npos) << call;
  }
}

// For example Item(3) of five elements calls e.Prev then d.Prev; Item(2) of four calls a.Next.
TEST_F(ListStepsTest, ItemWalksFromTheNearerEnd) {
  std::vector<Ref<ClientListNode>> nodes;
  for (int n = 1; n <= 9; ++n) {
    nodes.push_back(Named(std::string(1, static_cast<char>('a' + n - 1))));
    list_->Add(nodes.back());
    Calls();
    for (int number = 1; number <= n; ++number) {
      SCOPED_TRACE("Item(" + std::to_string(number) + ") of " + std::to_string(n));
      EXPECT_TRUE(Is(list_->Item(number), nodes[number - 1]));
      // The walk from the first takes number - 1 steps, from the last n - number steps: the
      // shorter one is taken; at the middle of an odd count, where they tie, the one from the last.
      const bool from_last = n - number <= number - 1;
      CallLog expected;
      if (from_last) {
        for (int k = n; k > number; --k) expected.push_back(nodes[k - 1]->name + ".Prev");
      } else {
        for (int k = 1; k < number; ++k) expected.push_back(nodes[k - 1]->name + ".Next");
      }
      EXPECT_EQ(Calls(), expected);
      EXPECT_LE(static_cast<int>(expected.size()), n / 2);
    }
  }
}

TEST_F(ListStepsTest, TheEnumeratorMakesOneCallPerStep) {
  Fill({a_, b_, c_});
  auto e = list_->NewEnum();
  e->NextItem();  // from the stored first: no call
  EXPECT_EQ(Calls(), CallLog{});
  e->NextItem();
  e->NextItem();
  e->NextItem();
  EXPECT_EQ(Calls(), (CallLog{"a.Next", "b.Next", "c.Next"}));
  e->SetOrder(eListEnumReverseOrder);
  e->NextItem();  // from the stored last: no call
  e->NextItem();
  EXPECT_EQ(Calls(), (CallLog{"c.Prev"}));
}

TEST_F(ListStepsTest, TheMarkerDoesNothing) {
  Fill({a_});
  Ref<IListNode> marker = a_->Tag(0);
  ASSERT_TRUE(marker);
  marker->SetNextItem(0, b_);
  marker->SetPrevItem(0, b_);
  marker->SetTag(0, b_);
  EXPECT_EQ(marker->NextItem(0), Nothing);
  EXPECT_EQ(marker->PrevItem(0), Nothing);
  EXPECT_EQ(marker->Tag(0), Nothing);
  EXPECT_EQ(b_->calls, 0);
}

}  // namespace
}  // namespace velmira
