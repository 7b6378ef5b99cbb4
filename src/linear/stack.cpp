#include "velmira/linear/stack.h"

#include "core/index_rule.h"
#include "linear/chain.h"
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
  detail::LinkAtHead(top_, Node, index_);
}

Ref<IStackNode> Stack::Pop() {
  if (!top_) return Nothing;
  return detail::UnlinkHead(top_, index_);
}

void Stack::Drop() {
  if (top_) detail::UnlinkHead(top_, index_);
}

void Stack::Clear() { detail::ClearChain(top_, index_); }

Stack::~Stack() { detail::ClearIgnoringErrors(*this); }

}  // namespace velmira
