// `List`: a doubly-linked list threaded through its elements' `NextItem`, `PrevItem` and `Tag`
// links, with access at both ends, by position, and insertion or removal anywhere.
//
//   Ref<List> list = New<List>();
//   Ref<ListNode> a = New<ListNode>(), b = New<ListNode>(), c = New<ListNode>();
//   list->Add(a); list->Add(c); list->AddBefore(b, c);   // a, b, c
//   Ref<IListNode> second = list->Item(2);               // b
//
// The list holds its two ends; each element holds its neighbours through its links in the list's
// slot, and the list's private membership marker in its `Tag` slot, which is how the list tells
// its own members from other elements. Nothing is allocated per element. Misuse writes one
// warning and changes nothing; an error raised by an element passes out unchanged and the
// operation stops where it was, the steps already taken staying taken. Operations that relink
// take their element arguments by value, so an argument that aliases a link they rewrite still
// names the same element to the end.
#pragma once

#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/list/list_enum.h"

namespace velmira {

namespace detail {
struct ListTestPeer;
}  // namespace detail

class List : public virtual Object {
 public:
  /// Creates an empty list with `Index` 0 and its own membership marker.
  List();

  /// The link slot this list uses in its elements; 0 for a new list.
  std::int32_t Index() const noexcept { return index_; }
  /// Changes the slot; only while the list is empty (otherwise a warning, no change).
  void SetIndex(std::int32_t value) noexcept;

  /// True if the list is empty.
  bool IsEmpty() const noexcept { return !first_; }
  /// The first item in the list, or Nothing if the list is empty.
  Ref<IListNode> First() const noexcept { return first_; }
  /// The last item in the list, or Nothing if the list is empty.
  Ref<IListNode> Last() const noexcept { return last_; }

  /// `Node`'s successor in this list; Nothing at the end, for a non-member and for Nothing,
  /// without a warning. Constant time.
  Ref<IListNode> NextItem(const Ref<IListNode>& Node) const;
  /// `Node`'s predecessor in this list; Nothing at the start, for a non-member and for Nothing,
  /// without a warning. Constant time.
  Ref<IListNode> PrevItem(const Ref<IListNode>& Node) const;

  /// Adds an item to the end of the list. Refuses Nothing, an element already in a list with
  /// this `Index`, and an element with links in this slot. Constant time.
  void Add(Ref<IListNode> Node);
  /// Inserts `Node1` immediately before the member `Node2`. Constant time.
  void AddBefore(Ref<IListNode> Node1, Ref<IListNode> Node2);
  /// Inserts `Node1` immediately after the member `Node2`. Its warnings carry the same texts as
  /// `AddBefore`'s ("AddBefore was asked ..."). Constant time.
  void AddAfter(Ref<IListNode> Node1, Ref<IListNode> Node2);
  /// Removes the item from the list, resetting its links and tag. If the list is empty, or the
  /// item is Nothing, nothing is done; a non-member gets a warning. Constant time.
  void Remove(Ref<IListNode> Node);
  /// Removes all items from the list, resetting each one's links and tag. Linear time, constant
  /// space.
  void Clear();

  /// A new enumerator positioned before the first element. Allocates the enumerator only.
  Ref<ListEnum> NewEnum() const;

  /// The element at 1-based position `Number` (1 is First, Count is Last), walking from the
  /// nearer end: at most Count / 2 steps. Out of range: a warning and Nothing.
  Ref<IListNode> Item(std::int32_t Number) const;
  /// The number of elements, kept by every operation (never counted by walking).
  std::int32_t Count() const noexcept { return count_; }

 protected:
  /// Clears the list with every error ignored, going on past a failing element and from both
  /// ends, so that only elements still held elsewhere stay alive; then drops the marker.
  ~List() override;

 private:
  friend struct detail::ListTestPeer;  // lets the library's tests put the count near its limit

  /// The teardown's walks: never fails, never stops at an element's error.
  void TearDown() noexcept;
  /// True when `node`'s tag in this list's slot is this list's marker.
  bool IsMember(const Ref<IListNode>& node) const;
  /// The checks shared by AddBefore and AddAfter, in order; false after a warning.
  bool CanInsertNextTo(const Ref<IListNode>& Node1, const Ref<IListNode>& Node2) const;

  Ref<IListNode> first_;
  Ref<IListNode> last_;
  Ref<IListNode> marker_;
  std::int32_t index_ = 0;
  std::int32_t count_ = 0;
  /// Set when an element's error interrupted an operation: the first element may then still
  /// point back at an element that left, which Clear must unlink too.
  bool interrupted_ = false;
};

}  // namespace velmira
