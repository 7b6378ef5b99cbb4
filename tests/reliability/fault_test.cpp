// An element error injected at every element call of a representative sequence on each container.
// For every call number N: the error passes out unchanged; the links are exactly those that the
// first N - 1 calls of an undisturbed run stored (nothing is rolled back, nothing more is done);
// later operations neither crash nor loop; releasing everything leaks nothing. The same for an
// error at every call of each container's teardown, which must swallow it.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "capture.h"
#include "test_element.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

namespace velmira::reliability {
namespace {

using testing::ElementCalls, testing::ElementError, testing::LinkSnapshot, testing::LinkStore,
    testing::LiveElements, testing::RunawayWalk, testing::TestElement;
ElementCalls& Control() { return ElementCalls::Shared(); }

constexpr std::int32_t kSlot = 3;  // every container here uses this slot
constexpr std::int64_t kBudget = 200'000;

/// A container with its elements: the sequence under test, the later operations, the release.
struct Bench {
  std::function<void()> run, after, release;
};

template <class I>
using Elements = std::vector<Ref<TestElement<I>>>;

/// Calls `f`; after an element error the library may refuse a damaged structure with an error of
/// its own, but a walk that never ends is reported.
template <class F>
bool Try(F&& f) {
  try {
    return static_cast<bool>(f());
  } catch (const RunawayWalk&) {
    throw;
  } catch (...) {
    return false;
  }
}
/// Takes elements from `next` until it gives Nothing; the call budget ends a walk that never stops.
template <class F>
void Drain(F&& next) {
  for (int i = 0; i < 64 && Try(next); ++i) {
  }
}

/// The later operations: add, look up, walk, take and remove what is left, then clear.
template <class C, class I>
void After(C& c, Elements<I>& e) {
  Try([&] { return c.Add(e.back()), 0; });
  if constexpr (std::is_same_v<C, Stack>) {
    Drain([&] { return c.Pop(); });
  } else if constexpr (std::is_same_v<C, Queue> || std::is_same_v<C, PQueue>) {
    Try([&] { return c.Remove(e.back()), 0; });
    Drain([&] { return c.NextItem(); });
  } else if constexpr (std::is_same_v<C, List>) {
    for (std::int32_t n = 1; n <= c.Count(); ++n) Try([&] { return c.Item(n); });
    Ref<ListEnum> walk = c.NewEnum();
    Drain([&] { return walk->NextItem(); });
    Try([&] { return c.Remove(c.First()), 0; });
    Try([&] { return c.Remove(c.Last()), 0; });
  } else {
    for (int key : {50, 30, 70, 20, 40, 60, 80, 65, 45, 99}) Try([&] { return c.Exists(key); });
    for (TreeEnumEnum order : {eTreeEnumInOrder, eTreeEnumPostOrder}) {
      Ref<TreeEnum> walk = c.NewEnum();
      walk->SetOrder(order);
      Drain([&] { return walk->NextItem(); });
    }
    for (int key : {20, 65, 99, 50}) Try([&] { return c.Remove(key), 0; });
  }
  Try([&] { return c.Add(e.back()), 0; });
  c.Clear();
}

/// A bench of `keys.size()` client elements, the first `filled` of them added.
template <class C, class I, class Make = C>
Bench MakeBench(const std::vector<Variant>& keys, int filled, void (*run)(C&, Elements<I>&)) {
  auto c = std::make_shared<Ref<C>>(New<Make>());
  auto e = std::make_shared<Elements<I>>();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    e->push_back(New<TestElement<I>>(std::to_string(i)));
    e->back()->SetKey(kSlot, keys[i]);
  }
  (*c)->SetIndex(kSlot);
  for (int i = 0; i < filled; ++i) (*c)->Add((*e)[i]);
  return {[c, e, run] { run(**c, *e); }, [c, e] { After(**c, *e); }, [c] { c->reset(); }};
}

void StackRun(Stack& s, Elements<IStackNode>& e) {
  s.Push(e[5]);
  s.Pop();
  s.Drop();
  s.Add(e[1]);  // refused: it has a successor
  s.Pop();
  s.Push(e[6]);
  s.Clear();
}

void QueueRun(Queue& q, Elements<IQueueNode>& e) {
  q.Remove(e[3]);
  q.Remove(e[5]);  // the last
  q.Remove(e[0]);  // the first
  q.Remove(e[7]);  // not queued: a warning after a full walk
  q.Add(e[3]);
  q.NextItem();
  q.Clear();
}

void PQueueRun(PQueue& q, Elements<IPQueueNode>& e) {
  q.Add(e[6]);  // between 5 and 2.5
  q.Remove(e[2]);
  q.NextItem();
  q.Remove(e[6]);
  q.Add(e[2]);
  q.Clear();
}

void ListRun(List& list, Elements<IListNode>& x) {
  list.AddBefore(x[6], x[2]);
  list.AddAfter(x[7], x[5]);   // after the last
  list.AddBefore(x[8], x[0]);  // before the first
  list.Remove(x[3]);
  list.Remove(x[8]);  // the first
  list.Remove(x[7]);  // the last
  list.Item(3);
  list.Item(list.Count());
  list.NextItem(x[2]);
  list.PrevItem(x[2]);
  Ref<ListEnum> walk = list.NewEnum();
  walk->NextItem();
  walk->NextItem();
  walk->SetOrder(eListEnumReverseOrder);
  walk->NextItem();
  list.Clear();
}

void TreeRun(Tree& t, Elements<ITreeNode>& e) {
  t.Add(e[8]);  // 45
  t.Exists(65);
  t.Item(20);
  t.Remove(30);
  t.Remove(50);
  t.Remove(99);
  t.Add(e[9]);  // 35
  t.Remove(70);
  for (TreeEnumEnum order : {eTreeEnumPreOrder, eTreeEnumReverseOrder, eTreeEnumPostOrder}) {
    Ref<TreeEnum> walk = t.NewEnum();
    walk->SetOrder(order);
    walk->NextItem();
    walk->NextItem();
    walk->SetOrder(eTreeEnumInOrder);  // a switch in the middle of the walk
    walk->NextItem();
  }
  t.Clear();
}

const std::vector<Variant> kTreeKeys = {50, 30, 70, 20, 40, 60, 80, 65, 45, 35, 99};
const struct Case {
  const char* name;
  std::function<Bench()> make;
} kCases[] = {
    {"Stack", [] { return MakeBench<Stack>(std::vector<Variant>(8), 5, StackRun); }},
    {"Queue", [] { return MakeBench<Queue>(std::vector<Variant>(8), 6, QueueRun); }},
    {"PQueue",
     [] {
       return MakeBench<PQueue>({5, "b", 2.5, 5, Variant(), std::int16_t{7}, 3, 1}, 6, PQueueRun);
     }},
    {"List", [] { return MakeBench<List>(std::vector<Variant>(11), 6, ListRun); }},
    {"Tree", [] { return MakeBench<Tree>(kTreeKeys, 8, TreeRun); }},
    {"SplayTree", [] { return MakeBench<Tree, ITreeNode, SplayTree>(kTreeKeys, 8, TreeRun); }},
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

/// The parameter: a container, and whether the error hits its teardown rather than the sequence.
class EveryCall : public testing::VelmiraTest,
                  public ::testing::WithParamInterface<std::tuple<Case, bool>> {
 protected:
  void TearDown() override {
    Control() = {};
    if (LiveObjectCount() != live_at_start_) LiveElements::BreakAll();  // so one leak stays one
  }
};

TEST_P(EveryCall, ErrorPassesOutAndLeavesExactlyTheStepsTaken) {
  const auto& [bench, teardown] = GetParam();
  std::vector<LinkStore> stores;  // an undisturbed run first: its calls and link stores
  std::int64_t total = 0;
  {
    Bench b = bench.make();
    Control() = {};
    Control().stores = &stores;
    (teardown ? b.release : b.run)();
    total = Control().count;
    Control() = {};
  }
  ASSERT_GT(total, teardown ? 0 : 15) << "too few element calls to be representative";
  for (std::int64_t n = 1; n <= total; ++n) {
    const std::string where = std::string(bench.name) + (teardown ? ", teardown" : "") +
                              ", error at call " + std::to_string(n) + " of " +
                              std::to_string(total);
    const std::int64_t live = LiveObjectCount();
    {
      Bench b = bench.make();
      LinkSnapshot expected = LiveElements::SnapshotAll();
      for (const LinkStore& s : stores) {
        if (s.call >= n) break;
        if (s.value == "_") expected.erase({s.element, s.slot, s.link});
        if (s.value != "_") expected[{s.element, s.slot, s.link}] = s.value;
      }
      Control() = {};
      Control().fail_at = n;
      Control().budget = kBudget;
      if (teardown) {
        b.release();  // must not throw: teardown ignores every error
      } else {
        bool passed_out = false;
        try {
          b.run();
        } catch (const ElementError& e) {
          passed_out = e.call == n;
        }
        EXPECT_TRUE(passed_out) << where << ": the element's error did not pass out unchanged";
        Control() = {};
        EXPECT_EQ(LiveElements::SnapshotAll(), expected)
            << where << ": links differ from the steps";
        Control().budget = kBudget;
        try {
          b.after();
        } catch (const RunawayWalk&) {
          ADD_FAILURE() << where << ": a later operation kept walking";
        }
        Control().count = 0;
        Control().runaway = false;
        b.release();
      }
      EXPECT_FALSE(Control().runaway) << where << ": the teardown kept walking";
      Control() = {};
    }
    if (LiveObjectCount() != live) {
      ADD_FAILURE() << where << ": " << LiveObjectCount() - live << " objects leaked";
      LiveElements::BreakAll();
    }
    (void)TakeOutput();
  }
  std::printf("[ faults ] %s%s: an error injected at each of %lld calls\n", bench.name,
              teardown ? " teardown" : "", static_cast<long long>(total));
}

INSTANTIATE_TEST_SUITE_P(Containers, EveryCall,
                         ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "Teardown" : "");
                         });

}  // namespace
}  // namespace velmira::reliability
