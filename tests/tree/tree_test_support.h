// Test support for the tree module: a client element and helpers that read a tree's shape.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "slot_map.h"
#include "velmira/core/node_interfaces.h"
#include "velmira/tree/enumerate.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

namespace velmira::testing {

/// A client's tree element: a key and two links per slot; `Left` throws once `fail_left` is set.
class ClientTreeNode : public ITreeNode {
 public:
  void SetKey(std::int32_t Index, const Variant& value) { keys_[Index] = value; }
  Variant Key(std::int32_t Index) override { return Reenter(), keys_.Get(Index); }
  Ref<ITreeNode> Left(std::int32_t Index) override {
    Reenter();
    if (std::exchange(fail_left, false)) throw std::runtime_error("Left failed");
    return left_.Get(Index);
  }
  void SetLeft(std::int32_t Index, const Ref<ITreeNode>& Value) override {
    Reenter();
    left_[Index] = Value;
  }
  Ref<ITreeNode> Right(std::int32_t Index) override { return Reenter(), right_.Get(Index); }
  void SetRight(std::int32_t Index, const Ref<ITreeNode>& Value) override {
    Reenter();
    right_[Index] = Value;
  }
  bool fail_left = false;
  /// Runs inside the next call the element receives, once: client code re-entering a tree.
  std::function<void()> reenter;

 private:
  void Reenter() {
    if (reenter) std::exchange(reenter, nullptr)();
  }
  SlotMap<Variant> keys_;
  SlotMap<Ref<ITreeNode>> left_, right_;
};

/// The element calls made so far ("3.Key 3.SetLeft(-) "), and the call that is to throw instead.
struct CallLog {
  std::string calls, fail_on;
};

/// A client element with an integer key and one pair of links, whatever the slot. Given a log,
/// it records each call it receives (without the slot) and throws instead of making `fail_on`.
class RecordingTreeNode : public ITreeNode {
 public:
  explicit RecordingTreeNode(std::int32_t key, CallLog* log = nullptr) : key_(key), log_(log) {}
  Variant Key(std::int32_t) override { return Note(".Key", Variant(key_)); }
  Ref<ITreeNode> Left(std::int32_t) override { return Note(".Left", left_); }
  Ref<ITreeNode> Right(std::int32_t) override { return Note(".Right", right_); }
  void SetLeft(std::int32_t, const Ref<ITreeNode>& v) override { left_ = Note(".SetLeft", v, &v); }
  void SetRight(std::int32_t, const Ref<ITreeNode>& v) override {
    right_ = Note(".SetRight", v, &v);
  }

 private:
  template <class T>
  T Note(const char* what, T value, const Ref<ITreeNode>* arg = nullptr) {
    if (!log_) return value;
    std::string call = std::to_string(key_) + what;
    const auto* to = arg ? static_cast<RecordingTreeNode*>(arg->get()) : nullptr;
    if (arg) call += "(" + (to ? std::to_string(to->key_) : "-") + ")";
    if (call == log_->fail_on) throw std::runtime_error("failed: " + call);
    log_->calls += call + " ";
    return value;
  }
  std::int32_t key_;
  CallLog* log_;
  Ref<ITreeNode> left_, right_;
};

/// A new empty tree of either kind, held through the `Tree` interface.
inline Ref<Tree> MakeTree(bool splay) { return splay ? Ref<Tree>(New<SplayTree>()) : New<Tree>(); }

/// The text of a small key (integer or string), "-" for anything else.
inline std::string KeyText(const Variant& key) {
  if (key.Kind() == VariantKind::Int32) return std::to_string(key.Int32Value());
  return key.Kind() == VariantKind::String ? std::string(key.Text()) : "-";
}

/// The shape under `root` in slot `index`, "50(30(20,40),70)": key(left,right), empties left out.
inline std::string Shape(const Ref<ITreeNode>& root, std::int32_t index) {
  if (!root) return "";
  const std::string key = KeyText(root->Key(index));
  const Ref<ITreeNode> l = root->Left(index), r = root->Right(index);
  return l || r ? key + "(" + Shape(l, index) + "," + Shape(r, index) + ")" : key;
}

/// The order named by a letter: p, r, i, o for pre, reverse, in and post order.
inline TreeEnumEnum OrderOf(char letter) {
  return static_cast<TreeEnumEnum>(static_cast<int>(std::string_view("pr-io").find(letter)) - 2);
}

/// The shape of the whole tree, from its root (the first element of a pre-order walk).
inline std::string Shape(const Ref<Tree>& tree) {
  Ref<TreeEnum> walk = tree->NewEnum();
  walk->SetOrder(eTreeEnumPreOrder);
  return Shape(walk->NextItem(), tree->Index());
}

/// The keys of a walk in `order`, "1 2 3", and " ~walk" if a range-for walk saw other keys.
inline std::string Walk(const Ref<Tree>& tree, TreeEnumEnum order) {
  Ref<TreeEnum> walk = tree->NewEnum();
  walk->SetOrder(order);
  std::string keys, ranged;
  for (Ref<ITreeNode> n = walk->NextItem(); n; n = walk->NextItem())
    keys += (keys.empty() ? "" : " ") + KeyText(n->Key(tree->Index()));
  for (const Ref<ITreeNode>& n : Enumerate(tree, order))
    ranged += (ranged.empty() ? "" : " ") + KeyText(n->Key(tree->Index()));
  return keys + (ranged == keys ? "" : " ~walk");
}

}  // namespace velmira::testing
