// Internal to the library: the chain steps that Stack, Queue and PQueue share. Clients do not
// use this header; it is public only because the containers' constant-time members are inline.
//
//   detail::LinkAtHead(top_, node, index_);                  // push
//   Ref<IStackNode> e = detail::UnlinkHead(top_, index_);    // pop
//
// A chain is a head reference plus the elements' `NextItem` links in one slot. `Node` is the
// element interface (`IStackNode`, `IQueueNode` or `IPQueueNode`); all three name their link
// `NextItem`, so each step is written once here. Every link is read from its element when the
// step needs it; nothing is cached. An error thrown by an element stops the step where it was.
// Every element called is held by a local reference, and the containers keep themselves alive
// (`KeepAlive`) around these steps, so an element that re-enters the container or drops the last
// reference to it meanwhile cannot free memory still in use. Links go through the accessors of
// core/link_access.h: a cell where the library keeps the element's links, a member call otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "velmira/core/link_access.h"
#include "velmira/core/ref.h"

namespace velmira::detail {

/// Takes the element `head` refers to off the front of a chain and hands it back: `element =
/// head; head = element.link; element.link = Nothing`, in that order; `links` are the element's.
/// Where the link is a cell, the references move and no count changes; otherwise the element is
/// held while its get and set calls run, the head still naming it during the get.
template <class Which, class Node>
inline Ref<Node> TakeFront(Ref<Node>& head, const ElementLinks<Node>& links) {
  if (links.Direct()) {
    Ref<Node> element = std::move(head);
    head = std::move(links.template Cell<Which>());
    return element;
  }
  Ref<Node> element = head;
  head = links.template Get<Which>();
  links.template Reset<Which>();
  return element;
}
template <class Which, class Node>
inline Ref<Node> TakeFront(Ref<Node>& head, std::int32_t index) {
  return TakeFront<Which>(head, ElementLinks<Node>(*head, index));
}

/// Holds a count on a container for one scope, unless the element links a step reaches are
/// direct: then no element is called, nothing can re-enter the container or drop the last
/// reference to it, and the count is spared.
class KeepAliveUnlessDirect {
 public:
  template <class Container, class Node>
  KeepAliveUnlessDirect(const Container* container, const ElementLinks<Node>& links) noexcept {
    if (!links.Direct()) Retain(object_ = container);
  }
  ~KeepAliveUnlessDirect() {
    if (object_) Release(object_);
  }
  KeepAliveUnlessDirect(const KeepAliveUnlessDirect&) = delete;
  KeepAliveUnlessDirect& operator=(const KeepAliveUnlessDirect&) = delete;

 private:
  const Object* object_ = nullptr;
};

/// Makes `node` (whose links are `links`) the new head: its link takes the old head, then the
/// head takes `node`.
template <class Node>
inline void LinkAtHead(Ref<Node>& head, const Ref<Node>& node, const ElementLinks<Node>& links) {
  links.template Set<NextLink>(std::move(head));  // a cell takes the reference over
  head = node;
}
template <class Node>
inline void LinkAtHead(Ref<Node>& head, const Ref<Node>& node, std::int32_t index) {
  LinkAtHead(head, node, ElementLinks<Node>(*node, index));
}

/// Takes the head element off a non-empty chain and hands it over. The head moves on before the
/// element's link is reset, so if the reset throws, the element has already left the chain. The
/// element is held here while its members run: they may re-enter the container and take it off.
template <class Node>
inline Ref<Node> UnlinkHead(Ref<Node>& head, std::int32_t index) {
  return TakeFront<NextLink>(head, index);
}

/// Takes every element off the chain from the head down, resetting each link. A loop, never a
/// recursion, so a chain of any length can be cleared.
template <class Node>
inline void ClearChain(Ref<Node>& head, std::int32_t index) {
  while (head) UnlinkHead(head, index);
}

/// Walks a non-empty chain from `first` to the element whose link is `node` (by identity), passing
/// at most `length` elements (the most the container has linked). Returns Nothing when no element
/// within them links to `node`, so links a client stored by hand into a cycle end the walk. Time
/// proportional to the distance walked.
template <class Node>
inline Ref<Node> FindPredecessor(const Ref<Node>& first, const Ref<Node>& node, std::int32_t index,
                                 std::size_t length) {
  Ref<Node> element = first;
  for (std::size_t passed = 1;; ++passed) {
    Ref<Node> next = GetLink<NextLink>(*element, index);
    if (Is(next, node)) return element;
    if (!next || passed >= length) return Nothing;
    element = std::move(next);
  }
}

/// Takes `node` out from behind `predecessor`: the predecessor's link takes node's successor,
/// then node's link is reset.
template <class Node>
inline void UnlinkAfter(const Ref<Node>& predecessor, const Ref<Node>& node, std::int32_t index) {
  SetLink<NextLink>(*predecessor, index, GetLink<NextLink>(*node, index));
  ResetLink<NextLink>(*node, index);
}

}  // namespace velmira::detail
