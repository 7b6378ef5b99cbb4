// Internal: the tree operations, written as loops over an explicit path.
//
// Each operation makes exactly the element calls (key reads, link gets, link sets), in exactly
// the order, that the natural recursive formulation makes: the descent is the recursion's way
// down, and the loop over the recorded path is its way back up. So the final shapes, and the
// state left behind when an element throws halfway, are those of the recursive form, while the
// machine stack stays flat for trees of any depth.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_set>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/variant.h"
#include "velmira/tree/internal/tree_path.h"

namespace velmira::detail {

/// What a walk keeps so that links closing a cycle cannot make it go on for ever. Such links come
/// from an element error that interrupted an operation (the tree is then marked damaged, and its
/// walks watch from their first step) or from links a client stored by hand. A walk over an
/// undamaged tree starts to watch only once it has passed more elements than were added to the
/// tree since it was last empty, which no walk over the links the tree made itself ever does, so
/// the ordinary path pays a count and nothing more. A watching walk records each element it
/// passes; one that comes back to an element it has passed resets the link it came through
/// instead of following it.
class Revisits {
 public:
  /// Watches after `unwatched` elements have been passed (from the first when 0).
  explicit Revisits(std::size_t unwatched) noexcept : budget_(unwatched), unwatched_(unwatched) {}
  Revisits(const Revisits&) = delete;
  Revisits& operator=(const Revisits&) = delete;

  bool Watching() const noexcept { return unwatched_ == 0; }
  /// How many more elements may be passed before the walk watches.
  std::size_t Unwatched() const noexcept { return unwatched_; }
  /// Counts `n` elements (at most `Unwatched()`) passed without being recorded, for a walk that
  /// kept its own count meanwhile.
  void PassUnwatched(std::size_t n) noexcept { unwatched_ -= n; }
  /// Counts one element passed without being recorded; false once the walk must watch instead.
  bool PassUnwatched() noexcept { return unwatched_ > 0 && (--unwatched_, true); }
  /// True when `child` is Nothing or was not passed before (when watching, it is recorded now).
  bool FirstVisit(const Ref<ITreeNode>& child) {
    if (!child || PassUnwatched()) return true;
    return Record(child.get());
  }
  /// A record for a second walk within the same operation, with this one's allowance.
  std::size_t Allowance() const noexcept { return budget_; }

 private:
  /// Records `element`; false when it was recorded before. Out of line: walks over the links the
  /// tree made itself never come here.
  [[gnu::cold]] bool Record(const Object* element);

  std::size_t budget_;
  std::size_t unwatched_;
  std::optional<std::unordered_set<const Object*>> passed_;  // made once the walk watches
};

/// Runs `operation(seen)`, with a record that watches from the first step when `damaged` says an
/// element error has interrupted an operation on the tree, and after `added` elements (those added
/// since the tree was last empty) otherwise. An error passing out sets the flag, since the
/// interrupted steps may have left an element under two parents.
template <class Operation>
auto WatchingForCycles(bool& damaged, std::size_t added, Operation&& operation) {
  Revisits seen(damaged ? 0 : added + 1);
  try {
    return operation(seen);
  } catch (...) {
    damaged = true;
    throw;
  }
}

/// The element with a key equal to `key`, or Nothing. Reads each visited element's key once.
Ref<ITreeNode> FindKey(const Ref<ITreeNode>& root, const Variant& key, std::int32_t index,
                       Revisits& seen);

/// Links `node` as a leaf under `root` (not Nothing) by its key, without rotations. An element
/// with an equal key already present wins: `node` stays unlinked.
void InsertLeaf(const Ref<ITreeNode>& root, const Ref<ITreeNode>& node, std::int32_t index,
                Revisits& seen);

/// Brings the element with `key`, or the last element on the key's search path, to the head of
/// the subtree under `head` (not Nothing) by single rotations from the bottom up. Returns the
/// new head; the caller stores it where the subtree hangs.
Ref<ITreeNode> Splay(const Ref<ITreeNode>& head, const Variant& key, std::int32_t index,
                     TreePath& path, Revisits& seen);

/// Links `node` as a leaf under `head` (possibly Nothing) and rotates it up to the head, one
/// single rotation per level. With an equal key present, rotates that element up instead.
/// Returns the new head.
Ref<ITreeNode> InsertAndSplay(const Ref<ITreeNode>& head, const Ref<ITreeNode>& node,
                              std::int32_t index, TreePath& path, Revisits& seen);

/// Removes the element with `key` from the subtree under `head`, resetting its links; every
/// element on the search path has its link stored again on the way back. Returns the new head.
Ref<ITreeNode> RemoveKey(const Ref<ITreeNode>& head, const Variant& key, std::int32_t index,
                         RemovalStyle style, TreePath& path, Revisits& seen);

/// Resets every link in the subtree under `head` (not Nothing), from the leaves up, each
/// element's left subtree before its right one.
void ClearSubtree(const Ref<ITreeNode>& head, std::int32_t index, TreePath& path, Revisits& seen);

}  // namespace velmira::detail
