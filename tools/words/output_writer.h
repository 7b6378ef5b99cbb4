// `OutputWriter`: prints the counted words as text, TSV, JSON or a count table, buffered.
//
//   OutputWriter out(options, stdout);
//   out.Begin({total, distinct, invalid}); out.Entry("the", 12); out.End();
//
// text: the count right-aligned in seven columns, a space and the word; tsv: the word, a tab and
// the count; json: one object with the totals and an "entries" array of {"word", "count"};
// counts: the count table of count_table.h, whose entries must come in first-seen order.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "count_table.h"
#include "options.h"

namespace velmira::words {

class OutputWriter {
 public:
  /// Writes in `o.format`; a count table records `o.case_sensitive`.
  OutputWriter(const Options& o, std::FILE* out)
      : format_(o.format), case_sensitive_(o.case_sensitive), out_(out) {}
  void Begin(const Totals& totals);
  void Entry(std::string_view word, std::uint64_t count);
  /// Finishes the document and flushes; false when writing failed.
  bool End();

 private:
  void Flush();

  Format format_;
  bool case_sensitive_;
  std::FILE* out_;
  Totals totals_;
  std::string buffer_;
  bool first_entry_ = true;
};

}  // namespace velmira::words
