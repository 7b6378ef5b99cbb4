// The linear containers, each driven by script tables (see linear_script.h): Stack (last in,
// first out), Queue (first in, first out, removal anywhere; every scripted Remove passes the
// ignored Index argument 7) and PQueue (highest key first, equal keys in arrival order). For each:
// behaviour and warnings over the element types, element calls and errors, allocation, long chains.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "linear_script.h"

namespace velmira::testing {
namespace {

template <class E>
class StackScript : public LinearScript<Stack, E> {};
TYPED_TEST_SUITE(StackScript, StackElementTypes);

TYPED_TEST(StackScript, Behaviour) {
  this->RunAll({
      {"NewIsEmptyAndSilent", {}, "I t n d c", "0 - - ="},
      {"LastInFirstOut", {}, "+a ^b +c t n n n n +b t", "c c b a - b = b"},
      {"DropUnlinksTheTop", {}, "+a +b d t ?b", "a - = a"},
      {"AddNothing", {}, "+0 ^0 t", "!N !N - ="},
      {"AddWithASuccessor", {}, "+a +b +b ^b t ?b", "!S !S b a = b a"},
      {"IndexOnlyWhileEmpty", {}, "i5 +a +b ?b i5 I i6 I n n i6 I", "a 5 !I 5 b a 6 ="},
      {"TwoStacks", {}, "@1 i1 +a +b +c @0 +a +b +c n @1 n n @0 n", "c c b b = a / a"},
      {"ClearAndTeardownUnlink", {}, "+a +b +c c t +a +b +c X t", "- - ="},
  });
}

TYPED_TEST(StackScript, PushAndPopAllocateNothing) { this->ExpectNoAllocation(); }

class StackFaults : public LinearScript<Stack, ClientStackNode> {};

TEST_F(StackFaults, ElementCallsAndErrors) {
  RunAll({
      {"OneGetOneSetEach", {}, "[ +a ] [ n ]", "[ag as] a [ag as] ="},
      {"RefusedAddSetsNoLink", {}, "+a +b [ +b ]", "!S [bg] = b a"},
      {"SuccessorTestThrows", {}, "!ag +a t", "E - ="},
      {"PopReadThrows", {}, "+a +b !bg n t", "E b = b a"},
      {"PopResetThrowsAfterTheTopMoved", {}, "+a +b !bs n t ?b", "E a a = a b>a"},
      {"ClearStopsAtTheError", {}, "+a +b +c !bg c !b t ?c", "E b - = b a"},
      {"TeardownSwallowsErrors", {}, "+a +b +c !bg X !b ?c ?b", "- a = b>a"},
  });
}

TEST_F(StackFaults, LongChainPushedClearedPushedAgainReleased) {
  FillClearFillRelease<Stack>([](int) { return New<ThinNode<IStackNode>>(); });
}

template <class E>
class QueueScript : public LinearScript<Queue, E> {};
TYPED_TEST_SUITE(QueueScript, QueueElementTypes);

TYPED_TEST(QueueScript, Behaviour) {
  this->RunAll({
      {"NewIsEmptyAndSilent", {}, "I t n c -a -0", "0 - - ="},
      {"FirstInFirstOut", {}, "+a +b +c t n n n n", "a a b c - ="},
      {"TakenElementGoesBackAtOnce", {}, "+a +b n +a +c", "a = b a c"},
      {"TakeTheOnlyThenAdd", {}, "+a n t +a +b", "a - = a b"},
      {"RemoveHeadThenAdd", {}, "+a +b +c -a t +d", "b = b c d"},
      {"RemoveMiddleThenAdd", {}, "+a +b +c -b ?a +d", "c = a c d"},
      {"RemoveTailThenAdd", {}, "+a +b +c -c ?b +d +c", "- = a b d c"},
      {"RemoveTheOnlyThenAdd", {}, "+a -a t +a +b", "- = a b"},
      {"RemoveWorksInTheQueuesSlot", {}, "i5 +a +b +c -b ?a", "c = a c"},
      {"AddNothing", {}, "+a +0", "!N = a"},
      {"AddWithASuccessorOrTheLast", {}, "+a +b +c +b +c", "!S !S = a b c"},
      {"RemoveNonMember", {}, "@1 +d +c @0 +a +b -c -d -0", "!R !R = a b / d c"},
      {"IndexOnlyWhileEmpty", {}, "i5 +a +b ?a i5 i6 I n n i6 I", "b !I 5 a b 6 ="},
      {"TwoQueues", {}, "@1 i1 +c +b +a @0 +a +b +c -b n @1 ?b", "a a = c / c b a"},
      {"ClearAndTeardownUnlink", {}, "+a +b +c c t +c +a +b X t", "- - ="},
  });
}

TYPED_TEST(QueueScript, AddRemoveAndTakeAllocateNothing) { this->ExpectNoAllocation(); }

class QueueFaults : public LinearScript<Queue, ClientQueueNode> {};

TEST_F(QueueFaults, ElementCallsAndErrors) {
  RunAll({
      {"AddTouchesTheNewAndTheLast", {}, "+a +b [ +c ] [ +b ]", "[cg bs] !S [bg] = a b c"},
      {"TakeTheOnlyTouchesNoLink", {}, "+a +b [ n ] [ n ]", "a [ag as] b [] ="},
      {"SuccessorTestThrows", {}, "+b !ag +a +c", "E = b c"},
      {"LinkBehindTheLastThrows", {}, "+a !as +b !a +c", "E = a c"},
      {"TakeResetThrowsAfterTheHeadMoved", {}, "+a +b !as n t ?a", "E b b = b a>b"},
      {"RemoveWalkThrows", {}, "+a +b +c !bg -c", "E = a b c"},
      {"RemoveResetThrowsAfterTheUnlink", {}, "+a +b +c !bs -b ?a ?b", "E c c = a c b>c"},
      {"RemoveTailThrows", {}, "+a +b +c !bs -c", "E = a b c"},
      {"ClearStopsAtTheError", {}, "+a +b +c !bg c !b t c +a", "E b = a"},
      {"TeardownSwallowsErrors", {}, "+a +b +c !bg X !b ?a ?b", "- c = b>c"},
  });
}

TEST_F(QueueFaults, LongChainClearedAddedAgainReleased) {
  FillClearFillRelease<Queue>([](int) { return New<ThinNode<IQueueNode>>(); });
}

template <class E>
class PQueueScript : public LinearScript<PQueue, E> {};
TYPED_TEST_SUITE(PQueueScript, PQueueElementTypes);

const Variant kEmpty, kNull = Variant::Null();

TYPED_TEST(PQueueScript, Behaviour) {
  this->RunAll({
      {"NewIsEmptyAndSilent", {1}, "I t n c -a -0", "0 - - ="},
      {"HighestKeyFirst", {1, 3, 2}, "+a +b +c t", "b = b c a"},
      {"EqualKeysInArrivalOrder", {5, 5, 5}, "+a +b +c", "= a b c"},
      {"HigherToTheHeadEqualBehindIt", {5, 7, 7}, "+a +b t +c", "b = b c a"},
      // Numbers of every kind by value (True is -1, a date counts its days), text above them.
      {"MixedKinds",
       {1, "b", 2.5, kEmpty, Variant::Currency(1.5), Variant::Date(2.0), "a", std::int16_t{-3}, 1.0,
        true, 2.5f, Variant::CurrencyFromScaled(-5000)},
       "+a +b +c +d +e +f +g +h +i +j +k +l",
       "= b g c k f e a i d l j h"},
      {"EmptyBelowPositiveNumbers", {3, 1, kEmpty}, "+a +b +c", "= a b c"},
      {"EmptyAboveNegativeNumbers", {-1, -2, kEmpty}, "+a +b +c", "= c a b"},
      {"EmptyEqualsZero", {0.0, kEmpty, -0.5, 3}, "+c +a +b +d", "= d a b c"},
      {"TextFirst", {1, 1e300, "b", 9, "10", "9"}, "+a +b +c t +d +e +f", "c = c f e b d a"},
      {"NullKeyRefusedInItsSlot", {1, kNull}, "+a +b ?b n i1 =b4 +b", "!K - a = b"},
      {"NullKeyBeforeSuccessor", {kNull, 1}, ">ab +a", "!K = a>b"},
      {"AddNothing", {1}, "+a +0", "!N = a"},
      {"AddWithASuccessor", {3, 2, 1}, "+a +b +c =a9 +a +b", "!S !S = a b c"},
      {"RemoveAnywhere", {4, 3, 2, 1}, "+a +b +c +d -b ?a -a t -d ?c +b +a", "c c - = a b c"},
      {"RemoveTheOnlyThenAdd", {1, 2}, "+a -a t +a +b", "- = b a"},
      {"RemoveNonMember", {2, 1, 5, 4}, "@1 +c +d @0 +a +b -c -d -0", "!R !R = a b / c d"},
      {"IndexOnlyWhileEmpty", {1, 2}, "i5 +a +b ?b i5 i6 I n n i6 I", "a !I 5 b a 6 ="},
      {"TwoQueues", {1, 2, 3}, "@1 i1 =a6 =b5 =c4 +a +b +c @0 +a +b +c -b", "= c a / a b c"},
      {"KeysReadAfresh", {5, 3, 4, 2}, "+a +b =b10 +c ?b =a1 +d", "c = d a b c"},
      {"ClearAndTeardownUnlink", {3, 2, 1}, "+a +b +c c t +c +b +a t X t", "- a - ="},
  });
}

TYPED_TEST(PQueueScript, AddRemoveAndTakeAllocateNothing) { this->ExpectNoAllocation(); }

class PQueueFaults : public LinearScript<PQueue, ClientPQueueNode> {};

TEST_F(PQueueFaults, ElementCallsAndErrors) {
  RunAll({
      // The new key is read for the Null test and once more for all comparisons, each queued key
      // once per comparison; a new highest key meets the head only. Removal reads no key.
      {"AddWalkCalls", {3, 2, 1}, "+a +b [ +c ]", "[ck cg ck ak ag bk bg bs] = a b c"},
      {"AddHeadCalls", {3, 9}, "[ +a ] [ +b ]", "[ak ag] [bk bg bk ak bs] = b a"},
      {"NoKeyReads", {3, 2, 1}, "+a +b +c [ -c -a n ]", "b [ag bg cg bs cs ag as bg bs] ="},
      {"RefusalsSetNoLink", {1, 2, kNull}, "+a +b [ +b +c ]", "!S !K [bk bg ck] = b a"},
      {"NewKeyThrows", {1, 2}, "+a !bk [ +b ]", "E [bk] = a"},
      {"QueuedKeyThrows", {3, 2, 1}, "+a +b !bk +c ?c", "E - = a b"},
      {"LinkInThrowsAfterTheNewLinked", {3, 1, 2}, "+a +b !as +c ?c ?a", "E b b = a b c>b"},
      {"TakeResetThrowsAfterTheHeadMoved", {2, 1}, "+a +b !as n t ?a", "E b b = b a>b"},
      {"RemoveWalkThrows", {3, 2, 1}, "+a +b +c !bg -c", "E = a b c"},
      {"TeardownSwallowsErrors", {3, 2, 1}, "+a +b +c !bg X !b ?a ?b", "- c = b>c"},
  });
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
