// The text form of the extra messages of Output.
#include "debug/variant_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "velmira/core/error.h"
#include "velmira/linear/stack.h"

namespace velmira {
namespace {

struct Case {
  const char* label;
  Variant value;
  const char* text;
};

class VariantTextTest : public ::testing::TestWithParam<Case> {};

TEST_P(VariantTextTest, HasItsDocumentedForm) {
  EXPECT_EQ(detail::VariantText(GetParam().value), GetParam().text);
}

const Case kCases[] = {
    Case{"Empty", Variant(), ""},
    Case{"Null", Variant::Null(), "Null"},
    Case{"True", Variant(true), "True"},
    Case{"False", Variant(false), "False"},
    Case{"Int16", Variant(std::int16_t{-32768}), "-32768"},
    Case{"Int32", Variant(std::int32_t{2147483647}), "2147483647"},
    Case{"SingleShortest", Variant(0.1f), "0.1"},
    Case{"DoubleShortest", Variant(0.1), "0.1"},
    Case{"DoubleWhole", Variant(1234567.0), "1234567"},
    Case{"DoubleLarge", Variant(1e20), "1e+20"},
    Case{"DoubleNegative", Variant(-2.5), "-2.5"},
    Case{"CurrencyWhole", Variant::CurrencyFromScaled(30000), "3"},
    Case{"CurrencyFraction", Variant::CurrencyFromScaled(-15000), "-1.5"},
    Case{"CurrencySmallest", Variant::CurrencyFromScaled(1), "0.0001"},
    Case{"CurrencyMinimum", Variant::CurrencyFromScaled(std::numeric_limits<std::int64_t>::min()),
         "-922337203685477.5808"},
    Case{"DateMidnight", Variant::DateFromYmd(2024, 2, 29), "2024-02-29"},
    Case{"DateWithTime", Variant::Date(45351.75), "2024-02-29 18:00:00"},
    Case{"DateRoundsToTheNextDay", Variant::Date(45351.9999999), "2024-03-01"},
    Case{"DateDayZero", Variant::Date(0.0), "1899-12-30"},
    Case{"DateBeforeDayZero", Variant::Date(-1.25), "1899-12-29 06:00:00"},
    Case{"DateOutOfRange", Variant::Date(1e7), "1e+07"},
    Case{"Text", Variant("a \xC3\xA9"), "a \xC3\xA9"}};

INSTANTIATE_TEST_SUITE_P(Kinds, VariantTextTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(VariantTextObjectTest, ObjectReferencesHaveNoTextForm) {
  for (const Variant& object : {Variant(New<Stack>()), Variant(Nothing)}) {
    try {
      detail::VariantText(object);
      ADD_FAILURE() << "no error raised";
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), kErrTypeMismatch);
    }
  }
}

}  // namespace
}  // namespace velmira
