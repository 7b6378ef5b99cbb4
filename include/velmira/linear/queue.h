// `Queue`: a first-in, first-out container threaded through its elements' `NextItem` links.
//
//   Ref<Queue> q = New<Queue>();
//   Ref<QueueNode> a = New<QueueNode>(), b = New<QueueNode>();
//   q->Add(a); q->Add(b);
//   Ref<IQueueNode> first = q->NextItem();   // a; its NextItem(q->Index()) is Nothing again
//
// Not to be confused: `IQueueNode::NextItem(Index)` is an element's link, `Queue::NextItem()`
// takes the first element out. The queue holds both ends of the chain, so adding at the tail and
// taking from the head cost constant time; each element holds the next through its link in the
// queue's slot. Nothing is allocated per element. Misuse writes one warning and changes nothing.
// The constant-time members are inline; `Remove` and `Clear`, which walk, are not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/linear/internal/chain.h"

namespace velmira {

class Queue : public virtual Object {
 public:
  Queue() = default;

  /// The link slot this queue uses in its elements; 0 for a new queue.
  std::int32_t Index() const noexcept { return index_; }
  /// Changes the slot; only while the queue is empty (otherwise a warning, no change).
  void SetIndex(std::int32_t value) noexcept;

  /// True if the queue is empty.
  bool IsEmpty() const noexcept { return !first_; }
  /// The first item in the queue, or Nothing if the queue is empty. Constant time.
  Ref<IQueueNode> First() const noexcept { return first_; }
  /// The item added latest, or Nothing if the queue is empty.
  Ref<IQueueNode> Last() const noexcept { return last_; }

  /// Adds an item to the end of the queue. Refuses Nothing and an item with a successor in this
  /// queue's slot, and the queue's own last item (whose link is Nothing, but adding it again would
  /// link it to itself). Constant time: one link get on the item, one link set on the old last.
  void Add(const Ref<IQueueNode>& Node) {
    if (!Node) return WarnAddNothing();
    const detail::KeepAlive alive(this);
    if (detail::HasLink<detail::NextLink>(*Node, index_) || Is(Node, last_)) return WarnAddLinked();
    if (first_) {
      const Ref<IQueueNode> last = last_;
      detail::SetLink<detail::NextLink>(*last, index_, Node);
      ++added_;
    } else {
      first_ = Node;
      added_ = 1;
    }
    last_ = Node;
  }
  /// Removes and returns the first item, or Nothing when the queue is empty. Constant time: one
  /// link get and one link set, none when it takes the only item (whose link is Nothing).
  Ref<IQueueNode> NextItem() {
    if (!first_) return Nothing;
    if (Is(first_, last_)) {
      last_.reset();
      return std::move(first_);
    }
    const detail::KeepAlive alive(this);
    return detail::UnlinkHead(first_, index_);
  }
  /// Removes the item from the queue, wherever it stands; nothing happens for Nothing or on an
  /// empty queue, and an item that is not queued here gets a warning. `Index` is accepted and
  /// ignored: the queue always works in its own slot. Constant time for the first item,
  /// otherwise a walk from the head, reading each link from its element.
  void Remove(const Ref<IQueueNode>& Node, std::int32_t Index = 0);
  /// Removes all items, resetting each one's link. Linear time, constant space.
  void Clear();

 protected:
  /// Clears the queue, ignoring errors raised by its elements.
  ~Queue() override;

 private:
  // The refusals of `Add`, out of line (and cold, so the compiler lays the inline members out
  // for the path taken).
  [[gnu::cold]] static void WarnAddNothing() noexcept;
  [[gnu::cold]] static void WarnAddLinked() noexcept;

  Ref<IQueueNode> first_;
  Ref<IQueueNode> last_;
  std::int32_t index_ = 0;
  /// Items added since the queue was last empty: a walk from the head that passes more has met
  /// links a client stored by hand (a cycle, perhaps) and stops there.
  std::size_t added_ = 0;
};

}  // namespace velmira
