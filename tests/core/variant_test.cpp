// Variant: the key comparison table, text storage, typed reads, currency and dates.
#include "velmira/core/variant.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "velmira/core/variant_conversions.h"

namespace velmira {
namespace {

/// Matches a callable that raises the library's error number `number`.
auto RaisesError(std::int32_t number) {
  return ::testing::Throws<Error>(::testing::Property(&Error::Number, number));
}

class Probe : public virtual Object {};

/// A key from a kind letter and a value: E Empty, N Null, b Boolean (0/1), h Int16, i Int32,
/// f Single, d Double, c currency in ten-thousandths, t date serial, ' text, o object (0 is
/// Nothing, 1 and 2 two objects).
Variant Key(const std::string& token) {
  static const Variant objects[] = {Nothing, New<Probe>(), New<Probe>()};
  const char kind = token[0];
  const std::string value = token.substr(1);
  if (kind == 'o') return objects[std::stoi(value)];
  if (kind == '\'' || kind == 'E' || kind == 'N') {
    return kind == 'E' ? Variant() : kind == 'N' ? Variant::Null() : Variant(value);
  }
  if (kind == 'c') return Variant::CurrencyFromScaled(std::stoll(value));
  const double x = std::stod(value);
  if (kind == 'b' || kind == 'h' || kind == 'i') {
    return kind == 'b' ? Variant(x != 0) : kind == 'h' ? Variant(std::int16_t(x)) : Variant(int(x));
  }
  return kind == 'f' ? Variant(float(x)) : kind == 't' ? Variant::Date(x) : Variant(x);
}

/// Which of the three tests hold for `a` against `b`: "<", ">", "=", or "?" for none.
std::string Holds(const Variant& a, const Variant& b) {
  const std::string holds =
      std::string(Less(a, b) ? "<" : "") + (Greater(a, b) ? ">" : "") + (Equal(a, b) ? "=" : "");
  return holds.empty() ? "?" : holds;
}

/// "left op right": op is the one test that holds for left against right, ? when none does.
const char* const kComparisons[] = {
    // Numbers after widening; true is -1; a date is its serial; currency exactly, in 1/10000.
    "i1 < i2", "h1 = d1", "f.5 = d.5", "c15000 = d1.5", "c15000 > i1",
    "c9223372036854775807 > c9223372036854775806", "b1 = i-1", "b0 = h0", "t45000 = i45000",
    "t1.5 > d1.25",
    // Any number before any text. Text against text is the model test's below; these rows are
    // what its random texts do not reach: two supplementary characters, two characters that differ
    // in a continuation byte, continuation bytes its pieces lack.
    "i10 < '9", "d1e300 < '", "'\U0001F600 < '\U0001F601", "'caf\u00E9 > 'caf\u00E8",
    "'\xEF\xEF > '\xEF\xEF\x9B\x9B", "'\xEF\xEF > '\xEF\x9B\xEF\xEF",
    // Empty is 0 against a number, the empty text against a text; Null and NaN satisfy no test.
    "E = E", "E = i0", "E > i-1", "E < d0.001", "E = '", "E < 'a", "N ? N", "N ? i1", "N ? E",
    "N ? '", "dnan ? dnan",
    // Objects are equal to themselves only, and never less or greater than anything.
    "o1 = o1", "o0 = o0", "o1 ? o2", "o1 ? o0", "o1 ? i1", "o1 ? '1", "o1 ? E"};

TEST(VariantComparison, FollowsTheTableBothWays) {
  for (const char* line : kComparisons) {
    std::istringstream tokens(line);
    std::string left, op, right;
    tokens >> left >> op >> right;
    const std::string reversed = op == "<" ? ">" : op == ">" ? "<" : op;
    for (const auto& [a, b, want] :
         {std::tuple(Key(left), Key(right), op), std::tuple(Key(right), Key(left), reversed)}) {
      EXPECT_EQ(Holds(a, b), want) << line;
    }
  }
}

/// Random byte strings made of pieces that stress the comparison: ASCII runs longer than a word,
/// characters of every length, sequences cut short, overlong forms, surrogates and stray bytes,
/// often sharing a prefix.
std::vector<std::string> MalformedTexts(std::size_t count, std::uint32_t seed) {
  // clang-format off
  static const char* const kPieces[] = {
      "a", "q", "abcdefgh", "abcdefgz", "\x7F", "\xC3\xA9", "\xC3", "\xE2\x82\xAC", "\xE2\x82",
      "\xE3\x80\x80", "\xEF\xBF\xBF", "\xEF", "\xF0\x9F\x98\x80", "\xF0\x9F\x98", "\xF0\x9F",
      "\xC0\x80", "\xE0\x80\x80", "\xF0\x80\x80\x80", "\xED\xA0\x80", "\x80", "\xBF", "\xFF",
      "\xF4\x90\x80\x80"};
  // clang-format on
  std::mt19937 random(seed);
  std::vector<std::string> texts;
  while (texts.size() < count) {
    std::string text;
    if (!texts.empty() && random() % 2) text = texts[random() % texts.size()];  // a shared prefix
    for (std::uint32_t pieces = random() % 4; pieces > 0; --pieces) {
      text += kPieces[random() % std::size(kPieces)];
    }
    if (!text.empty() && random() % 3 == 0) text.resize(random() % text.size());  // cut short
    texts.push_back(text);
  }
  return texts;
}

/// The text order as a model: a text read from its start as units (a well-formed UTF-8
/// character, or else a single byte), each ranked by its UTF-16 code units, a stray byte after
/// every character; texts compare as their sequences of ranks.
std::vector<std::uint32_t> UnitRanks(const std::string& text) {
  std::vector<std::uint32_t> ranks;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = [&](std::size_t k) -> std::uint32_t {
      return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
    };
    const std::uint32_t b0 = byte(0);
    const std::size_t length = b0 < 0x80                  ? 1
                               : b0 >= 0xC2 && b0 <= 0xDF ? 2
                               : b0 >= 0xE0 && b0 <= 0xEF ? 3
                               : b0 >= 0xF0 && b0 <= 0xF4 ? 4
                                                          : 0;
    const std::uint32_t low = b0 == 0xE0 ? 0xA0 : b0 == 0xF0 ? 0x90 : 0x80;
    const std::uint32_t high = b0 == 0xED ? 0x9F : b0 == 0xF4 ? 0x8F : 0xBF;
    bool well_formed = length > 0 && i + length <= text.size() &&
                       (length == 1 || (byte(1) >= low && byte(1) <= high));
    for (std::size_t k = 2; well_formed && k < length; ++k) well_formed = (byte(k) & 0xC0) == 0x80;
    if (!well_formed) {
      ranks.push_back(0x110000 + b0);
      ++i;
      continue;
    }
    std::uint32_t cp = length == 1 ? b0 : b0 & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) cp = (cp << 6) | (byte(k) & 0x3F);
    ranks.push_back(cp < 0xD800 ? cp : cp >= 0x10000 ? cp - 0x10000 + 0xD800 : cp + 0x100000);
    i += length;
  }
  return ranks;
}

