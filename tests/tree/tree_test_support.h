// Test support for the tree module: client elements and helpers that read a tree's shape.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "slot_map.h"
#include "velmira/core/node_interfaces.h"
#include "velmira/tree/tree.h"

namespace velmira::testing {

/// A client's tree element: a key and two links per slot.
class ClientTreeNode : public ITreeNode {
 public:
  void SetKey(std::int32_t Index, const Variant& value) { keys_[Index] = value; }
  Variant Key(std::int32_t Index) override { return keys_.Get(Index); }
  Ref<ITreeNode> Left(std::int32_t Index) override { return left_.Get(Index); }
  void SetLeft(std::int32_t Index, const Ref<ITreeNode>& Value) override { left_[Index] = Value; }
  Ref<ITreeNode> Right(std::int32_t Index) override { return right_.Get(Index); }
  void SetRight(std::int32_t Index, const Ref<ITreeNode>& Value) override { right_[Index] = Value; }

 private:
  SlotMap<Variant> keys_;
  SlotMap<Ref<ITreeNode>> left_, right_;
};

/// The shape of the subtree under `root` in slot `index`, as "key(left,right)" with empty
/// positions left out: "50(30(20,40),70)". Reads keys and links through the interface.
std::string Shape(const Ref<ITreeNode>& root, std::int32_t index);

/// The tree's root, read as the first element of a pre-order walk.
Ref<ITreeNode> RootOf(const Ref<Tree>& tree);

/// The shape of the whole tree.
std::string Shape(const Ref<Tree>& tree);

/// The keys a walk in `order` returns until Nothing, as text, e.g. "1 2 3".
std::string Walk(const Ref<Tree>& tree, TreeEnumEnum order);

/// The text of a small key (integer or string).
std::string KeyText(const Variant& key);

}  // namespace velmira::testing
