// Internal: the tree operations, written as loops over an explicit path.
//
// Each operation makes exactly the element calls (key reads, link gets, link sets), in exactly
// the order, that the natural recursive formulation makes: the descent is the recursion's way
// down, and the loop over the recorded path is its way back up. So the final shapes, and the
// state left behind when an element throws halfway, are those of the recursive form, while the
// machine stack stays flat for trees of any depth.
#pragma once

#include <cstdint>
#include <optional>
#include <unordered_set>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/variant.h"
#include "velmira/tree/internal/tree_path.h"

namespace velmira::detail {

/// The elements a walk has passed, kept only on a tree that an element error has left possibly
/// cyclic (Nothing otherwise, so the ordinary path pays nothing). A walk that comes back to an
/// element it has passed resets the link it came through instead of following it.
using Revisits = std::unordered_set<const Object*>;

/// True when `seen` is Nothing or `child` was not passed before (it is recorded now).
inline bool FirstVisit(Revisits* seen, const Ref<ITreeNode>& child) {
  return !seen || !child || seen->insert(child.get()).second;
}

/// Runs `operation(seen)` for a tree whose flag `damaged` says whether an element error has
/// interrupted an operation on it: only then does the walk get a revisit record. An error passing
/// out sets the flag, since the interrupted steps may have left an element under two parents.
template <class Operation>
auto WatchingForCycles(bool& damaged, Operation&& operation) {
  std::optional<Revisits> seen;
  if (damaged) seen.emplace();
  try {
    return operation(seen ? &*seen : nullptr);
  } catch (...) {
    damaged = true;
    throw;
  }
}

/// The element with a key equal to `key`, or Nothing. Reads each visited element's key once.
Ref<ITreeNode> FindKey(const Ref<ITreeNode>& root, const Variant& key, std::int32_t index,
                       Revisits* seen = nullptr);

/// Links `node` as a leaf under `root` (not Nothing) by its key, without rotations. An element
/// with an equal key already present wins: `node` stays unlinked.
void InsertLeaf(const Ref<ITreeNode>& root, const Ref<ITreeNode>& node, std::int32_t index,
                Revisits* seen = nullptr);

/// Brings the element with `key`, or the last element on the key's search path, to the head of
/// the subtree under `head` (not Nothing) by single rotations from the bottom up. Returns the
/// new head; the caller stores it where the subtree hangs.
Ref<ITreeNode> Splay(const Ref<ITreeNode>& head, const Variant& key, std::int32_t index,
                     TreePath& path, Revisits* seen = nullptr);

/// Links `node` as a leaf under `head` (possibly Nothing) and rotates it up to the head, one
/// single rotation per level. With an equal key present, rotates that element up instead.
/// Returns the new head.
Ref<ITreeNode> InsertAndSplay(const Ref<ITreeNode>& head, const Ref<ITreeNode>& node,
                              std::int32_t index, TreePath& path, Revisits* seen = nullptr);

/// Removes the element with `key` from the subtree under `head`, resetting its links; every
/// element on the search path has its link stored again on the way back. Returns the new head.
Ref<ITreeNode> RemoveKey(const Ref<ITreeNode>& head, const Variant& key, std::int32_t index,
                         RemovalStyle style, TreePath& path, Revisits* seen = nullptr);

/// Resets every link in the subtree under `head` (not Nothing), from the leaves up, each
/// element's left subtree before its right one.
void ClearSubtree(const Ref<ITreeNode>& head, std::int32_t index, TreePath& path,
                  Revisits* seen = nullptr);

}  // namespace velmira::detail
