// The text forms of Output's extra messages and the number format of the report.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "debug/report_format.h"
#include "debugger_script.h"
#include "velmira/linear/stack.h"

namespace velmira {
namespace {

using testing::DebuggerScript;

TEST_F(DebuggerScript, ExtraMessagesAreWrittenInTheirTextForms) {
  debugger_->Output("A", Variant::Null(), 5, "b");  // the variadic call
  EXPECT_EQ(Run(""), "A|  Null|  5|  b|");
  debugger_->Output("B", Variant(), true, false, std::int16_t{-32768}, 2147483647, 0.1f, 0.1, 1e20,
                    -2.5, Variant::CurrencyFromScaled(30000), Variant::CurrencyFromScaled(-15000),
                    Variant::CurrencyFromScaled(1),
                    Variant::CurrencyFromScaled(std::numeric_limits<std::int64_t>::min()),
                    Variant::DateFromYmd(2024, 2, 29), Variant::Date(45351.75),
                    Variant::Date(45351.9999999), Variant::Date(-1.25), Variant::Date(1e7),
                    "a \xC3\xA9");
  EXPECT_EQ(Run(""),
            "B|  |  True|  False|  -32768|  2147483647|  0.1|  0.1|  1e+20|  -2.5|  3|  -1.5|  "
            "0.0001|  -922337203685477.5808|  2024-02-29|  2024-02-29 18:00:00|  2024-03-01|  "
            "1899-12-29 06:00:00|  1e+07|  a \xC3\xA9|");
}

TEST_F(DebuggerScript, AnObjectFailsWithTypeMismatchAfterTheLinesBeforeIt) {
  for (const Variant& object : {Variant(New<Stack>()), Variant(Nothing)}) {
    EXPECT_THAT([&] { debugger_->Output("A", 1, object, 2); },
                ::testing::Throws<Error>(::testing::Property(&Error::Number, kErrTypeMismatch)));
    EXPECT_EQ(Run(""), "A|  1|");
  }
}

TEST(DebugReportFormat, ThreeDecimalsWithTheLocalesPunctuation) {
  struct Case {
    double value;
    char separator, point;
    const char* text;
  };
  for (const Case& c : {Case{1500.0, ',', '.', "1,500.000"}, Case{0.0004, ',', '.', "0.000"},
                        Case{0.0006, ',', '.', "0.001"}, Case{-1234.5, ',', '.', "-1,234.500"},
                        Case{1234567.891, '.', ',', "1.234.567,891"}}) {
    EXPECT_EQ(detail::FormatFixed3(c.value, testing::PunctuatedLocale(c.separator, c.point)),
              c.text);
  }
  EXPECT_EQ(detail::FormatFixed3(1500.0, std::locale::classic()), "1500.000");
}

TEST_F(DebuggerScript, WithoutAPinnedLocaleTheEnvironmentsIsUsedOrElseClassic) {
  const char* old = std::getenv("LC_ALL");
  const std::string saved = old ? old : "";
  const Ref<Debugger> plain = New<Debugger>();
  As<detail::DebuggerImpl>(plain)->SetClock([this] { return now_; });
  plain->SetShowEnter(false);
  plain->SetShowLeave(false);
  plain->Enter("A");
  now_ = 1.5;
  plain->Leave("A");
  for (const char* name : {"C", "xx_NOWHERE.UTF-8"}) {
    ::setenv("LC_ALL", name, 1);
    EXPECT_EQ(detail::EnvironmentLocale().name(), "C") << name;
    plain->Report();
    EXPECT_EQ(TakeOutput().back(), "  A: 1 calls, 1500.000ms (1500.000ms per call, avg)\n");
  }
  old ? ::setenv("LC_ALL", saved.c_str(), 1) : ::unsetenv("LC_ALL");
}

}  // namespace
}  // namespace velmira
