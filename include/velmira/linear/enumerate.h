// `Enumerate` for the linear containers: range-for from the head along the `NextItem` links in
// the container's `Index` slot.
//
//   for (Ref<IStackNode> n : Enumerate(stack)) { ... }   // top to bottom; a Ref or a reference
//   for (const auto& n : Enumerate(*pqueue)) { ... }     // highest key first, as NextItem would
//   auto jobs = Enumerate<Job>(queue) | std::views::transform([](auto j) { return j->Key(0); });
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

using StackEnumeration = Enumeration<IStackNode, detail::ChainStep<IStackNode>>;
using QueueEnumeration = Enumeration<IQueueNode, detail::ChainStep<IQueueNode>>;
using PQueueEnumeration = Enumeration<IPQueueNode, detail::ChainStep<IPQueueNode>>;

inline StackEnumeration Enumerate(const Stack& s) { return StackEnumeration({s.Top(), s.Index()}); }

inline QueueEnumeration Enumerate(const Queue& q) {
  return QueueEnumeration({q.First(), q.Index()});
}

inline PQueueEnumeration Enumerate(const PQueue& q) {
  return PQueueEnumeration({q.First(), q.Index()});
}

}  // namespace velmira
