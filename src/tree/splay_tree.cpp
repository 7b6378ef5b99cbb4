#include "velmira/tree/splay_tree.h"

#include "tree/tree_algorithms.h"

namespace velmira {

bool SplayTree::Exists(const Variant& Key) {
  if (IsNull(Key) || !root_) return false;
  {
    PathLease lease(*this);
    // The root is reassigned only once the splay has completed.
    root_ = detail::Splay(root_, Key, index_, lease.path());
  }
  return Equal(Key, root_->Key(index_));
}

Ref<ITreeNode> SplayTree::Item(const Variant& Key) {
  if (SplayTree::Exists(Key)) return root_;
  return Nothing;
}

void SplayTree::Add(const Ref<ITreeNode>& Node) {
  // A copy: the argument may refer to a link that this operation rewrites.
  const Ref<ITreeNode> node = Node;
  if (!CanAdd(node)) return;
  PathLease lease(*this);
  root_ = detail::InsertAndSplay(root_, node, index_, lease.path());
}

void SplayTree::Remove(const Variant& Key) {
  if (IsNull(Key)) {
    Warn("an attempt was made to Remove a node using a null Key");
    return;
  }
  if (!root_) return;
  PathLease lease(*this);
  root_ = detail::RemoveKey(root_, Key, index_, detail::RemovalStyle::kSplay, lease.path());
}

}  // namespace velmira
