// Test support for the tree module: a client element that can log its calls, fail one of them and
// re-enter the tree, and the shape of a tree as text.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "velmira/core/node_interfaces.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"
#include "velmira/tree/tree_enum.h"

namespace velmira::testing {

/// The element calls made so far ("3.Key 3.SetLeft(-) "), and the call that is to throw instead.
struct CallLog {
  std::string calls, fail_on;
};

/// A client element with an integer key and one pair of links, whatever the slot. Given a log,
/// it records each call (without the slot), throwing instead of `fail_on` or past 1 MB of log.
/// `reenter` runs inside the next call it receives, once: client code re-entering a tree.
class RecordingTreeNode : public ITreeNode {
 public:
  using Link = Ref<ITreeNode>;
  explicit RecordingTreeNode(std::int32_t key, CallLog* log = nullptr) : key_(key), log_(log) {}
  Variant Key(std::int32_t) override { return Note(".Key", Variant(key_)); }
  Link Left(std::int32_t) override { return Note(".Left", left_); }
  Link Right(std::int32_t) override { return Note(".Right", right_); }
  void SetLeft(std::int32_t, const Link& v) override { left_ = Note(".SetLeft", v, &v); }
  void SetRight(std::int32_t, const Link& v) override { right_ = Note(".SetRight", v, &v); }
  std::function<void()> reenter;

 private:
  /// Runs `reenter`, logs the call, and returns `value` as it stands afterwards.
  template <class T>
  T Note(const char* what, const T& value, const Link* arg = nullptr) {
    if (reenter) std::exchange(reenter, nullptr)();
    if (!log_) return value;
    std::string call = std::to_string(key_) + what;
    const auto* to = arg ? static_cast<RecordingTreeNode*>(arg->get()) : nullptr;
    if (arg) call += "(" + (to ? std::to_string(to->key_) : "-") + ")";
    if (call == log_->fail_on || log_->calls.size() > (1 << 20)) throw std::runtime_error(call);
    log_->calls += call + " ";
    return value;
  }
  std::int32_t key_;
  CallLog* log_;
  Link left_, right_;
};

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
