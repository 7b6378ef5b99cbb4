// Internal: `DebugStackNode`, one element of a debugger's call stack per procedure entered and
// not yet left.
//
//   Ref<DebugStackNode> e = New<DebugStackNode>();
//   call_stack->Add(e); e->SetProc(Variant("Main")); e->SetTime(now);
//
// It has a single successor link and ignores the slot number it is asked about.
#pragma once

#include <cstdint>
#include <string_view>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira::detail {

class DebugStackNode final : public IStackNode {
 public:
  DebugStackNode() noexcept = default;

  /// The procedure name given to `Enter`, as a text `Variant` (Empty until set).
  const Variant& Proc() const noexcept { return proc_; }
  void SetProc(const Variant& Value) noexcept { proc_ = Value; }
  /// The text of `Proc` (empty until set), valid while `Proc` is not replaced.
  std::string_view ProcText() const noexcept { return VariantAccess::Text(proc_); }
  /// The clock reading, in seconds, when this procedure last started or resumed running.
  double Time() const noexcept { return time_; }
  void SetTime(double Value) noexcept { time_ = Value; }

  /// The successor on the stack, for every slot.
  Ref<IStackNode> NextItem(std::int32_t Index) override;
  void SetNextItem(std::int32_t Index, const Ref<IStackNode>& Value) override;

 protected:
  ~DebugStackNode() override;

 private:
  Variant proc_;
  double time_ = 0.0;
  Ref<IStackNode> next_;
};

}  // namespace velmira::detail
