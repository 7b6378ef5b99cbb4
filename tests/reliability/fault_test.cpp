// An element error injected at every element call of a representative sequence on each container.
// For every call number N: the error passes out unchanged; the links are exactly those that the
// first N - 1 calls of an undisturbed run stored (nothing is rolled back, nothing more is done);
// later operations neither crash nor loop; releasing everything leaks nothing. The same for an
// error at every call of each container's teardown, which must swallow it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture.h"
#include "client_elements.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

namespace velmira::reliability {
namespace {

constexpr std::int32_t kSlot = 3;  // every container here uses this slot
constexpr std::int64_t kBudget = 200'000;

/// A container with its elements: the sequence under test, the later operations, the release.
struct Bench {
  std::function<void()> run, after, release;
};

template <class I>
std::vector<Ref<Client<I>>> Elements(const std::vector<Variant>& keys) {
  std::vector<Ref<Client<I>>> e;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    e.push_back(New<Client<I>>(static_cast<int>(i)));
    e.back()->SetSlotKey(kSlot, keys[i]);
  }
  return e;
}

/// Keeps calling `step` until it returns false; the call budget ends a walk that never stops.
void Repeat(const std::function<bool()>& step) {
  for (int i = 0; i < 64 && step(); ++i) {
  }
}

void Try(const std::function<void()>& f) {
  try {
    f();
  } catch (const RunawayWalk&) {
    throw;
  } catch (...) {
    // After an element error the library may refuse a damaged structure with an error of its own.
  }
}

template <class C, class I>
Bench LinearBench(const std::vector<Variant>& keys, int filled,
                  std::function<void(Ref<C>&, std::vector<Ref<Client<I>>>&)> run) {
  auto c = std::make_shared<Ref<C>>(New<C>());
  auto e = std::make_shared<std::vector<Ref<Client<I>>>>(Elements<I>(keys));
  (*c)->SetIndex(kSlot);
  for (int i = 0; i < filled; ++i) (*c)->Add((*e)[i]);
  Bench b;
  b.run = [c, e, run] { run(*c, *e); };
  b.after = [c, e] {
    Try([&] { (*c)->Add(e->back()); });
    if constexpr (std::is_same_v<C, Stack>) {
      Repeat([&] { return static_cast<bool>((*c)->Pop()); });
    } else {
      Try([&] { (*c)->Remove(e->back()); });
      Repeat([&] { return static_cast<bool>((*c)->NextItem()); });
    }
    Try([&] { (*c)->Add(e->back()); });
    (*c)->Clear();
  };
  b.release = [c] { c->reset(); };
  return b;
}

Bench StackBench() {
  return LinearBench<Stack, IStackNode>({0, 0, 0, 0, 0, 0, 0, 0}, 5, [](auto& s, auto& e) {
    s->Push(e[5]);
    s->Pop();
    s->Drop();
    s->Add(e[1]);  // refused: it has a successor
    s->Pop();
    s->Push(e[6]);
    s->Clear();
  });
}

Bench QueueBench() {
  return LinearBench<Queue, IQueueNode>({0, 0, 0, 0, 0, 0, 0, 0}, 6, [](auto& q, auto& e) {
    q->Remove(e[3]);
    q->Remove(e[5]);  // the last
    q->Remove(e[0]);  // the first
    q->Remove(e[7]);  // not queued: a warning after a full walk
    q->Add(e[3]);
    q->NextItem();
    q->Clear();
  });
}

Bench PQueueBench() {
  return LinearBench<PQueue, IPQueueNode>({5, "b", 2.5, 5, Variant(), std::int16_t{7}, 3, 1}, 6,
                                          [](auto& q, auto& e) {
                                            q->Add(e[6]);  // between 5 and 2.5
                                            q->Remove(e[2]);
                                            q->NextItem();
                                            q->Remove(e[6]);
                                            q->Add(e[2]);
                                            q->Clear();
                                          });
}

Bench ListBench() {
  auto l = std::make_shared<Ref<List>>(New<List>());
  auto e = std::make_shared<std::vector<Ref<Client<IListNode>>>>(
      Elements<IListNode>(std::vector<Variant>(11)));
  (*l)->SetIndex(kSlot);
  for (int i = 0; i < 6; ++i) (*l)->Add((*e)[i]);
  Bench b;
  b.run = [l, e] {
    auto& x = *e;
    List& list = **l;
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
  };
  b.after = [l, e] {
    List& list = **l;
    Try([&] { list.Add(e->back()); });
    for (std::int32_t n = 1; n <= list.Count(); ++n) Try([&] { list.Item(n); });
    Ref<ListEnum> walk = list.NewEnum();
    Repeat([&] {
      bool more = false;
      Try([&] { more = static_cast<bool>(walk->NextItem()); });
      return more;
    });
    Try([&] { list.Remove(list.First()); });
    Try([&] { list.Remove(list.Last()); });
    list.Clear();
  };
  b.release = [l] { l->reset(); };
  return b;
}

template <class T>
Bench TreeBench(std::function<void(Tree&, std::vector<Ref<Client<ITreeNode>>>&)> run) {
  auto t = std::make_shared<Ref<Tree>>(New<T>());
  auto e = std::make_shared<std::vector<Ref<Client<ITreeNode>>>>(
      Elements<ITreeNode>({50, 30, 70, 20, 40, 60, 80, 65, 45, 35, 99}));
  (*t)->SetIndex(kSlot);
  for (int i = 0; i < 8; ++i) (*t)->Add((*e)[i]);
  Bench b;
  b.run = [t, e, run] { run(**t, *e); };
  b.after = [t, e] {
    Tree& tree = **t;
    for (int key : {50, 30, 70, 20, 40, 60, 80, 65, 45, 99}) Try([&] { tree.Exists(key); });
    Try([&] { tree.Add(e->back()); });
    for (TreeEnumEnum order : {eTreeEnumInOrder, eTreeEnumPostOrder}) {
      Ref<TreeEnum> walk = tree.NewEnum();
      walk->SetOrder(order);
      Repeat([&] {
        bool more = false;
        Try([&] { more = static_cast<bool>(walk->NextItem()); });
        return more;
      });
    }
    for (int key : {20, 65, 99, 50}) Try([&] { tree.Remove(key); });
    tree.Clear();
  };
  b.release = [t] { t->reset(); };
  return b;
}

void TreeRun(Tree& t, std::vector<Ref<Client<ITreeNode>>>& e) {
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

struct Case {
  const char* name;
  std::function<Bench()> make;
};

class EveryCall : public testing::VelmiraTest, public ::testing::WithParamInterface<Case> {
 protected:
  void TearDown() override {
    Control() = {};
    if (LiveObjectCount() != live_at_start_) Breakable::BreakAll();  // so one leak stays one
  }

  /// Counts the element calls of `phase` on a fresh bench, recording its link stores.
  std::int64_t Reference(bool teardown, std::vector<LinkStore>& stores) {
    Bench b = GetParam().make();
    Control() = {};
    Control().stores = &stores;
    (teardown ? b.release : b.run)();
    const std::int64_t calls = Control().calls;
    Control() = {};
    return calls;
  }

  /// Runs the later operations and the release under the call budget; false if they looped.
  bool AfterwardsAndRelease(Bench& b, const std::string& where) {
    Control() = {};
    Control().budget = kBudget;
    try {
      b.after();
    } catch (const RunawayWalk&) {
      ADD_FAILURE() << where << ": a later operation kept walking";
    }
    Control().runaway = false;
    Control().calls = 0;
    b.release();
    const bool ok = !Control().runaway;
    EXPECT_TRUE(ok) << where << ": the teardown kept walking";
    Control() = {};
    return ok;
  }

  void ExpectNoLeak(std::int64_t live, const std::string& where) {
    if (LiveObjectCount() != live) {
      ADD_FAILURE() << where << ": " << LiveObjectCount() - live << " objects leaked";
      Breakable::BreakAll();
    }
  }
};

TEST_P(EveryCall, ErrorPassesOutAndLeavesExactlyTheStepsTaken) {
  std::vector<LinkStore> stores;
  const std::int64_t total = Reference(false, stores);
  ASSERT_GT(total, 15) << "the sequence makes too few element calls to be representative";
  for (std::int64_t n = 1; n <= total; ++n) {
    const std::string where = std::string(GetParam().name) + ", error at call " +
                              std::to_string(n) + " of " + std::to_string(total);
    const std::int64_t live = LiveObjectCount();
    {
      Bench b = GetParam().make();
      LinkSnapshot expected = Breakable::SnapshotAll();
      for (const LinkStore& s : stores) {
        if (s.call >= n) break;
        if (s.value == -1) {
          expected.erase({s.element, s.slot, s.link});
        } else {
          expected[{s.element, s.slot, s.link}] = s.value;
        }
      }
      Control() = {};
      Control().fail_at = n;
      bool passed_out = false;
      try {
        b.run();
      } catch (const InjectedError& e) {
        passed_out = e.call == n;
      }
      EXPECT_TRUE(passed_out) << where << ": the element's error did not pass out unchanged";
      Control() = {};
      EXPECT_EQ(Breakable::SnapshotAll(), expected)
          << where << ": links differ from the steps taken";
      if (!AfterwardsAndRelease(b, where)) {
        Breakable::BreakAll();
        continue;
      }
    }
    ExpectNoLeak(live, where);
    (void)TakeOutput();
  }
}

TEST_P(EveryCall, TeardownSwallowsAnErrorAtEveryCall) {
  // The teardown of the full container the bench starts with.
  std::vector<LinkStore> stores;
  const std::int64_t total = Reference(true, stores);
  for (std::int64_t n = 1; n <= total; ++n) {
    const std::string where = std::string(GetParam().name) + ", teardown error at call " +
                              std::to_string(n) + " of " + std::to_string(total);
    const std::int64_t live = LiveObjectCount();
    {
      Bench b = GetParam().make();
      Control() = {};
      Control().fail_at = n;
      Control().budget = kBudget;
      b.release();  // must not throw: teardown ignores every error
      EXPECT_FALSE(Control().runaway) << where << ": the teardown kept walking";
      Control() = {};
    }
    ExpectNoLeak(live, where);
    (void)TakeOutput();
  }
}

INSTANTIATE_TEST_SUITE_P(Containers, EveryCall,
                         ::testing::Values(Case{"Stack", StackBench}, Case{"Queue", QueueBench},
                                           Case{"PQueue", PQueueBench}, Case{"List", ListBench},
                                           Case{"Tree", [] { return TreeBench<Tree>(TreeRun); }},
                                           Case{"SplayTree",
                                                [] { return TreeBench<SplayTree>(TreeRun); }}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmira::reliability
