#include "velmira/elements/list_node.h"

#include "elements/sample_node_impl.h"

namespace velmira {

template class SampleNode<IListNode>;

ListNode::~ListNode() = default;

Ref<IListNode> ListNode::NextItem(std::int32_t Index) { return SlotRecord(Index).links[0]; }

void ListNode::SetNextItem(std::int32_t Index, const Ref<IListNode>& Value) {
  SlotRecord(Index).links[0] = Value;
}

Ref<IListNode> ListNode::PrevItem(std::int32_t Index) { return SlotRecord(Index).links[1]; }

void ListNode::SetPrevItem(std::int32_t Index, const Ref<IListNode>& Value) {
  SlotRecord(Index).links[1] = Value;
}

Ref<IListNode> ListNode::Tag(std::int32_t Index) { return SlotRecord(Index).links[2]; }

void ListNode::SetTag(std::int32_t Index, const Ref<IListNode>& Value) {
  SlotRecord(Index).links[2] = Value;
}

}  // namespace velmira
