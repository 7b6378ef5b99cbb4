#include "velmira/linear/stack.h"

#include <utility>

#include "core/index_rule.h"
#include "velmira/core/debug_output.h"

namespace velmira {

void Stack::SetIndex(std::int32_t value) noexcept {
  detail::SetIndexWhileEmpty(index_, value, IsEmpty(),
                             "Stack: Warning, an attempt was made to change the Index of a "
                             "non-empty stack");
}

void Stack::Add(const Ref<IStackNode>& Node) {
  if (!Node) {
    detail::Warn("Stack: Warning, an attempt was made to Add Nothing");
    return;
  }
  if (Node->NextItem(index_)) {
    detail::Warn("Stack: Warning, an attempt was made to Add a node with a successor");
    return;
  }
  Node->SetNextItem(index_, top_);
  top_ = Node;
}

Ref<IStackNode> Stack::Unlink() {
  // The top moves on before the old top's link is reset: if the reset throws, the element has
  // already left the stack.
  Ref<IStackNode> next = top_->NextItem(index_);
  Ref<IStackNode> element = std::exchange(top_, std::move(next));
  element->SetNextItem(index_, Nothing);
  return element;
}

Ref<IStackNode> Stack::Pop() {
  if (!top_) return Nothing;
  return Unlink();
}

void Stack::Drop() {
  if (top_) Unlink();
}

void Stack::Clear() {
  while (top_) Unlink();
}

Stack::~Stack() {
  try {
    Clear();
  } catch (...) {
    // Teardown never fails; elements not reached keep their links and are released with top_.
  }
}

}  // namespace velmira
