// The streaming UTF-8 decoder and word builder of word_splitter.h.
#include "word_splitter.h"

#include <array>

#include "unicode_rules.h"

namespace velmira::words {
namespace {

// For each ASCII byte: 0 for a separator, otherwise the byte a word stores for it.
constexpr std::array<char, 128> AsciiTable(bool fold) {
  std::array<char, 128> t{};
  for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<char>(c);
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<char>(c);
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<char>(fold ? c + 32 : c);
  return t;
}
constexpr std::array<char, 128> kFolded = AsciiTable(true);
constexpr std::array<char, 128> kKept = AsciiTable(false);

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {  // a capital outside ASCII may lowercase into it (U+0130 to i)
    out.push_back(static_cast<char>(c));
    return;
  }
  if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
  }
  out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
}

}  // namespace

WordSplitter::WordSplitter(bool fold_case) noexcept : fold_case_(fold_case) {}

void WordSplitter::Split(std::string_view bytes, WordBatch& batch) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  const std::array<char, 128>& ascii = fold_case_ ? kFolded : kKept;
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    if (need_ == 0 && b < 0x80) {
      // ASCII runs, the common case, are copied a run at a time.
      if (ascii[b]) {
        if (!in_word_) {
          in_word_ = true;
          word_start_ = batch.text.size();
        }
        std::size_t j = i;
        while (j < n && p[j] < 0x80 && ascii[p[j]]) ++j;
        const std::size_t old = batch.text.size();
        batch.text.resize(old + (j - i));
        char* out = batch.text.data() + old;
        for (std::size_t k = i; k < j; ++k) *out++ = ascii[p[k]];
        i = j;
      } else {
        if (in_word_) EndWord(batch);
        while (i < n && p[i] < 0x80 && !ascii[p[i]]) ++i;
      }
      continue;
    }
    if (need_ > 0) {
      if (b < low_ || b > high_) {  // the sequence is cut short; look at b again as a lead byte
        DropSequence();
        if (in_word_) EndWord(batch);
        continue;
      }
      value_ = (value_ << 6) | (b & 0x3F);
      ++have_;
      low_ = 0x80;
      high_ = 0xBF;
      ++i;
      if (--need_ == 0) {
        have_ = 0;
        CodePoint(value_, batch);
      }
      continue;
    }
    ++i;
    low_ = 0x80;
    high_ = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      need_ = 1;
      value_ = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need_ = 2;
      value_ = b & 0x0F;
      if (b == 0xE0) low_ = 0xA0;   // no overlong forms
      if (b == 0xED) high_ = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      need_ = 3;
      value_ = b & 0x07;
      if (b == 0xF0) low_ = 0x90;   // no overlong forms
      if (b == 0xF4) high_ = 0x8F;  // nothing above U+10FFFF
    } else {
      ++invalid_bytes_;
      if (in_word_) EndWord(batch);
      continue;
    }
    have_ = 1;
  }
}

void WordSplitter::CodePoint(char32_t c, WordBatch& batch) {
  if (!IsWordCodePoint(c)) {
    if (in_word_) EndWord(batch);
    return;
  }
  if (!in_word_) {
    in_word_ = true;
    word_start_ = batch.text.size();
  }
  AppendUtf8(batch.text, fold_case_ ? ToLowerSimple(c) : c);
}

void WordSplitter::EndWord(WordBatch& batch) {
  in_word_ = false;
  batch.ends.push_back(batch.text.size());
}

void WordSplitter::DropSequence() noexcept {
  invalid_bytes_ += have_;
  need_ = have_ = 0;
}

void WordSplitter::Finish(WordBatch& batch) {
  if (need_ > 0) DropSequence();
  if (in_word_) EndWord(batch);
}

void WordSplitter::Recycle(WordBatch& batch) {
  const std::size_t keep_from = in_word_ ? word_start_ : batch.text.size();
  batch.text.erase(0, keep_from);
  batch.ends.clear();
  word_start_ = 0;
}

}  // namespace velmira::words
