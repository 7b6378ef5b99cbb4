// Internal: `LinkSlots<Link, K, N>`, the per-slot link storage of the element building blocks
// (`StackLinks` ... `TreeLinks`): K links of type `Ref<Link>` for every slot number.
//
//   detail::LinkSlots<IListNode, 3, 1> links;   // next, previous, tag; slot 0 inline
//   links.Set(0, 1, prev);                      // no allocation: slot 0 is inline
//   links.Set(-4, 1, prev);                     // creates the side table on this first write
//
// Slots 0 to N-1 sit in a plain array inside the object, K cells per slot (`InlineCells`, which
// the blocks name to the containers as direct links): a get is one comparison, one load and one
// retain. Every other slot number lives in a side table, a vector of (slot, links) records
// sorted by slot, made on the first write of a link other than Nothing to such a slot. Reading
// a slot that holds nothing allocates nothing; a record whose links are all Nothing again is
// dropped, so the table holds only slots in use.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "velmira/core/ref.h"

namespace velmira::detail {

template <class Link, std::size_t K, std::size_t N>
class LinkSlots {
 public:
  /// Link `k` (below K) of slot `index`; Nothing if never set. Never allocates.
  Ref<Link> Get(std::int32_t index, std::size_t k) const noexcept {
    if constexpr (N > 0) {
      if (static_cast<std::uint32_t>(index) < N) return inline_[index * K + k];
    }
    return GetOutside(index, k);
  }

  /// The cells of slots 0 to N-1, K per slot in slot order; null when N is 0.
  Ref<Link>* InlineCells() noexcept {
    if constexpr (N > 0) {
      return inline_.data();
    } else {
      return nullptr;
    }
  }

  /// Stores `value` as link `k` of slot `index`, changing nothing else. May allocate (and so
  /// throw, leaving everything as it was) only for a slot outside 0..N-1.
  void Set(std::int32_t index, std::size_t k, const Ref<Link>& value) {
    if constexpr (N > 0) {
      if (static_cast<std::uint32_t>(index) < N) {
        inline_[index * K + k] = value;  // the old link is released after the new one is stored
        return;
      }
    }
    SetOutside(index, k, value);
  }

 private:
  using Links = std::array<Ref<Link>, K>;
  using Record = std::pair<std::int32_t, Links>;
  using Table = std::vector<Record>;

  static typename Table::iterator Find(Table& table, std::int32_t index) noexcept {
    return std::lower_bound(table.begin(), table.end(), index,
                            [](const Record& r, std::int32_t i) { return r.first < i; });
  }

  Ref<Link> GetOutside(std::int32_t index, std::size_t k) const noexcept {
    if (!outside_) return Ref<Link>();
    const auto it = Find(*outside_, index);
    return it != outside_->end() && it->first == index ? it->second[k] : Ref<Link>();
  }

  void SetOutside(std::int32_t index, std::size_t k, const Ref<Link>& value) {
    if (!outside_) {
      if (!value) return;  // nothing to forget
      outside_ = std::make_unique<Table>();
    }
    auto it = Find(*outside_, index);
    if (it == outside_->end() || it->first != index) {
      if (!value) return;
      it = outside_->insert(it, Record(index, Links{}));
    }
    // The old link goes only when the table is in order again: releasing it may destroy objects
    // whose destructors run client code.
    const Ref<Link> old = std::exchange(it->second[k], value);
    if (!value && std::none_of(it->second.begin(), it->second.end(),
                               [](const Ref<Link>& l) { return static_cast<bool>(l); })) {
      outside_->erase(it);
    }
  }

  struct NoInlineSlots {};
  [[no_unique_address]] std::conditional_t<(N > 0), std::array<Ref<Link>, N * K>, NoInlineSlots>
      inline_;
  std::unique_ptr<Table> outside_;  ///< slots outside 0..N-1; null until one is first written
};

}  // namespace velmira::detail
