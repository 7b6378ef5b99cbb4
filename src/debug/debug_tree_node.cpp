#include "debug/debug_tree_node.h"

namespace velmira::detail {

DebugTreeNode::~DebugTreeNode() {
  left_.reset();
  right_.reset();
}

}  // namespace velmira::detail
