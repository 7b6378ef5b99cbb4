// Deep and heavy structures: every container with ten million elements (one million under the
// sanitizers), built in its worst order where that is feasible, walked, partly emptied, cleared,
// filled again and released; and a debugger with a hundred thousand distinct procedures nested a
// hundred thousand deep, then its report. Each phase prints its time and the peak memory so far;
// nothing may recurse per element, and every object must be gone at the end.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <tuple>
#include <utility>

#include "capture.h"
#include "scale.h"
#include "velmira/debug/debugger.h"
#include "velmira/elements/links.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

namespace velmira::reliability {
namespace {

using testing::kLongChain;

/// The smallest element of each kind: one building block with a single inline slot, and a key.
template <class Block>
class Thin final : public Block {
 public:
  explicit Thin(std::int32_t key = 0) : key_(key) {}
  Variant Key(std::int32_t) { return key_; }  // the keyed kinds' key; unused by the others

 private:
  std::int32_t key_;
};
using SNode = Thin<StackLinks<>>;
using QNode = Thin<QueueLinks<>>;
using PNode = Thin<PQueueLinks<>>;
using LNode = Thin<ListLinks<>>;
using TNode = Thin<TreeLinks<>>;

class Deep : public testing::VelmiraTest {
 protected:
  void Phase(const char* what) {
    const auto now = std::chrono::steady_clock::now();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("[ deep  ] %-48s %7.2f s, peak %6ld MB\n", what,
                std::chrono::duration<double>(now - last_).count(), usage.ru_maxrss / 1024);
    std::fflush(stdout);
    last_ = now;
  }
  /// Adds `n` new elements with keys key(0), key(1), ...
  template <class Node, class C>
  static void Fill(C& c, std::int64_t n, std::int32_t (*key)(std::int64_t) = nullptr) {
    for (std::int64_t i = 0; i < n; ++i) c->Add(New<Node>(key ? key(i) : 0));
  }
  /// Counts the elements an enumerator gives in `order`.
  template <class C, class O>
  static std::int64_t Walk(C& c, O order) {
    auto walk = c->NewEnum();
    walk->SetOrder(order);
    std::int64_t n = 0;
    while (walk->NextItem()) ++n;
    return n;
  }
  /// Clears a full container, fills it again with `n` elements and releases it full.
  template <class Node, class C>
  void ClearRefillRelease(C& c, std::int64_t n, const char* what,
                          std::int32_t (*key)(std::int64_t) = nullptr) {
    c->Clear();
    EXPECT_TRUE(c->IsEmpty());
    Fill<Node>(c, n, key);
    EXPECT_FALSE(c->IsEmpty());
    c.reset();
    Phase(what);
  }
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

std::int32_t Rising(std::int64_t i) { return static_cast<std::int32_t>(i); }
std::int32_t Falling(std::int64_t i) { return static_cast<std::int32_t>(-i); }
// Distinct keys in a scrambled order: an odd multiplier permutes the 32-bit values.
std::int32_t Scrambled(std::int64_t i) { return static_cast<std::int32_t>(i * 2'654'435'761u); }

TEST_F(Deep, Stack) {
  Ref<Stack> s = New<Stack>();
  Fill<SNode>(s, kLongChain);
  Phase("Stack: push");
  for (int i = 0; i < kLongChain / 2; ++i) ASSERT_TRUE(s->Pop());
  Phase("Stack: pop half");
  ClearRefillRelease<SNode>(s, kLongChain, "Stack: clear, push again, release full");
}

TEST_F(Deep, Queue) {
  Ref<Queue> q = New<Queue>();
  Fill<QNode>(q, kLongChain / 2);
  Ref<IQueueNode> middle = New<QNode>(), last = New<QNode>();
  q->Add(middle);
  Fill<QNode>(q, kLongChain / 2);
  q->Add(last);
  Phase("Queue: add");
  q->Remove(last);  // the worst case: a walk over the whole chain
  q->Remove(middle);
  q->Remove(middle);  // no longer queued: another whole walk, then a warning
  EXPECT_EQ(TakeOutput().size(), 1u);
  Phase("Queue: remove last, middle, absent (walks)");
  for (int i = 0; i < kLongChain / 4; ++i) ASSERT_TRUE(q->NextItem());
  ClearRefillRelease<QNode>(q, kLongChain, "Queue: take a quarter, clear, refill, release");
}

TEST_F(Deep, PQueue) {
  // Rising keys: each new element goes to the head, so a long chain builds in linear time. The
  // worst order (falling keys, a whole walk per Add) is quadratic and is run on a shorter chain.
  Ref<PQueue> q = New<PQueue>();
  Ref<IPQueueNode> lowest = New<PNode>(0);
  q->Add(lowest);
  Fill<PNode>(q, kLongChain, [](std::int64_t i) { return Rising(i + 1); });
  Phase("PQueue: add rising keys");
  q->Add(New<PNode>(-1));  // the lowest key: a walk over the whole chain
  q->Remove(lowest);       // a walk to the end
  Phase("PQueue: add lowest, remove near the end (walks)");
  for (int i = 0; i < kLongChain / 4; ++i) ASSERT_TRUE(q->NextItem());
  ClearRefillRelease<PNode>(q, 20'000, "PQueue: clear, 20,000 falling keys, release", Falling);
}

TEST_F(Deep, List) {
  Ref<List> l = New<List>();
  Fill<LNode>(l, kLongChain);
  Phase("List: add");
  Ref<IListNode> middle = l->Item(kLongChain / 2);  // the longest walk from either end
  ASSERT_TRUE(middle);
  EXPECT_EQ(Walk(l, eListEnumInOrder), kLongChain);
  EXPECT_EQ(Walk(l, eListEnumReverseOrder), kLongChain);
  Phase("List: item in the middle, walk both ways");
  l->Remove(middle);
  l->AddAfter(middle, l->First());
  EXPECT_EQ(l->Count(), kLongChain);
  ClearRefillRelease<LNode>(l, kLongChain, "List: remove, insert, clear, refill, release");
}

TEST_F(Deep, SplayTreeChain) {
  // Rising keys make each new element the root with the previous root as its left child: one
  // chain as deep as the tree is large, the splay tree's worst shape.
  Ref<Tree> t = New<SplayTree>();
  Fill<TNode>(t, kLongChain, Rising);
  Phase("SplayTree: add rising keys (one chain)");
  EXPECT_TRUE(t->Exists(0));  // the whole chain walked, then rotated
  Phase("SplayTree: look up the deepest key");
  EXPECT_EQ(Walk(t, eTreeEnumInOrder), kLongChain);
  Phase("SplayTree: walk in order");
  t->Remove(kLongChain / 2);
  t->Remove(1);
  EXPECT_FALSE(t->Exists(1));
  ClearRefillRelease<TNode>(t, kLongChain, "SplayTree: remove, clear, refill, release", Rising);
}

TEST_F(Deep, Tree) {
  // A plain tree's worst shape is one chain of rising keys. Built by Add it would cost a whole walk
  // per element, so the chain is linked by hand and only its last element is added.
  constexpr std::int32_t n = kLongChain;
  Ref<Tree> t = New<Tree>();
  Ref<ITreeNode> tail = New<TNode>(1);
  t->Add(tail);
  for (std::int32_t k = 2; k < n; ++k) {
    const Ref<ITreeNode> next = New<TNode>(k);
    std::exchange(tail, next)->SetRight(0, next);
  }
  t->Add(New<TNode>(n));  // descends the whole chain
  EXPECT_TRUE(t->Exists(n - 1));
  Phase("Tree: one chain of rising keys, the last added");
  for (const TreeEnumEnum order :  // ascending keys for in and pre-order, descending otherwise
       {eTreeEnumInOrder, eTreeEnumPreOrder, eTreeEnumPostOrder, eTreeEnumReverseOrder}) {
    const bool up = order == eTreeEnumInOrder || order == eTreeEnumPreOrder;
    Ref<TreeEnum> walk = t->NewEnum();
    walk->SetOrder(order);
    std::int32_t count = 1, first = walk->NextItem()->Key(0).Int32Value(), last = first;
    for (Ref<ITreeNode> e; (e = walk->NextItem()); ++count) last = e->Key(0).Int32Value();
    EXPECT_EQ(std::tuple(count, first, last), std::tuple(n, up ? 1 : n, up ? n : 1));
  }
  Phase("Tree: the chain walked in all four orders");
  t->Remove(n);  // the far end: every level relinks on the way back
  t->Remove(1);  // the root
  EXPECT_FALSE(t->Exists(1) || t->Exists(n));
  EXPECT_TRUE(t->Exists(2));
  t->Clear();
  EXPECT_TRUE(t->IsEmpty());
  tail.reset();
  Phase("Tree: far end and root removed, cleared");
  Fill<TNode>(t, kLongChain, Scrambled);
  Phase("Tree: add scrambled keys");
  EXPECT_EQ(Walk(t, eTreeEnumInOrder), kLongChain);
  EXPECT_EQ(Walk(t, eTreeEnumPostOrder), kLongChain);
  Phase("Tree: walk in order and post-order");
  for (std::uint32_t i = 0; i < 1000; ++i) t->Remove(Scrambled(i * 97));
  EXPECT_FALSE(t->Exists(Scrambled(97)));
  EXPECT_TRUE(t->Exists(Scrambled(98)));
  Phase("Tree: remove 1000 keys");
  t.reset();
  Phase("Tree: release full");
}

TEST_F(Deep, DebuggerWithAHundredThousandNestedProcedures) {
  // A tenth under the sanitizers: look-ups of names in rising order cost rotate-to-root splay
  // trees a walk over the chain they form, so the whole case grows with the square of the depth.
  constexpr int kDepth = kLongChain / 100;
  std::int64_t lines = 0, bytes = 0;
  SetDebugOutput(
      [&](std::string_view s) { ++lines, bytes += static_cast<std::int64_t>(s.size()); });
  {
    Ref<Debugger> d = New<Debugger>();
    for (int i = 0; i < kDepth; ++i) d->Enter("procedure " + std::to_string(i));
    Phase("Debugger: enter 100,000 distinct procedures");
    d->Report();
    Phase("Debugger: report at depth 100,000");
    for (int i = kDepth - 1; i >= 0; --i) d->Leave("procedure " + std::to_string(i));
    d->Report();
    Phase("Debugger: leave all, report again");
  }
  SetDebugOutput(nullptr);
  // Enter and leave lines, and two reports of 4 headings with 100,000 records each under
  // "Procedure Counters:" and "Profiler Data:" (zeros are shown by default).
  EXPECT_EQ(lines, 2 * kDepth + 2 * (4 + 2 * kDepth));
  std::printf("[ deep  ] Debugger: %lld lines, %lld bytes\n", static_cast<long long>(lines),
              static_cast<long long>(bytes));
}

}  // namespace
}  // namespace velmira::reliability
