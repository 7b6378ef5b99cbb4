// Deep and heavy structures: every container with ten million elements (one million under the
// sanitizers), built in its worst order where that is feasible, walked, partly emptied, cleared,
// filled again and released; and a debugger with a hundred thousand distinct procedures nested a
// hundred thousand deep, then its report. Each case prints its time; nothing may recurse per
// element, and every object must be gone at the end.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "capture.h"
#include "scale.h"
#include "velmira/debug/debugger.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

// Thin<I> has the members of every element interface; only those of `I` override.
#if defined(__clang__)
#  pragma clang diagnostic ignored "-Winconsistent-missing-override"
#endif

namespace velmira::reliability {
namespace {

using testing::kLongChain;

/// The smallest element: one set of links and a key, whatever the slot.
template <class I>
class Thin final : public I {
 public:
  explicit Thin(std::int32_t key = 0) : key_(key) {}
  Variant Key(std::int32_t) { return key_; }
  Ref<I> NextItem(std::int32_t) { return next_; }
  void SetNextItem(std::int32_t, const Ref<I>& v) { next_ = v; }
  Ref<I> PrevItem(std::int32_t) { return prev_; }
  void SetPrevItem(std::int32_t, const Ref<I>& v) { prev_ = v; }
  Ref<I> Tag(std::int32_t) { return tag_; }
  void SetTag(std::int32_t, const Ref<I>& v) { tag_ = v; }
  Ref<I> Left(std::int32_t) { return prev_; }
  void SetLeft(std::int32_t, const Ref<I>& v) { prev_ = v; }
  Ref<I> Right(std::int32_t) { return next_; }
  void SetRight(std::int32_t, const Ref<I>& v) { next_ = v; }

