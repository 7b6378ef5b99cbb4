#include "velmira/elements/tree_node.h"

#include "elements/sample_node_impl.h"

namespace velmira {

template class SampleNode<ITreeNode>;

TreeNode::~TreeNode() = default;

Variant TreeNode::Key(std::int32_t Index) { return SlotRecord(Index).key; }

Ref<ITreeNode> TreeNode::Left(std::int32_t Index) { return SlotRecord(Index).links[0]; }

void TreeNode::SetLeft(std::int32_t Index, const Ref<ITreeNode>& Value) {
  SlotRecord(Index).links[0] = Value;
}

Ref<ITreeNode> TreeNode::Right(std::int32_t Index) { return SlotRecord(Index).links[1]; }

void TreeNode::SetRight(std::int32_t Index, const Ref<ITreeNode>& Value) {
  SlotRecord(Index).links[1] = Value;
}

}  // namespace velmira
