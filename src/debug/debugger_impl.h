// Internal: `DebuggerImpl`, the full debugger that `New<Debugger>()` makes.
//
//   Ref<Debugger> d = New<Debugger>();                  // a DebuggerImpl behind the interface
//   auto impl = As<detail::DebuggerImpl>(d);            // library code and tests only
//   impl->SetClock([&] { return fake_seconds; });       // exact profiler tests, no sleeping
//
// State: the sixteen settings, the log file name and whether it could be opened, the nesting
// depth `IndentLevel`, the call stack of `DebugStackNode` elements and four splay trees of
// `DebugTreeNode` records (profile, failed assertions, procedure and resource counters), all held
// through the `Tree` interface and used only through it. The profiler reads a monotonic clock in
// double-precision seconds.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <locale>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "debug/debug_stack_node.h"
#include "debug/debug_tree_node.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"
#include "velmira/debug/debugger.h"
#include "velmira/linear/stack.h"
#include "velmira/tree/tree.h"

namespace velmira::detail {

class DebuggerImpl final : public Debugger {
 public:
  /// A source of profiler readings in seconds; only differences between readings matter.
  using Clock = std::function<double()>;

  DebuggerImpl();

  bool ShowOutput() const noexcept override { return show_output_; }
  void SetShowOutput(bool Value) noexcept override { show_output_ = Value; }
  bool ShowIndent() const noexcept override { return show_indent_; }
  void SetShowIndent(bool Value) noexcept override { show_indent_ = Value; }
  bool ShowAssert() const noexcept override { return show_assert_; }
  void SetShowAssert(bool Value) noexcept override { show_assert_ = Value; }
  bool ShowAssertCount() const noexcept override { return show_assert_count_; }
  void SetShowAssertCount(bool Value) noexcept override { show_assert_count_ = Value; }
  bool ShowEnter() const noexcept override { return show_enter_; }
  void SetShowEnter(bool Value) noexcept override { show_enter_ = Value; }
  bool ShowEnterCount() const noexcept override { return show_enter_count_; }
  void SetShowEnterCount(bool Value) noexcept override { show_enter_count_ = Value; }
  bool ShowLeave() const noexcept override { return show_leave_; }
  void SetShowLeave(bool Value) noexcept override { show_leave_ = Value; }
  bool ShowLeaveCount() const noexcept override { return show_leave_count_; }
  void SetShowLeaveCount(bool Value) noexcept override { show_leave_count_ = Value; }
  bool ShowAcquire() const noexcept override { return show_acquire_; }
  void SetShowAcquire(bool Value) noexcept override { show_acquire_ = Value; }
  bool ShowAcquireCount() const noexcept override { return show_acquire_count_; }
  void SetShowAcquireCount(bool Value) noexcept override { show_acquire_count_ = Value; }
  bool ShowRelease() const noexcept override { return show_release_; }
  void SetShowRelease(bool Value) noexcept override { show_release_ = Value; }
  bool ShowReleaseCount() const noexcept override { return show_release_count_; }
  void SetShowReleaseCount(bool Value) noexcept override { show_release_count_ = Value; }
  bool ShowReport() const noexcept override { return show_report_; }
  void SetShowReport(bool Value) noexcept override { show_report_ = Value; }
  bool ShowReportZeros() const noexcept override { return show_report_zeros_; }
  void SetShowReportZeros(bool Value) noexcept override { show_report_zeros_ = Value; }
  bool OutputToDebug() const noexcept override { return output_to_debug_; }
  void SetOutputToDebug(bool Value) noexcept override { output_to_debug_ = Value; }
  bool OutputToFile() const noexcept override { return output_to_file_; }
  void SetOutputToFile(bool Value) noexcept override { output_to_file_ = Value; }

  std::string OutputFile() const override;
  void SetOutputFile(std::string_view Value) override;

  using Debugger::Output;
  void Output(std::string_view Message, std::span<const Variant> MoreMessages) override;
  void Assert(bool Expression, std::string_view Message) override;

