// Internal: how the containers read and write their elements' links, so that each container's
// algorithm is written once for every kind of element.
//
//   if (HasLink<NextLink>(*node, index)) ...            // one step: a test, no reference taken
//   SetLink<NextLink>(*node, index, head);             // node.NextItem(index) = head
//   ElementLinks<ITreeNode>(*n, index).Get<LeftLink>(); // the same, for several steps
//
// Each step makes one branch: where the element keeps the slot's links in storage the library
// wrote (`DirectLinks(index)` is not null) it reads or writes the cell; otherwise it makes the
// member call that the step has always made (`NextItem`, `SetLeft`, ...), so a client element
// sees exactly the calls, in exactly the order, of the algorithm as written. `ElementLinks` looks
// the row up once (it stays valid while the element lives). Keys are not links: containers read
// them through `Key(index)` at every comparison.
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

/// One element's links in one slot, its row of direct links looked up once.
template <class Node>
class ElementLinks {
 public:
  ElementLinks(Node& n, std::int32_t index) noexcept
      : n_(n), index_(index), row_(n.DirectLinks(index)) {}
  /// True when no step here calls the element; then `Cell` is its link's storage.
  bool Direct() const noexcept { return row_ != nullptr; }
  template <class Which>
  Ref<Node>& Cell() const noexcept {
    return row_[Which::kCell];
  }
  /// The link: the cell, or one get call.
  template <class Which>
  Ref<Node> Get() const {
    return row_ ? row_[Which::kCell] : Which::Get(n_, index_);
  }
  /// Whether the link is set: the cell tested in place, or one get call.
  template <class Which>
  bool Has() const {
    return row_ ? static_cast<bool>(row_[Which::kCell]) : static_cast<bool>(Which::Get(n_, index_));
  }
  /// Whether the link is `target` (by identity): the cell compared in place, or one get call.
  template <class Which>
  bool Is(const Ref<Node>& target) const {
    return row_ ? velmira::Is(row_[Which::kCell], target) : velmira::Is(Get<Which>(), target);
  }
  /// Stores `value` as the link: into the cell (a reference handed over moves in; the old link
  /// is released after, as a set must), or by one set call.
  template <class Which, class Value>
  void Set(Value&& value) const {
    if (row_) {
      row_[Which::kCell] = std::forward<Value>(value);
    } else {
      Which::Set(n_, index_, value);
    }
  }
  template <class Which>
  void Reset() const {
    Set<Which>(Ref<Node>());
  }

 private:
  Node& n_;
  std::int32_t index_;
  Ref<Node>* row_;
};

// The steps that reach one link of an element.
template <class Which, class Node>
inline Ref<Node> GetLink(Node& n, std::int32_t index) {
  return ElementLinks<Node>(n, index).template Get<Which>();
}
template <class Which, class Node>
inline bool HasLink(Node& n, std::int32_t index) {
  return ElementLinks<Node>(n, index).template Has<Which>();
}
template <class Which, class Node>
inline bool LinkIs(Node& n, std::int32_t index, const Ref<Node>& target) {
  return ElementLinks<Node>(n, index).template Is<Which>(target);
}
template <class Which, class Node, class Value>
inline void SetLink(Node& n, std::int32_t index, Value&& value) {
  ElementLinks<Node>(n, index).template Set<Which>(std::forward<Value>(value));
}
template <class Which, class Node>
inline void ResetLink(Node& n, std::int32_t index) {
  ElementLinks<Node>(n, index).template Reset<Which>();
}

}  // namespace velmira::detail
