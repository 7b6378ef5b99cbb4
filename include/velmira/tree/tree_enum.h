// `TreeEnum`: walks the elements of a `Tree` or `SplayTree` in one of four orders.
//
//   Ref<TreeEnum> e = tree->NewEnum();          // ascending key order unless told otherwise
//   e->SetOrder(eTreeEnumPostOrder);
//   for (auto n = e->NextItem(); n; n = e->NextItem()) { ... }
//
// The walk keeps its pending subtrees on a `Stack`, never recursing, and reads the elements'
// links at each step. Once it has returned Nothing it returns Nothing for ever.
#pragma once

#include <cstdint>
#include <functional>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/linear/stack.h"

namespace velmira {

/// The orders a `TreeEnum` can walk in.
enum TreeEnumEnum : std::int32_t {
  eTreeEnumPreOrder = -2,      ///< element, left subtree, right subtree
  eTreeEnumReverseOrder = -1,  ///< right subtree, element, left subtree: descending keys
  eTreeEnumInOrder = 1,        ///< left subtree, element, right subtree: ascending keys
  eTreeEnumPostOrder = 2,      ///< left subtree, right subtree, element
};

class TreeEnum : public virtual Object {
 public:
  /// The order the next call of `NextItem` walks in.
  TreeEnumEnum Order() const noexcept { return order_; }
  /// Changes the order from the next step on, without restarting the walk. Values other than
  /// the four orders are ignored.
  void SetOrder(TreeEnumEnum value) noexcept;

  /// The next item in the tree, or Nothing if there are no more items. Descending steps cost
  /// one step per level; a whole walk is linear.
  Ref<ITreeNode> NextItem();

  /// Calls `visit` with each element the enumerator holds a reference to (the heads of the
  /// subtrees its walk has still to visit), once per reference; for a host that accounts for
  /// references, such as another language's cycle collector.
  void ForEachHeld(const std::function<void(const Ref<ITreeNode>&)>& visit) const;

 protected:
  ~TreeEnum() override = default;

 private:
  friend class Tree;  // only a tree's NewEnum creates and primes an enumerator

  TreeEnum();
  void SetIndex(std::int32_t value) noexcept { index_ = value; }
  void SetRoot(const Ref<ITreeNode>& root);

  Ref<ITreeNode> PreOrderStep();
  Ref<ITreeNode> InOrderStep();
  Ref<ITreeNode> ReverseStep();
  Ref<ITreeNode> PostOrderStep();

  std::int32_t index_ = 0;
  TreeEnumEnum order_ = eTreeEnumInOrder;
  Ref<Stack> pending_;
};

}  // namespace velmira
