// Enter, Leave, Acquire, Release and ClearCounters: lines, warnings, counters and the profiler.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <string>
#include <thread>

#include "debugger_fixture.h"

namespace velmira {
namespace {

using testing::Lines;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

using CounterTest = testing::DebuggerTest;

TEST_F(CounterTest, NestedEnterAndLeaveLinesStandAtTheCallersDepth) {
  debugger_->Enter("A");
  debugger_->Enter("B");
  debugger_->Output("inside");
  debugger_->Leave("B");
  debugger_->Leave("A");
  EXPECT_EQ(TakeOutput(), Lines({"Enter: A [1]", "  Enter: B [1]", "    inside", "  Leave: B [0]",
                                 "Leave: A [0]"}));
  EXPECT_EQ(impl_->IndentLevel(), 0);
  EXPECT_TRUE(impl_->CallStack()->IsEmpty());
}

TEST_F(CounterTest, LeaveOfAProcedureNeverEnteredWarnsAndUnindents) {
  debugger_->Leave("X");
  EXPECT_EQ(TakeOutput(),
            Lines({"Debugger: Warning, called Leave more times than Enter for procedure X",
                   "Leave: X [0]"}));
  EXPECT_EQ(impl_->IndentLevel(), -2);
  EXPECT_TRUE(impl_->ProfileRecords()->IsEmpty());  // an empty call stack charges nobody
  debugger_->Enter("Y");
  debugger_->Output("inside Y");
  EXPECT_EQ(TakeOutput(), Lines({"Enter: Y [1]", "inside Y"}));
}

// Leave's warnings come before the level shrinks, so they stand inside the procedure; its own
// line stands at the depth of the Enter line.
TEST_F(CounterTest, MismatchedLeaveWarnsThenChargesTheProcedureOnTop) {
  debugger_->Enter("A");
  now_ = 0.5;
  debugger_->Leave("B");
  EXPECT_EQ(TakeOutput(),
            Lines({"Enter: A [1]", "  Debugger: Warning, Leaving procedure B, expected A",
                   "  Debugger: Warning, called Leave more times than Enter for procedure B",
                   "Leave: B [0]"}));
  EXPECT_EQ(RecordOf(impl_->ProcedureCounters(), "A")->Count(), 1);
  EXPECT_DOUBLE_EQ(ProfiledMs("A"), 500.0);
  EXPECT_FALSE(impl_->ProfileRecords()->Exists(Variant("B")));
  EXPECT_TRUE(impl_->CallStack()->IsEmpty());
}

TEST_F(CounterTest, NamesDifferingOnlyInCaseAreDifferentProcedures) {
  debugger_->Enter("a");
  debugger_->Leave("A");
  EXPECT_EQ(TakeOutput(),
            Lines({"Enter: a [1]", "  Debugger: Warning, Leaving procedure A, expected a",
                   "  Debugger: Warning, called Leave more times than Enter for procedure A",
                   "Leave: A [0]"}));
  debugger_->Acquire("r");
  debugger_->Acquire("R");
  EXPECT_EQ(TakeOutput(), Lines({"Acquire: r [1]", "Acquire: R [1]"}));
}

TEST_F(CounterTest, TheEmptyNameIsAProcedureAndAResourceLikeAnyOther) {
  debugger_->Enter("");
  debugger_->Acquire("");
  debugger_->Release("");
  debugger_->Leave("");
  EXPECT_EQ(TakeOutput(),
            Lines({"Enter:  [1]", "  Acquire:  [1]", "  Release:  [0]", "Leave:  [0]"}));
  EXPECT_EQ(RecordOf(impl_->ProfileRecords(), "")->Count(), 1);
}

TEST_F(CounterTest, ReleaseBelowZeroWarnsAndStaysAtZero) {
  debugger_->Acquire("R");
  debugger_->Acquire("R");
  debugger_->Release("R");
  debugger_->Release("R");
  debugger_->Release("R");
  EXPECT_EQ(TakeOutput(),
            Lines({"Acquire: R [1]", "Acquire: R [2]", "Release: R [1]", "Release: R [0]",
                   "Debugger: Warning, called Release more times than Acquire for resource R",
                   "Release: R [0]"}));
  EXPECT_EQ(impl_->IndentLevel(), 0);  // resources do not indent
}

TEST_F(CounterTest, WarningsAreWrittenWhateverTheShowSettings) {
  debugger_->SetShowLeave(false);
  debugger_->SetShowRelease(false);
  debugger_->Leave("X");
  debugger_->Release("R");
  EXPECT_EQ(TakeOutput(),
            Lines({"Debugger: Warning, called Leave more times than Enter for procedure X",
                   "Debugger: Warning, called Release more times than Acquire for resource R"}));
}

TEST_F(CounterTest, EnterAtBothLimitsWarnsInStepOrderAndStillEnters) {
  debugger_->Enter("A");
  debugger_->Leave("A");
  RecordOf(impl_->ProfileRecords(), "A")->SetCount(kMax);
  RecordOf(impl_->ProcedureCounters(), "A")->SetCount(kMax);
  TakeOutput();
  debugger_->Enter("A");
  EXPECT_EQ(TakeOutput(),
            Lines({"Debugger: Warning, profiler call limit reached for procedure A",
                   "Debugger: Warning, more than 2^31 outstanding calls to Enter for procedure A",
                   "Enter: A [2147483647]"}));
  EXPECT_EQ(RecordOf(impl_->ProfileRecords(), "A")->Count(), kMax);
  EXPECT_EQ(impl_->IndentLevel(), 2);
  EXPECT_FALSE(impl_->CallStack()->IsEmpty());
}

TEST_F(CounterTest, AcquireAtTheLimitWarnsAndKeepsTheCount) {
  debugger_->Acquire("R");
  RecordOf(impl_->ResourceCounters(), "R")->SetCount(kMax);
  TakeOutput();
  debugger_->Acquire("R");
  EXPECT_EQ(TakeOutput(),
            Lines({"Debugger: Warning, more than 2^31 outstanding calls to Acquire for resource R",
                   "Acquire: R [2147483647]"}));
}

TEST_F(CounterTest, ClearCountersEmptiesBothCounterTreesAndTheIndentOnly) {
  debugger_->Enter("A");
  debugger_->Acquire("R");
  debugger_->Assert(false, "m");
  debugger_->ClearCounters();
  EXPECT_TRUE(impl_->ProcedureCounters()->IsEmpty());
  EXPECT_TRUE(impl_->ResourceCounters()->IsEmpty());
  EXPECT_EQ(impl_->IndentLevel(), 0);
  EXPECT_FALSE(impl_->CallStack()->IsEmpty());
  EXPECT_TRUE(impl_->ProfileRecords()->Exists(Variant("A")));
  EXPECT_TRUE(impl_->FailedAssertions()->Exists(Variant("m")));
}

/// Which member a "Show" pair governs, and the line it writes with and without the count.
struct ShownLine {
  const char* label;
  void (Debugger::*show)(bool) noexcept;
  void (Debugger::*show_count)(bool) noexcept;
  void (Debugger::*act)(std::string_view);
  const char* with_count;
  const char* without_count;
};

const ShownLine kShownLines[] = {
    {"Enter", &Debugger::SetShowEnter, &Debugger::SetShowEnterCount, &Debugger::Enter,
     "Enter: N [4]", "Enter: N"},
    {"Leave", &Debugger::SetShowLeave, &Debugger::SetShowLeaveCount, &Debugger::Leave,
     "Leave: N [2]", "Leave: N"},
    {"Acquire", &Debugger::SetShowAcquire, &Debugger::SetShowAcquireCount, &Debugger::Acquire,
     "Acquire: N [4]", "Acquire: N"},
    {"Release", &Debugger::SetShowRelease, &Debugger::SetShowReleaseCount, &Debugger::Release,
     "Release: N [2]", "Release: N"},
};

class ShownLineTest : public testing::DebuggerTest,
                      public ::testing::WithParamInterface<ShownLine> {
 protected:
  /// The one write since the last call, without its indentation.
  std::string OneLine() {
    const std::vector<std::string> writes = TakeOutput();
    if (writes.size() != 1) return "writes: " + std::to_string(writes.size());
    return writes[0].substr(writes[0].find_first_not_of(' '));
  }
  void SetUp() override {
    // Three outstanding of each, so that every member below changes a count without warning.
    for (int i = 0; i < 3; ++i) {
      debugger_->Enter("N");
      debugger_->Acquire("N");
    }
    TakeOutput();
  }
};

TEST_P(ShownLineTest, ShowSettingsGateTheLineAndItsCountButNotTheCounting) {
  const ShownLine& p = GetParam();
  Debugger& d = *debugger_;
  (d.*p.act)("N");
  EXPECT_EQ(OneLine(), std::string(p.with_count) + '\n');
  (d.*p.show_count)(false);
  (d.*p.show)(false);
  (d.*p.act)("N");
  ExpectSilence();
  (d.*p.show)(true);
  (d.*p.act)("N");
  EXPECT_EQ(OneLine(), std::string(p.without_count) + '\n');
}

INSTANTIATE_TEST_SUITE_P(Members, ShownLineTest, ::testing::ValuesIn(kShownLines),
                         [](const auto& info) { return std::string(info.param.label); });

// --- The profiler -------------------------------------------------------------------------------

using ProfilerTest = testing::DebuggerTest;

TEST_F(ProfilerTest, TimeGoesOnlyToTheProcedureOnTop) {
  debugger_->Enter("A");
  now_ = 1.0;
  debugger_->Enter("B");
  now_ = 3.0;
  debugger_->Leave("B");
  now_ = 6.0;
  debugger_->Leave("A");
  EXPECT_DOUBLE_EQ(ProfiledMs("A"), 4000.0);
  EXPECT_DOUBLE_EQ(ProfiledMs("B"), 2000.0);
}

TEST_F(ProfilerTest, TheDebuggersOwnWorkBetweenTwoReadingsIsChargedToNobody) {
  int readings = 0;
  // Every reading is one second after the previous one.
  impl_->SetClock([&] { return static_cast<double>(++readings); });
  debugger_->Enter("A");  // readings 1, 2: A runs from 2
  debugger_->Enter("B");  // 3: A gets 1; B runs from 4
  debugger_->Leave("B");  // 5: B gets 1; A resumes at 6
  debugger_->Leave("A");  // 7: A gets 1; the stack is empty, no further reading
  EXPECT_EQ(readings, 7);
  EXPECT_DOUBLE_EQ(ProfiledMs("A"), 2000.0);
  EXPECT_DOUBLE_EQ(ProfiledMs("B"), 1000.0);
}

TEST_F(ProfilerTest, RecursionCountsEveryCallAndChargesEachPeriodOnce) {
  debugger_->Enter("F");
  now_ = 1.0;
  debugger_->Enter("F");
  EXPECT_EQ(RecordOf(impl_->ProfileRecords(), "F")->Count(), 2);
  EXPECT_EQ(RecordOf(impl_->ProcedureCounters(), "F")->Count(), 2);
  now_ = 3.0;
  debugger_->Leave("F");
  now_ = 6.0;
  debugger_->Leave("F");
  EXPECT_DOUBLE_EQ(ProfiledMs("F"), 6000.0);  // exactly the time between first Enter and last Leave
  EXPECT_EQ(TakeOutput(),
            Lines({"Enter: F [1]", "  Enter: F [2]", "  Leave: F [1]", "Leave: F [0]"}));
}

TEST_F(ProfilerTest, ClearCountersInsideAnEnterStillChargesTheProcedure) {
  debugger_->Enter("A");
  debugger_->ClearCounters();
  now_ = 2.0;
  debugger_->Leave("A");
  EXPECT_EQ(TakeOutput(),
            Lines({"Enter: A [1]",
                   "Debugger: Warning, called Leave more times than Enter for procedure A",
                   "Leave: A [0]"}));
  EXPECT_DOUBLE_EQ(ProfiledMs("A"), 2000.0);
  EXPECT_EQ(impl_->IndentLevel(), -2);
}

TEST_F(ProfilerTest, TheMonotonicClockMeasuresInSeconds) {
  impl_->SetClock({});
  debugger_->Enter("A");
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  debugger_->Leave("A");
  EXPECT_GE(ProfiledMs("A"), 5.0);
}

/// Seconds since midnight at which a one-millisecond call starts.
class TimeOfDayTest : public testing::DebuggerTest, public ::testing::WithParamInterface<double> {};

TEST_P(TimeOfDayTest, AMillisecondIsReportedAsOneMillisecond) {
  now_ = GetParam();
  debugger_->Enter("Evening");
  now_ = GetParam() + 0.001;
  debugger_->Leave("Evening");
  TakeOutput();
  debugger_->Report();
  const std::vector<std::string> writes = TakeOutput();
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.back(), "  Evening: 1 calls, 1.000ms (1.000ms per call, avg)\n");
}

// Midnight, noon, 18:12:16 (2^16 s, from where 32-bit readings step by 7.8 ms), and the last
// second of the day; and the same a week later.
INSTANTIATE_TEST_SUITE_P(LateAndEarly, TimeOfDayTest,
                         ::testing::Values(0.0, 43200.0, 65536.0, 86399.0, 7 * 86400.0 + 86399.0));

}  // namespace
}  // namespace velmira
