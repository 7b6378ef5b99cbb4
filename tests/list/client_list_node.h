// List tests: a hand-written client element that can log its calls and fail on request.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "slot_map.h"
#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"

namespace velmira::testing {

/// The error a `ClientListNode` raises when told to fail.
class ElementFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// One entry per element call, e.g. "b.Tag", "a.SetNext(c)", "c.Prev@7" (the slot is shown
/// when it is not 0). Elements that are not `ClientListNode`s (the list's marker) show as
/// "marker".
using CallLog = std::vector<std::string>;

/// A client element keeping its links per slot, as any client's own class would.
class ClientListNode : public IListNode {
 public:
  Ref<IListNode> NextItem(std::int32_t Index) override {
    Enter("Next", Index);
    return next_.Get(Index);
  }
  void SetNextItem(std::int32_t Index, const Ref<IListNode>& Value) override {
    Enter("SetNext", Index, &Value);
    next_[Index] = Value;
  }
  Ref<IListNode> PrevItem(std::int32_t Index) override {
    Enter("Prev", Index);
    return prev_.Get(Index);
  }
  void SetPrevItem(std::int32_t Index, const Ref<IListNode>& Value) override {
    Enter("SetPrev", Index, &Value);
    prev_[Index] = Value;
  }
  Ref<IListNode> Tag(std::int32_t Index) override {
    Enter("Tag", Index);
    return tag_.Get(Index);
  }
  void SetTag(std::int32_t Index, const Ref<IListNode>& Value) override {
    Enter("SetTag", Index, &Value);
    tag_[Index] = Value;
  }

  /// The stored successor link itself, for passing a reference that aliases the element's storage.
  Ref<IListNode>& NextSlot(std::int32_t slot) { return next_[slot]; }

  /// Drops every link and tag in `slot` without logging, failing or counting: test clean-up.
  void Reset(std::int32_t slot) {
    next_[slot] = Nothing;
    prev_[slot] = Nothing;
    tag_[slot] = Nothing;
  }

  std::string name = "?";  ///< how the log names this element
  CallLog* log = nullptr;  ///< when set, every call is appended to it
  std::string fail_on;     ///< the member ("Next", "SetTag", ...) that raises ElementFailure
  int calls = 0;           ///< every call so far, logged or not

 private:
  static std::string NameOf(const Ref<IListNode>& node) {
    if (!node) return "Nothing";
    auto* client = dynamic_cast<ClientListNode*>(node.get());
    return client ? client->name : "marker";
  }

  void Enter(std::string_view member, std::int32_t index, const Ref<IListNode>* value = nullptr) {
    ++calls;
    if (log) {
      std::string entry = name + "." + std::string(member);
      if (index != 0) entry += "@" + std::to_string(index);
      if (value) entry += "(" + NameOf(*value) + ")";
      log->push_back(std::move(entry));
    }
    if (member == fail_on) throw ElementFailure(name + "." + std::string(member) + " failed");
  }

  SlotMap<Ref<IListNode>> next_, prev_, tag_;
};

}  // namespace velmira::testing
