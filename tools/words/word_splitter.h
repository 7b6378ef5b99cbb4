// `WordSplitter`: turns a stream of UTF-8 text, given in chunks of any size, into words.
//
//   WordSplitter split(/*fold_case=*/true);
//   WordBatch batch;
//   while (read a chunk) { split.Split(chunk, batch); use batch.Word(i)...; split.Recycle(batch); }
//   split.Finish(batch);  // the last word, if the text ends inside one
//
// A word is a maximal run of word characters (unicode_rules.h), lowercased unless case folding is
// off. Words and UTF-8 sequences may straddle chunk boundaries: a word still open at the end of a
// chunk stays at the end of the batch's text until the next chunk closes it.
//
// Invalid UTF-8: every byte that is not part of a well-formed sequence (a stray continuation
// byte, a lead byte not followed by enough continuation bytes, an overlong form, a surrogate, a
// value above U+10FFFF, bytes C0, C1 and F5..FF) is counted once in `InvalidBytes` and separates
// words like a space. A well-formed sequence cut short by an invalid byte counts the bytes read
// so far; the byte that broke it is examined afresh.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmira::words {

/// Complete words, stored end to end in one buffer, plus the bytes of a word still open.
struct WordBatch {
  std::string text;
  std::vector<std::size_t> ends;  // word i is text[ends[i-1] (or 0), ends[i])

  std::size_t Size() const noexcept { return ends.size(); }
  std::string_view Word(std::size_t i) const noexcept {
    const std::size_t begin = i == 0 ? 0 : ends[i - 1];
    return std::string_view(text).substr(begin, ends[i] - begin);
  }
};

class WordSplitter {
 public:
  explicit WordSplitter(bool fold_case) noexcept;

  /// Appends the words `bytes` completes to `batch`.
  void Split(std::string_view bytes, WordBatch& batch);
  /// Ends the text: closes an open word and counts an unfinished sequence as invalid.
  void Finish(WordBatch& batch);
  /// Empties `batch` of complete words, keeping the bytes of a word still open.
  void Recycle(WordBatch& batch);
  /// Bytes so far that were not well-formed UTF-8.
  std::uint64_t InvalidBytes() const noexcept { return invalid_bytes_; }

 private:
  void CodePoint(char32_t c, WordBatch& batch);
  void EndWord(WordBatch& batch);
  void DropSequence() noexcept;

  bool fold_case_;
  bool in_word_ = false;
  std::size_t word_start_ = 0;
  // The multi-byte sequence being decoded: bytes still needed, bytes seen, the value so far and
  // the range the next byte must fall in.
  int need_ = 0;
  int have_ = 0;
  char32_t value_ = 0;
  unsigned char low_ = 0x80, high_ = 0xBF;
  std::uint64_t invalid_bytes_ = 0;
};

}  // namespace velmira::words
