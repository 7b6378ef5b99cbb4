// Internal: `DebuggerImpl`, the full debugger that `New<Debugger>()` makes.
//
//   Ref<Debugger> d = New<Debugger>();                  // a DebuggerImpl behind the interface
//   auto impl = As<detail::DebuggerImpl>(d);            // library code and tests only
//   impl->SetClock([&] { return fake_seconds; });       // exact profiler tests, no sleeping
//
// State: the sixteen settings, the log file name and whether it could be opened, the nesting
// depth `IndentLevel`, the call stack of `DebugStackNode` elements and four splay trees of
// `DebugTreeNode` records (profile, failed assertions, procedure and resource counters). The
// profiler reads `ProfilerClock` (the time-stamp counter where it is invariant) in double-precision
// seconds.
//
// `Enter` and `Leave` are a profiled program's cost per call, so their usual path is short: a
// name already at the root of its record tree is found without a search, a name elsewhere is
// splayed up without virtual calls, a popped call-stack element nobody else holds is kept for the
// next `Enter`, and a reading of the clock that nothing would use is not taken.
#pragma once

#include <cstdint>
#include <functional>
#include <locale>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "debug/debug_record_tree.h"
#include "debug/debug_stack_node.h"
#include "debug/debug_tree_node.h"
#include "debug/profiler_clock.h"
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

#define VELMIRA_STORED_DEBUGGER_SETTING(Name, Description)       \
  bool Name() const noexcept override { return settings_.Name; } \
  void Set##Name(bool Value) noexcept override { settings_.Name = Value; }
  VELMIRA_DEBUGGER_SETTINGS(VELMIRA_STORED_DEBUGGER_SETTING)
#undef VELMIRA_STORED_DEBUGGER_SETTING

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

  /// Replaces the profiler clock; an empty `clock` restores `ProfilerClock`.
  void SetClock(Clock clock) { clock_ = std::move(clock); }
  /// Pins the locale `Report` formats its times with (otherwise the environment's, per report).
  void SetReportLocale(const std::locale& locale) { report_locale_ = locale; }
  /// The nesting depth in spaces: +2 per `Enter`, -2 per `Leave`, 0 after `ClearCounters`.
  std::int32_t IndentLevel() const noexcept { return indent_level_; }
  void SetIndentLevel(std::int32_t Value) noexcept { indent_level_ = Value; }
  const Ref<Stack>& CallStack() const noexcept { return call_stack_; }
  Ref<Tree> ProfileRecords() const noexcept { return profile_records_; }
  Ref<Tree> FailedAssertions() const noexcept { return failed_assertions_; }
  Ref<Tree> ProcedureCounters() const noexcept { return procedure_counters_; }
  Ref<Tree> ResourceCounters() const noexcept { return resource_counters_; }

 protected:
  /// Clears the call stack, then the four trees, ignoring errors.
  ~DebuggerImpl() override;

 private:
  /// The largest value a counter can reach.
  static constexpr std::int32_t kMaxCount = 2147483647;

  /// Writes one line: indented by `Indent` plus the nesting depth (at most 128 of it) when
  /// `ShowIndent` is on, to the debug channel ending in LF and to the log file ending in CR LF,
  /// as the output settings say. Raises the file error when the log file cannot be written.
  void WriteLine(std::string_view Message, std::int32_t Indent);
  /// True when a line written now would go anywhere; lines nobody sees need not be built.
  bool Writes() const noexcept { return settings_.OutputToDebug || WritesToFile(); }
  /// True when lines are appended to the log file.
  bool WritesToFile() const noexcept { return settings_.OutputToFile && output_file_valid_; }
  /// Writes `prefix` + `name`, followed by " [count]" when `show_count` is on.
  void WriteCountLine(std::string_view prefix, std::string_view name, bool show_count,
                      std::int32_t count);
  /// Steps `record`'s count by `step` (+1 or -1) when that keeps it within 0 and `kMaxCount`;
  /// otherwise leaves it and writes the warning `warning` followed by `name`.
  void CountOrWarn(DebugTreeNode& record, std::int32_t step, std::string_view warning,
                   std::string_view name);
  /// The profiler clock in seconds.
  double ReadClock() {
    if (clock_) [[unlikely]]
      return clock_();
    return profiler_clock_.Seconds();
  }
  /// The element on top of the non-empty call stack; the stack holds nothing else.
  DebugStackNode& TopOfCallStack() const;
  /// Writes the heading and one line per record of `tree` in ascending name order; records with
  /// a zero count only when `zeros` is on.
  void ReportCounters(std::string_view heading, const Ref<DebugRecordTree>& tree, bool zeros);
  void ReportProfile(const std::locale& locale);

  /// The sixteen settings, all true in a new debugger.
  struct Settings {
#define VELMIRA_SETTING_FIELD(Name, Description) bool Name = true;
    VELMIRA_DEBUGGER_SETTINGS(VELMIRA_SETTING_FIELD)
#undef VELMIRA_SETTING_FIELD
  };
  Settings settings_;

  std::string file_name_;
  bool output_file_valid_ = false;
  std::int32_t indent_level_ = 0;

  Ref<Stack> call_stack_;
  Ref<DebugRecordTree> profile_records_;
  Ref<DebugRecordTree> failed_assertions_;
  Ref<DebugRecordTree> procedure_counters_;
  Ref<DebugRecordTree> resource_counters_;
  /// The element `Leave` popped last, when no one else holds it: `Enter` pushes it again.
  Ref<DebugStackNode> spare_frame_;

  ProfilerClock profiler_clock_;
  Clock clock_;
  std::optional<std::locale> report_locale_;
};

}  // namespace velmira::detail
