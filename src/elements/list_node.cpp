#include "velmira/elements/list_node.h"

#include "elements/sample_node_impl.h"

namespace velmira {

template class SampleNode<IListNode>;

ListNode::~ListNode() = default;

Ref<IListNode> ListNode::NextItem(std::int32_t Index) { return SlotRecord(Index).second_link; }

void ListNode::SetNextItem(std::int32_t Index, const Ref<IListNode>& Value) {
  SlotRecord(Index).second_link = Value;
}

Ref<IListNode> ListNode::PrevItem(std::int32_t Index) { return SlotRecord(Index).first_link; }

void ListNode::SetPrevItem(std::int32_t Index, const Ref<IListNode>& Value) {
  SlotRecord(Index).first_link = Value;
}

Ref<IListNode> ListNode::Tag(std::int32_t Index) { return SlotRecord(Index).third_link; }

void ListNode::SetTag(std::int32_t Index, const Ref<IListNode>& Value) {
  SlotRecord(Index).third_link = Value;
}

}  // namespace velmira
