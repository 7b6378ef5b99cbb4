#include "velmira/elements/tree_node.h"

#include "elements/sample_node_impl.h"

namespace velmira {

template class SampleNode<ITreeNode>;

TreeNode::~TreeNode() = default;

Variant TreeNode::Key(std::int32_t Index) { return SlotRecord(Index).key; }

Ref<ITreeNode> TreeNode::Left(std::int32_t Index) { return SlotRecord(Index).first_link; }

void TreeNode::SetLeft(std::int32_t Index, const Ref<ITreeNode>& Value) {
  SlotRecord(Index).first_link = Value;
}

Ref<ITreeNode> TreeNode::Right(std::int32_t Index) { return SlotRecord(Index).second_link; }

void TreeNode::SetRight(std::int32_t Index, const Ref<ITreeNode>& Value) {
  SlotRecord(Index).second_link = Value;
}

}  // namespace velmira
