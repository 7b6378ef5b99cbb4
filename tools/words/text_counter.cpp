// Counting the words of texts; see text_counter.h.
#include "text_counter.h"

#include <unistd.h>

#include <cstdio>

#include "failure.h"
#include "input_file.h"

namespace velmira::words {
namespace {

constexpr std::uint64_t kProgressFrom = 32u << 20;  // inputs smaller than this show no progress

}  // namespace

TextCounter::TextCounter(const Options& o, Debugger& debug, WordIndex& index)
    : debug_(debug),
      log_file_(o.log_file),
      index_(index),
      splitter_(!o.case_sensitive),
      progress_(::isatty(STDERR_FILENO) == 1) {}

void TextCounter::Read(const std::string& file) {
  const std::uint64_t words_before = index_.TotalWords(), bytes_before = bytes_;
  ReadInput(file, debug_, [&](std::string_view chunk) {
    bytes_ += chunk.size();
    debug_.Enter("Splitting");
    splitter_.Split(chunk, batch_);
    debug_.Leave("Splitting");
    IndexBatch();
    ShowProgress();
  });
  // A word does not run from one file into the next.
  splitter_.Finish(batch_);
  IndexBatch();
  WritingLog(log_file_, [&] {
    debug_.Output("Read " + DisplayName(file) + ": " + std::to_string(bytes_ - bytes_before) +
                  " bytes, " + std::to_string(index_.TotalWords() - words_before) + " words");
  });
}

void TextCounter::Finish() {
  if (shown_) std::fputs("\r\033[K", stderr);
}

void TextCounter::IndexBatch() {
  debug_.Enter("Indexing");
  for (std::size_t i = 0; i < batch_.Size(); ++i) index_.Count(batch_.Word(i));
  splitter_.Recycle(batch_);
  debug_.Leave("Indexing");
}

void TextCounter::ShowProgress() {
  if (!progress_ || bytes_ < kProgressFrom || bytes_ - last_shown_ < (4u << 20)) return;
  last_shown_ = bytes_;
  shown_ = true;
  std::fprintf(stderr, "\rvelmira-words: %llu MiB read, %llu words indexed",
               static_cast<unsigned long long>(bytes_ >> 20),
               static_cast<unsigned long long>(index_.TotalWords()));
  std::fflush(stderr);
}

}  // namespace velmira::words