// Every pair of texts, mostly ASCII or malformed, compares as the model says. Lexicographic order
// on rank sequences is a strict total order, so this also makes the comparison one, as the
// searches of trees keyed by texts assume; distinct texts never compare equal.
TEST(VariantText, ComparisonFollowsTheUnitModelOnAllByteStrings) {
  const std::vector<std::string> texts = MalformedTexts(220, 20240611);
  std::vector<std::vector<std::uint32_t>> ranks;
  for (const std::string& text : texts) ranks.push_back(UnitRanks(text));
  for (std::size_t i = 0; i < texts.size(); ++i) {
    for (std::size_t j = 0; j < texts.size(); ++j) {
      const Variant a(texts[i]), b(texts[j]);
      const std::string want = ranks[i] < ranks[j] ? "<" : ranks[j] < ranks[i] ? ">" : "=";
      ASSERT_EQ(Holds(a, b), want)
          << ::testing::PrintToString(texts[i]) << " vs " << ::testing::PrintToString(texts[j]);
      ASSERT_EQ(Equal(a, b), texts[i] == texts[j]);
    }
  }
}

TEST(VariantText, CopiesMovesAndComparisonsAllocateNothing) {
  const Variant shared = std::string(40, 'x'), inline_text = "fourteen bytes";
  const std::int64_t before = testing::AllocationCount();
  Variant copy = shared, other = inline_text, moved = std::move(copy);
  swap(moved, other);
  const bool compared = Equal(other, shared) && Equal(moved, inline_text) && Less(moved, other);
  EXPECT_EQ(testing::AllocationCount(), before);
  EXPECT_TRUE(compared && copy.IsEmpty());
  EXPECT_EQ(other.Text().data(), shared.Text().data());  // one block, shared
  EXPECT_TRUE(Equal(Variant(std::string_view("a\0b", 3)), std::string("a\0b", 3)));
}

