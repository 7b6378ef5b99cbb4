#include "velmira/elements/queue_node.h"

#include "elements/sample_node_impl.h"

namespace velmira {

template class SampleNode<IQueueNode>;

QueueNode::~QueueNode() = default;

Ref<IQueueNode> QueueNode::NextItem(std::int32_t Index) { return SlotRecord(Index).links[0]; }

void QueueNode::SetNextItem(std::int32_t Index, const Ref<IQueueNode>& Value) {
  SlotRecord(Index).links[0] = Value;
}

}  // namespace velmira
