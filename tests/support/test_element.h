// Test support: one client element family for every element interface. An element logs its
// calls, fails at the N-th call of its family or at a chosen call of its own, has a call budget,
// and can re-enter the library from inside a call.
//
//   ElementCalls calls(/*logging=*/true);                   // shared by a family of elements
//   auto a = New<TestElement<IQueueNode>>("a", &calls);     // logs "aN", "an=b", ... in calls.log
//   a->SetKey(0, 5);  a->fail = "n";  a->reenter = [&] { queue->NextItem(); };
//
// A call logs as the element's name and a letter: N, P, T, L, R read NextItem, PrevItem, Tag,
// Left, Right; n, p, t, l, r set them, followed by "=" and the new target's name ("_" for Nothing,
// "*" for an object of another class); k reads Key. Elements keep every link and key per slot.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira::testing {

/// The error an element raises on purpose: a type of the client's own, so a test sees it arrive
/// unchanged. It carries the call's number in its family and the call's text.
struct ElementError : std::runtime_error {
  ElementError(std::int64_t call, const std::string& text) : std::runtime_error(text), call(call) {}
  std::int64_t call;
};

/// Raised once the call budget is spent: the library was walking for ever.
struct RunawayWalk : std::runtime_error {
  RunawayWalk() : std::runtime_error("call budget exceeded") {}
};

/// One link store made by an element call: the call's number, the element, the slot, the link's
/// letter and the new target's name.
struct LinkStore {
  std::int64_t call;
  std::string element;
  std::int32_t slot;
  char link;
  std::string value;
};

/// Every non-empty link of every live element: (element, slot, link letter) -> target.
using LinkSnapshot = std::map<std::tuple<std::string, std::int32_t, char>, std::string>;

/// What a family of elements shares: the log, the count of calls and the failure at the N-th.
struct ElementCalls {
  ElementCalls(bool logging = false, std::int64_t budget = 0) : logging(logging), budget(budget) {}

  bool logging;              // whether calls are appended to `log`
  std::string log;           // the calls, space-separated
  std::int64_t count = 0;    // calls since the last reset
  std::int64_t fail_at = 0;  // the call number that throws `ElementError`; 0 for none
  std::int64_t budget;       // calls allowed before `RunawayWalk`; 0 for no limit
  bool runaway = false;      // set once the budget was exceeded
  std::vector<LinkStore>* stores = nullptr;  // receives every link store when set

  /// The family of elements made without one.
  static ElementCalls& Shared() {
    static ElementCalls calls;
    return calls;
  }
};

/// Every live element, for snapshots of all links and to break the cycles of a leak.
class LiveElements {
 public:
  /// Drops every link of every live element; dropping one can destroy others, so the walk starts
  /// over after each.
  static void BreakAll() {
    for (bool again = true; again;) {
      again = false;
      for (LiveElements* e : All()) {
        if ((again = e->DropLinks())) break;
      }
    }
  }
  static LinkSnapshot SnapshotAll() {
    LinkSnapshot snapshot;
    for (const LiveElements* e : All()) e->AddLinks(snapshot);
    return snapshot;
  }

 protected:
  LiveElements() { All().insert(this); }
  virtual ~LiveElements() { All().erase(this); }
  virtual bool DropLinks() = 0;  // false when there were none
  virtual void AddLinks(LinkSnapshot& snapshot) const = 0;

 private:
  static std::set<LiveElements*>& All() {
    static std::set<LiveElements*> live;
    return live;
  }
};

// TestElement<I> has the members of every element interface; only those of `I` override.
#if defined(__clang__)
#  pragma clang diagnostic push
#  pragma clang diagnostic ignored "-Winconsistent-missing-override"
#endif

/// A client element implementing `I`, in the family `calls` (the shared one when null).
template <class I>
class TestElement final : public I, public LiveElements {
 public:
  explicit TestElement(std::string name = "?", ElementCalls* calls = nullptr)
      : name(std::move(name)), calls_(calls ? calls : &ElementCalls::Shared()) {}

