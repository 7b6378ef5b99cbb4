// Internal: the members of `SampleNode<Link>`. Each element class's source includes this file and
// instantiates `SampleNode` for its own interface:
//
//   #include "elements/sample_node_impl.h"
//   template class SampleNode<IStackNode>;
//   Ref<IStackNode> StackNode::NextItem(std::int32_t Index) { return SlotRecord(Index).links[0]; }
#pragma once

#include <cstdint>

#include "core/teardown.h"
#include "elements/index_tree_node.h"
#include "velmira/elements/sample_node.h"
#include "velmira/tree/splay_tree.h"

namespace velmira {

template <class Link>
SampleNode<Link>::SampleNode() : slot_table_(New<SplayTree>()) {}

template <class Link>
SampleNode<Link>::~SampleNode() {
  using Record = detail::IndexTreeNode<Link>;
  // Teardown never fails. Releasing the user data cannot throw; an error from the table is ignored.
  value_ = Nothing;
  tag_ = Nothing;
  flags_ = Nothing;
  data_ = Nothing;
  for (Record*& record : recent_records_) record = nullptr;
  this->UseNamedLinks(nullptr, 0);            // the records go with the table
  detail::ClearIgnoringErrors(*slot_table_);  // records not reached go with the table
  slot_table_.reset();
}

template <class Link>
Variant SampleNode<Link>::Key(std::int32_t Index) {
  return SlotRecord(Index).key;
}

template <class Link>
void SampleNode<Link>::SetKey(std::int32_t Index, const Variant& Value) {
  SlotRecord(Index).key = Value;
}

template <class Link>
detail::IndexTreeNode<Link>& SampleNode<Link>::FindOrAddSlotRecord(std::int32_t Index) {
  using Record = detail::IndexTreeNode<Link>;
  Record* record;
  if (Ref<ITreeNode> found = slot_table_->Item(Variant(Index))) {
    record = static_cast<Record*>(found.get());  // the table holds nothing but records
  } else {
    Ref<Record> created = New<Record>(Index);
    slot_table_->Add(created);
    record = created.get();
  }
  recent_records_[oldest_recent_] = record;
  recent_slots_[oldest_recent_] = Index;
  oldest_recent_ = static_cast<std::uint8_t>((oldest_recent_ + 1) % kRecentSlots);
  return *record;
}

}  // namespace velmira
