#include "debug/debug_record_tree.h"

#include <utility>

namespace velmira::detail {

DebugTreeNode* DebugRecordTree::Find(std::string_view name) {
  DebugTreeNode* root = Root();
  if (root == nullptr) return nullptr;
  // A name at the root splays nothing: the search stops at once and no link is written.
  if (root->NameKey().Text() == name) return root;
  SplayToRoot(name);
  root = Root();
  return CompareText(name, root->NameKey().Text()) == Order::Equal ? root : nullptr;
}

DebugTreeNode& DebugRecordTree::Record(std::string_view name, const Variant* key) {
  if (DebugTreeNode* found = Find(name)) return *found;
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
    const Order order = CompareText(name, n->NameKey().Text());
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
