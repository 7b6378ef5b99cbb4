// `SampleNode<Link>`: what the five ready-made element classes (`StackNode`, `QueueNode`,
// `PQueueNode`, `ListNode`, `TreeNode`) have in common: four user-data fields and a key and a set
// of links for every slot number.
//
//   Ref<TreeNode> n = New<TreeNode>();
//   n->SetKey(0, "word");              // the key a tree with Index 0 orders it by
//   n->SetValue(1);                    // user data; the library never looks at it
//
// The per-slot data lives in a private slot table, a `SplayTree` of slot records keyed by slot
// number, one record per slot number the element has been asked about (reads included). The
// records of the last three slots used are also kept at hand, so an element in up to three
// containers at once finds its record without a search or an allocation; the links of the slot
// used last are named to the containers as the element's direct links, so a container working in
// that slot reads and writes them without a call.
#pragma once

#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/object.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira {

class SplayTree;

namespace detail {
template <class Link>
class IndexTreeNode;
}  // namespace detail

// A ListNode's user-data `Tag()` stands beside IListNode's link `Tag(Index)`, which it hides in
// this base; ListNode brings both into view. Clang warns of the hiding, which is intended here.
#if defined(__clang__)
#  pragma clang diagnostic push
#  pragma clang diagnostic ignored "-Woverloaded-virtual"
#endif
/// The shared part of a sample element that implements the element interface `Link`. Not
/// creatable on its own; create one of the five element classes.
template <class Link>
class SampleNode : public Link {
 public:
  /// User data; Empty until set. The library never reads it.
  Variant Value() const noexcept { return value_; }
  /// Stores a value or an object reference (held strongly until replaced or the element dies).
  void SetValue(const Variant& Value) noexcept { value_ = Value; }
  /// User data; Empty until set. Unrelated to `IListNode::Tag(Index)` on a `ListNode`.
  Variant Tag() const noexcept { return tag_; }
  /// Stores a value or an object reference.
  void SetTag(const Variant& Value) noexcept { tag_ = Value; }
  /// User data; Empty until set.
  Variant Flags() const noexcept { return flags_; }
  /// Stores a value or an object reference.
  void SetFlags(const Variant& Value) noexcept { flags_ = Value; }
  /// User data; Empty until set.
  Variant Data() const noexcept { return data_; }
  /// Stores a value or an object reference.
  void SetData(const Variant& Value) noexcept { data_ = Value; }

  /// The key for slot `Index`; Empty until set. Creates the slot's record on first use. Constant
  /// time for the three slots used last, otherwise one lookup in the slot table.
  Variant Key(std::int32_t Index);
  /// Stores the key for slot `Index` (any kind of value). Same cost as `Key`.
  void SetKey(std::int32_t Index, const Variant& Value);

 protected:
  SampleNode();
  /// Releases the user data and clears the slot table, ignoring errors.
  ~SampleNode();

  /// The record for slot `Index`, created and added to the slot table when missing, whose links
  /// become the element's direct links. The record stays valid while the element lives.
  detail::IndexTreeNode<Link>& SlotRecord(std::int32_t Index) {
    detail::IndexTreeNode<Link>* record = nullptr;
    for (int i = 0; i < kRecentSlots; ++i) {
      if (recent_slots_[i] == Index && recent_records_[i] != nullptr) {
        record = recent_records_[i];
        break;
      }
    }
    if (record == nullptr) record = &FindOrAddSlotRecord(Index);
    this->UseNamedLinks(record->links, Index);
    return *record;
  }

 private:
  /// How many of the slots used last are answered without the slot table.
  static constexpr int kRecentSlots = 3;

  /// Looks `Index` up in the slot table, adds a record when it is missing, and keeps the record
  /// at hand in place of the one kept longest.
  detail::IndexTreeNode<Link>& FindOrAddSlotRecord(std::int32_t Index);

  Variant value_;
  Variant tag_;
  Variant flags_;
  Variant data_;
  Ref<SplayTree> slot_table_;
  /// The records of the slots used last (null where none is kept yet) and their slot numbers.
  /// The table keeps the records alive, and no record leaves it while the element lives.
  detail::IndexTreeNode<Link>* recent_records_[kRecentSlots] = {};
  std::int32_t recent_slots_[kRecentSlots] = {};
  /// Where the next record looked up in the table is kept: the oldest entry.
  std::uint8_t oldest_recent_ = 0;
};
#if defined(__clang__)
#  pragma clang diagnostic pop
#endif

// Instantiated once each, in the library, next to the element class that uses it.
extern template class SampleNode<IStackNode>;
extern template class SampleNode<IQueueNode>;
extern template class SampleNode<IPQueueNode>;
extern template class SampleNode<IListNode>;
extern template class SampleNode<ITreeNode>;

}  // namespace velmira
