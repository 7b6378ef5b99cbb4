// The debugger driven by scripts: lines and their number, warnings in order, counters,
// indentation, the profiler with a hand-set clock, the report, the log file and what each setting
// gates.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "debugger_script.h"
#include "script.h"

namespace velmira {
namespace {

using testing::DebuggerScript;

const std::string kW = "Debugger: Warning, ";
const std::string kLeaveMore = kW + "called Leave more times than Enter for procedure ";
const std::string kReleaseMore = kW + "called Release more times than Acquire for resource ";
const std::string kCallLimit = kW + "profiler call limit reached for procedure ";
const std::string kEnterMore = kW + "more than 2^31 outstanding calls to Enter for procedure ";
const std::string kAcquireMore = kW + "more than 2^31 outstanding calls to Acquire for resource ";
const std::string kAssertMore = kW + "more than 2^31 failed assertions for ";
const std::string kHeadings = "Procedure Counters:|Resource Counters:|Failed Assertions:|";
const std::string kZeroMs = " calls, 0.000ms (0.000ms per call, avg)|";

// clang-format off
const std::vector<testing::Row> kRows = {
    // Counters, nesting and warnings in step order.
    {"NestedEnterAndLeave", "+A +B oin -B -A #",
        "Enter: A [1]|  Enter: B [1]|    in|  Leave: B [0]|Leave: A [0]|{i0 s0}"},
    {"LeaveWithoutEnter", "-X # P +Y oin", kLeaveMore
        + "X|Leave: X [0]|{i-2 s0}{}Enter: Y [1]|in|"},
    {"LeaveOfAnotherProcedure", "+A @0.5 -B # P K", "Enter: A [1]|  " + kW
        + "Leaving procedure B, expected A|  " + kLeaveMore
        + "B|Leave: B [0]|{i0 s0}{A:1:500}{A1 B0||}"},
    {"LeaveNamesAreCaseSensitive", "+a -A ar aR", "Enter: a [1]|  " + kW
        + "Leaving procedure A, expected a|  " + kLeaveMore
        + "A|Leave: A [0]|Acquire: r [1]|Acquire: R [1]|"},
    {"EmptyNames", "+ a r - P", "Enter:  [1]|  Acquire:  [1]|  Release:  [0]|Leave:  [0]|{:1:0}"},
    {"UnicodeNames", "+Grüße oé,日😀 -Grüße", "Enter: Grüße [1]|  é|    日😀|Leave: Grüße [0]|"},
    {"ReleaseMoreThanAcquire", "aR aR rR rR rR #",
        "Acquire: R [1]|Acquire: R [2]|Release: R [1]|Release: R [0]|" + kReleaseMore
        + "R|Release: R [0]|{i0 s0}"},
    {"WarningsShowWithTheirLinesOff", "~ShowLeave ~ShowRelease -X rR", kLeaveMore + "X|"
        + kReleaseMore + "R|"},
    {"CountLimitsOfEnter", "+A -A MpA McA +A ~ShowEnter +A # P", "Enter: A [1]|Leave: A [0]|"
        + kCallLimit + "A|" + kEnterMore + "A|Enter: A [2147483647]|  " + kCallLimit + "A|  "
        + kEnterMore + "A|{i4 s2}{A:2147483647:0}"},
    {"CountLimitOfAcquire", "aR MrR aR ~ShowAcquire aR K", "Acquire: R [1]|" + kAcquireMore
        + "R|Acquire: R [2147483647]|" + kAcquireMore + "R|{|R2147483647|}"},
    // Assert: counted per exact text, shown as the settings say, warning at the limit.
    {"AssertCountsPerExactText", "=m K !m !m !M ! K",
        "{||}Assertion failed: m [1]|Assertion failed: m [2]|"
        "Assertion failed: M [1]|Assertion failed:  [1]|{||1 M1 m2}"},
    {"AssertSettings", "~ShowAssertCount !m !m ~ShowAssert !m ^ShowAssert ^ShowAssertCount !m",
        "Assertion failed: m|Assertion failed: m|Assertion failed: m [4]|"},
    {"AssertCountLimit", "!m Mam !m ~ShowAssert !m K", "Assertion failed: m [1]|" + kAssertMore
        + "m|Assertion failed: m [2147483647]|" + kAssertMore + "m|{||m2147483647}"},
    {"NoDestination", "~OutputToDebug ~OutputToFile oX !m +A K", "{A1||m1}"},
    // Indentation: capped at 128, extra messages two deeper, none when negative or switched off.
    {"IndentCappedAt128", "n70 # oX,Y +Q", "{i140 s70}<128>X|<130>Y|<128>Enter: Q [1]|"},
    {"IndentOfExtraMessages", "n63 oX +Q oY", "<126>X|<126>Enter: Q [1]|<128>Y|"},
    {"NegativeIndentShowsNone", "-X -X # oX,Y +Y oZ,W", kLeaveMore + "X|Leave: X [0]|" + kLeaveMore
        + "X|Leave: X [0]|{i-4 s0}X|Y|Enter: Y [1]|Z|W|"},
    {"IndentOverflow", "I2147483646 +A # P", "<128>Enter: A [1]|<E6>{i2147483646 s0}{A:1:0}"},
    {"IndentUnderflow", "+A I-2147483647 @0.25 -A # P K",
        "Enter: A [1]|<E6>{i-2147483647 s0}{A:1:250}{A0||}"},
    // The profiler charges only the procedure on top, once per period.
    {"ProfilerChargesTheTopProcedure", "+A @1 +B @3 -B @6 -A P",
        "Enter: A [1]|  Enter: B [1]|  Leave: B [0]|Leave: A [0]|{A:1:4000 B:1:2000}"},
    {"ProfilerTicksOncePerPeriod", "T ~ShowEnter ~ShowLeave +A +B -B -A P", "{A:1:2000 B:1:1000}"},
    {"RecursiveProcedure", "+F @1 +F K @3 -F @6 -F P",
        "Enter: F [1]|  Enter: F [2]|{F2||}  Leave: F [1]|Leave: F [0]|{F:2:6000}"},
    {"ClearCountersKeepsTheCallStack", "+A aR !m C # K P @2 -A # P",
        "Enter: A [1]|  Acquire: R [1]|  Assertion failed: m [1]|{i0 s1}" "{||m1}{A:1:0}"
        + kLeaveMore + "A|Leave: A [0]|{i-2 s0}{A:1:2000}"},
    // The report.
    {"EmptyReport", "R", kHeadings + "Profiler Data:|"},
    {"ReportInsideAProcedure", "+A !m R -A",
        "Enter: A [1]|  Assertion failed: m [1]|  Procedure Counters:|    A: 1|  "
        "Resource Counters:|  Failed Assertions:|    m: 1|  Profiler Data:|    A: 1" + kZeroMs
        + "Leave: A [0]|"},
    {"ReportOrderOfNames", "~ShowEnter ~ShowLeave ~ShowAcquire ~ShowAssert ~ShowReportZeros"
        " +b -b ab !b +é -é aé !é +B -B aB !B + - a ! +a -a aa !a R",
        "Procedure Counters:|Resource Counters:|  : 1|  B: 1|  a: 1|  b: 1|  é: 1|"
        "Failed Assertions:|  : 1|  B: 1|  a: 1|  b: 1|  é: 1|Profiler Data:|  : 1" + kZeroMs
        + "  B: 1" + kZeroMs + "  a: 1" + kZeroMs + "  b: 1" + kZeroMs + "  é: 1" + kZeroMs},
    {"ReportNumberFormat", "~ShowEnter ~ShowLeave +Main @0.75 -Main +Main @1.5 -Main R",
        "Procedure Counters:|  Main: 0|Resource Counters:|Failed Assertions:|Profiler Data:|"
        "  Main: 2 calls, 1,500.000ms (750.000ms per call, avg)|"},
    // The log file: created, contents kept, CR LF, reopened by name for every line.
    {"LogFileKeepsOldContents", "f$/log O F$/log +A oé,5 F$/log",
        "{$/log}{old\r\n}Enter: A [1]|  é|    5|" "{old\r\nEnter: A [1]\r\n  é\r\n    5\r\n}"},
    {"LogFileCreated", "F$/new f$/new O F$/new oX F$/new", "{none}{$/new}{}X|{X\r\n}"},
    {"LogFileRecreatedWhenRemoved", "f$/log x$/log oone F$/log", "one|{one\r\n}"},
    {"TwoLogFiles", "f$/log o1 f$/two o2 F$/log F$/two", "1|2|{old\r\n1\r\n}{2\r\n}"},
    // Write errors reach the caller after the debug channel got the line.
    {"WriteErrorAfterTheChannel", "f/dev/full O oA,b F$/log", "{/dev/full}A|<E61>{old\r\n}"},
    {"WriteErrorOfAnAssert", "f/dev/full !m K", "Assertion failed: m [1]|<E61>{||m1}"},
    {"WriteErrorOfEnter", "f/dev/full +A # K P", "Enter: A [1]|<E61>{i0 s0}{A1||}{A:1:0}"},
    {"WriteErrorNotWithoutFile", "f/dev/full ~OutputToFile oX", "X|"},
    {"WriteErrorOfAMissingDirectory", "d$/sub f$/sub/log ob x$/sub oa O", "b|a|<E76>{$/sub/log}"},
};
// clang-format on

TEST_F(DebuggerScript, ScriptsWriteTheExpectedLines) {
  testing::RunRows(kRows, [this](const testing::Row& row) {
    Reset();
    return Run(row.script);
  });
}

TEST_F(DebuggerScript, NamesThatCannotBeOpenedReadAsEmptyAndWriteNoFile) {
  for (const char* bad : {"f", "f$/missing/log", "f$", "f$/plain/log", "f$/log%x", "f$/fifo"}) {
    Reset();
    EXPECT_EQ(Run(std::string("f$/log ") + bad + " O oX F$/log F$/missing f$/log oY F$/log"),
              "{}X|{old\r\n}{none}Y|{old\r\nY\r\n}")
        << bad;
  }
}

TEST_F(DebuggerScript, AFileErrorNamesTheFile) {
  Run("f/dev/full");
  EXPECT_THAT([&] { debugger_->Output("x"); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr("/dev/full")));
  TakeOutput();
}

// One workload run with each setting switched off in turn: the lines (on the channel and, with
// CR LF, in the log file) are those of all settings on, with `from` replaced by `to`.
struct Gate {
  const char* setting;
  std::string from, to;
};

const std::string kBody =
    "Enter: A [1]|  Assertion failed: m [1]|  X|    Y|  Acquire: R [1]|  Release: R [0]|"
    "Leave: A [0]|";
const std::string kReport =
    "Procedure Counters:|  A: 0|Resource Counters:|  R: 0|Failed Assertions:|  m: 1|"
    "Profiler Data:|  A: 1" +
    kZeroMs;

const Gate kGates[] = {
    {"", "", ""},
    {"ShowOutput", "  X|    Y|", ""},
    {"ShowIndent", kBody,
     "Enter: A [1]|Assertion failed: m [1]|X|  Y|Acquire: R [1]|Release: R [0]|Leave: A [0]|"},
    {"ShowAssert", "  Assertion failed: m [1]|", ""},
    {"ShowAssertCount", "m [1]|", "m|"},
    {"ShowEnter", "Enter: A [1]|", ""},
    {"ShowEnterCount", "Enter: A [1]|", "Enter: A|"},
    {"ShowLeave", "Leave: A [0]|", ""},
    {"ShowLeaveCount", "Leave: A [0]|", "Leave: A|"},
    {"ShowAcquire", "  Acquire: R [1]|", ""},
    {"ShowAcquireCount", "Acquire: R [1]|", "Acquire: R|"},
    {"ShowRelease", "  Release: R [0]|", ""},
    {"ShowReleaseCount", "Release: R [0]|", "Release: R|"},
    {"ShowReport", kReport, ""},
    {"ShowReportZeros", "  A: 0|Resource Counters:|  R: 0|", "Resource Counters:|"},
    {"OutputToDebug", "", ""},
    {"OutputToFile", "", ""},
};

TEST_F(DebuggerScript, EachSettingGatesOnlyItsOwnLines) {
  for (const Gate& g : kGates) {
    SCOPED_TRACE(g.setting);
    Reset();
    const std::string off = g.setting;
    if (!off.empty()) Run("~" + off);
    for (const testing::Setting& s : testing::kSettings) {
      EXPECT_EQ(((*debugger_).*s.get)(), s.name != off) << s.name;
    }
    std::string expected = kBody + kReport;
    const auto at = expected.find(g.from);
    ASSERT_NE(at, std::string::npos);
    expected.replace(at, g.from.size(), g.to);
    EXPECT_EQ(Run("f$/g +A !m oX,Y aR rR -A R"), off == "OutputToDebug" ? "" : expected);
    std::string file;
    for (char c : expected) file += c == '|' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Run("F$/g"), "{" + (off == "OutputToFile" ? "" : file) + "}");
  }
}

TEST_F(DebuggerScript, AMillisecondLateInTheDayIsReportedAsOneMillisecond) {
  const std::string line = "  E: 1 calls, 1.000ms (1.000ms per call, avg)|";
  for (double start : {0.0, 43200.0, 65536.0, 86399.0, 7 * 86400.0 + 86399.0}) {
    Reset();
    const std::string out = Run("~ShowEnter ~ShowLeave @" + std::to_string(start) + " +E @" +
                                std::to_string(start + 0.001) + " -E R");
    EXPECT_EQ(out.substr(out.size() - std::min(out.size(), line.size())), line) << start;
  }
}

}  // namespace
}  // namespace velmira
