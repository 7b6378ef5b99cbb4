// Range-for over Stack, Queue and PQueue: the walk from the head along NextItem in the
// container's slot, compared with what draining the container yields.
#include "velmira/linear/enumerate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <ranges>
#include <vector>

#include "capture.h"
#include "client_nodes.h"

namespace velmira::testing {
namespace {

class LinearEnumerate : public VelmiraTest {};

template <class Node, class Range>
std::vector<Node*> Walk(Range&& range) {
  std::vector<Node*> seen;
  for (const auto& n : range) seen.push_back(n.get());
  return seen;
}

// Every container, in slot 3, filled at random: the walk visits exactly what draining returns,
// in the same order, and leaves the container as it was.
TEST_F(LinearEnumerate, WalkMatchesDrainOrder) {
  std::mt19937 rng(14);
  for (int round = 0; round < 20; ++round) {
    const int n = static_cast<int>(rng() % 12);
    Ref<Stack> stack = New<Stack>();
    Ref<Queue> queue = New<Queue>();
    Ref<PQueue> pqueue = New<PQueue>();
    stack->SetIndex(3), queue->SetIndex(3), pqueue->SetIndex(3);
    for (int i = 0; i < n; ++i) {
      stack->Push(New<ClientStackNode>());
      queue->Add(New<ClientQueueNode>());
      auto p = New<ClientPQueueNode>();
      p->SetKey(3, static_cast<std::int32_t>(rng() % 4));  // ties are common
      pqueue->Add(p);
    }
    const auto s = Walk<IStackNode>(Enumerate(stack));
    const auto q = Walk<IQueueNode>(Enumerate(queue));
    const auto p = Walk<IPQueueNode>(Enumerate(pqueue));
    std::vector<IStackNode*> s_drain;
    std::vector<IQueueNode*> q_drain;
    std::vector<IPQueueNode*> p_drain;
    while (auto e = stack->Pop()) s_drain.push_back(e.get());
    while (auto e = queue->NextItem()) q_drain.push_back(e.get());
    while (auto e = pqueue->NextItem()) p_drain.push_back(e.get());
    EXPECT_EQ(s, s_drain);
    EXPECT_EQ(q, q_drain);
    EXPECT_EQ(p, p_drain);
    EXPECT_EQ(s.size(), static_cast<std::size_t>(n));
  }
  ExpectSilence();
}

// The walk reads each link as it moves on: a push mid-walk is not seen; taking out the element
// the walk is on resets its link and so ends the walk after it.
TEST_F(LinearEnumerate, ChangesMidWalkFollowTheLinks) {
  Ref<Stack> stack = New<Stack>();
  for (int i = 0; i < 3; ++i) stack->Push(New<ClientStackNode>());
  int visited = 0;
  for (const auto& n : Enumerate(stack)) {
    (void)n;
    if (++visited == 1) stack->Push(New<ClientStackNode>());
  }
  EXPECT_EQ(visited, 3);
  visited = 0;
  for (const auto& n : Enumerate(stack)) {
    ++visited;
    if (Is(n, stack->Top())) stack->Pop();
  }
  EXPECT_EQ(visited, 1);
}

TEST_F(LinearEnumerate, RangesAlgorithmsAndViews) {
  Ref<PQueue> pqueue = New<PQueue>();
  for (std::int32_t key : {2, 9, 4, 7}) {
    auto p = New<ClientPQueueNode>();
    p->SetKey(0, key);
    pqueue->Add(p);
  }
  auto keys = Enumerate(pqueue) | std::views::transform([](const Ref<IPQueueNode>& n) {
                return n->Key(0).Int32Value();
              });
  std::vector<std::int32_t> got;
  std::ranges::copy(std::move(keys) | std::views::take(3), std::back_inserter(got));
  EXPECT_EQ(got, (std::vector<std::int32_t>{9, 7, 4}));
  EXPECT_EQ(
      std::ranges::count_if(Enumerate(pqueue),
                            [](const Ref<IPQueueNode>& n) { return n->Key(0).Int32Value() > 3; }),
      3);
  auto none = Enumerate(New<Queue>());
  EXPECT_TRUE(none.begin() == none.end());
}

}  // namespace
}  // namespace velmira::testing
