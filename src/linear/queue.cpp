#include "velmira/linear/queue.h"

#include <utility>

#include "core/index_rule.h"
#include "core/teardown.h"
#include "velmira/core/debug_output.h"
#include "velmira/linear/internal/chain.h"

namespace velmira {

void Queue::SetIndex(std::int32_t value) noexcept {
  detail::SetIndexWhileEmpty(index_, value, IsEmpty(), "Queue", "queue");
}

void Queue::WarnAddNothing() noexcept {
  detail::Warn("Queue: Warning, an attempt was made to Add Nothing");
}

void Queue::WarnAddLinked() noexcept {
  detail::Warn("Queue: Warning, an attempt was made to Add a node with a successor");
}

void Queue::Remove(const Ref<IQueueNode>& Node, std::int32_t /*Index*/) {
  if (!Node || !first_) return;
  const detail::KeepAlive alive(this);
  if (Is(Node, first_)) {
    if (Is(Node, last_)) {
      first_.reset();
      last_.reset();
    } else {
      detail::UnlinkHead(first_, index_);
    }
    return;
  }
  Ref<IQueueNode> predecessor = detail::FindPredecessor(first_, Node, index_, added_);
  if (!predecessor) {
    detail::Warn("Queue: Warning, an attempt was made to Remove an item from a queue it wasn't in");
    return;
  }
  if (Is(Node, last_)) {
    // The last element's link is already Nothing; its predecessor becomes the last.
    detail::ResetLink<detail::NextLink>(*predecessor, index_);
    last_ = std::move(predecessor);
  } else {
    detail::UnlinkAfter(predecessor, Node, index_);
  }
}

void Queue::Clear() {
  const detail::KeepAlive alive(this);
  detail::ClearChain(first_, index_);
  last_.reset();
}

Queue::~Queue() { detail::ClearIgnoringErrors(*this); }

}  // namespace velmira
