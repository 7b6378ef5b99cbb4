// `PQueue`: a priority queue, one chain through its elements' `NextItem` links, sorted by key.
//
//   Ref<PQueue> q = New<PQueue>();
//   Ref<PQueueNode> low = New<PQueueNode>(), high = New<PQueueNode>(), also = New<PQueueNode>();
//   low->SetKey(0, 1); high->SetKey(0, 9); also->SetKey(0, 9);
//   q->Add(low); q->Add(high); q->Add(also);
//   Ref<IPQueueNode> top = q->NextItem();   // high: the highest key, the earliest of equals
//
// The chain runs from the highest key down; among equal keys, in the order of `Add`. Keys are
// read from the elements (`Key(Index)`) whenever a comparison needs them and never kept between
// operations, so a key changed while queued does not move its element. Nothing is allocated per
// element. Misuse writes one warning and changes nothing. The constant-time members are inline;
// `Add`, `Remove` and `Clear`, which walk, are not.
#pragma once

#include <cstddef>
#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/linear/internal/chain.h"

namespace velmira {

class PQueue : public virtual Object {
 public:
  PQueue() = default;

  /// The link and key slot this queue uses in its elements; 0 for a new queue.
  std::int32_t Index() const noexcept { return index_; }
  /// Changes the slot; only while the queue is empty (otherwise a warning, no change).
  void SetIndex(std::int32_t value) noexcept;

  /// True if the queue is empty.
  bool IsEmpty() const noexcept { return !first_; }
  /// The first item (a highest key), or Nothing if the queue is empty. Constant time.
  Ref<IPQueueNode> First() const noexcept { return first_; }

  /// Adds an item before every item whose key is lower and after every other one. Refuses
  /// Nothing, a Null key, and an item with a successor in this queue's slot, in that order. Time
  /// proportional to the number of items whose key is not lower: constant for a new highest key.
  void Add(const Ref<IPQueueNode>& Node);
  /// Removes and returns the first item, or Nothing when the queue is empty. Constant time: one
  /// link get and one link set, no key read.
  Ref<IPQueueNode> NextItem() {
    if (!first_) return Nothing;
    const detail::KeepAlive alive(this);
    return detail::UnlinkHead(first_, index_);
  }
  /// Removes the item (found by identity; keys are not read); nothing happens for Nothing or on
  /// an empty queue, and an item that is not queued here gets a warning. Constant time for the
  /// first item, otherwise a walk from the head.
  void Remove(const Ref<IPQueueNode>& Node);
  /// Removes all items, resetting each one's link. Linear time, constant space.
  void Clear();

 protected:
  /// Clears the queue, ignoring errors raised by its elements.
  ~PQueue() override;

 private:
  Ref<IPQueueNode> first_;
  std::int32_t index_ = 0;
  /// Items added since the queue was last empty: a walk from the head that passes more has met
  /// links a client stored by hand (a cycle, perhaps) and stops there.
  std::size_t added_ = 0;
};

}  // namespace velmira
