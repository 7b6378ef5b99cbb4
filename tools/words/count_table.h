// Count tables: the mergeable form of a count, which `--format counts` writes and `--merge` reads.
//
//   CountTableParser table(/*case_sensitive=*/false);
//   for (each line of the file, without its line feed)
//     if (std::optional<TableEntry> e = table.Line(line)) index.Count(e->word, e->count);
//   table.Finish(/*ended_with_line_feed=*/true);   // throws TableError when cut short
//
// Version 1 of the format is UTF-8 text, every line ending in a line feed:
//   velmira-words counts 1 lowercase            (or case-sensitive: how the words were counted)
//   <count> <word>                              one line per distinct word, in the order the
//   ...                                         words first occurred in the text
//   end <distinct> <words> <invalid UTF-8 bytes>
// The line order carries the first-seen order that breaks ties in `--top`: adding tables line by
// line, in the order of their texts, gives each word the first-seen rank one run over the texts
// read one after another would give it. The end line makes a table cut short detectable: it must
// be present, end in a line feed and agree with the entries above it. Every number is a decimal
// whole number of at most `kMaxCount`.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "word_splitter.h"

namespace velmira::words {

inline constexpr int kCountTableVersion = 1;
/// The largest count, total or sum of them a table may hold: the index keeps counts as doubles,
/// which are exact up to 2^53.
inline constexpr std::uint64_t kMaxCount = std::uint64_t{1} << 53;

/// What a count adds up to.
struct Totals {
  std::uint64_t words = 0;
  std::uint64_t distinct = 0;
  std::uint64_t invalid_utf8_bytes = 0;
};

/// The first line of a table and its last.
std::string CountTableHeader(bool case_sensitive);
std::string CountTableEnd(const Totals& totals);

/// A line of a table that cannot be right; `line` counts from 1.
struct TableError {
  std::uint64_t line;
  std::string message;
};

struct TableEntry {
  std::string_view word;  // valid while the line given to `Line` is
  std::uint64_t count;
};

/// Checks a table line by line, as it is read.
class CountTableParser {
 public:
  /// `case_sensitive` says how the words must have been counted.
  explicit CountTableParser(bool case_sensitive) noexcept;

  /// Takes the next line, without its line feed: the word and count of an entry line, nothing
  /// for the header and the end line. Throws TableError for a line that is not what comes next.
  std::optional<TableEntry> Line(std::string_view line);
  /// Ends the table: throws TableError unless the end line came last and ended in a line feed.
  void Finish(bool ended_with_line_feed) const;

  /// The totals of the end line, once it was read.
  const Totals& EndTotals() const noexcept { return end_; }
  std::uint64_t LineNumber() const noexcept { return line_; }

 private:
  void Header(std::string_view line) const;
  void End(std::string_view line);
  /// Fails unless `word` is one word as a count with this table's case setting makes it.
  void CheckWord(std::string_view word);
  [[noreturn]] void Fail(std::string message) const;

  enum class State { Header, Entries, Done };
  State state_ = State::Header;
  bool case_sensitive_;
  std::uint64_t line_ = 0;
  std::uint64_t entries_ = 0;
  std::uint64_t sum_ = 0;
  Totals end_;
  WordSplitter splitter_;
  WordBatch batch_;
};

}  // namespace velmira::words
