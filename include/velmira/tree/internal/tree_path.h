// Internal: the path a tree operation records on its way down, so that it can come back up
// without recursing, and the removal styles of the two kinds of tree. Visible only because `Tree`
// keeps one spare buffer as a member and shares its removal with `SplayTree`; clients do not use
// it.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"

namespace velmira::detail {

/// One level of a path through a tree, kept while an operation walks down and back up.
struct TreePathStep {
  TreePathStep(Ref<ITreeNode> node_, std::uint8_t step_, Ref<ITreeNode>* links_ = nullptr) noexcept
      : node(std::move(node_)), step(step_), links(links_) {}

  Ref<ITreeNode> node;
  std::uint8_t step;  // which link the walk went through, or how far a node's clearing has got
  /// The node's direct links for the tree's slot, where a splaying descent found them; null
  /// otherwise. A row named for a slot stays that slot's cells while the node lives.
  Ref<ITreeNode>* links = nullptr;
};
using TreePath = std::vector<TreePathStep>;

/// How a removed element with two children is replaced.
enum class RemovalStyle {
  Plain,  ///< by its in-order predecessor or successor, without rotations
  Splay,  ///< by the largest element of its left subtree, splayed to that subtree's head
};

class TreePathLease;

}  // namespace velmira::detail
