// `SplayTree`: a `Tree` that rotates the element it reaches to the root, so that elements used
// often stay near the top.
//
//   Ref<Tree> t = New<SplayTree>();     // usable wherever a Tree is expected
//   Ref<TreeNode> node = New<TreeNode>();
//   node->SetKey(0, "fig");
//   t->Add(node);                       // the new element becomes the root
//   t->Exists("pear");                  // the element found (or the last on the path) too
//
// Rotations are single rotations on the way back up the search path (rotate to root), one per
// level. No operation recurses per level.
#pragma once

#include "velmira/tree/tree.h"

namespace velmira {

class SplayTree : public Tree {
 public:
  SplayTree() = default;

  /// True if an item with the key is present; brings it (or the last element on the key's search
  /// path) to the root. False and no change for a Null key or an empty tree.
  bool Exists(const Variant& Key) override;
  /// The item with the key, or Nothing; restructures the tree exactly as `Exists` does.
  Ref<ITreeNode> Item(const Variant& Key) override;
  /// Adds the item and rotates it to the root; with an equal key present, rotates that element
  /// to the root instead and leaves the new one unlinked.
  void Add(const Ref<ITreeNode>& Node) override;
  /// Removes the item with the key. The search path keeps its shape; only the removed item's
  /// left subtree is splayed when it had two children.
  void Remove(const Variant& Key) override;

 protected:
  ~SplayTree() override = default;
  std::string_view ClassName() const noexcept override { return "SplayTree"; }

 private:
  /// Splays the key's element (or the last on its path) to the root, and returns it when its key
  /// equals `Key`, otherwise Nothing.
  Ref<ITreeNode> SplayToRoot(const Variant& Key);
};

}  // namespace velmira
