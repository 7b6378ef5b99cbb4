// Internal: lends a tree's reusable path buffer to one operation.
//
//   detail::TreePathLease lease(tree);
//   detail::RemoveKey(..., lease.path(), ...);   // the buffer goes back when the lease ends
//
// When an element's member re-enters the tree while the buffer is out, the inner operation gets
// a fresh buffer. A buffer that grew very large is dropped rather than kept.
#pragma once

#include "velmira/tree/internal/tree_path.h"
#include "velmira/tree/tree.h"

namespace velmira::detail {

class TreePathLease {
 public:
  explicit TreePathLease(Tree& tree) noexcept;
  ~TreePathLease();
  TreePathLease(const TreePathLease&) = delete;
  TreePathLease& operator=(const TreePathLease&) = delete;
  TreePath& path() noexcept { return path_; }

 private:
  Tree& tree_;
  TreePath path_;
};

}  // namespace velmira::detail
