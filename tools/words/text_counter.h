// `TextCounter`: counts the words of texts into a `WordIndex`, chunk by chunk.
//
//   WordIndex index;
//   TextCounter counter(options, debug, index);
//   counter.Read("a.txt"); counter.Read("b.txt"); counter.Finish(); index.Flush();
//
// Each chunk is split and indexed before the next is read, so memory follows the number of
// distinct words. Reading, Splitting and Indexing are profiled procedures of `debug`; each
// file's totals go to its output. A word does not run from one file into the next.
#pragma once

#include <cstdint>
#include <string>

#include "options.h"
#include "velmira/debug/debugger.h"
#include "word_index.h"
#include "word_splitter.h"

namespace velmira::words {

class TextCounter {
 public:
  TextCounter(const Options& o, Debugger& debug, WordIndex& index);

  /// Counts the words of `file` (standard input for "-"); throws Failure when it cannot be read.
  void Read(const std::string& file);
  /// Clears the progress line, if one was shown.
  void Finish();
  /// Bytes so far that were not well-formed UTF-8.
  std::uint64_t InvalidBytes() const noexcept { return splitter_.InvalidBytes(); }

 private:
  void IndexBatch();
  void ShowProgress();

  Debugger& debug_;
  const std::string& log_file_;
  WordIndex& index_;
  WordSplitter splitter_;
  WordBatch batch_;
  std::uint64_t bytes_ = 0, last_shown_ = 0;
  bool progress_, shown_ = false;
};

}  // namespace velmira::words
