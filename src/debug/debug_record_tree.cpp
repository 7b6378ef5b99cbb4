#include "debug/debug_record_tree.h"

#include <utility>

namespace velmira::detail {

namespace {

/// `CompareText`, answered here when the texts differ first in two ASCII bytes (each then a whole
/// UTF-16 code unit of the same value) or one is a prefix of the other.
Order CompareNames(std::string_view a, std::string_view b) noexcept {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  std::size_t at = 0;
  while (at < common && a[at] == b[at]) ++at;
  if (at == common) {
    return a.size() < b.size() ? Order::Less
                               : (b.size() < a.size() ? Order::Greater : Order::Equal);
  }
  const auto x = static_cast<unsigned char>(a[at]), y = static_cast<unsigned char>(b[at]);
  if (x < 0x80 && y < 0x80) return x < y ? Order::Less : Order::Greater;
  return CompareText(a, b);
}

}  // namespace

DebugTreeNode* DebugRecordTree::FindBelowRoot(std::string_view name) {
  SplayToRoot(name);
  DebugTreeNode* root = Root();
  return CompareNames(name, root->NameText()) == Order::Equal ? root : nullptr;
}

DebugTreeNode& DebugRecordTree::AddRecord(std::string_view name, const Variant* key) {
  Ref<DebugTreeNode> created = New<DebugTreeNode>(key != nullptr ? *key : Variant(name));
  Add(created);
  return *created;
}

void DebugRecordTree::SplayToRoot(std::string_view name) {
  // The same rotations as the tree's own splay: walk the search path to its end, then, from the
  // lowest level up, rotate each ancestor down below the head of the subtree beneath it.
  //
  //   Splay(n): if name > n.name and n.right: n.right = Splay(n.right); return RotateLeft(n)
  //             if name < n.name and n.left:  n.left = Splay(n.left);   return RotateRight(n)
  //             return n
  path_.clear();
  DebugTreeNode* n = Root();
  for (;;) {
    const Order order = CompareNames(name, n->NameText());
    if (order == Order::Equal) break;
    const bool right = order == Order::Greater;
    ITreeNode* child = (right ? n->right_ : n->left_).get();
    if (child == nullptr) break;
    path_.push_back({n, right});
    n = static_cast<DebugTreeNode*>(child);
  }
  Ref<ITreeNode> head(n);
  while (!path_.empty()) {
    const Step level = path_.back();
    path_.pop_back();
    auto* h = static_cast<DebugTreeNode*>(head.get());
    // The level's link to its old child is replaced; that child is held by `head` or, rotated
    // down already, by a link inside head's subtree.
    if (level.went_right) {
      level.record->right_ = std::move(h->left_);
      h->left_ = Ref<ITreeNode>(level.record);
    } else {
      level.record->left_ = std::move(h->right_);
      h->right_ = Ref<ITreeNode>(level.record);
    }
  }
  root_ = std::move(head);
}

}  // namespace velmira::detail