  Variant Key(std::int32_t i) {
    Call('k', nullptr);
    const auto it = keys_.find(i);
    return it == keys_.end() ? Variant() : it->second;
  }
  Ref<I> NextItem(std::int32_t i) { return Get('N', i); }
  void SetNextItem(std::int32_t i, const Ref<I>& v) { Set('n', i, v); }
  Ref<I> PrevItem(std::int32_t i) { return Get('P', i); }
  void SetPrevItem(std::int32_t i, const Ref<I>& v) { Set('p', i, v); }
  Ref<I> Tag(std::int32_t i) { return Get('T', i); }
  void SetTag(std::int32_t i, const Ref<I>& v) { Set('t', i, v); }
  Ref<I> Left(std::int32_t i) { return Get('L', i); }
  void SetLeft(std::int32_t i, const Ref<I>& v) { Set('l', i, v); }
  Ref<I> Right(std::int32_t i) { return Get('R', i); }
  void SetRight(std::int32_t i, const Ref<I>& v) { Set('r', i, v); }

  /// Sets the key of slot `i`, without a call.
  void SetKey(std::int32_t i, const Variant& key) { keys_[i] = key; }
  /// The link with letter `link` ('n', 'p', 't', 'l', 'r') of slot `i` itself, without a call.
  Ref<I>& Stored(char link, std::int32_t i = 0) { return links_[{link, i}]; }
  /// Drops every link, without a call.
  void Unlink() { DropLinks(); }
  /// An element's name: its own, "_" for Nothing, "*" for an object of another class.
  static std::string NameOf(const Ref<I>& n) {
    const auto* e = dynamic_cast<const TestElement*>(n.get());
    return e ? e->name : n ? "*" : "_";
  }

  const std::string name;
  /// The next call of this element whose text after the name is `fail`, or is `fail` followed by
  /// "=" and a target, throws `ElementError` instead of taking effect; once.
  std::string fail;
  /// Runs inside the next call this element receives, once: client code re-entering the library.
  std::function<void()> reenter;

 protected:
  ~TestElement() override = default;
  bool DropLinks() override {
    auto dropped = std::exchange(links_, {});
    for (const auto& [where, link] : dropped)
      if (link) return true;
    return false;
  }
  void AddLinks(LinkSnapshot& snapshot) const override {
    for (const auto& [where, link] : links_)
      if (link) snapshot[{name, where.second, where.first}] = NameOf(link);
  }

 private:
  /// Counts and logs the call, runs `reenter`, then throws when the call is to fail.
  void Call(char member, const Ref<I>* value) {
    ElementCalls& c = *calls_;
    std::string text = name + member;
    if (value) text += "=" + NameOf(*value);
    ++c.count;
    if (c.logging) (c.log += c.log.empty() ? "" : " ") += text;
    if (reenter) std::exchange(reenter, nullptr)();
    if (c.budget && c.count > c.budget) c.runaway = true, throw RunawayWalk();
    const std::string_view own = std::string_view(text).substr(name.size());
    if (c.count == c.fail_at ||
        (!fail.empty() && (own == fail || own.substr(0, own.find('=')) == fail))) {
      fail.clear();
      throw ElementError(c.count, text);
    }
  }
  Ref<I> Get(char member, std::int32_t i) {
    Call(member, nullptr);
    const auto it = links_.find({static_cast<char>(member - 'A' + 'a'), i});
    return it == links_.end() ? Ref<I>() : it->second;
  }
  void Set(char link, std::int32_t i, const Ref<I>& value) {
    Call(link, &value);
    if (calls_->stores) calls_->stores->push_back({calls_->count, name, i, link, NameOf(value)});
    if (value || links_.count({link, i})) links_[{link, i}] = value;
  }

  ElementCalls* calls_;
  std::map<std::pair<char, std::int32_t>, Ref<I>> links_;  // by link letter and slot
  std::map<std::int32_t, Variant> keys_;
};

#if defined(__clang__)
#  pragma clang diagnostic pop
#endif

}  // namespace velmira::testing
