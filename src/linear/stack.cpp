#include "velmira/linear/stack.h"

#include "core/index_rule.h"
#include "core/teardown.h"
#include "velmira/core/debug_output.h"
#include "velmira/linear/internal/chain.h"

namespace velmira {

void Stack::SetIndex(std::int32_t value) noexcept {
  detail::SetIndexWhileEmpty(index_, value, IsEmpty(), "Stack", "stack");
}

void Stack::AddCalling(const Ref<IStackNode>& Node) {
  if (!Node) return detail::Warn("Stack: Warning, an attempt was made to Add Nothing");
  const detail::ElementLinks<IStackNode> links(*Node, index_);
  const detail::KeepAlive alive(this);
  if (links.Has<detail::NextLink>()) {
    return detail::Warn("Stack: Warning, an attempt was made to Add a node with a successor");
  }
  detail::LinkAtHead(top_, Node, links);
}

void Stack::Clear() {
  const detail::KeepAlive alive(this);
  detail::ClearChain(top_, index_);
}

Stack::~Stack() { detail::ClearIgnoringErrors(*this); }

}  // namespace velmira
