// Internal: `DebugTreeNode`, the record kept in each of a debugger's four trees.
//
//   Ref<DebugTreeNode> r = New<DebugTreeNode>(Variant("Main"));
//   tree->Add(r);                       // keyed by its name, whatever slot the tree uses
//   r->SetCount(r->Count() + 1);
//
// A record has one left and one right link and ignores the slot number it is asked about: it is
// only ever placed in one tree, whose slot never changes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira::detail {

class DebugTreeNode final : public ITreeNode {
 public:
  /// A record named `name` (a text `Variant`), with `Count` 0 and `Time` 0.
  explicit DebugTreeNode(Variant name) noexcept : name_(std::move(name)) {}

  /// The procedure, resource or assertion message this record counts.
  std::string Name() const { return std::string(name_.Text()); }
  /// The name as the text `Variant` the record is keyed by; a copy shares the text.
  const Variant& NameKey() const noexcept { return name_; }
  /// The name's text, valid while the record lives.
  std::string_view NameText() const noexcept { return VariantAccess::Text(name_); }
  /// The record's counter.
  std::int32_t Count() const noexcept { return count_; }
  void SetCount(std::int32_t Value) noexcept { count_ = Value; }
  /// Accumulated running time in seconds (profile records only).
  double Time() const noexcept { return time_; }
  void SetTime(double Value) noexcept { time_ = Value; }

  // The element members answer the same for every slot: the name is the key.
  Variant Key(std::int32_t) override { return name_; }
  Ref<ITreeNode> Left(std::int32_t) override { return left_; }
  void SetLeft(std::int32_t, const Ref<ITreeNode>& Value) override { left_ = Value; }
  Ref<ITreeNode> Right(std::int32_t) override { return right_; }
  void SetRight(std::int32_t, const Ref<ITreeNode>& Value) override { right_ = Value; }

 protected:
  ~DebugTreeNode() override;

 private:
  friend class DebugRecordTree;  // splays records by their links directly

  Variant name_;
  std::int32_t count_ = 0;
  double time_ = 0.0;
  Ref<ITreeNode> left_;
  Ref<ITreeNode> right_;
};

}  // namespace velmira::detail
