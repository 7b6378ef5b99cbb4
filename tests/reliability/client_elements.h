// Reliability support: client elements whose every member call is counted, can be made to fail, and
// has its link stores recorded, so a test can inject an error at any call and know exactly which
// steps were taken before it.
//
//   Control() = {};  Control().fail_at = 7;     // the 7th element call from now throws
//   auto e = New<Client<ITreeNode>>(3);          // element number 3
//   e->SetKey(0, 42);                            // its key in slot 0 (not a counted call)
//
// The elements implement one element interface each and keep every link and key per slot in plain
// maps. A call over the budget throws `RunawayWalk` and marks the run as hanging, so a walk that
// loops on a cycle ends the test instead of the test run.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira::reliability {

enum class Link : std::uint8_t { Next, Prev, Tag, Left, Right };

/// One link store made by an element call: the call's number, the element, the slot, the link and
/// the new target (a client element's number, -1 for Nothing, -2 for any other object).
struct LinkStore {
  std::int64_t call;
  int element;
  std::int32_t slot;
  Link link;
  int value;
};

/// Every non-empty link of every live client element: (element, slot, link) -> target.
using LinkSnapshot = std::map<std::tuple<int, std::int32_t, Link>, int>;

/// Shared by every client element of the process (tests run on one thread).
struct CallControl {
  std::int64_t calls = 0;    // element calls counted since the last reset
  std::int64_t fail_at = 0;  // the call number that throws `InjectedError`; 0 for none
  std::int64_t budget = 0;   // calls allowed before `RunawayWalk`; 0 for no limit
  bool runaway = false;      // set once the budget was exceeded
  std::vector<LinkStore>* stores = nullptr;  // receives every link store when set
};

inline CallControl& Control() {
  static CallControl control;
  return control;
}

/// The error a client element raises on purpose; the test expects to catch this very type.
struct InjectedError : std::runtime_error {
  explicit InjectedError(std::int64_t call)
      : std::runtime_error("injected at call " + std::to_string(call)), call(call) {}
  std::int64_t call;
};

/// Raised once the call budget is spent: the library was walking for ever.
struct RunawayWalk : std::runtime_error {
  RunawayWalk() : std::runtime_error("call budget exceeded") {}
};

/// Every live client element, for snapshots of all links and to break the cycles of a leak.
class Breakable {
 public:
  static std::set<Breakable*>& Live() {
    static std::set<Breakable*> live;
    return live;
  }
  /// Drops every link of every live client element; dropping one can destroy others, so the walk
  /// starts over after each.
  static void BreakAll() {
    for (bool again = true; again;) {
      again = false;
      for (Breakable* b : Live()) {
        if ((again = b->DropLinks())) break;
      }
    }
  }
  static LinkSnapshot SnapshotAll() {
    LinkSnapshot snapshot;
    for (const Breakable* b : Live()) b->AddLinks(snapshot);
    return snapshot;
  }

 protected:
  Breakable() { Live().insert(this); }
  virtual ~Breakable() { Live().erase(this); }
  virtual bool DropLinks() = 0;  // false when there were none
  virtual void AddLinks(LinkSnapshot& snapshot) const = 0;
};

// Client<I> has the members of every element interface; only those of `I` override.
#if defined(__clang__)
#  pragma clang diagnostic push
#  pragma clang diagnostic ignored "-Winconsistent-missing-override"
#endif

/// A client element implementing `I`: links and keys per slot, every member call counted.
template <class I>
class Client final : public I, public Breakable {
 public:
  explicit Client(int id = 0) : id_(id) {}
  void SetKey(std::int32_t slot, const Variant& key) { keys_[slot] = key; }

  Variant Key(std::int32_t Index) {
    Count();
    auto it = keys_.find(Index);
    return it == keys_.end() ? Variant() : it->second;
  }
  Ref<I> NextItem(std::int32_t Index) { return Get(Index, Link::Next); }
  void SetNextItem(std::int32_t Index, const Ref<I>& Value) { Put(Index, Link::Next, Value); }
  Ref<I> PrevItem(std::int32_t Index) { return Get(Index, Link::Prev); }
  void SetPrevItem(std::int32_t Index, const Ref<I>& Value) { Put(Index, Link::Prev, Value); }
  Ref<I> Tag(std::int32_t Index) { return Get(Index, Link::Tag); }
  void SetTag(std::int32_t Index, const Ref<I>& Value) { Put(Index, Link::Tag, Value); }
  Ref<I> Left(std::int32_t Index) { return Get(Index, Link::Left); }
  void SetLeft(std::int32_t Index, const Ref<I>& Value) { Put(Index, Link::Left, Value); }
  Ref<I> Right(std::int32_t Index) { return Get(Index, Link::Right); }
  void SetRight(std::int32_t Index, const Ref<I>& Value) { Put(Index, Link::Right, Value); }

 protected:
  ~Client() override = default;
  bool DropLinks() override {
    auto dropped = std::move(links_);
    links_.clear();
    return !dropped.empty();
  }
  void AddLinks(LinkSnapshot& snapshot) const override {
    for (const auto& [where, value] : links_)
      snapshot[{id_, where.first, where.second}] = Of(value);
  }

 private:
  static int Of(const Ref<I>& value) {
    const auto* client = dynamic_cast<const Client*>(value.get());
    return !value ? -1 : client ? client->id_ : -2;
  }
  static void Count() {
    CallControl& c = Control();
    if (++c.calls > c.budget && c.budget) c.runaway = true, throw RunawayWalk();
    if (c.calls == c.fail_at) throw InjectedError(c.calls);
  }
  Ref<I> Get(std::int32_t slot, Link link) {
    Count();
    auto it = links_.find({slot, link});
    return it == links_.end() ? Ref<I>() : it->second;
  }
  void Put(std::int32_t slot, Link link, const Ref<I>& value) {
    Count();
    if (Control().stores)
      Control().stores->push_back({Control().calls, id_, slot, link, Of(value)});
    if (value) {
      links_[{slot, link}] = value;
    } else if (auto it = links_.find({slot, link}); it != links_.end()) {
      Ref<I> old = std::move(it->second);  // released after the map no longer holds it
      links_.erase(it);
    }
  }

  int id_;
  std::map<std::pair<std::int32_t, Link>, Ref<I>> links_;
  std::map<std::int32_t, Variant> keys_;
};

#if defined(__clang__)
#  pragma clang diagnostic pop
#endif

}  // namespace velmira::reliability
