// Test support for the tree module: test elements named after their keys, and the shape of a tree
// as text.
#pragma once

#include <cstdint>
#include <string>

#include "test_element.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"
#include "velmira/tree/tree_enum.h"

namespace velmira::testing {

using TreeElement = TestElement<ITreeNode>;

/// A test element named after its key in slot 0.
inline Ref<TreeElement> Keyed(std::int32_t key, ElementCalls* calls = nullptr) {
  Ref<TreeElement> e = New<TreeElement>(std::to_string(key), calls);
  e->SetKey(0, key);
  return e;
}

/// A new empty tree of either kind, held through the `Tree` interface.
inline Ref<Tree> MakeTree(bool splay) { return splay ? Ref<Tree>(New<SplayTree>()) : New<Tree>(); }

/// The shape under `root` in slot `index`, "50(30(20,40),70)": key(left,right), empties left out.
inline std::string Shape(const Ref<ITreeNode>& root, std::int32_t index) {
  if (!root) return "";
  const std::string key = std::to_string(root->Key(index).Int32Value());
  const Ref<ITreeNode> l = root->Left(index), r = root->Right(index);
  return l || r ? key + "(" + Shape(l, index) + "," + Shape(r, index) + ")" : key;
}

/// The shape of the whole tree, from its root (the first element of a pre-order walk).
inline std::string Shape(const Ref<Tree>& tree) {
  Ref<TreeEnum> walk = tree->NewEnum();
  walk->SetOrder(eTreeEnumPreOrder);
  return Shape(walk->NextItem(), tree->Index());
}

}  // namespace velmira::testing
