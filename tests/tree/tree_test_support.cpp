#include "tree_test_support.h"

namespace velmira::testing {

std::string KeyText(const Variant& key) {
  switch (key.Kind()) {
    case VariantKind::Int32:
      return std::to_string(key.Int32Value());
    case VariantKind::String:
      return std::string(key.Text());
    default:
      return "?";
  }
}

std::string Shape(const Ref<ITreeNode>& root, std::int32_t index) {
  if (!root) return "";
  std::string text = KeyText(root->Key(index));
  const Ref<ITreeNode> l = root->Left(index), r = root->Right(index);
  if (l || r) text += "(" + Shape(l, index) + "," + Shape(r, index) + ")";
  return text;
}

Ref<ITreeNode> RootOf(const Ref<Tree>& tree) {
  Ref<TreeEnum> walk = tree->NewEnum();
  walk->SetOrder(eTreeEnumPreOrder);
  return walk->NextItem();
}

std::string Shape(const Ref<Tree>& tree) { return Shape(RootOf(tree), tree->Index()); }

std::string Walk(const Ref<Tree>& tree, TreeEnumEnum order) {
  Ref<TreeEnum> walk = tree->NewEnum();
  walk->SetOrder(order);
  std::string keys;
  for (Ref<ITreeNode> n = walk->NextItem(); n; n = walk->NextItem()) {
    if (!keys.empty()) keys += ' ';
    keys += KeyText(n->Key(tree->Index()));
  }
  return keys;
}

}  // namespace velmira::testing
