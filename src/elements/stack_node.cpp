#include "velmira/elements/stack_node.h"

#include "elements/sample_node_impl.h"

namespace velmira {

template class SampleNode<IStackNode>;

StackNode::~StackNode() = default;

Ref<IStackNode> StackNode::NextItem(std::int32_t Index) { return SlotRecord(Index).second_link; }

void StackNode::SetNextItem(std::int32_t Index, const Ref<IStackNode>& Value) {
  SlotRecord(Index).second_link = Value;
}

}  // namespace velmira
