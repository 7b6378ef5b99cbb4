// `Enumerate` for the linear containers: range-for from the head along the `NextItem` links in
// the container's `Index` slot.
//
//   for (Ref<IStackNode> n : Enumerate(stack)) ...       // top to bottom
//   for (const auto& n : Enumerate(pqueue)) ...          // highest key first, as NextItem would
//   auto keys = Enumerate(queue) | std::views::transform(KeyOf);
//
// The walk takes the head when it starts and reads each element's link when it moves past it;
// the container is not consulted again. So pushing onto a stack mid-walk is not seen, and taking
// out the element the walk is on (which resets its link) ends the walk after it.
#pragma once

#include "velmira/core/enumeration.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"

namespace velmira {

inline Enumeration<IStackNode, detail::ChainStep<IStackNode>> Enumerate(const Ref<Stack>& s) {
  return Enumeration<IStackNode, detail::ChainStep<IStackNode>>({s->Top(), s->Index()});
}

inline Enumeration<IQueueNode, detail::ChainStep<IQueueNode>> Enumerate(const Ref<Queue>& q) {
  return Enumeration<IQueueNode, detail::ChainStep<IQueueNode>>({q->First(), q->Index()});
}

inline Enumeration<IPQueueNode, detail::ChainStep<IPQueueNode>> Enumerate(const Ref<PQueue>& q) {
  return Enumeration<IPQueueNode, detail::ChainStep<IPQueueNode>>({q->First(), q->Index()});
}

static_assert(
    std::input_iterator<Enumeration<IStackNode, detail::ChainStep<IStackNode>>::Iterator>);
static_assert(std::ranges::view<Enumeration<IStackNode, detail::ChainStep<IStackNode>>>);

}  // namespace velmira
