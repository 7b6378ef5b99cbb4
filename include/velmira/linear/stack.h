// `Stack`: a last-in, first-out container threaded through its elements' `NextItem` links.
//
//   Ref<Stack> s = New<Stack>();
//   Ref<StackNode> a = New<StackNode>(), b = New<StackNode>();
//   s->Push(a); s->Push(b);
//   Ref<IStackNode> top = s->Pop();   // b; its NextItem(s->Index()) is Nothing again
//
// The stack holds only its top element; each element holds the next through its link in the
// stack's slot. Nothing is allocated per element. Misuse writes one warning and changes nothing.
// The constant-time members are inline: a push and a pop cost little more than the element's
// own link calls.
#pragma once

#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/linear/internal/chain.h"

namespace velmira {

class Stack : public virtual Object {
 public:
  Stack() = default;

  /// The link slot this stack uses in its elements; 0 for a new stack.
  std::int32_t Index() const noexcept { return index_; }
  /// Changes the slot; only while the stack is empty (otherwise a warning, no change).
  void SetIndex(std::int32_t value) noexcept;

  /// True if the stack is empty.
  bool IsEmpty() const noexcept { return !top_; }
  /// The topmost item in the stack, or Nothing. Constant time.
  Ref<IStackNode> Top() const noexcept { return top_; }

  /// Inserts an item at the top of the stack (exactly `Add`). Constant time.
  void Push(const Ref<IStackNode>& Node) { Add(Node); }
  /// Removes and returns the topmost item, or Nothing when empty. Constant time: one link get
  /// and one link set.
  Ref<IStackNode> Pop() {
    if (!top_) return Nothing;
    const detail::ElementLinks<IStackNode> links(*top_, index_);
    // Links the library keeps are moved without a call: nothing can re-enter the stack.
    if (links.Direct()) [[likely]] {
      return detail::TakeFrontDirect(top_, links.Cell<detail::NextLink>());
    }
    const detail::KeepAlive alive(this);
    return detail::TakeFront<detail::NextLink>(top_, links);
  }
  /// Inserts an item at the top of the stack. Refuses Nothing and an item with a successor in
  /// this stack's slot. Constant time: one link get and one link set. Always inlined: left to
  /// itself the compiler kept it out of line, a call per push for a step of a few instructions.
  [[gnu::always_inline]] void Add(const Ref<IStackNode>& Node) {
    if (!Node) [[unlikely]] {
      return WarnAddNothing();
    }
    const detail::ElementLinks<IStackNode> links(*Node, index_);
    // An element whose link the library keeps goes on top in place, without a call.
    if (links.Direct()) [[likely]] {
      Ref<IStackNode>& next = links.Cell<detail::NextLink>();
      if (next) [[unlikely]] {
        return WarnAddLinked();
      }
      return detail::LinkAtHeadDirect(top_, Node, next);
    }
    const detail::KeepAlive alive(this);
    if (links.Has<detail::NextLink>()) return WarnAddLinked();
    detail::LinkAtHead(top_, Node, links);
  }
  /// Removes the topmost item; nothing when empty. Constant time.
  void Drop() { Pop(); }
  /// Removes all items, resetting each one's link. Linear time, constant space.
  void Clear();

 protected:
  /// Clears the stack, ignoring errors raised by its elements.
  ~Stack() override;

 private:
  // The refusals of `Add`, out of line (and cold, so the compiler lays the inline members out
  // for the path taken).
  [[gnu::cold]] static void WarnAddNothing() noexcept;
  [[gnu::cold]] static void WarnAddLinked() noexcept;

  Ref<IStackNode> top_;
  std::int32_t index_ = 0;
};

}  // namespace velmira
