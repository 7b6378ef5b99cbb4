// The word-character ranges and the simple lowercase tables of unicode_rules.h.
#include "unicode_rules.h"

#include <algorithm>
#include <iterator>

namespace velmira::words {
namespace {

struct Range {
  char32_t first, last;
};

// Code points from U+0100 up that separate words: spaces, punctuation and symbols of the common
// scripts, whole punctuation and symbol blocks, surrogates, private use, specials and emoji.
// Sorted, so a binary search finds the range.
constexpr Range kSeparators[] = {
    {0x037E, 0x037E},   {0x0387, 0x0387},   {0x055A, 0x055F},    {0x0589, 0x058A}, {0x05BE, 0x05BE},
    {0x05C0, 0x05C0},   {0x05C3, 0x05C3},   {0x05C6, 0x05C6},    {0x05F3, 0x05F4}, {0x060C, 0x060D},
    {0x061B, 0x061B},   {0x061D, 0x061F},   {0x066A, 0x066D},    {0x06D4, 0x06D4}, {0x0964, 0x0965},
    {0x0970, 0x0970},   {0x0E4F, 0x0E4F},   {0x0E5A, 0x0E5B},    {0x10FB, 0x10FB}, {0x1360, 0x1368},
    {0x1680, 0x1680},   {0x169B, 0x169C},   {0x16EB, 0x16ED},    {0x2000, 0x2BFF}, {0x2E00, 0x2E7F},
    {0x3000, 0x3004},   {0x3008, 0x3020},   {0x3030, 0x3030},    {0x303D, 0x303D}, {0x30FB, 0x30FB},
    {0xD800, 0xF8FF},   {0xFD3E, 0xFD3F},   {0xFE10, 0xFE19},    {0xFE30, 0xFE6F}, {0xFEFF, 0xFEFF},
    {0xFF01, 0xFF0F},   {0xFF1A, 0xFF20},   {0xFF3B, 0xFF40},    {0xFF5B, 0xFF65}, {0xFFF0, 0xFFFF},
    {0x1F000, 0x1FAFF}, {0xE0000, 0xE007F}, {0xF0000, 0x10FFFF},
};

bool InSeparatorRange(char32_t c) noexcept {
  auto it = std::upper_bound(std::begin(kSeparators), std::end(kSeparators), c,
                             [](char32_t v, const Range& r) { return v < r.first; });
  return it != std::begin(kSeparators) && c <= std::prev(it)->last;
}

// Blocks where capitals and small letters alternate, capital first (or, with `odd_upper`,
// small first).
struct PairBlock {
  char32_t first, last;
  bool odd_upper;
};

constexpr PairBlock kPairs[] = {
    {0x0100, 0x012F, false}, {0x0132, 0x0137, false}, {0x0139, 0x0148, true},
    {0x014A, 0x0177, false}, {0x0179, 0x017E, true},  {0x0460, 0x0481, false},
    {0x048A, 0x04BF, false}, {0x04C1, 0x04CE, true},  {0x04D0, 0x04FF, false},
    {0x1E00, 0x1E95, false}, {0x1EA0, 0x1EFF, false},
};

// Blocks of capitals whose small letters lie a fixed distance away.
struct ShiftBlock {
  char32_t first, last;
  char32_t shift;
};

constexpr ShiftBlock kShifts[] = {
    {0x00C0, 0x00D6, 32}, {0x00D8, 0x00DE, 32}, {0x0388, 0x038A, 37}, {0x038E, 0x038F, 63},
    {0x0391, 0x03A1, 32}, {0x03A3, 0x03AB, 32}, {0x0400, 0x040F, 80}, {0x0410, 0x042F, 32},
    {0x0531, 0x0556, 48}, {0xFF21, 0xFF3A, 32},
};

}  // namespace

bool IsWordCodePoint(char32_t c) noexcept {
  if (c < 0x80) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  }
  if (c < 0x100) {
    return c == 0xAA || c == 0xB5 || c == 0xBA || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
  }
  return !InSeparatorRange(c);
}

char32_t ToLowerSimple(char32_t c) noexcept {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  for (const ShiftBlock& b : kShifts) {
    if (c >= b.first && c <= b.last) return c + b.shift;
  }
  for (const PairBlock& b : kPairs) {
    if (c >= b.first && c <= b.last) return ((c & 1) == (b.odd_upper ? 1u : 0u)) ? c + 1 : c;
  }
  switch (c) {
    case 0x0130:
      return U'i';  // capital I with dot above
    case 0x0178:
      return 0x00FF;  // capital Y with diaeresis
    case 0x0386:
      return 0x03AC;  // Greek capital alpha with tonos
    case 0x038C:
      return 0x03CC;  // Greek capital omicron with tonos
    case 0x04C0:
      return 0x04CF;  // Cyrillic palochka
    case 0x1E9E:
      return 0x00DF;  // capital sharp s
    default:
      return c;
  }
}

}  // namespace velmira::words
