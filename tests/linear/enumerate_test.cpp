// Range-for over Stack, Queue and PQueue: changes during a walk, and ranges algorithms. Every
// behaviour row also compares a walk with what draining the container yields (linear_script.h).
#include "velmira/linear/enumerate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ranges>
#include <vector>

#include "capture.h"
#include "client_nodes.h"

namespace velmira::testing {
namespace {

class LinearEnumerate : public VelmiraTest {};

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
