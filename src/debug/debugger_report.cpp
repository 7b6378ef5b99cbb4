// The debugger's report: counters, failed assertions and profile, each in ascending name order.
#include <string>

#include "debug/debugger_impl.h"
#include "debug/report_format.h"
#include "velmira/tree/tree_enum.h"

namespace velmira::detail {

void DebuggerImpl::Report() {
  if (!settings_.ShowReport) return;
  ReportCounters("Procedure Counters:", procedure_counters_, settings_.ShowReportZeros);
  ReportCounters("Resource Counters:", resource_counters_, settings_.ShowReportZeros);
  ReportCounters("Failed Assertions:", failed_assertions_, true);
  ReportProfile(report_locale_ ? *report_locale_ : EnvironmentLocale());
}

void DebuggerImpl::ReportCounters(std::string_view heading, const Ref<DebugRecordTree>& tree,
                                  bool zeros) {
  WriteLine(heading, 0);
  const Ref<TreeEnum> records = tree->NewEnum();
  for (Ref<ITreeNode> node = records->NextItem(); node; node = records->NextItem()) {
    const auto* record = static_cast<DebugTreeNode*>(node.get());
    if (record->Count() == 0 && !zeros) continue;
    std::string line(record->NameKey().Text());
    line.append(": ");
    line.append(std::to_string(record->Count()));
    WriteLine(line, 2);
  }
}

void DebuggerImpl::ReportProfile(const std::locale& locale) {
  WriteLine("Profiler Data:", 0);
  const Ref<TreeEnum> records = profile_records_->NewEnum();
  for (Ref<ITreeNode> node = records->NextItem(); node; node = records->NextItem()) {
    const auto* record = static_cast<DebugTreeNode*>(node.get());
    const double total_ms = record->Time() * 1000.0;
    // Every profile record has counted at least one call; a zero count (possible only through
    // the internal seam) shows an average of 0 rather than an infinity.
    const double average_ms = record->Count() != 0 ? total_ms / record->Count() : 0.0;
    std::string line(record->NameKey().Text());
    line.append(": ");
    line.append(std::to_string(record->Count()));
    line.append(" calls, ");
    line.append(FormatFixed3(total_ms, locale));
    line.append("ms (");
    line.append(FormatFixed3(average_ms, locale));
    line.append("ms per call, avg)");
    WriteLine(line, 2);
  }
}

}  // namespace velmira::detail
