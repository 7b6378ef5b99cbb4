// `OutputWriter`: prints the counted words as text, TSV or JSON, buffered.
//
//   OutputWriter out(Format::Json, stdout);
//   out.Begin({total, distinct, invalid}); out.Entry("the", 12); out.End();
//
// text: the count right-aligned in seven columns, a space and the word; tsv: the word, a tab and
// the count; json: one object with the totals and an "entries" array of {"word", "count"}.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "options.h"

namespace velmira::words {

struct Totals {
  std::uint64_t words = 0;
  std::uint64_t distinct = 0;
  std::uint64_t invalid_utf8_bytes = 0;
};

class OutputWriter {
 public:
  OutputWriter(Format format, std::FILE* out) : format_(format), out_(out) {}
  void Begin(const Totals& totals);
  void Entry(std::string_view word, std::uint64_t count);
  /// Finishes the document and flushes; false when writing failed.
  bool End();

 private:
  void Flush();

  Format format_;
  std::FILE* out_;
  std::string buffer_;
  bool first_entry_ = true;
};

}  // namespace velmira::words
