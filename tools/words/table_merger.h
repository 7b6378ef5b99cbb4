// `TableMerger`: adds count tables (`--format counts`) into a `WordIndex`, as if their texts had
// been counted one after another.
//
//   WordIndex index;
//   TableMerger merger(options, debug, index);
//   merger.Read("part1.counts"); merger.Read("part2.counts"); index.Flush();
//
// Each table is checked line by line as it streams in (count_table.h), so memory follows the
// number of distinct words, not the number or the size of the tables. A table that is not right
// throws Failure with kExitBadTable, naming the file and the line. Reading and Merging are
// profiled procedures of `debug`; each table's totals go to its output.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "count_table.h"
#include "options.h"
#include "velmira/debug/debugger.h"
#include "word_index.h"

namespace velmira::words {

class TableMerger {
 public:
  TableMerger(const Options& o, Debugger& debug, WordIndex& index);

  /// Adds the table `file` (standard input for "-") to the index.
  void Read(const std::string& file);
  /// The invalid UTF-8 bytes of the texts of the tables read so far.
  std::uint64_t InvalidBytes() const noexcept { return invalid_bytes_; }

 private:
  void AddLines(std::string_view chunk, CountTableParser& table);
  void AddLine(std::string_view line, CountTableParser& table);

  Debugger& debug_;
  const std::string& log_file_;
  bool case_sensitive_;
  WordIndex& index_;
  std::string partial_;  // the start of a line that runs on into the next chunk
  std::uint64_t invalid_bytes_ = 0;
};

}  // namespace velmira::words
