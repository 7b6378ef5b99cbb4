// Internal: how the containers read and write their elements' links. One accessor per step, so
// each container's algorithm is written once for every kind of element.
//
//   if (HasLink<NextLink>(*node, index)) ...            // a test, no reference taken
//   SetLink<NextLink>(*node, index, head);             // node.NextItem(index) = head
//   Ref<ITreeNode> l = GetLink<LeftLink>(*n, index);
//
// Each accessor makes one branch: where the element keeps the slot's links in storage the library
// wrote (`DirectLinks(index)` is not null) it reads or writes the cell; otherwise it makes the
// member call that the step has always made (`NextItem`, `SetLeft`, ...; `TakeFront` makes the
// two of its get-then-reset), so a client element sees exactly the calls, in exactly the order,
// of the algorithm as written. Keys are not links:
// containers read them through `Key(index)` at every comparison, whatever the element.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"

namespace velmira::detail {

// One link of the element interfaces: its cell in a row of direct links, and its member pair.
#define VELMIRA_ELEMENT_LINK(Name, cell, Getter, Setter)                   \
  struct Name {                                                            \
    static constexpr std::size_t kCell = cell;                             \
    template <class Node>                                                  \
    static Ref<Node> Get(Node& n, std::int32_t index) {                    \
      return n.Getter(index);                                              \
    }                                                                      \
    template <class Node>                                                  \
    static void Set(Node& n, std::int32_t index, const Ref<Node>& value) { \
      n.Setter(index, value);                                              \
    }                                                                      \
  };
VELMIRA_ELEMENT_LINK(NextLink, 0, NextItem, SetNextItem)  // every interface but ITreeNode
VELMIRA_ELEMENT_LINK(PrevLink, 1, PrevItem, SetPrevItem)  // IListNode
VELMIRA_ELEMENT_LINK(TagLink, 2, Tag, SetTag)             // IListNode
VELMIRA_ELEMENT_LINK(LeftLink, 0, Left, SetLeft)          // ITreeNode
VELMIRA_ELEMENT_LINK(RightLink, 1, Right, SetRight)       // ITreeNode
#undef VELMIRA_ELEMENT_LINK

/// The link: the element's cell, or one get call.
template <class Which, class Node>
inline Ref<Node> GetLink(Node& n, std::int32_t index) {
  if (Ref<Node>* row = n.DirectLinks(index)) return row[Which::kCell];
  return Which::Get(n, index);
}

/// Whether the link is set: the cell tested in place, or one get call.
template <class Which, class Node>
inline bool HasLink(Node& n, std::int32_t index) {
  if (Ref<Node>* row = n.DirectLinks(index)) return static_cast<bool>(row[Which::kCell]);
  return static_cast<bool>(Which::Get(n, index));
}

/// Whether the link is `target` (by identity): the cell compared in place, or one get call.
template <class Which, class Node>
inline bool LinkIs(Node& n, std::int32_t index, const Ref<Node>& target) {
  if (Ref<Node>* row = n.DirectLinks(index)) return Is(row[Which::kCell], target);
  return Is(Which::Get(n, index), target);
}

/// Stores `value` as the link: into the cell (the old link released after the new one is
/// stored, as a set must), or by one set call.
template <class Which, class Node>
inline void SetLink(Node& n, std::int32_t index, const Ref<Node>& value) {
  if (Ref<Node>* row = n.DirectLinks(index)) {
    row[Which::kCell] = value;
  } else {
    Which::Set(n, index, value);
  }
}
/// `SetLink` handing over a reference the caller no longer needs: a cell takes it as it is.
template <class Which, class Node>
inline void SetLink(Node& n, std::int32_t index, Ref<Node>&& value) {
  if (Ref<Node>* row = n.DirectLinks(index)) {
    row[Which::kCell] = std::move(value);
  } else {
    Which::Set(n, index, value);
  }
}
/// Resets the link to Nothing.
template <class Which, class Node>
inline void ResetLink(Node& n, std::int32_t index) {
  if (Ref<Node>* row = n.DirectLinks(index)) {
    row[Which::kCell].reset();
  } else {
    Which::Set(n, index, Ref<Node>());
  }
}

/// Takes the element `head` refers to off the front of a chain and hands it back: `element =
/// head; head = element.link; element.link = Nothing`, in that order. Where the element keeps the
/// link in a cell, the references move (the head's to the caller, the cell's to the head) and no
/// count changes; otherwise the element is held while its get and set calls run, the head still
/// naming it during the get.
template <class Which, class Node>
inline Ref<Node> TakeFront(Ref<Node>& head, std::int32_t index) {
  if (Ref<Node>* row = head->DirectLinks(index)) {
    Ref<Node> element = std::move(head);
    head = std::move(row[Which::kCell]);
    return element;
  }
  Ref<Node> element = head;
  head = Which::Get(*element, index);
  Which::Set(*element, index, Ref<Node>());
  return element;
}

}  // namespace velmira::detail
