// Tests of List over client elements: the rows of list_script.h, elements that re-enter the list,
// element errors at every call of the operations at the ends, and a long chain.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "list_script.h"
#include "scale.h"

namespace velmira::testing {
namespace {

INSTANTIATE_TYPED_TEST_SUITE_P(List, ListRows, ClientListNode);

class ListTest : public VelmiraTest {};

// An element that, inside the list's or the enumerator's call, removes the first member (r) or
// drops the last references to the list and the enumerator (d): memory-safe (the asan preset
// checks) and nothing left alive, whatever the outcome.
TEST_F(ListTest, ReentrantElementsStayMemorySafe) {
  for (const char op : std::string("abfrcinpw")) {
    for (const char action : std::string("rd")) {
      for (std::size_t armed = 0; armed < 4; ++armed) {
        const std::int64_t live = LiveObjectCount();
        Ref<List> list = New<List>();
        std::vector<ClientListNode*> nodes;  // the list alone holds the first three
        Ref<ClientListNode> extra;
        for (int k = 0; k < 4; ++k) {
          extra = New<ClientListNode>();
          nodes.push_back(extra.get());
          if (k < 3) list->Add(extra);
        }
        Ref<ListEnum> walk = list->NewEnum();
        nodes[armed]->reenter = [&, action] {
          if (action == 'r' && list) list->Remove(list->First());
          if (action == 'd') list.reset(), walk.reset();
        };
        List& target = *list;  // the element may drop `list` meanwhile
        Ref<IListNode> second(nodes[1]);
        if (op == 'a') target.Add(extra);
        if (op == 'b') target.AddBefore(extra, second);
        if (op == 'f') target.AddAfter(extra, second);
        if (op == 'r') target.Remove(second);
        if (op == 'c') target.Clear();
        if (op == 'i') target.Item(3);
        if (op == 'n') target.NextItem(second);
        if (op == 'p') target.PrevItem(second);
        while (op == 'w' && walk && walk->NextItem()) {
        }
        list.reset(), walk.reset(), extra.reset(), second.reset();
        if (op == 'b' && action == 'r' && armed == 0) {
          // Left open: an AddBefore whose predecessor removes itself from inside its SetNextItem
          // leaves that element and the new one holding each other, out of the list.
          EXPECT_GT(LiveObjectCount(), live);
          const Ref<ClientListNode> first(nodes[0]), added(nodes[3]);
          first->SetNextItem(0, Nothing), added->SetPrevItem(0, Nothing);
        }
        EXPECT_EQ(LiveObjectCount(), live) << op << action << armed;
      }
    }
  }
}

// An error injected at each element call (each member of each element, once) of an operation at
// the ends, or of the teardown itself: once the client lets go of everything, nothing is alive.
TEST_F(ListTest, AfterAnElementErrorTeardownLeavesNoCycles) {
  for (const std::string op : {"X", "C", "-a", "-d", "<ea", ">ed"}) {
    for (char victim = 'a'; victim <= 'e'; ++victim) {
      for (const char member : std::string("NPTnpt")) {
        const std::int64_t live = LiveObjectCount();
        {
          Ref<List> list = New<List>();
          std::vector<Ref<ClientListNode>> nodes;
          for (char name = 'a'; name <= 'e'; ++name) {
            nodes.push_back(New<ClientListNode>());
            nodes.back()->name = name;
            if (name != 'e') list->Add(nodes.back());
          }
          ClientListNode& failing = *nodes[victim - 'a'];
          failing.fail_on = member;
          try {
            if (op == "C") list->Clear();
            if (op[0] == '-') list->Remove(nodes[op[1] - 'a']);
            if (op[0] == '<') list->AddBefore(nodes[4], nodes[0]);
            if (op[0] == '>') list->AddAfter(nodes[4], nodes[3]);
          } catch (const std::logic_error&) {
          }
          if (op != "X") failing.fail_on = 0;  // one error per run
          list.reset();
        }
        EXPECT_EQ(LiveObjectCount(), live) << op << " failing " << victim << member;
      }
    }
  }
}

/// A bare element with one set of links, for chains of millions.
struct ThinListNode : IListNode {
  Ref<IListNode> NextItem(std::int32_t) override { return next; }
  void SetNextItem(std::int32_t, const Ref<IListNode>& v) override { next = v; }
  Ref<IListNode> PrevItem(std::int32_t) override { return prev; }
  void SetPrevItem(std::int32_t, const Ref<IListNode>& v) override { prev = v; }
  Ref<IListNode> Tag(std::int32_t) override { return tag; }
  void SetTag(std::int32_t, const Ref<IListNode>& v) override { tag = v; }
  Ref<IListNode> next, prev, tag;
};

// Builds, walks, clears and releases a long chain: nothing recurses per element and nothing is
// allocated per element (the two enumerators are the only allocations).
TEST_F(ListTest, ALongChainNeedsNoAllocationPerElement) {
  std::vector<Ref<IListNode>> nodes(kLongChain);
  for (auto& node : nodes) node = New<ThinListNode>();
  const auto n = static_cast<std::int32_t>(nodes.size());
  Ref<List> list = New<List>();
  const std::int64_t before = AllocationCount();
  for (const auto& node : nodes) list->Add(node);
  list->Clear();
  list->Add(nodes[n - 1]);
  for (std::int32_t i = n - 1; i > 0; --i) list->AddBefore(nodes[i - 1], nodes[i]);
  for (std::int32_t i = 1; i < n; i += 2) list->Remove(nodes[i]);
  for (std::int32_t i = 1; i < n; i += 2) list->AddAfter(nodes[i], nodes[i - 1]);
  Ref<ListEnum> front = list->NewEnum(), back = list->NewEnum();  // walking from either end
  back->SetOrder(eListEnumReverseOrder);
  std::int32_t k = 0;
  while (k < n && Is(front->NextItem(), nodes[k]) && Is(back->NextItem(), nodes[n - 1 - k])) ++k;
  EXPECT_EQ(AllocationCount() - before, 2);
  EXPECT_EQ(k, n);
  EXPECT_EQ(front->NextItem(), Nothing);
  EXPECT_TRUE(Is(list->Item(n / 2 + 1), nodes[n / 2]));
  nodes.clear();
  list.reset();  // teardown clears and releases the whole chain; the fixture checks for leaks
  ExpectSilence();
}

}  // namespace
}  // namespace velmira::testing
