// `NoDebugger`: the `Debugger` interface doing nothing, to put in a real debugger's place.
//
//   Ref<Debugger> d = New<NoDebugger>();   // or keep it as Ref<NoDebugger>
//   d->Enter("Main"); d->Output("x", 5);   // accepted, returns at once, writes nothing
//   d->SetOutputFile("x.log");             // no file is opened or created
//
// A `NoDebugger` holds no state and allocates nothing beyond the object itself. Every setting
// reads false, `OutputFile` reads empty, and no member warns or raises an error.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "velmira/debug/debugger.h"

namespace velmira {

class NoDebugger final : public Debugger {
 public:
  NoDebugger() = default;

  /// Every setting reads false; setting one does nothing.
  bool ShowOutput() const noexcept override { return false; }
  void SetShowOutput(bool) noexcept override {}
  bool ShowIndent() const noexcept override { return false; }
  void SetShowIndent(bool) noexcept override {}
  bool ShowAssert() const noexcept override { return false; }
  void SetShowAssert(bool) noexcept override {}
  bool ShowAssertCount() const noexcept override { return false; }
  void SetShowAssertCount(bool) noexcept override {}
  bool ShowEnter() const noexcept override { return false; }
  void SetShowEnter(bool) noexcept override {}
  bool ShowEnterCount() const noexcept override { return false; }
  void SetShowEnterCount(bool) noexcept override {}
  bool ShowLeave() const noexcept override { return false; }
  void SetShowLeave(bool) noexcept override {}
  bool ShowLeaveCount() const noexcept override { return false; }
  void SetShowLeaveCount(bool) noexcept override {}
  bool ShowAcquire() const noexcept override { return false; }
  void SetShowAcquire(bool) noexcept override {}
  bool ShowAcquireCount() const noexcept override { return false; }
  void SetShowAcquireCount(bool) noexcept override {}
  bool ShowRelease() const noexcept override { return false; }
  void SetShowRelease(bool) noexcept override {}
  bool ShowReleaseCount() const noexcept override { return false; }
  void SetShowReleaseCount(bool) noexcept override {}
  bool ShowReport() const noexcept override { return false; }
  void SetShowReport(bool) noexcept override {}
  bool ShowReportZeros() const noexcept override { return false; }
  void SetShowReportZeros(bool) noexcept override {}
  bool OutputToDebug() const noexcept override { return false; }
  void SetOutputToDebug(bool) noexcept override {}
  bool OutputToFile() const noexcept override { return false; }
  void SetOutputToFile(bool) noexcept override {}

  /// Always the empty text.
  std::string OutputFile() const override { return std::string(); }
  /// Ignores the name; no file is opened or created.
  void SetOutputFile(std::string_view) override {}

  /// Each of these returns at once; nothing is counted, timed or written.
  void ClearCounters() override {}
  void Assert(bool, std::string_view) override {}
  void Enter(std::string_view) override {}
  void Leave(std::string_view) override {}
  void Acquire(std::string_view) override {}
  void Release(std::string_view) override {}
  void Report() override {}

  /// Returns at once; the messages are not read.
  void Output(std::string_view, std::span<const Variant>) override {}
  /// Returns at once; the extra messages are not even converted to `Variant`.
  template <class... More>
  requires(std::constructible_from<Variant, const More&>&&...) void Output(std::string_view,
                                                                           const More&...) {}

 protected:
  ~NoDebugger() override;
};

}  // namespace velmira
