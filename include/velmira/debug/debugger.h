// `Debugger`: messages, assertions, procedure and resource counters, a profiler and a report,
// written to the debug output channel and optionally appended to a log file.
//
//   Ref<Debugger> d = New<Debugger>();      // the full debugger; New<NoDebugger>() does nothing
//   d->SetOutputFile("/tmp/app.log");       // every line is also appended there, ending in CR LF
//   d->Enter("Main"); d->Output("x =", 5); d->Leave("Main"); d->Report();
//
// `Debugger` is the interface clients hold; `New<Debugger>()` makes the library's full
// implementation, and `NoDebugger` implements the same interface doing nothing. Every line goes
// through one line writer, indented by the procedure nesting depth (two spaces per `Enter` not yet
// left, at most 128). The debugger's own warnings ("Debugger: Warning, ...") are lines of its
// output like any other. Texts are UTF-8. Members that write a line raise a file error (see
// `core/error.h`) when the log file cannot be written; the debug channel has the line by then.
#pragma once

#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "velmira/core/object.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira {

/// The sixteen settings of the `Debugger` interface, in interface order, as X(Name, Description):
/// the one list from which the interface, `NoDebugger` and the full debugger declare them. All
/// are true in a new full debugger; each gates only what its description says.
#define VELMIRA_DEBUGGER_SETTINGS(X)                                                              \
  X(ShowOutput, "Whether or not Output should send information to the debug output.")             \
  X(ShowIndent, "Whether or not debug output should be indented.")                                \
  X(ShowAssert, "Whether or not Assert should send information to the debug output.")             \
  X(ShowAssertCount,                                                                              \
    "Whether or not the number of times an assertion has failed should be included in output "    \
    "from Assert.")                                                                               \
  X(ShowEnter, "Whether or not Enter should send information to the debug output.")               \
  X(ShowEnterCount,                                                                               \
    "Whether or not the current value of the procedure counter should be included in output "     \
    "from Enter.")                                                                                \
  X(ShowLeave, "Whether or not Leave should send information to the debug output.")               \
  X(ShowLeaveCount,                                                                               \
    "Whether or not the current value of the procedure counter should be included in output "     \
    "from Leave.")                                                                                \
  X(ShowAcquire, "Whether or not Acquire should send information to the debug output.")           \
  X(ShowAcquireCount,                                                                             \
    "Whether or not the current value of the resource counter should be included in output "      \
    "from Acquire.")                                                                              \
  X(ShowRelease, "Whether or not Release should send information to the debug output.")           \
  X(ShowReleaseCount,                                                                             \
    "Whether or not the current value of the resource counter should be included in output "      \
    "from Release.")                                                                              \
  X(ShowReport, "Whether or not Report should send information to the debug output.")             \
  X(ShowReportZeros,                                                                              \
    "Whether or not counters with a value of zero should be included in the output from Report.") \
  X(OutputToDebug, "Whether or not output should be sent to the Win32 debug output.")             \
  X(OutputToFile, "Whether or not output should be sent to a log file.")

class Debugger : public virtual Object {
 public:
  /// Makes the full debugger: all settings true, no log file, no records. Called by `New`.
  static Ref<Debugger> Create();

  // The sixteen settings, each a stored Boolean read by `Name()` and written by `SetName(bool)`:
  // ShowOutput, ShowIndent, ShowAssert, ShowAssertCount, ShowEnter, ShowEnterCount, ShowLeave,
  // ShowLeaveCount, ShowAcquire, ShowAcquireCount, ShowRelease, ShowReleaseCount, ShowReport,
  // ShowReportZeros, OutputToDebug, OutputToFile (see VELMIRA_DEBUGGER_SETTINGS above).
#define VELMIRA_DECLARE_DEBUGGER_SETTING(Name, Description) \
  virtual bool Name() const noexcept = 0;                   \
  virtual void Set##Name(bool Value) noexcept = 0;
  VELMIRA_DEBUGGER_SETTINGS(VELMIRA_DECLARE_DEBUGGER_SETTING)
#undef VELMIRA_DECLARE_DEBUGGER_SETTING

  /// The name of the current output file; empty when none was set or the last name given could
  /// not be opened.
  virtual std::string OutputFile() const = 0;
  /// Sets the log file: opens it for appending (creating it, keeping its contents) and closes it
  /// again. Never fails and never waits: a name that cannot be opened at once (a named pipe
  /// that nothing reads among them) leaves no log file in use.
  virtual void SetOutputFile(std::string_view Value) = 0;

  /// Sends a message to the debug output. Additional messages, if included, are sent to the debug
  /// output indented: one line each, two spaces deeper, Null as "Null". Raises error 13 at an
  /// object reference (it has no text form), after the lines before it.
  virtual void Output(std::string_view Message, std::span<const Variant> MoreMessages) = 0;
  /// `Output` with any number of extra messages, each converted to a `Variant`:
  /// `d->Output("A", Variant::Null(), 5, "b")` writes four lines.
  template <class... More>
  requires(std::constructible_from<Variant, const More&>&&...) void Output(
      std::string_view Message, const More&... MoreMessages) {
    if constexpr (sizeof...(More) == 0) {
      Output(Message, std::span<const Variant>());
    } else {
      const Variant extra[] = {Variant(MoreMessages)...};
      Output(Message, std::span<const Variant>(extra));
    }
  }
  /// Sends a message to the debug output if the expression is false, and counts the failure per
  /// message text (counted even when nothing is shown).
  virtual void Assert(bool Expression, std::string_view Message) = 0;

  /// Clears the resource and procedure counters. Also resets the indent level to 0.
  virtual void ClearCounters() = 0;
  /// Increments the named procedure counter, counts a call in the profiler and starts charging
  /// time to the procedure; lines written until the matching `Leave` are two spaces deeper.
  virtual void Enter(std::string_view Procedure) = 0;
  /// Decrements the named procedure counter and stops charging time to the innermost procedure
  /// entered (warning when its name differs).
  virtual void Leave(std::string_view Procedure) = 0;
  /// Increments the named resource counter.
  virtual void Acquire(std::string_view Resource) = 0;
  /// Decrements the named resource counter.
  virtual void Release(std::string_view Resource) = 0;
  /// Sends a report to the debug output listing the current values of the counters, failed
  /// assertions, and profiling information, each section in ascending name order.
  virtual void Report() = 0;

 protected:
  Debugger() = default;
  ~Debugger() override;
};

}  // namespace velmira