  void ClearCounters() override;
  void Enter(std::string_view Procedure) override;
  void Leave(std::string_view Procedure) override;
  void Acquire(std::string_view Resource) override;
  void Release(std::string_view Resource) override;
  void Report() override;

  // Library-internal seam, for tests: the clock, the report's locale and the raw state.

  /// Replaces the profiler clock; an empty `clock` restores the monotonic clock.
  void SetClock(Clock clock) { clock_ = std::move(clock); }
  /// Pins the locale `Report` formats its times with (otherwise the environment's, per report).
  void SetReportLocale(const std::locale& locale) { report_locale_ = locale; }
  /// The nesting depth in spaces: +2 per `Enter`, -2 per `Leave`, 0 after `ClearCounters`.
  std::int32_t IndentLevel() const noexcept { return indent_level_; }
  void SetIndentLevel(std::int32_t Value) noexcept { indent_level_ = Value; }
  const Ref<Stack>& CallStack() const noexcept { return call_stack_; }
  const Ref<Tree>& ProfileRecords() const noexcept { return profile_records_; }
  const Ref<Tree>& FailedAssertions() const noexcept { return failed_assertions_; }
  const Ref<Tree>& ProcedureCounters() const noexcept { return procedure_counters_; }
  const Ref<Tree>& ResourceCounters() const noexcept { return resource_counters_; }

 protected:
  /// Clears the call stack, then the four trees, ignoring errors.
  ~DebuggerImpl() override;

 private:
  /// Writes one line: indented by `Indent` plus the nesting depth (at most 128 of it) when
  /// `ShowIndent` is on, to the debug channel ending in LF and to the log file ending in CR LF,
  /// as the output settings say. Raises the file error when the log file cannot be written.
  void WriteLine(std::string_view Message, std::int32_t Indent);
  /// True when a line written now would go anywhere; lines nobody sees need not be built.
  bool Writes() const noexcept { return output_to_debug_ || WritesToFile(); }
  /// True when lines are appended to the log file.
  bool WritesToFile() const noexcept { return output_to_file_ && output_file_valid_; }
  /// Writes `prefix` + `name`, followed by " [count]" when `show_count` is on.
  void WriteCountLine(std::string_view prefix, std::string_view name, bool show_count,
                      std::int32_t count);
  /// The record named `name` in `tree`: found by `Exists` then `Item`, or created and added.
  static Ref<DebugTreeNode> Record(const Ref<Tree>& tree, const Variant& name);
  /// The profiler clock in seconds.
  double ReadClock() const;
  /// The element on top of the call stack; the stack holds nothing else.
  Ref<DebugStackNode> TopOfCallStack() const;
  /// Writes the heading and one line per record of `tree` in ascending name order; records with
  /// a zero count only when `zeros` is on.
  void ReportCounters(std::string_view heading, const Ref<Tree>& tree, bool zeros);
  void ReportProfile(const std::locale& locale);

  bool show_output_ = true;
  bool show_indent_ = true;
  bool show_assert_ = true;
  bool show_assert_count_ = true;
  bool show_enter_ = true;
  bool show_enter_count_ = true;
  bool show_leave_ = true;
  bool show_leave_count_ = true;
  bool show_acquire_ = true;
  bool show_acquire_count_ = true;
  bool show_release_ = true;
  bool show_release_count_ = true;
  bool show_report_ = true;
  bool show_report_zeros_ = true;
  bool output_to_debug_ = true;
  bool output_to_file_ = true;

  std::string file_name_;
  bool output_file_valid_ = false;
  std::int32_t indent_level_ = 0;

  Ref<Stack> call_stack_;
  Ref<Tree> profile_records_;
  Ref<Tree> failed_assertions_;
  Ref<Tree> procedure_counters_;
  Ref<Tree> resource_counters_;

  std::chrono::steady_clock::time_point clock_origin_ = std::chrono::steady_clock::now();
  Clock clock_;
  std::optional<std::locale> report_locale_;
};

}  // namespace velmira::detail
