#include "velmira/elements/pqueue_node.h"

#include "elements/sample_node_impl.h"

namespace velmira {

template class SampleNode<IPQueueNode>;

PQueueNode::~PQueueNode() = default;

Variant PQueueNode::Key(std::int32_t Index) { return SlotRecord(Index).key; }

Ref<IPQueueNode> PQueueNode::NextItem(std::int32_t Index) { return SlotRecord(Index).links[0]; }

void PQueueNode::SetNextItem(std::int32_t Index, const Ref<IPQueueNode>& Value) {
  SlotRecord(Index).links[0] = Value;
}

}  // namespace velmira
