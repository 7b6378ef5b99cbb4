// The linear containers over client elements: the behaviour rows (linear_rows.h), then for each
// container the element calls and errors, long chains and re-entering elements.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "linear_rows.h"

namespace velmira::testing {
namespace {

INSTANTIATE_TYPED_TEST_SUITE_P(Stack, StackRows, ClientStackNode);
INSTANTIATE_TYPED_TEST_SUITE_P(Queue, QueueRows, ClientQueueNode);
INSTANTIATE_TYPED_TEST_SUITE_P(PQueue, PQueueRows, ClientPQueueNode);

class StackFaults : public LinearScript<Stack, ClientStackNode> {};

TEST_F(StackFaults, ElementCallsAndErrors) {
  // clang-format off
  RunAll({
      {"OneGetOneSetEach", "[ +a ] [ n ]", "{ag as} a {ag as} ="},
      {"RefusedAddSetsNoLink", "+a +b [ +b ]", "!Alk {bg} = b a"},
      {"SuccessorTestThrows", "!ag +a t", "E - ="},
      {"PopReadThrows", "+a +b !bg n t", "E b = b a"},
      {"PopResetThrowsAfterTheTopMoved", "+a +b !bs n t ?b", "E a a = a b>a"},
      {"ClearStopsAtTheError", "+a +b +c !bg c !b t ?c", "E b - = b a"},
      {"TeardownSwallowsErrors", "+a +b +c !bg X !b ?c ?b", "- a = b>a"},
  });
  // clang-format on
}

TEST_F(StackFaults, LongChainPushedClearedPushedAgainReleased) {
  FillClearFillRelease<Stack>([](int) { return New<ThinNode<IStackNode>>(); });
}

class QueueFaults : public LinearScript<Queue, ClientQueueNode> {};

TEST_F(QueueFaults, ElementCallsAndErrors) {
  // clang-format off
  RunAll({
      {"AddTouchesTheNewAndTheLast", "+a +b [ +c ] [ +b ]", "{cg bs} !Alk {bg} = a b c"},
      {"TakeTheOnlyTouchesNoLink", "+a +b [ n ] [ n ]", "a {ag as} b {} ="},
      {"SuccessorTestThrows", "+b !ag +a +c", "E = b c"},
      {"LinkBehindTheLastThrows", "+a !as +b !a +c", "E = a c"},
      {"TakeResetThrowsAfterTheHeadMoved", "+a +b !as n t ?a", "E b b = b a>b"},
      {"RemoveWalkThrows", "+a +b +c !bg -c", "E = a b c"},
      {"RemoveResetThrowsAfterTheUnlink", "+a +b +c !bs -b ?a ?b", "E c c = a c b>c"},
      {"RemoveTailThrows", "+a +b +c !bs -c", "E = a b c"},
      {"ClearStopsAtTheError", "+a +b +c !bg c !b t c +a", "E b = a"},
      {"TeardownSwallowsErrors", "+a +b +c !bg X !b ?a ?b", "- c = b>c"},
  });
  // clang-format on
}

TEST_F(QueueFaults, LongChainClearedAddedAgainReleased) {
  FillClearFillRelease<Queue>([](int) { return New<ThinNode<IQueueNode>>(); });
}

class PQueueFaults : public LinearScript<PQueue, ClientPQueueNode> {};

TEST_F(PQueueFaults, ElementCallsAndErrors) {
  // clang-format off
  RunAll({
      // The new key is read for the Null test and once more for all comparisons, each queued key
      // once per comparison; a new highest key meets the head only. Removal reads no key.
      {"AddWalkCalls", {3, 2, 1}, "+a +b [ +c ]", "{ck cg ck ak ag bk bg bs} = a b c"},
      {"AddHeadCalls", {3, 9}, "[ +a ] [ +b ]", "{ak ag} {bk bg bk ak bs} = b a"},
      {"NoKeyReads", {3, 2, 1}, "+a +b +c [ -c -a n ]", "b {ag bg cg bs cs ag as bg bs} ="},
      {"RefusalsSetNoLink", {1, 2, kNullKey}, "+a +b [ +b +c ]", "!Alk !Ak0 {bk bg ck} = b a"},
      {"NewKeyThrows", {1, 2}, "+a !bk [ +b ]", "E {bk} = a"},
      {"QueuedKeyThrows", {3, 2, 1}, "+a +b !bk +c ?c", "E - = a b"},
      {"LinkInThrowsAfterTheNewLinked", {3, 1, 2}, "+a +b !as +c ?c ?a", "E b b = a b c>b"},
      {"TakeResetThrowsAfterTheHeadMoved", {2, 1}, "+a +b !as n t ?a", "E b b = b a>b"},
      {"RemoveWalkThrows", {3, 2, 1}, "+a +b +c !bg -c", "E = a b c"},
      {"TeardownSwallowsErrors", {3, 2, 1}, "+a +b +c !bg X !b ?a ?b", "- c = b>c"},
  });
  // clang-format on
}

TEST_F(PQueueFaults, LongChainClearedAddedAgainReleased) {
  // Rising keys: every Add meets a new highest key and takes constant time.
  FillClearFillRelease<PQueue>([](int i) { return New<ThinPQueueNode>(i); });
}

/// Runs each operation (a Add, t take, r Remove, c Clear) with the element it calls into
/// re-entering the container from inside that call: taking an element (t) or dropping the last
/// reference to the container (d). The outcome may surprise, but nothing is used after it is
/// freed (the asan preset checks) and nothing is left alive.
template <class Container, class Node>
void RunReentrantElements() {
  const auto take = [](Container& c) {
    if constexpr (std::is_same_v<Container, Stack>) {
      c.Pop();
    } else {
      c.NextItem();
    }
  };
  for (const char op : std::string("atrc")) {
    for (const char action : std::string("td")) {
      for (std::size_t armed = 0; armed < 4; ++armed) {
        const std::int64_t live = LiveObjectCount();
        Ref<Container> c = New<Container>();
        std::vector<Node*> nodes;  // the container alone holds the first three
        Ref<Node> extra;
        for (int k = 0; k < 4; ++k) {
          extra = New<Node>();
          if constexpr (requires { extra->SetKey(0, Variant(k)); }) extra->SetKey(0, Variant(k));
          nodes.push_back(extra.get());
          if (k < 3) c->Add(extra);
        }
        nodes[armed]->reenter = [&c, &take, action] {
          if (!c) return;
          if (action == 't') take(*c);
          if (action == 'd') c.reset();
        };
        Container& target = *c;  // the element may drop `c` meanwhile
        if (op == 'a') target.Add(extra);
        if (op == 't') take(target);
        if constexpr (!std::is_same_v<Container, Stack>) {
          if (op == 'r') target.Remove(Ref<Node>(nodes[2]));
        }
        if (op == 'c') target.Clear();
        c.reset();
        extra.reset();
        EXPECT_EQ(LiveObjectCount(), live) << op << action << armed;
      }
    }
  }
}

TEST(ReentrantElements, StackQueueAndPQueueStayMemorySafe) {
  RunReentrantElements<Stack, ClientStackNode>();
  RunReentrantElements<Queue, ClientQueueNode>();
  RunReentrantElements<PQueue, ClientPQueueNode>();
}

}  // namespace
}  // namespace velmira::testing
