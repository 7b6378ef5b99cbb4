// Internal: the element of a tree enumerator's stack of pending subtrees.
#pragma once

#include <cstdint>
#include <utility>

#include "velmira/core/node_interfaces.h"

namespace velmira::detail {

/// One subtree still to be walked: its head element and which of its subtrees the walk has
/// already dealt with. It sits on one stack only, so its link ignores the slot number; for slot 0,
/// the one the stack uses, the link is also the element's direct link.
class TreeEnumStackNode final : public IStackNode {
 public:
  TreeEnumStackNode(Ref<ITreeNode> node, bool left_done, bool right_done) noexcept
      : node_(std::move(node)), left_done_(left_done), right_done_(right_done) {
    UseTrailingLinks(&next_, 1);
  }

  const Ref<ITreeNode>& Node() const noexcept { return node_; }
  bool LeftDone() const noexcept { return left_done_; }
  void SetLeftDone(bool value) noexcept { left_done_ = value; }
  bool RightDone() const noexcept { return right_done_; }
  void SetRightDone(bool value) noexcept { right_done_ = value; }

  Ref<IStackNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<IStackNode>& Value) override { next_ = Value; }

 private:
  ~TreeEnumStackNode() override = default;

  Ref<IStackNode> next_;  ///< first, so that it trails the direct-link record
  Ref<ITreeNode> node_;
  bool left_done_;
  bool right_done_;
};

}  // namespace velmira::detail
