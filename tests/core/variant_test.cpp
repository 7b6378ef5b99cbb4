#include "velmira/core/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "allocation_counter.h"
#include "capture.h"

namespace velmira {

void PrintTo(const Variant& v, std::ostream* os) {
  switch (v.Kind()) {
    case VariantKind::Empty:
      *os << "Empty";
      return;
    case VariantKind::Null:
      *os << "Null";
      return;
    case VariantKind::String:
      *os << '"' << v.Text() << '"';
      return;
    case VariantKind::Object:
      *os << "Object";
      return;
    case VariantKind::Currency:
      *os << "Currency(" << v.CurrencyScaled() << "/10000)";
      return;
    case VariantKind::Date:
      *os << "Date(" << v.DateValue() << ")";
      return;
    default:
      *os << "kind " << int(v.Kind()) << ": " << v.ToDouble();
      return;
  }
}

namespace {

using detail::Order;

struct ComparisonCase {
  const char* name;
  Variant left;
  Variant right;
  Order expected;  // of left against right
};

void PrintTo(const ComparisonCase& c, std::ostream* os) { *os << c.name; }

Order Reversed(Order o) {
  if (o == Order::Less) return Order::Greater;
  if (o == Order::Greater) return Order::Less;
  return o;
}

class KeyComparison : public ::testing::TestWithParam<ComparisonCase> {};

TEST_P(KeyComparison, AllThreeTestsAgreeBothWays) {
  const ComparisonCase& c = GetParam();
  for (const auto& [a, b, want] : {std::tuple(c.left, c.right, c.expected),
                                   std::tuple(c.right, c.left, Reversed(c.expected))}) {
    EXPECT_EQ(Less(a, b), want == Order::Less);
    EXPECT_EQ(Greater(a, b), want == Order::Greater);
    EXPECT_EQ(Equal(a, b), want == Order::Equal);
  }
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Table, KeyComparison,
    ::testing::Values(
        ComparisonCase{"Int32Order", 1, 2, Order::Less},
        ComparisonCase{"Int16EqualsDouble", std::int16_t{1}, 1.0, Order::Equal},
        ComparisonCase{"SingleEqualsDouble", 0.5f, 0.5, Order::Equal},
        ComparisonCase{"CurrencyEqualsDouble", Variant::CurrencyFromScaled(15000), 1.5,
                       Order::Equal},
        ComparisonCase{"CurrencyAboveInteger", Variant::CurrencyFromScaled(15000), 1,
                       Order::Greater},
        ComparisonCase{"CurrencyBeyondDoublePrecision",
                       Variant::CurrencyFromScaled(std::numeric_limits<std::int64_t>::max()),
                       Variant::CurrencyFromScaled(std::numeric_limits<std::int64_t>::max() - 1),
                       Order::Greater},
        ComparisonCase{"TrueIsMinusOne", true, -1, Order::Equal},
        ComparisonCase{"FalseIsZero", false, std::int16_t{0}, Order::Equal},
        ComparisonCase{"DateIsItsSerial", Variant::Date(45000.0), 45000, Order::Equal},
        ComparisonCase{"DateTimeOfDay", Variant::Date(1.5), 1.25, Order::Greater},
        ComparisonCase{"NumberBeforeText", 10, "9", Order::Less},
        ComparisonCase{"HugeNumberBeforeEmptyText", 1e300, "", Order::Less},
        ComparisonCase{"TextOrder", "10", "9", Order::Less},
        ComparisonCase{"PrefixIsLess", "ab", "abc", Order::Less},
        ComparisonCase{"CaseMatters", "B", "a", Order::Less},
        ComparisonCase{"EqualTexts", "same", std::string("same"), Order::Equal},
        ComparisonCase{"LongestInlineTextAgainstShortestShared", "12345678901234",
                       "123456789012345", Order::Less},
        ComparisonCase{"EqualSharedTexts", "a text longer than fourteen bytes",
                       std::string("a text longer than fourteen bytes"), Order::Equal},
        ComparisonCase{"EmptyEqualsEmpty", Variant(), Variant(), Order::Equal},
        ComparisonCase{"EmptyIsZero", Variant(), 0, Order::Equal},
        ComparisonCase{"EmptyAboveNegative", Variant(), -1, Order::Greater},
        ComparisonCase{"EmptyBelowPositive", Variant(), 0.001, Order::Less},
        ComparisonCase{"EmptyIsEmptyText", Variant(), "", Order::Equal},
        ComparisonCase{"EmptyBelowText", Variant(), "a", Order::Less},
        ComparisonCase{"NullAgainstNull", Variant::Null(), Variant::Null(), Order::Unordered},
        ComparisonCase{"NullAgainstNumber", Variant::Null(), 1, Order::Unordered},
        ComparisonCase{"NullAgainstEmpty", Variant::Null(), Variant(), Order::Unordered},
        ComparisonCase{"NullAgainstText", Variant::Null(), "", Order::Unordered},
        ComparisonCase{"NaNComparesWithNothing", kNaN, kNaN, Order::Unordered},
        // UTF-16 order differs from code point (and UTF-8 byte) order above U+FFFF: a
        // supplementary character's surrogates (D800-DFFF) sort before U+E000..U+FFFF.
        ComparisonCase{"SupplementaryBeforeFullwidth", "\U0001F600", "\uFF21", Order::Less},
        ComparisonCase{"SupplementaryBeforePrivateUse", "x\U00010000", "x\uE000", Order::Less},
        ComparisonCase{"SupplementaryAfterBelowSurrogates", "\U00010000", "\uD7FF", Order::Greater},
        ComparisonCase{"SupplementaryOrderAmongThemselves", "\U0001F600", "\U0001F601",
                       Order::Less},
        ComparisonCase{"DifferenceInAContinuationByte", "caf\u00E9", "caf\u00E8", Order::Greater},
        ComparisonCase{"InvalidBytesAreDistinct", "a\xFF", "a\xFE", Order::Greater},
        ComparisonCase{"InvalidByteAfterCharacters", "\xC3", "\uFFFF", Order::Greater}),
    [](const auto& info) { return std::string(info.param.name); });

class ObjectProbe : public virtual Object {};

using VariantTest = testing::VelmiraTest;

TEST_F(VariantTest, ObjectsCompareOnlyByIdentity) {
  Ref<ObjectProbe> a = New<ObjectProbe>(), b = New<ObjectProbe>();
  EXPECT_TRUE(Equal(Variant(a), Variant(a)));
  EXPECT_FALSE(Equal(Variant(a), Variant(b)));
  EXPECT_FALSE(Less(Variant(a), Variant(b)) || Greater(Variant(a), Variant(b)));
  EXPECT_FALSE(Equal(Variant(a), 1) || Less(Variant(a), 1) || Greater(Variant(a), 1));
  EXPECT_TRUE(Equal(Variant(Nothing), Variant(Ref<ObjectProbe>())));
}

TEST_F(VariantTest, HoldsAndReleasesItsObject) {
  const std::int64_t before = LiveObjectCount();
  Variant v = Variant(New<ObjectProbe>());
  EXPECT_EQ(LiveObjectCount(), before + 1);
  Variant copy = v;
  v = 5;
  EXPECT_EQ(LiveObjectCount(), before + 1);
  EXPECT_TRUE(copy.ObjectValue());
  copy = Variant();
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST_F(VariantTest, TextCopiesShareAndComparisonsAllocateNothing) {
  const Variant a = "a longer text that no small-string buffer would hold";
  const Variant b = "a longer text that no small-string buffer would hold, too";
  const std::int64_t before = testing::AllocationCount();
  Variant copy = a;
  Variant assigned;
  assigned = b;
  const bool less = Less(copy, assigned) && !Equal(a, b) && Greater(b, copy);
  EXPECT_EQ(testing::AllocationCount(), before);
  EXPECT_TRUE(less);
  EXPECT_EQ(copy.Text().data(), a.Text().data());
}

TEST_F(VariantTest, TextsSurviveCopiesMovesAndSwapsAcrossRepresentations) {
  const std::string long_text(40, 'x');
  Variant short_text = "fourteen bytes", shared = long_text, number = 5;
  const std::int64_t before = testing::AllocationCount();
  Variant copy = short_text;
  swap(copy, shared);
  Variant moved = std::move(shared);  // holds the short text; `shared` is Empty now
  number = copy;
  EXPECT_EQ(testing::AllocationCount(), before);
  EXPECT_TRUE(shared.IsEmpty());
  EXPECT_EQ(moved.Text(), "fourteen bytes");
  EXPECT_EQ(copy.Text(), long_text);
  EXPECT_EQ(number.Text(), long_text);
  EXPECT_EQ(Variant("").Text(), "");
  EXPECT_TRUE(Equal(Variant(std::string_view("a\0b", 3)), std::string("a\0b", 3)));
}

TEST_F(VariantTest, TypedReadsCheckTheKind) {
  EXPECT_EQ(Variant(std::int16_t{7}).Int16Value(), 7);
  EXPECT_EQ(Variant("x").Text(), "x");
  EXPECT_EQ(Variant(Nothing).ObjectValue(), Nothing);
  for (const Variant& wrong : {Variant(), Variant::Null(), Variant(1.0), Variant("1")}) {
    try {
      (void)wrong.Int32Value();
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), kErrTypeMismatch);
    }
  }
  EXPECT_THROW((void)Variant("1").ToDouble(), Error);
}

TEST_F(VariantTest, CurrencyRoundsToFourDecimalsAndRefusesOverflow) {
  EXPECT_EQ(Variant::Currency(1.23456).CurrencyScaled(), 12346);
  EXPECT_EQ(Variant::Currency(-0.00005).CurrencyScaled(), 0);
  try {
    Variant::Currency(1e300);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), kErrOverflow);
  }
  EXPECT_THROW(Variant::Currency(kNaN), Error);
}

TEST_F(VariantTest, DatesCountDaysFromTheEndOf1899) {
  EXPECT_EQ(Variant::DateFromYmd(1899, 12, 30).DateValue(), 0.0);
  EXPECT_EQ(Variant::DateFromYmd(1900, 3, 1).DateValue(), 61.0);
  EXPECT_EQ(Variant::DateFromYmd(2000, 1, 1).DateValue(), 36526.0);
  EXPECT_EQ(Variant::DateFromYmd(1800, 1, 1).DateValue(), -36522.0);
}

}  // namespace
}  // namespace velmira