 private:
  ~Thin() override = default;
  std::int32_t key_;
  Ref<I> next_, prev_, tag_;
};

class Deep : public testing::VelmiraTest {
 protected:
  void Phase(const char* what) {
    const auto now = std::chrono::steady_clock::now();
    std::printf("[ deep  ] %-48s %7.2f s\n", what,
                std::chrono::duration<double>(now - last_).count());
    std::fflush(stdout);
    last_ = now;
  }
  template <class I>
  static Ref<I> Make(std::int32_t key = 0) {
    return New<Thin<I>>(key);
  }
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

TEST_F(Deep, Stack) {
  Ref<Stack> s = New<Stack>();
  for (int i = 0; i < kLongChain; ++i) s->Push(Make<IStackNode>());
  Phase("Stack: push");
  for (int i = 0; i < kLongChain / 2; ++i) ASSERT_TRUE(s->Pop());
  Phase("Stack: pop half");
  s->Clear();
  EXPECT_TRUE(s->IsEmpty());
  for (int i = 0; i < kLongChain; ++i) s->Push(Make<IStackNode>());
  s.reset();
  Phase("Stack: clear, push again, release full");
}

TEST_F(Deep, Queue) {
  Ref<Queue> q = New<Queue>();
  Ref<IQueueNode> middle, last;
  for (int i = 0; i < kLongChain; ++i) {
    last = Make<IQueueNode>();
    if (i == kLongChain / 2) middle = last;
    q->Add(last);
  }
  Phase("Queue: add");
  q->Remove(last);  // the worst case: a walk over the whole chain
  q->Remove(middle);
  q->Remove(middle);  // no longer queued: another whole walk, then a warning
  EXPECT_EQ(TakeOutput().size(), 1u);
  Phase("Queue: remove last, middle, absent (walks)");
  for (int i = 0; i < kLongChain / 4; ++i) ASSERT_TRUE(q->NextItem());
  q->Clear();
  for (int i = 0; i < kLongChain; ++i) q->Add(Make<IQueueNode>());
  q.reset();
  Phase("Queue: take a quarter, clear, refill, release");
}

TEST_F(Deep, PQueue) {
  // Rising keys: each new element goes to the head, so a long chain builds in linear time. The
  // worst order (falling keys, a whole walk per Add) is quadratic and is run on a shorter chain.
  Ref<PQueue> q = New<PQueue>();
  Ref<IPQueueNode> lowest;
  for (int i = 0; i < kLongChain; ++i) {
    Ref<IPQueueNode> e = Make<IPQueueNode>(i);
    if (i == 0) lowest = e;
    q->Add(e);
  }
  Phase("PQueue: add rising keys");
  q->Add(Make<IPQueueNode>(-1));  // the lowest key: a walk over the whole chain
  q->Remove(lowest);              // a walk to the end
  Phase("PQueue: add lowest, remove near the end (walks)");
  for (int i = 0; i < kLongChain / 4; ++i) ASSERT_TRUE(q->NextItem());
  q->Clear();
  for (int i = 0; i < 20'000; ++i) q->Add(Make<IPQueueNode>(-i));
  EXPECT_TRUE(q->First());
  q.reset();
  Phase("PQueue: clear, 20,000 falling keys, release");
}

TEST_F(Deep, List) {
  Ref<List> l = New<List>();
  for (int i = 0; i < kLongChain; ++i) l->Add(Make<IListNode>());
  Phase("List: add");
  Ref<IListNode> middle = l->Item(kLongChain / 2);  // the longest walk from either end
  ASSERT_TRUE(middle);
  for (ListEnumEnum order : {eListEnumInOrder, eListEnumReverseOrder}) {
    Ref<ListEnum> walk = l->NewEnum();
    walk->SetOrder(order);
    int n = 0;
    while (walk->NextItem()) ++n;
    EXPECT_EQ(n, kLongChain);
  }
  Phase("List: item in the middle, walk both ways");
  l->Remove(middle);
  l->AddAfter(middle, l->First());
  EXPECT_EQ(l->Count(), kLongChain);
  l->Clear();
  for (int i = 0; i < kLongChain; ++i) l->Add(Make<IListNode>());
  l.reset();
  Phase("List: remove, insert, clear, refill, release");
}

TEST_F(Deep, SplayTreeChain) {
  // Rising keys make each new element the root with the previous root as its left child: one
  // chain as deep as the tree is large, the splay tree's worst shape.
  Ref<Tree> t = New<SplayTree>();
  for (int i = 0; i < kLongChain; ++i) t->Add(Make<ITreeNode>(i));
  Phase("SplayTree: add rising keys (one chain)");
  EXPECT_TRUE(t->Exists(0));  // the whole chain walked, then rotated
  Phase("SplayTree: look up the deepest key");
  Ref<TreeEnum> walk = t->NewEnum();
  int n = 0;
  while (walk->NextItem()) ++n;
  EXPECT_EQ(n, kLongChain);
  walk.reset();
  Phase("SplayTree: walk in order");
  t->Remove(kLongChain / 2);
  t->Remove(1);
  EXPECT_FALSE(t->Exists(1));
  t->Clear();
  for (int i = 0; i < kLongChain; ++i) t->Add(Make<ITreeNode>(i));
  t.reset();
  Phase("SplayTree: remove, clear, refill, release a chain");
}

TEST_F(Deep, Tree) {
  // A plain tree's worst order (sorted keys) costs a whole walk per Add: a chain of 20,000 here;
  // the full size is built in a scrambled order.
  Ref<Tree> t = New<Tree>();
  for (int i = 0; i < 20'000; ++i) t->Add(Make<ITreeNode>(i));
  EXPECT_TRUE(t->Exists(19'999));
  t->Remove(0);
  t->Remove(10'000);
  t->Clear();
  EXPECT_TRUE(t->IsEmpty());
  Phase("Tree: chain of 20,000 rising keys, removals, clear");
  // Distinct keys in a scrambled order: an odd multiplier permutes the 32-bit values.
  auto key = [](std::uint32_t i) { return static_cast<std::int32_t>(i * 2'654'435'761u); };
  const std::int64_t n = kLongChain;
  for (std::int64_t i = 0; i < n; ++i) t->Add(Make<ITreeNode>(key(static_cast<std::uint32_t>(i))));
  Phase("Tree: add scrambled keys");
  for (TreeEnumEnum order : {eTreeEnumInOrder, eTreeEnumPostOrder}) {
    Ref<TreeEnum> walk = t->NewEnum();
    walk->SetOrder(order);
    std::int64_t seen = 0;
    while (walk->NextItem()) ++seen;
    EXPECT_EQ(seen, n);
  }
  Phase("Tree: walk in order and post-order");
  for (std::uint32_t i = 0; i < 1000; ++i) t->Remove(key(i * 97));
  EXPECT_FALSE(t->Exists(key(97)));
  EXPECT_TRUE(t->Exists(key(98)));
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
