// Counting words in the splay tree of word_index.h.
#include "word_index.h"

#include "velmira/core/variant.h"
#include "velmira/tree/enumerate.h"

namespace velmira::words {

WordIndex::WordIndex() : tree_(New<SplayTree>()) {}

void WordIndex::Count(std::string_view word, std::uint64_t times) {
  total_ += times;
  if (auto it = tally_.find(word); it != tally_.end()) {
    it->second += times;
    return;
  }
  if (tally_.size() == kTallyLimit) Flush();
  first_seen_.push_back(&*tally_.emplace(word, times).first);
}

void WordIndex::Flush() {
  for (Tally::value_type* entry : first_seen_) AddToTree(entry->first, entry->second);
  first_seen_.clear();
  tally_.clear();
}

void WordIndex::AddToTree(std::string_view word, std::uint64_t count) {
  // One walk per word: `Add` brings either the spare element (a new word) or the element
  // already holding the word to the root, where `Item` then finds it at once.
  if (!spare_) spare_ = New<TreeNode>();
  const Variant key(word);
  spare_->SetKey(0, key);
  tree_->Add(spare_);
  Ref<ITreeNode> found = tree_->Item(key);
  if (Is(found, spare_)) {
    spare_->SetValue(static_cast<double>(count));
    spare_->SetFlags(static_cast<double>(distinct_++));
    spare_.reset();
    return;
  }
  // The tree holds only elements made here, so every element is a TreeNode.
  auto& node = static_cast<TreeNode&>(*found);
  node.SetValue(node.Value().DoubleValue() + static_cast<double>(count));
}

std::vector<TreeNode*> WordIndex::InFirstSeenOrder() const {
  // Serials are 0 to distinct - 1, one per element: each element goes to its own place.
  std::vector<TreeNode*> order(distinct_);
  for (const Ref<ITreeNode>& n : Enumerate(tree_)) {
    auto& node = static_cast<TreeNode&>(*n);
    order[FirstSeenOf(node)] = &node;
  }
  return order;
}

std::uint64_t WordIndex::CountOf(TreeNode& node) {
  return static_cast<std::uint64_t>(node.Value().DoubleValue());
}

std::uint64_t WordIndex::FirstSeenOf(TreeNode& node) {
  return static_cast<std::uint64_t>(node.Flags().DoubleValue());
}

}  // namespace velmira::words
