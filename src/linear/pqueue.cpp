#include "velmira/linear/pqueue.h"

#include <utility>

#include "core/index_rule.h"
#include "core/teardown.h"
#include "velmira/core/debug_output.h"
#include "velmira/core/variant.h"
#include "velmira/linear/internal/chain.h"

namespace velmira {

void PQueue::SetIndex(std::int32_t value) noexcept {
  detail::SetIndexWhileEmpty(index_, value, IsEmpty(), "PQueue", "priority queue");
}

void PQueue::Add(const Ref<IPQueueNode>& Node) {
  if (!Node) {
    detail::Warn("PQueue: Warning, an attempt was made to Add Nothing");
    return;
  }
  const detail::KeepAlive alive(this);
  if (IsNull(Node->Key(index_))) {
    detail::Warn("PQueue: Warning, an attempt was made to Add a node with a null key");
    return;
  }
  const detail::ElementLinks<IPQueueNode> links(*Node, index_);
  if (links.Has<detail::NextLink>()) {
    detail::Warn("PQueue: Warning, an attempt was made to Add a node with a successor");
    return;
  }
  if (!first_) {
    first_ = Node;
    added_ = 1;
    return;
  }
  ++added_;
  // The new key is read once more and used for every comparison of this Add; the keys of queued
  // elements are read afresh at each comparison.
  const Variant key = Node->Key(index_);
  if (Greater(key, Ref<IPQueueNode>(first_)->Key(index_))) {
    detail::LinkAtHead(first_, Node, links);
    return;
  }
  // Walk past every element whose key is not lower (equal keys stay first-in, first-out), then
  // link the new element in behind the last of them. The queue holds at most `added_ - 1`
  // elements before this one: a link read from the last of those that is not Nothing was stored
  // by hand (it may close a cycle), and the new element takes its place.
  Ref<IPQueueNode> predecessor = first_;
  for (std::size_t passed = 1;; ++passed) {
    Ref<IPQueueNode> next = detail::GetLink<detail::NextLink>(*predecessor, index_);
    if (!next || passed + 1 >= added_) break;
    if (Greater(key, next->Key(index_))) {
      links.Set<detail::NextLink>(std::move(next));
      break;
    }
    predecessor = std::move(next);
  }
  detail::SetLink<detail::NextLink>(*predecessor, index_, Node);
}

void PQueue::Remove(const Ref<IPQueueNode>& Node) {
  if (!first_ || !Node) return;
  const detail::KeepAlive alive(this);
  if (Is(Node, first_)) {
    detail::UnlinkHead(first_, index_);
    return;
  }
  Ref<IPQueueNode> predecessor = detail::FindPredecessor(first_, Node, index_, added_);
  if (!predecessor) {
    detail::Warn(
        "PQueue: Warning, an attempt was made to Remove an item from a priority queue it wasn't "
        "in");
    return;
  }
  detail::UnlinkAfter(predecessor, Node, index_);
}

void PQueue::Clear() {
  const detail::KeepAlive alive(this);
  detail::ClearChain(first_, index_);
}

PQueue::~PQueue() { detail::ClearIgnoringErrors(*this); }

}  // namespace velmira
