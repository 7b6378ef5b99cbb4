// The debugger's settings, line writer (indentation), Output and Assert.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "debugger_fixture.h"
#include "velmira/linear/stack.h"

namespace velmira {
namespace {

using testing::DebuggerTest;
using testing::kSettings;
using testing::Lines;
using testing::Setting;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// --- Settings -----------------------------------------------------------------------------------

class DebuggerSettingTest : public DebuggerTest, public ::testing::WithParamInterface<Setting> {};

TEST_P(DebuggerSettingTest, StartsTrueAndChangesAloneWithoutWriting) {
  const Setting& setting = GetParam();
  Debugger& d = *debugger_;
  for (const Setting& each : kSettings) EXPECT_TRUE((d.*each.get)()) << each.name;
  (d.*setting.set)(false);
  for (const Setting& each : kSettings) {
    EXPECT_EQ((d.*each.get)(), std::string_view(each.name) != setting.name) << each.name;
  }
  (d.*setting.set)(true);
  EXPECT_TRUE((d.*setting.get)());
  ExpectSilence();
}

INSTANTIATE_TEST_SUITE_P(AllSixteen, DebuggerSettingTest, ::testing::ValuesIn(kSettings),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Output -------------------------------------------------------------------------------------

using OutputTest = DebuggerTest;

TEST_F(OutputTest, NewDebuggerWritesOneLineToTheChannelAndNoFile) {
  EXPECT_EQ(debugger_->OutputFile(), "");
  debugger_->Output("x");
  EXPECT_EQ(TakeOutput(), Lines({"x"}));
}

TEST_F(OutputTest, ExtraMessagesComeOneLineEachTwoSpacesDeeper) {
  debugger_->Output("A", Variant::Null(), 5, "b");
  EXPECT_EQ(TakeOutput(), Lines({"A", "  Null", "  5", "  b"}));
}

TEST_F(OutputTest, ExtraMessagesMayComeAsAList) {
  const std::vector<Variant> extra = {Variant(true), Variant(2.5), Variant()};
  debugger_->Output("A", extra);
  EXPECT_EQ(TakeOutput(), Lines({"A", "  True", "  2.5", "  "}));
}

TEST_F(OutputTest, ShowOutputFalseSilencesOutputButNotAssert) {
  debugger_->SetShowOutput(false);
  debugger_->Output("x", 1, 2);
  ExpectSilence();
  debugger_->Assert(false, "m");
  EXPECT_EQ(TakeOutput(), Lines({"Assertion failed: m [1]"}));
}

TEST_F(OutputTest, AnObjectReferenceFailsWithTypeMismatchAfterTheLinesBeforeIt) {
  const Ref<Stack> object = New<Stack>();
  try {
    debugger_->Output("A", 1, object, 2);
    FAIL() << "no error raised";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), kErrTypeMismatch);
  }
  EXPECT_EQ(TakeOutput(), Lines({"A", "  1"}));
}

TEST_F(OutputTest, TextOutsideAsciiIsWrittenAsUtf8Bytes) {
  debugger_->Output("Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC", "\xE6\x97\xA5\xF0\x9F\x98\x80");
  EXPECT_EQ(TakeOutput(),
            Lines({"Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC", "  \xE6\x97\xA5\xF0\x9F\x98\x80"}));
}

TEST_F(OutputTest, NothingIsWrittenAnywhereWithBothOutputsOff) {
  debugger_->SetOutputToDebug(false);
  debugger_->SetOutputToFile(false);
  debugger_->Output("x", 1);
  debugger_->Assert(false, "m");
  debugger_->Enter("A");
  ExpectSilence();
  EXPECT_EQ(RecordOf(impl_->FailedAssertions(), "m")->Count(), 1);
  EXPECT_EQ(RecordOf(impl_->ProcedureCounters(), "A")->Count(), 1);
}

// --- Assert -------------------------------------------------------------------------------------

using AssertTest = DebuggerTest;

TEST_F(AssertTest, TrueExpressionWritesAndCountsNothing) {
  debugger_->Assert(true, "m");
  ExpectSilence();
  EXPECT_TRUE(impl_->FailedAssertions()->IsEmpty());
}

TEST_F(AssertTest, FailuresAreCountedPerMessageText) {
  debugger_->Assert(false, "m");
  debugger_->Assert(false, "m");
  debugger_->Assert(false, "M");
  debugger_->Assert(false, "");
  EXPECT_EQ(TakeOutput(), Lines({"Assertion failed: m [1]", "Assertion failed: m [2]",
                                 "Assertion failed: M [1]", "Assertion failed:  [1]"}));
}

TEST_F(AssertTest, CountIsKeptWhileItIsNotShown) {
  debugger_->SetShowAssertCount(false);
  debugger_->Assert(false, "m");
  debugger_->Assert(false, "m");
  EXPECT_EQ(TakeOutput(), Lines({"Assertion failed: m", "Assertion failed: m"}));
  debugger_->SetShowAssert(false);
  debugger_->Assert(false, "m");
  ExpectSilence();
  debugger_->SetShowAssert(true);
  debugger_->SetShowAssertCount(true);
  debugger_->Assert(false, "m");
  EXPECT_EQ(TakeOutput(), Lines({"Assertion failed: m [4]"}));
}

TEST_F(AssertTest, AtTheLimitEveryFailureWarnsAndTheCountStays) {
  debugger_->Assert(false, "m");
  RecordOf(impl_->FailedAssertions(), "m")->SetCount(kMax);
  TakeOutput();
  for (int i = 0; i < 2; ++i) {
    debugger_->Assert(false, "m");
    EXPECT_EQ(TakeOutput(), Lines({"Debugger: Warning, more than 2^31 failed assertions for m",
                                   "Assertion failed: m [2147483647]"}));
  }
  // The warning does not depend on ShowAssert.
  debugger_->SetShowAssert(false);
  debugger_->Assert(false, "m");
  EXPECT_EQ(TakeOutput(), Lines({"Debugger: Warning, more than 2^31 failed assertions for m"}));
  EXPECT_EQ(RecordOf(impl_->FailedAssertions(), "m")->Count(), kMax);
}

// --- Indentation --------------------------------------------------------------------------------

class IndentTest : public DebuggerTest {
 protected:
  void EnterMany(int count) {
    for (int i = 0; i < count; ++i) debugger_->Enter("P" + std::to_string(i));
    TakeOutput();
  }
  static std::string Spaces(int n) { return std::string(static_cast<std::size_t>(n), ' '); }
};

TEST_F(IndentTest, SeventyNestedEntersAreCappedAt128Spaces) {
  EnterMany(70);
  EXPECT_EQ(impl_->IndentLevel(), 140);
  debugger_->Output("x", "y");
  EXPECT_EQ(TakeOutput(), Lines({Spaces(128) + "x", Spaces(130) + "y"}));
  debugger_->Enter("Q");
  EXPECT_EQ(TakeOutput(), Lines({Spaces(128) + "Enter: Q [1]"}));
}

TEST_F(IndentTest, EachEnterIndentsByTwoUntilTheCap) {
  EnterMany(63);  // 126 spaces
  debugger_->Output("x");
  debugger_->Enter("Q");
  debugger_->Output("y");
  EXPECT_EQ(TakeOutput(),
            Lines({Spaces(126) + "x", Spaces(126) + "Enter: Q [1]", Spaces(128) + "y"}));
}

TEST_F(IndentTest, ShowIndentFalseKeepsOnlyTheExtraMessagesTwoSpaces) {
  EnterMany(3);
  debugger_->SetShowIndent(false);
  debugger_->Output("x", "y");
  EXPECT_EQ(TakeOutput(), Lines({"x", "  y"}));
}

TEST_F(IndentTest, NegativeLevelsGiveNoIndentation) {
  debugger_->Leave("X");
  debugger_->Leave("X");
  TakeOutput();
  EXPECT_EQ(impl_->IndentLevel(), -4);
  debugger_->Output("x", "y");  // 2 - 4 is negative: no spaces at all
  debugger_->Enter("Y");
  debugger_->Output("z", "w");  // level -2: the extra message's two spaces are used up
  EXPECT_EQ(TakeOutput(), Lines({"x", "y", "Enter: Y [1]", "z", "w"}));
}

TEST_F(IndentTest, EnterPastTheLargestLevelRaisesOverflowBeforePushing) {
  impl_->SetIndentLevel(kMax - 1);
  try {
    debugger_->Enter("A");
    FAIL() << "no error raised";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), kErrOverflow);
  }
  // Counters and the line are done; the level and the call stack are not changed.
  EXPECT_EQ(TakeOutput(), Lines({Spaces(128) + "Enter: A [1]"}));
  EXPECT_EQ(impl_->IndentLevel(), kMax - 1);
  EXPECT_TRUE(impl_->CallStack()->IsEmpty());
  EXPECT_EQ(RecordOf(impl_->ProfileRecords(), "A")->Count(), 1);
}

TEST_F(IndentTest, LeavePastTheSmallestLevelRaisesOverflowBeforeItsLine) {
  debugger_->Enter("A");
  TakeOutput();
  impl_->SetIndentLevel(kMin + 1);
  now_ = 0.25;
  try {
    debugger_->Leave("A");
    FAIL() << "no error raised";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), kErrOverflow);
  }
  ExpectSilence();
  EXPECT_TRUE(impl_->CallStack()->IsEmpty());
  EXPECT_EQ(RecordOf(impl_->ProcedureCounters(), "A")->Count(), 0);
  EXPECT_DOUBLE_EQ(ProfiledMs("A"), 250.0);
  EXPECT_EQ(impl_->IndentLevel(), kMin + 1);
}

}  // namespace
}  // namespace velmira
