#include "velmira/tree/tree_enum.h"

#include <cstddef>
#include <utility>

#include "tree/tree_enum_stack_node.h"
#include "velmira/core/link_access.h"

namespace velmira {

using detail::GetLink;
using detail::LeftLink;
using detail::RightLink;

using detail::TreeEnumStackNode;

namespace {

/// Puts a stack element for `node` with the given flags on top of `pending`.
void Push(Stack& pending, Ref<ITreeNode> node, bool left_done, bool right_done) {
  pending.Add(Ref<IStackNode>(new TreeEnumStackNode(std::move(node), left_done, right_done)));
}

/// Tells when a descent along single links has come back to an element it passed, so that links a
/// client stored by hand into a cycle cannot keep one step going for ever. Brent's method: one
/// element is remembered at a time, at distances that double, so an ordinary descent pays an
/// identity test per element and no element call; a cyclic one is caught within a few laps.
class DescentCycleCheck {
 public:
  /// True when `n` is the element remembered: the descent has gone round a cycle.
  bool Repeats(const Ref<ITreeNode>& n) noexcept {
    if (n.get() == remembered_) return true;
    if (++steps_ == span_) remembered_ = n.get(), span_ *= 2, steps_ = 0;
    return false;
  }

 private:
  const ITreeNode* remembered_ = nullptr;
  std::size_t span_ = 1;
  std::size_t steps_ = 0;
};

/// The stack element on top of `pending` (which is not empty), left there.
Ref<TreeEnumStackNode> TopOf(const Stack& pending) {
  // Only this file puts elements on the stack, and they are all TreeEnumStackNodes.
  return Ref<TreeEnumStackNode>(static_cast<TreeEnumStackNode*>(pending.Top().get()));
}

}  // namespace

TreeEnum::TreeEnum() : pending_(New<Stack>()) {}

void TreeEnum::SetRoot(const Ref<ITreeNode>& root) {
  if (root) Push(*pending_, root, false, false);
}

void TreeEnum::ForEachHeld(const std::function<void(const Ref<ITreeNode>&)>& visit) const {
  for (Ref<IStackNode> at = pending_->Top(); at; at = at->NextItem(pending_->Index())) {
    visit(static_cast<const TreeEnumStackNode*>(at.get())->Node());
  }
}

void TreeEnum::SetOrder(TreeEnumEnum value) noexcept {
  switch (value) {
    case eTreeEnumPreOrder:
    case eTreeEnumReverseOrder:
    case eTreeEnumInOrder:
    case eTreeEnumPostOrder:
      order_ = value;
      break;
    default:
      break;  // not an order: ignored
  }
}

Ref<ITreeNode> TreeEnum::NextItem() {
  if (pending_->IsEmpty()) return Nothing;
  const detail::KeepAlive alive(this);  // a client's member may drop the last reference to it
  switch (order_) {
    case eTreeEnumPreOrder:
      return PreOrderStep();
    case eTreeEnumReverseOrder:
      return ReverseStep();
    case eTreeEnumPostOrder:
      return PostOrderStep();
    case eTreeEnumInOrder:
    default:
      return InOrderStep();
  }
}

// Each step below runs one of four recursions up to the next element it yields. A stack entry is
// one call still under way, its flags the sides it has finished; the elements come in the
// recursion's order, though a resumed call reads its element's links again. Pre-order:
//   PreOrder(n): r = n.Right; l = n.Left       -- both read before either subtree is walked
//                yield n
//                if l is not Nothing: PreOrder(l)
//                if r is not Nothing: PreOrder(r)
Ref<ITreeNode> TreeEnum::PreOrderStep() {
  Ref<TreeEnumStackNode> top(static_cast<TreeEnumStackNode*>(pending_->Pop().get()));
  Ref<ITreeNode> n = top->Node();
  // The left child goes on last, so its subtree comes next.
  if (Ref<ITreeNode> right = GetLink<RightLink>(*n, index_); right && !top->RightDone()) {
    Push(*pending_, std::move(right), false, false);
  }
  if (Ref<ITreeNode> left = GetLink<LeftLink>(*n, index_); left && !top->LeftDone()) {
    Push(*pending_, std::move(left), false, false);
  }
  return n;
}

// One step of the recursion this reproduces, paused after each element it yields:
//   InOrder(n): l = n.Left
//               if l is not Nothing: InOrder(l)
//               yield n
//               r = n.Right
//               if r is not Nothing: InOrder(r)
Ref<ITreeNode> TreeEnum::InOrderStep() {
  Ref<TreeEnumStackNode> top = TopOf(*pending_);
  Ref<ITreeNode> n = top->Node();
  Ref<ITreeNode> left = GetLink<LeftLink>(*n, index_);
  if (!left || top->LeftDone()) {
    pending_->Drop();
  } else {
    // Descend to the leftmost element of the left subtree, leaving each element passed on the
    // stack with its left side marked as under way.
    top->SetLeftDone(true);
    n = std::move(left);
    DescentCycleCheck cycle;
    for (Ref<ITreeNode> next = GetLink<LeftLink>(*n, index_); next && !cycle.Repeats(next);
         next = GetLink<LeftLink>(*n, index_)) {
      Push(*pending_, n, true, false);
      n = std::move(next);
    }
  }
  if (Ref<ITreeNode> right = GetLink<RightLink>(*n, index_))
    Push(*pending_, std::move(right), false, false);
  return n;
}

// One step of the recursion this reproduces, paused after each element it yields (InOrder with
// the sides exchanged):
//   Reverse(n): r = n.Right
//               if r is not Nothing: Reverse(r)
//               yield n
//               l = n.Left
//               if l is not Nothing: Reverse(l)
Ref<ITreeNode> TreeEnum::ReverseStep() {
  Ref<TreeEnumStackNode> top = TopOf(*pending_);
  Ref<ITreeNode> n = top->Node();
  Ref<ITreeNode> right = GetLink<RightLink>(*n, index_);
  if (!right || top->RightDone()) {
    pending_->Drop();
  } else {
    top->SetRightDone(true);
    n = std::move(right);
    DescentCycleCheck cycle;
    for (Ref<ITreeNode> next = GetLink<RightLink>(*n, index_); next && !cycle.Repeats(next);
         next = GetLink<RightLink>(*n, index_)) {
      Push(*pending_, n, false, true);
      n = std::move(next);
    }
  }
  if (Ref<ITreeNode> left = GetLink<LeftLink>(*n, index_))
    Push(*pending_, std::move(left), false, false);
  return n;
}

// One step of the recursion this reproduces, paused after each element it yields:
//   PostOrder(n): l = n.Left; r = n.Right
//                 if l is not Nothing: PostOrder(l)
//                 if r is not Nothing: PostOrder(r)
//                 yield n
Ref<ITreeNode> TreeEnum::PostOrderStep() {
  Ref<TreeEnumStackNode> top = TopOf(*pending_);
  Ref<ITreeNode> n = top->Node();
  Ref<ITreeNode> left = GetLink<LeftLink>(*n, index_);
  Ref<ITreeNode> right = GetLink<RightLink>(*n, index_);
  const bool left_finished = !left || top->LeftDone();
  const bool right_finished = !right || top->RightDone();
  if (left_finished && right_finished) {
    pending_->Drop();
    return n;
  }
  if (left_finished) {
    top->SetRightDone(true);
    n = std::move(right);
  } else {
    top->SetLeftDone(true);
    n = std::move(left);
  }
  // Descend to the first element without children, preferring left children, leaving each
  // element passed on the stack with the side taken marked as under way. A descent that goes
  // round a cycle of hand-made links yields where it notices.
  for (DescentCycleCheck cycle;;) {
    left = GetLink<LeftLink>(*n, index_);
    right = GetLink<RightLink>(*n, index_);
    if ((!left && !right) || cycle.Repeats(left ? left : right)) return n;
    Push(*pending_, n, true, !left);
    n = left ? std::move(left) : std::move(right);
  }
}

}  // namespace velmira
