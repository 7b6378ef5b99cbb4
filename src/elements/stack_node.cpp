#include "velmira/elements/stack_node.h"

#include "elements/sample_node_impl.h"

namespace velmira {

template class SampleNode<IStackNode>;

StackNode::~StackNode() = default;

Ref<IStackNode> StackNode::NextItem(std::int32_t Index) { return SlotRecord(Index).links[0]; }

void StackNode::SetNextItem(std::int32_t Index, const Ref<IStackNode>& Value) {
  SlotRecord(Index).links[0] = Value;
}

}  // namespace velmira
