#include "velmira/elements/queue_node.h"

#include "elements/sample_node_impl.h"

namespace velmira {

template class SampleNode<IQueueNode>;

QueueNode::~QueueNode() = default;

Ref<IQueueNode> QueueNode::NextItem(std::int32_t Index) { return SlotRecord(Index).second_link; }

void QueueNode::SetNextItem(std::int32_t Index, const Ref<IQueueNode>& Value) {
  SlotRecord(Index).second_link = Value;
}

}  // namespace velmira
