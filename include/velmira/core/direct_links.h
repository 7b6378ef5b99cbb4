// Internal: link storage that the library wrote itself, readable by the containers without a
// call. Every element interface derives from `DirectLinkAccess`; clients never use it.
//
//   // In a library element class: slots 0..N-1 keep their links in `cells_` (K per slot).
//   UseDirectLinks(cells_, /*first_slot=*/0, /*slots=*/N);
//   // In a container: the element's cell, or null when its links are reached by its members.
//   if (Ref<IStackNode>* row = node->DirectLinks(index)) ... row[0] ...
//
// An element whose links the library keeps (the building blocks, the sample elements, the
// library's private nodes) names its cells here; a client element names none. Containers read
// and write these cells in place of the link members, and call the members for everything else,
// so a client element gets exactly the calls it always got (see link_access.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "velmira/core/ref.h"

namespace velmira::detail {

/// The library-owned link cells of one element interface: for `slots` consecutive slot numbers
/// from `first_slot`, a row of `K` cells (the interface's links in a fixed order: next, previous,
/// tag; or left, right). Empty unless the element's class says otherwise.
template <class Link, std::size_t K>
class DirectLinkAccess {
 public:
  /// The row of cells holding slot `Index`'s links, or null when this element's members keep
  /// that slot (always, for a client element). Constant time: no call, no count change.
  Ref<Link>* DirectLinks(std::int32_t Index) const noexcept {
    // Unsigned arithmetic: a slot before `first_slot_` wraps round to a large row number.
    const std::uint32_t row =
        static_cast<std::uint32_t>(Index) - static_cast<std::uint32_t>(first_slot_);
    return row < slots_ ? cells_ + row * K : nullptr;
  }

 protected:
  DirectLinkAccess() noexcept = default;
  ~DirectLinkAccess() = default;
  DirectLinkAccess(const DirectLinkAccess&) = delete;
  DirectLinkAccess& operator=(const DirectLinkAccess&) = delete;

  /// For the library's element classes: from now on, slots `first_slot` .. `first_slot + slots
  /// - 1` keep their links in the rows starting at `cells`. A row once named stays that slot's
  /// cells while the element lives, as the element's own link members must read and write them.
  void UseDirectLinks(Ref<Link>* cells, std::int32_t first_slot, std::uint32_t slots) noexcept {
    cells_ = cells;
    first_slot_ = first_slot;
    slots_ = slots;
  }

 private:
  Ref<Link>* cells_ = nullptr;
  std::int32_t first_slot_ = 0;
  std::uint32_t slots_ = 0;
};

}  // namespace velmira::detail
