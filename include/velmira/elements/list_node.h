// `ListNode`: a ready-made element for `List`, with user data and, per slot, a key and the
// previous, next and membership links.
//
//   Ref<ListNode> n = New<ListNode>();
//   n->SetTag("mine");                 // user data, a Variant
//   list->Add(n);                      // the list writes n->Tag(list->Index()), a link
//
// The user-data `Tag()` and the list's link `Tag(Index)` are unrelated; both are members of this
// class and are told apart by their arguments.
#pragma once

#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/elements/sample_node.h"

namespace velmira {

/// Velmira.ListNode provides a sample implementation of the IListNode interface.
class ListNode : public SampleNode<IListNode> {
 public:
  /// A new element: user data Empty, no slot used yet (every key Empty, every link Nothing).
  ListNode() = default;

  // The user-data field: `Tag()` and `SetTag(value)`.
  using SampleNode<IListNode>::Tag;
  using SampleNode<IListNode>::SetTag;

  /// The next element in the list using slot `Index`; Nothing until set.
  Ref<IListNode> NextItem(std::int32_t Index) override;
  /// Stores the next link for slot `Index`, changing no other link or slot.
  void SetNextItem(std::int32_t Index, const Ref<IListNode>& Value) override;
  /// The previous element in the list using slot `Index`; Nothing until set.
  Ref<IListNode> PrevItem(std::int32_t Index) override;
  /// Stores the previous link for slot `Index`, changing no other link or slot.
  void SetPrevItem(std::int32_t Index, const Ref<IListNode>& Value) override;
  /// The membership link a list using slot `Index` keeps here; Nothing until set.
  Ref<IListNode> Tag(std::int32_t Index) override;
  /// Stores the membership link for slot `Index`; the user-data `Tag()` is not touched.
  void SetTag(std::int32_t Index, const Ref<IListNode>& Value) override;

 protected:
  ~ListNode() override;
};

}  // namespace velmira
