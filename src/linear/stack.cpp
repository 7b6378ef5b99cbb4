#include "velmira/linear/stack.h"

#include "core/index_rule.h"
#include "core/teardown.h"
#include "velmira/core/debug_output.h"
#include "velmira/linear/internal/chain.h"

namespace velmira {

void Stack::SetIndex(std::int32_t value) noexcept {
  detail::SetIndexWhileEmpty(index_, value, IsEmpty(), "Stack", "stack");
}

void Stack::WarnAddNothing() noexcept {
  detail::Warn("Stack: Warning, an attempt was made to Add Nothing");
}

void Stack::WarnAddLinked() noexcept {
  detail::Warn("Stack: Warning, an attempt was made to Add a node with a successor");
}

void Stack::Clear() {
  const detail::KeepAlive alive(this);
  detail::ClearChain(top_, index_);
}

Stack::~Stack() { detail::ClearIgnoringErrors(*this); }

}  // namespace velmira