TEST(VariantRead, TypedReadsCurrencyAndDates) {
  EXPECT_EQ(Variant(std::int16_t{7}).Int16Value(), 7);
  for (const Variant& wrong : {Variant(), Variant::Null(), Variant(1.0), Variant("1"),
                               Variant(true), Variant(std::int16_t{1})}) {
    EXPECT_THAT([&] { (void)wrong.Int32Value(); }, RaisesError(kErrTypeMismatch));
  }
  EXPECT_THAT([] { (void)Variant(1).Text(); }, RaisesError(kErrTypeMismatch));
  EXPECT_THAT([] { (void)Variant("1").ToDouble(); }, RaisesError(kErrTypeMismatch));
  // Currency is rounded to four decimals; out of range is the overflow error.
  EXPECT_EQ(Variant::Currency(1.23456).CurrencyScaled(), 12346);
  for (double out_of_range : {1e300, -1e300, std::nan("")}) {
    EXPECT_THAT([&] { Variant::Currency(out_of_range); }, RaisesError(kErrOverflow));
  }
  // Dates count days from 1899-12-30.
  EXPECT_EQ(Variant::DateFromYmd(1899, 12, 30).DateValue(), 0.0);
  EXPECT_EQ(Variant::DateFromYmd(1900, 3, 1).DateValue(), 61.0);
  EXPECT_EQ(Variant::DateFromYmd(2000, 1, 1).DateValue(), 36526.0);
  EXPECT_EQ(Variant::DateFromYmd(1800, 1, 1).DateValue(), -36522.0);
}

TEST(VariantValue, IntegersOfAnyWidthComeInUnchangedOrRaiseOverflow) {
  struct Row {
    Variant (*make)();
    VariantKind kind;  // Empty marks a value that must raise error 6
    double value;
  };
  constexpr std::int64_t k2to53 = std::int64_t{1} << 53;
  const Row rows[] = {
      {[] { return Variant(std::int64_t{INT32_MAX}); }, VariantKind::Int32, INT32_MAX},
      {[] { return Variant(std::int64_t{INT32_MIN} - 1); }, VariantKind::Double, -2147483649.0},
      {[] { return Variant(k2to53); }, VariantKind::Double, 0x1p53},
      {[] { return Variant(k2to53 + 1); }, VariantKind::Empty, 0},  // no double holds it
      {[] { return Variant(std::int64_t{INT64_MIN}); }, VariantKind::Double, -0x1p63},
      {[] { return Variant(std::int64_t{INT64_MAX}); }, VariantKind::Empty, 0},
      {[] { return Variant(std::uint64_t{UINT64_MAX}); }, VariantKind::Empty, 0},
      {[] { return Variant(std::uint64_t{UINT64_MAX} - 2047); }, VariantKind::Double,
       0x1p64 - 2048},
      {[] { return Variant(std::uint32_t{4000000000}); }, VariantKind::Double, 4e9},
      {[] { return Variant(std::size_t{1}); }, VariantKind::Int32, 1},
      {[] { return Variant(static_cast<unsigned char>(255)); }, VariantKind::Int32, 255},
      {[] { return Variant(static_cast<signed char>(-1)); }, VariantKind::Int32, -1},
      {[] { return Variant(-5L); }, VariantKind::Int32, -5},
  };
  for (const Row& row : rows) {
    if (row.kind == VariantKind::Empty) {
      EXPECT_THAT(row.make, RaisesError(kErrOverflow));
      continue;
    }
    const Variant v = row.make();
    EXPECT_EQ(v.Kind(), row.kind);
    EXPECT_EQ(v.ToDouble(), row.value);
  }
  Variant copy_initialised = std::size_t{7};  // no ambiguity between the numeric kinds
  EXPECT_EQ(copy_initialised.Int32Value(), 7);
}

TEST(VariantValue, PrintsTheDebuggersTextAndComparesByTheKeyRules) {
  const Ref<Probe> object(new Probe), other(new Probe);
  std::ostringstream out;
  out << Variant(42) << ' ' << Variant("fig") << ' ' << Variant(2.5) << ' ' << Variant::Null()
      << ' ' << Variant(true) << ' ' << Variant(Nothing) << ' ' << Variant(object) << ' '
      << Variant::CurrencyFromScaled(15000) << '|' << Variant() << '|';
  EXPECT_EQ(out.str(), "42 fig 2.5 Null True Nothing Object 1.5||");
  EXPECT_THAT([] { (void)Variant(5).Text(); },
              ::testing::ThrowsMessage<Error>(::testing::StrEq(
                  "Type mismatch: Text() of a value of kind Int32; ToString gives the text of any "
                  "value")));
  // == is the trees' key equality; Null and NaN equal nothing, so != is true for them.
  EXPECT_TRUE(Variant(1) == 1.0 && Variant("a") == "a" && Variant() == 0 && Variant() == "");
  EXPECT_TRUE(Variant(object) == Variant(object) && Variant(object) != Variant(other));
  EXPECT_TRUE(Variant(0) != "" && Variant(1) != "1");
  EXPECT_FALSE(Variant::Null() == Variant::Null() || Variant(std::nan("")) == std::nan(""));
  const std::vector<Variant> keys = {"pear", 3, std::int16_t{7}, 2.5};
  EXPECT_EQ(std::find(keys.begin(), keys.end(), 7.0) - keys.begin(), 2);
}

}  // namespace
}  // namespace velmira
