// `TreeNode`: a ready-made element for `Tree` and `SplayTree`, with user data and, per slot, a
// key and two child links.
//
//   auto n = New<TreeNode>();
//   n->SetKey(0, "word"); n->SetValue(1);
//   tree->Add(n);                      // ordered by n->Key(tree->Index())
#pragma once

#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"
#include "velmira/elements/sample_node.h"

namespace velmira {

/// Velmira.TreeNode provides a sample implementation of the TreeNode interface.
class TreeNode : public SampleNode<ITreeNode> {
 public:
  /// A new element: user data Empty, no slot used yet (every key Empty, every link Nothing).
  TreeNode() = default;

  /// The key that orders this element in a tree using slot `Index`: exactly what
  /// `SetKey(Index, ...)` stored, Empty until then. Set it with `SetKey`.
  Variant Key(std::int32_t Index) override;
  /// The left child in the tree using slot `Index`; Nothing until set.
  Ref<ITreeNode> Left(std::int32_t Index) override;
  /// Stores the left link for slot `Index`, changing no other link or slot.
  void SetLeft(std::int32_t Index, const Ref<ITreeNode>& Value) override;
  /// The right child in the tree using slot `Index`; Nothing until set.
  Ref<ITreeNode> Right(std::int32_t Index) override;
  /// Stores the right link for slot `Index`, changing no other link or slot.
  void SetRight(std::int32_t Index, const Ref<ITreeNode>& Value) override;

 protected:
  ~TreeNode() override;
};

}  // namespace velmira
