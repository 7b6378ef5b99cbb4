#include "debug/debug_stack_node.h"

namespace velmira::detail {

Ref<IStackNode> DebugStackNode::NextItem(std::int32_t) { return next_; }

void DebugStackNode::SetNextItem(std::int32_t, const Ref<IStackNode>& Value) { next_ = Value; }

DebugStackNode::~DebugStackNode() { next_.reset(); }

}  // namespace velmira::detail
