// Report: its four sections, their order and layout, and the locale-dependent number format.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "debug/report_format.h"
#include "debugger_fixture.h"

namespace velmira {
namespace {

using testing::Lines;

constexpr const char* kProcedures = "Procedure Counters:";
constexpr const char* kResources = "Resource Counters:";
constexpr const char* kAssertions = "Failed Assertions:";
constexpr const char* kProfile = "Profiler Data:";

class ReportTest : public testing::DebuggerTest {
 protected:
  /// Enters and leaves `name` once, running for `seconds`.
  void Call(std::string_view name, double seconds) {
    debugger_->Enter(name);
    now_ += seconds;
    debugger_->Leave(name);
  }
  std::vector<std::string> ReportWrites() {
    TakeOutput();
    debugger_->Report();
    return TakeOutput();
  }
};

TEST_F(ReportTest, ANewDebuggerReportsTheFourHeadingsOnly) {
  EXPECT_EQ(ReportWrites(), Lines({kProcedures, kResources, kAssertions, kProfile}));
}

TEST_F(ReportTest, ShowReportFalseWritesNothing) {
  Call("A", 1.0);
  debugger_->SetShowReport(false);
  EXPECT_EQ(ReportWrites(), Lines({}));
}

TEST_F(ReportTest, ZeroCountersAreListedOnlyWithShowReportZeros) {
  Call("A", 0.25);
  debugger_->Acquire("R");
  debugger_->Release("R");
  debugger_->SetShowReportZeros(false);
  EXPECT_EQ(ReportWrites(), Lines({kProcedures, kResources, kAssertions, kProfile,
                                   "  A: 1 calls, 250.000ms (250.000ms per call, avg)"}));
  debugger_->SetShowReportZeros(true);
  EXPECT_EQ(ReportWrites(), Lines({kProcedures, "  A: 0", kResources, "  R: 0", kAssertions,
                                   kProfile, "  A: 1 calls, 250.000ms (250.000ms per call, avg)"}));
}

TEST_F(ReportTest, SectionsListTheirRecordsInAscendingCodeUnitOrder) {
  // Added out of order. Upper case sorts before lower case, the empty name first, text outside
  // ASCII last. The five procedures stay entered, so every line is ten spaces deeper.
  const char* const added[] = {"b", "\xC3\xA9", "B", "", "a"};
  const char* const sorted[] = {"", "B", "a", "b", "\xC3\xA9"};
  for (const char* name : added) {
    debugger_->Enter(name);
    debugger_->Acquire(name);
    debugger_->Assert(false, name);
  }
  std::vector<std::string> expected;
  const auto line = [&](int indent, const std::string& text) {
    expected.push_back(std::string(static_cast<std::size_t>(indent), ' ') + text + '\n');
  };
  for (const char* heading : {kProcedures, kResources, kAssertions}) {
    line(10, heading);
    for (const char* name : sorted) line(12, std::string(name) + ": 1");
  }
  line(10, kProfile);
  for (const char* name : sorted) {
    line(12, std::string(name) + ": 1 calls, 0.000ms (0.000ms per call, avg)");
  }
  EXPECT_EQ(ReportWrites(), expected);
}

TEST_F(ReportTest, ProfilerLineFollowsTheLocalesGroupingAndDecimalPoint) {
  Call("Main", 0.75);
  Call("Main", 0.75);
  EXPECT_EQ(ReportWrites().back(), "  Main: 2 calls, 1,500.000ms (750.000ms per call, avg)\n");
  impl_->SetReportLocale(testing::PunctuatedLocale('.', ','));
  EXPECT_EQ(ReportWrites().back(), "  Main: 2 calls, 1.500,000ms (750,000ms per call, avg)\n");
  impl_->SetReportLocale(std::locale::classic());
  EXPECT_EQ(ReportWrites().back(), "  Main: 2 calls, 1500.000ms (750.000ms per call, avg)\n");
}

/// Sets an environment variable for the life of the object, then restores it.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value, 1);
  }
  ~ScopedEnvironment() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ReportLocaleTest, TheEnvironmentsLocaleIsUsedAndAnUnknownOneFallsBackToClassic) {
  {
    ScopedEnvironment all("LC_ALL", "C");
    EXPECT_EQ(detail::EnvironmentLocale().name(), "C");
  }
  {
    ScopedEnvironment all("LC_ALL", "xx_NOWHERE.UTF-8");
    const std::locale locale = detail::EnvironmentLocale();
    EXPECT_EQ(locale.name(), "C");
    EXPECT_EQ(detail::FormatFixed3(1234.5, locale), "1234.500");
  }
}

TEST_F(ReportTest, WithoutAPinnedLocaleTheEnvironmentsIsUsed) {
  const Ref<Debugger> plain = New<Debugger>();
  double now = 0.0;
  As<detail::DebuggerImpl>(plain)->SetClock([&] { return now; });
  plain->Enter("A");
  now = 1.5;
  plain->Leave("A");
  TakeOutput();
  ScopedEnvironment all("LC_ALL", "C");
  plain->Report();
  EXPECT_EQ(TakeOutput().back(), "  A: 1 calls, 1500.000ms (1500.000ms per call, avg)\n");
}

struct Formatted {
  double value;
  char separator, point;
  const char* text;
};

class FormatFixed3Test : public ::testing::TestWithParam<Formatted> {};

TEST_P(FormatFixed3Test, HasThreeDecimalsAndTheLocalesPunctuation) {
  const Formatted& p = GetParam();
  EXPECT_EQ(detail::FormatFixed3(p.value, testing::PunctuatedLocale(p.separator, p.point)), p.text);
}

INSTANTIATE_TEST_SUITE_P(Values, FormatFixed3Test,
                         ::testing::Values(Formatted{1500.0, ',', '.', "1,500.000"},
                                           Formatted{750.0, ',', '.', "750.000"},
                                           Formatted{0.0, ',', '.', "0.000"},
                                           Formatted{0.0004, ',', '.', "0.000"},
                                           Formatted{0.0006, ',', '.', "0.001"},
                                           Formatted{1234567.891, '.', ',', "1.234.567,891"},
                                           Formatted{-1234.5, ',', '.', "-1,234.500"},
                                           Formatted{1e12, '\'', '.', "1'000'000'000'000.000"}));

}  // namespace
}  // namespace velmira
