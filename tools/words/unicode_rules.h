// Which code points make up words, and how words are lowercased, for `velmira-words`.
//
//   IsWordCodePoint(U'é');   // true: letters and digits of any script
//   ToLowerSimple(U'Σ');     // U'σ'
//
// The rules use the standard library only, so they are tables of ranges written here rather than
// the full Unicode character database:
// - A word character is an ASCII letter or digit, a Latin-1 letter (U+00AA, U+00B5, U+00BA,
//   U+00C0..U+00FF except U+00D7 and U+00F7), or any code point from U+0100 up that is not in a
//   listed range of spaces, punctuation, symbols, private use or emoji (see unicode_rules.cpp).
//   Combining marks count as word characters, so accented letters written with them stay whole.
// - Lowercasing applies the simple one-to-one mappings of Basic Latin, Latin-1, Latin Extended-A,
//   Latin Extended Additional, Greek, Cyrillic, Armenian and the fullwidth Latin letters. Every
//   other code point, and every mapping that would change the length (German ß stays ß), is
//   left as it is.
#pragma once

namespace velmira::words {

/// True when `c` is part of a word rather than a separator.
bool IsWordCodePoint(char32_t c) noexcept;

/// The simple lowercase of `c` by the tables above; `c` itself when it has none.
char32_t ToLowerSimple(char32_t c) noexcept;

}  // namespace velmira::words
