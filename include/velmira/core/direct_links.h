// Internal: link storage that the library wrote itself, readable by the containers without a
// call. Every element interface derives from `DirectLinkAccess`; clients never use it.
//
//   // In a library element class whose first member is the cells of slots 0..N-1 (K per slot):
//   UseTrailingLinks(cells_, /*slots=*/N);
//   // In one that keeps one slot's cells elsewhere (a record it looks up):
//   UseNamedLinks(record->cells, /*slot=*/Index);
//   // In a container: the element's row of cells, or null when its members keep the links.
//   if (Ref<IStackNode>* row = node->DirectLinks(index)) ... row[0] ...
//
// An element whose links the library keeps (the building blocks, the sample elements, the
// library's private nodes) names its cells here; a client element names none. Containers read
// and write these cells in place of the link members, and call the members for everything else,
// so a client element gets exactly the calls it always got (see link_access.h).
//
// Trailing cells, those that start right after this record in the element (as a block's first
// member does), are found from the element's address alone: a container walking from element to
// element then waits for one load per link, the link itself, and not first for a pointer to it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "velmira/core/ref.h"

namespace velmira::detail {

/// The library-owned link cells of one element interface, a row of `K` cells per slot (the
/// interface's links in a fixed order: next, previous, tag; or left, right): the trailing rows of
/// slots 0 .. `trailing_slots_` - 1, and one named row for slot `named_slot_`. Empty unless the
/// element's class says otherwise.
template <class Link, std::size_t K>
class DirectLinkAccess {
 public:
  /// The row of cells holding slot `Index`'s links, or null when this element's members keep
  /// that slot (always, for a client element). Constant time: no call, no count change.
  Ref<Link>* DirectLinks(std::int32_t Index) const noexcept {
    // Unsigned: a negative slot wraps round to a large number, past the trailing rows.
    const auto slot = static_cast<std::uint32_t>(Index);
    if (__builtin_expect(slot < trailing_slots_, 1)) return TrailingCells() + slot * K;
    if (named_cells_ != nullptr && Index == named_slot_) return named_cells_;
    return nullptr;
  }

 protected:
  DirectLinkAccess() noexcept = default;
  ~DirectLinkAccess() = default;
  DirectLinkAccess(const DirectLinkAccess&) = delete;
  DirectLinkAccess& operator=(const DirectLinkAccess&) = delete;

  /// For the library's element classes: slots 0 .. `slots` - 1 keep their links in the rows
  /// starting at `cells`, which must be the storage right after this record (the class's first
  /// member). Where the compiler laid them out elsewhere, only slot 0 is named, and the members
  /// serve the rest. Rows once named stay those slots' cells while the element lives.
  void UseTrailingLinks(Ref<Link>* cells, std::uint32_t slots) noexcept {
    if (cells == TrailingCells()) {
      trailing_slots_ = slots;
    } else if (slots > 0) {
      UseNamedLinks(cells, 0);
    }
  }
  /// For the library's element classes: from now on slot `slot` keeps its links in the row at
  /// `cells` (null: no slot named), which the element's own link members read and write too.
  void UseNamedLinks(Ref<Link>* cells, std::int32_t slot) noexcept {
    named_cells_ = cells;
    named_slot_ = slot;
  }

 private:
  Ref<Link>* TrailingCells() const noexcept {
    // The storage that follows this record inside the element; used only where the element's
    // class put its cells there (checked by `UseTrailingLinks`).
    return reinterpret_cast<Ref<Link>*>(
        const_cast<char*>(reinterpret_cast<const char*>(this) + sizeof(DirectLinkAccess)));
  }

  Ref<Link>* named_cells_ = nullptr;
  std::int32_t named_slot_ = 0;
  std::uint32_t trailing_slots_ = 0;
};

}  // namespace velmira::detail
