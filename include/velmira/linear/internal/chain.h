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

/// `TakeFront` over links the library keeps: `link` is the head element's link cell. The
/// references change hands by swaps, so no count changes and there is nothing to release. No
/// element is called. Flattened, as is `LinkAtHeadDirect`: everything they call is inlined into
/// them, the destructors of the references they leave empty included, which the compiler
/// otherwise sometimes called out of line.
template <class Node>
[[gnu::flatten]] inline Ref<Node> TakeFrontDirect(Ref<Node>& head, Ref<Node>& link) noexcept {
  Ref<Node> element;
  element.swap(head);
  head.swap(link);
  return element;
}

/// Takes the element `head` refers to off the front of a chain and hands it back: `element =
/// head; head = element.link; element.link = Nothing`, in that order; `links` are the element's.
/// The element is held while its get and set calls run, the head still naming it during the get.
template <class Which, class Node>
inline Ref<Node> TakeFront(Ref<Node>& head, const ElementLinks<Node>& links) {
  if (links.Direct()) return TakeFrontDirect(head, links.template Cell<Which>());
  Ref<Node> element = head;
  head = links.template Get<Which>();
  links.template Reset<Which>();
  return element;
}
template <class Which, class Node>
inline Ref<Node> TakeFront(Ref<Node>& head, std::int32_t index) {
  return TakeFront<Which>(head, ElementLinks<Node>(*head, index));
}

/// `LinkAtHead` over links the library keeps: `link` is `node`'s link cell, which the caller
/// found empty. The cell takes the head's reference over and the head a new one to `node`, so
/// nothing is released.
template <class Node>
[[gnu::flatten]] inline void LinkAtHeadDirect(Ref<Node>& head, const Ref<Node>& node,
                                              Ref<Node>& link) noexcept {
  link.swap(head);
  Ref<Node>(node).swap(head);
}

/// Makes `node` (whose links are `links`) the new head: its link takes the old head, then the
/// head takes `node`. The link must be empty (the caller checked).
template <class Node>
inline void LinkAtHead(Ref<Node>& head, const Ref<Node>& node, const ElementLinks<Node>& links) {
  if (links.Direct()) return LinkAtHeadDirect(head, node, links.template Cell<NextLink>());
  links.template Set<NextLink>(std::move(head));
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
