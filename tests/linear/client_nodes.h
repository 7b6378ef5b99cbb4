// Test support for the linear containers: hand-written client elements, and link reads through
// the element interfaces.
//
//   Ref<ClientQueueNode> a = New<ClientQueueNode>();
//   queue->Add(a);
//   EXPECT_EQ(QueueLink(a, 0), Nothing);   // reads a's link through IQueueNode::NextItem
//
// Typed tests create their elements with `New<E>()`, key them with `SetKey(Index, value)` and
// look at links only through the element interface, so the library's own sample elements can
// join the type lists beside these client elements.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "slot_map.h"
#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira::testing {

/// What the client elements throw: a type of the client's own, so a test can tell that the error
/// reached it unchanged (not translated into the library's `Error`).
class ElementError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A client element with one link per slot, implementing `Interface` (IStackNode, IQueueNode or
/// IPQueueNode). It counts the link calls made to it and can be told to throw from them.
template <class Interface>
class ClientLinkNode : public Interface {
 public:
  Ref<Interface> NextItem(std::int32_t Index) override {
    ++gets;
    if (throw_on_get) throw ElementError("NextItem get failed");
    return next_.Get(Index);
  }
  void SetNextItem(std::int32_t Index, const Ref<Interface>& Value) override {
    ++sets;
    if (throw_on_set) throw ElementError("NextItem set failed");
    next_[Index] = Value;
  }

  int gets = 0;
  int sets = 0;
  bool throw_on_get = false;
  bool throw_on_set = false;

 private:
  SlotMap<Ref<Interface>> next_;
};

using ClientStackNode = ClientLinkNode<IStackNode>;
using ClientQueueNode = ClientLinkNode<IQueueNode>;

/// A client priority-queue element: a link and a key per slot; counts key reads and can be told
/// to throw from `Key`.
class ClientPQueueNode : public ClientLinkNode<IPQueueNode> {
 public:
  Variant Key(std::int32_t Index) override {
    ++key_reads;
    if (throw_on_key) throw ElementError("Key failed");
    return keys_.Get(Index);
  }
  void SetKey(std::int32_t Index, const Variant& value) { keys_[Index] = value; }

  int key_reads = 0;
  bool throw_on_key = false;

 private:
  SlotMap<Variant> keys_;
};

/// Bare elements with a single link (and key) for chains of millions: one slot, no bookkeeping.
class ThinStackNode : public IStackNode {
 public:
  Ref<IStackNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<IStackNode>& Value) override { next_ = Value; }

 private:
  Ref<IStackNode> next_;
};

class ThinQueueNode : public IQueueNode {
 public:
  Ref<IQueueNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<IQueueNode>& Value) override { next_ = Value; }

 private:
  Ref<IQueueNode> next_;
};

class ThinPQueueNode : public IPQueueNode {
 public:
  explicit ThinPQueueNode(std::int32_t key) : key_(key) {}
  Variant Key(std::int32_t) override { return key_; }
  Ref<IPQueueNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<IPQueueNode>& Value) override { next_ = Value; }

 private:
  std::int32_t key_;
  Ref<IPQueueNode> next_;
};

/// An element's link in `slot`, read through the element interface only.
template <class E>
Ref<IStackNode> StackLink(const Ref<E>& element, std::int32_t slot) {
  return static_cast<IStackNode&>(*element).NextItem(slot);
}
template <class E>
Ref<IQueueNode> QueueLink(const Ref<E>& element, std::int32_t slot) {
  return static_cast<IQueueNode&>(*element).NextItem(slot);
}
template <class E>
Ref<IPQueueNode> PQueueLink(const Ref<E>& element, std::int32_t slot) {
  return static_cast<IPQueueNode&>(*element).NextItem(slot);
}

}  // namespace velmira::testing
