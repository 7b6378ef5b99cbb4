// Test support for the tree module: client elements and helpers that read a tree's shape.
#pragma once

#include <cstdint>
#include <stdexcept>
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

/// Every element call made on the elements that share it, and an optional failure.
struct CallLog {
  std::vector<std::string> calls;
  /// The call, as it would be logged, that throws instead of doing its work; empty for none.
  std::string fail_on;
};

/// A client element named by its integer key that logs each call it receives (without its slot,
/// which tests keep fixed) and can be told to fail one of them.
class LoggingTreeNode : public ITreeNode {
 public:
  LoggingTreeNode(CallLog* log, int key) : log_(log), key_(key) {}
  int key() const { return key_; }

  Variant Key(std::int32_t) override {
    Note(Name() + ".Key");
    return key_;
  }
  Ref<ITreeNode> Left(std::int32_t) override {
    Note(Name() + ".Left");
    return left_;
  }
  void SetLeft(std::int32_t, const Ref<ITreeNode>& Value) override {
    Note(Name() + ".SetLeft(" + NameOf(Value) + ")");
    left_ = Value;
  }
  Ref<ITreeNode> Right(std::int32_t) override {
    Note(Name() + ".Right");
    return right_;
  }
  void SetRight(std::int32_t, const Ref<ITreeNode>& Value) override {
    Note(Name() + ".SetRight(" + NameOf(Value) + ")");
    right_ = Value;
  }

  /// Links without logging, for building and reading shapes.
  Ref<ITreeNode> left_, right_;

 private:
  std::string Name() const { return std::to_string(key_); }
  static std::string NameOf(const Ref<ITreeNode>& n) {
    return n ? static_cast<const LoggingTreeNode*>(n.get())->Name() : "-";
  }
  void Note(std::string call) {
    if (call == log_->fail_on) throw std::runtime_error("failed: " + call);
    log_->calls.push_back(std::move(call));
  }

  CallLog* log_;
  int key_;
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
