#include "velmira/tree/splay_tree.h"

#include "tree/tree_algorithms.h"
#include "tree/tree_path_lease.h"

namespace velmira {

bool SplayTree::Exists(const Variant& Key) { return static_cast<bool>(SplayToRoot(Key)); }

Ref<ITreeNode> SplayTree::Item(const Variant& Key) { return SplayToRoot(Key); }

Ref<ITreeNode> SplayTree::SplayToRoot(const Variant& Key) {
  if (IsNull(Key) || !root_) return Nothing;
  const detail::KeepAlive alive(this);
  return detail::WatchingForCycles(damaged_, added_, [&](detail::Revisits& seen) {
    Ref<ITreeNode> root;
    {
      detail::TreePathLease lease(*this);
      // The root is reassigned only once the splay has completed (which copies it before any
      // element is called).
      root = detail::Splay(root_, Key, index_, lease.path(), seen);
      root_ = root;
    }
    // Answered from the element the splay brought up, held here: its Key may change the tree.
    if (!Equal(Key, root->Key(index_))) root.reset();
    return root;
  });
}

void SplayTree::Add(const Ref<ITreeNode>& Node) {
  // A copy: the argument may refer to a link that this operation rewrites.
  const Ref<ITreeNode> node = Node;
  const detail::KeepAlive alive(this);
  detail::WatchingForCycles(damaged_, added_, [&](detail::Revisits& seen) {
    if (!CanAdd(node)) return;
    CountAdded();
    detail::TreePathLease lease(*this);
    root_ = detail::InsertAndSplay(Ref<ITreeNode>(root_), node, index_, lease.path(), seen);
  });
}

void SplayTree::Remove(const Variant& Key) { RemoveWithStyle(Key, detail::RemovalStyle::Splay); }

}  // namespace velmira
