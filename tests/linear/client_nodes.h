// Test support for the linear containers: the element classes the tests run over.
//
//   Ref<ClientQueueNode> a = New<ClientQueueNode>();
//   a->Watch('a', &log);
//   a->fail = "s";   // SetNextItem now logs " as", then throws ElementError
//
// Elements are made with `New<E>()` and keyed with `SetKey(Index, value)`; the sample and
// building-block elements run the same rows from tests/elements.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "slot_map.h"
#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira::testing {

/// What client elements throw: a type of the client's own, so a test sees it arrive unchanged.
struct ElementError {};

/// A client element with a link per slot, implementing `Interface`. Once watched, each call it
/// receives is appended to the log as a space, its name and g (link get), s (link set) or k (key
/// read); the calls listed in `fail` throw `ElementError` instead of doing their work.
template <class Interface>
class ClientLinkNode : public Interface {
 public:
  Ref<Interface> NextItem(std::int32_t Index) override {
    Call('g');
    return next_.Get(Index);
  }
  void SetNextItem(std::int32_t Index, const Ref<Interface>& Value) override {
    Call('s');
    next_[Index] = Value;
  }

  void Watch(char name, std::string* log) { name_ = name, log_ = log; }
  std::string fail;
  /// Runs inside the next call the element receives, once: client code re-entering a container.
  std::function<void()> reenter;

 protected:
  void Call(char what) {
    if (log_) *log_ += std::string{' ', name_, what};
    if (reenter) std::exchange(reenter, nullptr)();
    if (fail.find(what) != std::string::npos) throw ElementError{};
  }

 private:
  char name_ = '?';
  std::string* log_ = nullptr;
  SlotMap<Ref<Interface>> next_;
};

using ClientStackNode = ClientLinkNode<IStackNode>;
using ClientQueueNode = ClientLinkNode<IQueueNode>;

/// A client priority-queue element: also a key per slot.
class ClientPQueueNode : public ClientLinkNode<IPQueueNode> {
 public:
  Variant Key(std::int32_t Index) override {
    Call('k');
    return keys_.Get(Index);
  }
  void SetKey(std::int32_t Index, const Variant& value) { keys_[Index] = value; }

 private:
  SlotMap<Variant> keys_;
};

/// A bare element for chains of millions: one link, whatever the slot.
template <class Interface>
class ThinNode : public Interface {
 public:
  Ref<Interface> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<Interface>& Value) override { next_ = Value; }

 private:
  Ref<Interface> next_;
};

/// A bare priority-queue element with a fixed key.
class ThinPQueueNode : public ThinNode<IPQueueNode> {
 public:
  explicit ThinPQueueNode(std::int32_t key) : key_(key) {}
  Variant Key(std::int32_t) override { return key_; }

 private:
  std::int32_t key_;
};

}  // namespace velmira::testing
