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
#define VELMIRA_NO_DEBUGGER_SETTING(Name, Description)  \
  bool Name() const noexcept override { return false; } \
  void Set##Name(bool) noexcept override {}
  VELMIRA_DEBUGGER_SETTINGS(VELMIRA_NO_DEBUGGER_SETTING)
#undef VELMIRA_NO_DEBUGGER_SETTING

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
