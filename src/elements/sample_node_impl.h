// Internal: the members of `SampleNode<Link>`. Each element class's source includes this file and
// instantiates `SampleNode` for its own interface:
//
//   #include "elements/sample_node_impl.h"
//   template class SampleNode<IStackNode>;
//   Ref<IStackNode> StackNode::NextItem(std::int32_t Index) { return SlotRecord(Index).second_link; }
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
  // Teardown never fails. Releasing the user data cannot throw; an error from the table is ignored.
  value_ = Nothing;
  tag_ = Nothing;
  flags_ = Nothing;
  data_ = Nothing;
  root_record_ = nullptr;
  detail::ClearIgnoringErrors(*slot_table_);  // records not reached go with the table
  slot_table_.reset();
}

template <class Link>
Variant SampleNode<Link>::Key(std::int32_t Index) {
  return SlotRecord(Index).key;
}

template <class Link>
void SampleNode<Link>::SetKey(std::int32_t Index, const Variant& NewValue) {
  SlotRecord(Index).key = NewValue;
}

template <class Link>
inline detail::IndexTreeNode<Link>& SampleNode<Link>::SlotRecord(std::int32_t Index) {
  // The table's root is the record returned last: every lookup below ends with the record it
  // returns at the root (a hit is splayed there, a new record is inserted there), and nothing
  // else touches the table. Looking up the root's own slot would splay nothing: `Splay` reads the
  // root's key, finds it equal and returns the root, so no link is written and the root stays.
  // Answering that case here leaves the table exactly as the lookup would.
  if (root_record_ != nullptr && root_record_->Slot() == Index) return *root_record_;
  return FindOrAddSlotRecord(Index);
}

template <class Link>
detail::IndexTreeNode<Link>& SampleNode<Link>::FindOrAddSlotRecord(std::int32_t Index) {
  using Record = detail::IndexTreeNode<Link>;
  // Cleared first, so that an interrupted lookup cannot leave a stale root behind.
  root_record_ = nullptr;
  Record* record;
  if (Ref<ITreeNode> found = slot_table_->Item(Variant(Index))) {
    record = static_cast<Record*>(found.get());  // the table holds nothing but records
  } else {
    Ref<Record> created = New<Record>(Index);
    slot_table_->Add(created);
    record = created.get();
  }
  root_record_ = record;
  return *record;
}

}  // namespace velmira
