// Merging count tables; see table_merger.h.
#include "table_merger.h"

#include "failure.h"
#include "input_file.h"

namespace velmira::words {
namespace {

/// A sum over this table and the ones before it that passes the largest count a table may hold.
TableError SumTooLarge(const CountTableParser& table, const std::string& what) {
  return TableError{table.LineNumber(), "with the tables before it, the " + what +
                                            " add up to more than " + std::to_string(kMaxCount)};
}

}  // namespace

TableMerger::TableMerger(const Options& o, Debugger& debug, WordIndex& index)
    : debug_(debug), log_file_(o.log_file), case_sensitive_(o.case_sensitive), index_(index) {}

void TableMerger::Read(const std::string& file) {
  CountTableParser table(case_sensitive_);
  try {
    ReadInput(file, debug_, [&](std::string_view chunk) {
      debug_.Enter("Merging");
      AddLines(chunk, table);
      debug_.Leave("Merging");
    });
    table.Finish(partial_.empty());
    const std::uint64_t invalid = table.EndTotals().invalid_utf8_bytes;
    if (invalid > kMaxCount - invalid_bytes_) throw SumTooLarge(table, "invalid UTF-8 bytes");
    invalid_bytes_ += invalid;
  } catch (const TableError& e) {
    partial_.clear();
    throw Failure{kExitBadTable,
                  DisplayName(file) + " line " + std::to_string(e.line) + ": " + e.message};
  }
  WritingLog(log_file_, [&] {
    debug_.Output("Merged " + DisplayName(file) + ": " +
                  std::to_string(table.EndTotals().distinct) + " distinct words, " +
                  std::to_string(table.EndTotals().words) + " words");
  });
}

void TableMerger::AddLines(std::string_view chunk, CountTableParser& table) {
  for (std::size_t line_feed; (line_feed = chunk.find('\n')) != std::string_view::npos;
       chunk.remove_prefix(line_feed + 1)) {
    if (partial_.empty()) {
      AddLine(chunk.substr(0, line_feed), table);
    } else {
      partial_.append(chunk.substr(0, line_feed));
      AddLine(partial_, table);
      partial_.clear();
    }
  }
  partial_.append(chunk);
}

void TableMerger::AddLine(std::string_view line, CountTableParser& table) {
  const std::optional<TableEntry> entry = table.Line(line);
  if (!entry) return;
  if (entry->count > kMaxCount - index_.TotalWords()) throw SumTooLarge(table, "counts");
  index_.Count(entry->word, entry->count);
}

}  // namespace velmira::words
