// The debugger's state, its line writer, the log file setting, Output and Assert.
#include "debug/debugger_impl.h"

#include <algorithm>
#include <string>

#include "core/teardown.h"
#include "debug/log_file.h"
#include "velmira/core/debug_output.h"
#include "velmira/core/error.h"
#include "velmira/core/variant_conversions.h"

namespace velmira::detail {

namespace {
/// The nesting part of a line's indentation is capped here; `IndentLevel` itself is not.
constexpr std::int32_t kMaxNestingIndent = 128;
}  // namespace

DebuggerImpl::DebuggerImpl()
    : call_stack_(New<Stack>()),
      profile_records_(New<DebugRecordTree>()),
      failed_assertions_(New<DebugRecordTree>()),
      procedure_counters_(New<DebugRecordTree>()),
      resource_counters_(New<DebugRecordTree>()) {}

DebuggerImpl::~DebuggerImpl() {
  // Step by step, each step's errors ignored: a failure in one container does not keep the
  // others from being cleared.
  const auto clear = [](auto& container) {
    ClearIgnoringErrors(*container);
    container.reset();
  };
  clear(call_stack_);
  clear(profile_records_);
  clear(failed_assertions_);
  clear(procedure_counters_);
  clear(resource_counters_);
}

void DebuggerImpl::WriteLine(std::string_view Message, std::int32_t Indent) {
  std::int32_t indent = Indent;
  if (settings_.ShowIndent) indent = CheckedAdd(indent, std::min(indent_level_, kMaxNestingIndent));
  if (indent < 0) indent = 0;
  if (!Writes()) return;

  // A local buffer rather than a reused member: a debug sink may call back into this debugger.
  std::string line;
  line.reserve(static_cast<std::size_t>(indent) + Message.size() + 2);
  line.append(static_cast<std::size_t>(indent), ' ');
  line.append(Message);
  line.push_back('\n');
  if (settings_.OutputToDebug) WriteDebugOutput(line);
  if (WritesToFile()) {
    line.back() = '\r';
    line.push_back('\n');
    AppendToLogFile(file_name_, line);
  }
}

void DebuggerImpl::WriteCountLine(std::string_view prefix, std::string_view name, bool show_count,
                                  std::int32_t count) {
  std::string line;
  line.reserve(prefix.size() + name.size() + 14);
  line.append(prefix);
  line.append(name);
  if (show_count) {
    line.append(" [");
    line.append(std::to_string(count));
    line.push_back(']');
  }
  WriteLine(line, 0);
}

std::string DebuggerImpl::OutputFile() const {
  return output_file_valid_ ? file_name_ : std::string();
}

void DebuggerImpl::SetOutputFile(std::string_view Value) {
  file_name_.assign(Value);
  output_file_valid_ = CanOpenLogFile(file_name_);
}

void DebuggerImpl::Output(std::string_view Message, std::span<const Variant> MoreMessages) {
  if (!settings_.ShowOutput) return;
  WriteLine(Message, 0);
  for (const Variant& more : MoreMessages) WriteLine(ToText(more), 2);
}

void DebuggerImpl::CountOrWarn(DebugTreeNode& record, std::int32_t step, std::string_view warning,
                               std::string_view name) {
  const std::int32_t count = record.Count();
  if (step > 0 ? count < kMaxCount : count > 0) {
    record.SetCount(count + step);
    return;
  }
  std::string line;
  line.reserve(warning.size() + name.size());
  line.append(warning);
  line.append(name);
  WriteLine(line, 0);
}

void DebuggerImpl::Assert(bool Expression, std::string_view Message) {
  if (Expression) return;
  // Held: a debug sink called by the warning may re-enter this debugger.
  const Ref<DebugTreeNode> record(&failed_assertions_->Record(Message));
  CountOrWarn(*record, +1, "Debugger: Warning, more than 2^31 failed assertions for ", Message);
  if (settings_.ShowAssert && Writes()) {
    WriteCountLine("Assertion failed: ", Message, settings_.ShowAssertCount, record->Count());
  }
}

}  // namespace velmira::detail
