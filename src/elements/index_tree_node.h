// Internal: `IndexTreeNode<Link>`, a sample element's record for one slot number, and the node
// type of the element's slot table.
//
//   Ref<detail::IndexTreeNode<IStackNode>> r = New<detail::IndexTreeNode<IStackNode>>(3);
//   table->Add(r);                            // ordered by its slot number, 3
//   r->links[0] = next;                       // StackNode's NextItem(3)
//
// A record lives only in its own element's slot table, which uses slot 0, so its tree members
// ignore `Index`; its slot-0 links are also its direct links. `Link` is the element interface of
// the owning class: the links are stored with that type, so a link get hands them back without a
// conversion, and in the order of that interface's direct links, so the record's `links` can be
// the element's direct links for its slot.
#pragma once

#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira::detail {

template <class Link>
class IndexTreeNode final : public ITreeNode {
  // First, so that they trail the direct-link record: the table finds them without a load.
  Ref<ITreeNode> tree_links_[2];  ///< left, right

 public:
  /// A record for slot `slot`, with an Empty key and every link Nothing.
  explicit IndexTreeNode(std::int32_t slot) noexcept : slot_(slot) {
    UseTrailingLinks(tree_links_, 1);
  }

  /// The slot this record serves.
  std::int32_t Slot() const noexcept { return slot_; }

  /// The record's order in the slot table: its slot number as an Int32, whatever `Index` is.
  Variant Key(std::int32_t) override { return Variant(slot_); }
  /// The record's smaller neighbour in the slot table.
  Ref<ITreeNode> Left(std::int32_t) override { return tree_links_[0]; }
  void SetLeft(std::int32_t, const Ref<ITreeNode>& Value) override { tree_links_[0] = Value; }
  /// The record's larger neighbour in the slot table.
  Ref<ITreeNode> Right(std::int32_t) override { return tree_links_[1]; }
  void SetRight(std::int32_t, const Ref<ITreeNode>& Value) override { tree_links_[1] = Value; }

  /// The element's key for this slot.
  Variant key;
  /// The element's links for this slot, in its interface's order: `StackNode`, `QueueNode`,
  /// `PQueueNode`: NextItem; `ListNode`: NextItem, PrevItem, Tag; `TreeNode`: Left, Right.
  Ref<Link> links[3];

 private:
  ~IndexTreeNode() override = default;

  const std::int32_t slot_;
};

}  // namespace velmira::detail
