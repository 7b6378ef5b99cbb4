#include "debug/debug_tree_node.h"

namespace velmira::detail {

Variant DebugTreeNode::Key(std::int32_t) { return name_; }

Ref<ITreeNode> DebugTreeNode::Left(std::int32_t) { return left_; }

void DebugTreeNode::SetLeft(std::int32_t, const Ref<ITreeNode>& Value) { left_ = Value; }

Ref<ITreeNode> DebugTreeNode::Right(std::int32_t) { return right_; }

void DebugTreeNode::SetRight(std::int32_t, const Ref<ITreeNode>& Value) { right_ = Value; }

DebugTreeNode::~DebugTreeNode() {
  left_.reset();
  right_.reset();
}

}  // namespace velmira::detail
