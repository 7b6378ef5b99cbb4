// The linear containers' behaviour rows, run over any element class: a test file instantiates
// them with INSTANTIATE_TYPED_TEST_SUITE_P for its element types (the client elements in
// tests/linear, the sample and building-block elements in tests/elements). Stack: last in, first
// out. Queue: first in, first out, removal anywhere (every scripted Remove passes the ignored
// Index argument 7). PQueue: highest key first, equal keys in arrival order.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "linear_script.h"

namespace velmira::testing {

inline const Variant kEmptyKey, kNullKey = Variant::Null();

template <class E>
class StackRows : public LinearScript<Stack, E> {};
TYPED_TEST_SUITE_P(StackRows);

TYPED_TEST_P(StackRows, Behaviour) {
  // clang-format off
  this->RunAll({
      {"NewIsEmptyAndSilent", "I t n d c", "0 - - ="},
      {"LastInFirstOut", "+a ^b +c t n n n n +b t", "c c b a - b = b"},
      {"DropUnlinksTheTop", "+a +b d t ?b", "a - = a"},
      {"AddNothing", "+0 ^0 t", "!A0 !A0 - ="},
      {"AddWithASuccessor", "+a +b +b ^b t ?b", "!Alk !Alk b a = b a"},
      {"IndexOnlyWhileEmpty", "i5 +a +b ?b i5 I i6 I n n i6 I", "a 5 !Ix 5 b a 6 ="},
      {"TwoStacks", "@1 i1 +a +b +c @0 +a +b +c n @1 n n @0 n", "c c b b = a / a"},
      {"ClearAndTeardownUnlink", "+a +b +c c t +a +b +c X t", "- - ="},
  });
  // clang-format on
}

TYPED_TEST_P(StackRows, PushAndPopAllocateNothing) { this->ExpectNoAllocation(); }

REGISTER_TYPED_TEST_SUITE_P(StackRows, Behaviour, PushAndPopAllocateNothing);

template <class E>
class QueueRows : public LinearScript<Queue, E> {};
TYPED_TEST_SUITE_P(QueueRows);

TYPED_TEST_P(QueueRows, Behaviour) {
  // clang-format off
  this->RunAll({
      {"NewIsEmptyAndSilent", "I t n c -a -0", "0 - - ="},
      {"FirstInFirstOut", "+a +b +c t n n n n", "a a b c - ="},
      {"TakenElementGoesBackAtOnce", "+a +b n +a +c", "a = b a c"},
      {"TakeTheOnlyThenAdd", "+a n t +a +b", "a - = a b"},
      {"RemoveHeadThenAdd", "+a +b +c -a t +d", "b = b c d"},
      {"RemoveMiddleThenAdd", "+a +b +c -b ?a +d", "c = a c d"},
      {"RemoveTailThenAdd", "+a +b +c -c ?b +d +c", "- = a b d c"},
      {"RemoveTheOnlyThenAdd", "+a -a t +a +b", "- = a b"},
      {"RemoveWorksInTheQueuesSlot", "i5 +a +b +c -b ?a", "c = a c"},
      {"AddNothing", "+a +0", "!A0 = a"},
      {"AddWithASuccessorOrTheLast", "+a +b +c +b +c", "!Alk !Alk = a b c"},
      {"RemoveNonMember", "@1 +d +c @0 +a +b -c -d -0", "!Rnm !Rnm = a b / d c"},
      {"IndexOnlyWhileEmpty", "i5 +a +b ?a i5 i6 I n n i6 I", "b !Ix 5 a b 6 ="},
      {"TwoQueues", "@1 i1 +c +b +a @0 +a +b +c -b n @1 ?b", "a a = c / c b a"},
      {"ClearAndTeardownUnlink", "+a +b +c c t +c +a +b X t", "- - ="},
  });
  // clang-format on
}

TYPED_TEST_P(QueueRows, AddRemoveAndTakeAllocateNothing) { this->ExpectNoAllocation(); }

REGISTER_TYPED_TEST_SUITE_P(QueueRows, Behaviour, AddRemoveAndTakeAllocateNothing);

template <class E>
class PQueueRows : public LinearScript<PQueue, E> {};
TYPED_TEST_SUITE_P(PQueueRows);

TYPED_TEST_P(PQueueRows, Behaviour) {
  // clang-format off
  this->RunAll({
      {"NewIsEmptyAndSilent", {1}, "I t n c -a -0", "0 - - ="},
      {"HighestKeyFirst", {1, 3, 2}, "+a +b +c t", "b = b c a"},
      {"EqualKeysInArrivalOrder", {5, 5, 5}, "+a +b +c", "= a b c"},
      {"HigherToTheHeadEqualBehindIt", {5, 7, 7}, "+a +b t +c", "b = b c a"},
      // Numbers of every kind by value (True is -1, a date counts its days), text above them.
      {"MixedKinds", {1, "b", 2.5, kEmptyKey, Variant::Currency(1.5), Variant::Date(2.0), "a",
          std::int16_t{-3}, 1.0, true, 2.5f, Variant::CurrencyFromScaled(-5000)},
          "+a +b +c +d +e +f +g +h +i +j +k +l", "= b g c k f e a i d l j h"},
      {"EmptyBelowPositiveNumbers", {3, 1, kEmptyKey}, "+a +b +c", "= a b c"},
      {"EmptyAboveNegativeNumbers", {-1, -2, kEmptyKey}, "+a +b +c", "= c a b"},
      {"EmptyEqualsZero", {0.0, kEmptyKey, -0.5, 3}, "+c +a +b +d", "= d a b c"},
      {"TextFirst", {1, 1e300, "b", 9, "10", "9"}, "+a +b +c t +d +e +f", "c = c f e b d a"},
      {"NullKeyRefusedInItsSlot", {1, kNullKey}, "+a +b ?b n i1 =b4 +b", "!Ak0 - a = b"},
      {"NullKeyBeforeSuccessor", {kNullKey, 1}, ">ab +a", "!Ak0 = a>b"},
      {"AddNothing", {1}, "+a +0", "!A0 = a"},
      {"AddWithASuccessor", {3, 2, 1}, "+a +b +c =a9 +a +b", "!Alk !Alk = a b c"},
      {"RemoveAnywhere", {4, 3, 2, 1}, "+a +b +c +d -b ?a -a t -d ?c +b +a", "c c - = a b c"},
      {"RemoveTheOnlyThenAdd", {1, 2}, "+a -a t +a +b", "- = b a"},
      {"RemoveNonMember", {2, 1, 5, 4}, "@1 +c +d @0 +a +b -c -d -0", "!Rnm !Rnm = a b / c d"},
      {"IndexOnlyWhileEmpty", {1, 2}, "i5 +a +b ?b i5 i6 I n n i6 I", "a !Ix 5 b a 6 ="},
      {"TwoQueues", {1, 2, 3}, "@1 i1 =a6 =b5 =c4 +a +b +c @0 +a +b +c -b", "= c a / a b c"},
      {"KeysReadAfresh", {5, 3, 4, 2}, "+a +b =b10 +c ?b =a1 +d", "c = d a b c"},
      {"ClearAndTeardownUnlink", {3, 2, 1}, "+a +b +c c t +c +b +a t X t", "- a - ="},
  });
  // clang-format on
}

TYPED_TEST_P(PQueueRows, AddRemoveAndTakeAllocateNothing) { this->ExpectNoAllocation(); }

REGISTER_TYPED_TEST_SUITE_P(PQueueRows, Behaviour, AddRemoveAndTakeAllocateNothing);

}  // namespace velmira::testing
