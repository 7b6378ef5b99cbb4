// The debugger's log file: one open, append and close per line, CR LF endings, names that cannot
// be opened, and write errors that reach the caller.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "debugger_fixture.h"

namespace velmira {
namespace {

using testing::Lines;
using testing::ReadFile;
using testing::WriteFile;

class LogFileTest : public testing::DebuggerTest {
 protected:
  /// True when this process holds an open descriptor for `name`.
  static bool IsOpenHere(const std::string& name) {
    const auto target = std::filesystem::weakly_canonical(name);
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
      std::error_code error;
      if (std::filesystem::read_symlink(fd.path(), error) == target) return true;
    }
    return false;
  }

  testing::ScratchDirectory dir_;
  const std::string log_ = dir_.File("log.txt");
};

TEST_F(LogFileTest, SettingTheNameCreatesTheFileEmpty) {
  debugger_->SetOutputFile(log_);
  EXPECT_EQ(debugger_->OutputFile(), log_);
  EXPECT_TRUE(std::filesystem::exists(log_));
  EXPECT_EQ(ReadFile(log_), "");
  ExpectSilence();
}

TEST_F(LogFileTest, LinesEndInCrLfInTheFileAndLfOnTheChannel) {
  debugger_->SetOutputFile(log_);
  debugger_->Enter("A");
  debugger_->Output("x", 5);
  EXPECT_EQ(ReadFile(log_), "Enter: A [1]\r\n  x\r\n    5\r\n");
  EXPECT_EQ(TakeOutput(), Lines({"Enter: A [1]", "  x", "    5"}));
}

TEST_F(LogFileTest, ExistingContentsAreKept) {
  WriteFile(log_, "old line\r\n");
  debugger_->SetOutputFile(log_);
  EXPECT_EQ(ReadFile(log_), "old line\r\n");
  debugger_->Output("new \xC3\xA9t\xC3\xA9");
  EXPECT_EQ(ReadFile(log_), "old line\r\nnew \xC3\xA9t\xC3\xA9\r\n");
}

TEST_F(LogFileTest, TheFileIsClosedBetweenLinesAndReopenedByName) {
  debugger_->SetOutputFile(log_);
  EXPECT_FALSE(IsOpenHere(log_));
  debugger_->Output("one");
  EXPECT_FALSE(IsOpenHere(log_));
  std::filesystem::remove(log_);
  debugger_->Output("two");
  EXPECT_EQ(ReadFile(log_), "two\r\n");
}

TEST_F(LogFileTest, OutputSettingsChooseTheDestinations) {
  debugger_->SetOutputFile(log_);
  debugger_->SetOutputToDebug(false);
  debugger_->Output("file only");
  ExpectSilence();
  debugger_->SetOutputToDebug(true);
  debugger_->SetOutputToFile(false);
  debugger_->Output("channel only");
  EXPECT_EQ(TakeOutput(), Lines({"channel only"}));
  EXPECT_EQ(ReadFile(log_), "file only\r\n");
  EXPECT_EQ(debugger_->OutputFile(), log_);  // OutputToFile does not touch the name
}

TEST_F(LogFileTest, EachAssignmentReplacesTheFileUsed) {
  const std::string second = dir_.File("second.txt");
  debugger_->SetOutputFile(log_);
  debugger_->Output("1");
  debugger_->SetOutputFile(second);
  debugger_->Output("2");
  EXPECT_EQ(ReadFile(log_), "1\r\n");
  EXPECT_EQ(ReadFile(second), "2\r\n");
}

/// Names that cannot be opened, relative to a scratch directory.
struct BadName {
  const char* label;
  std::string (*make)(const testing::ScratchDirectory&);
};

const BadName kBadNames[] = {
    {"Empty", [](const testing::ScratchDirectory&) { return std::string(); }},
    {"MissingDirectory",
     [](const testing::ScratchDirectory& d) { return d.File("missing/log.txt"); }},
    {"ADirectory", [](const testing::ScratchDirectory& d) { return d.Path().string(); }},
    {"UnderARegularFile",
     [](const testing::ScratchDirectory& d) {
       WriteFile(d.File("plain"), "");
       return d.File("plain/log.txt");
     }},
    {"EmbeddedNul", [](const testing::ScratchDirectory& d) { return d.File("log") + '\0' + "x"; }},
};

class BadLogFileNameTest : public LogFileTest, public ::testing::WithParamInterface<BadName> {};

TEST_P(BadLogFileNameTest, IsAcceptedSilentlyAndWritesNoFile) {
  debugger_->SetOutputFile(log_);
  const std::string name = GetParam().make(dir_);
  EXPECT_NO_THROW(debugger_->SetOutputFile(name));
  EXPECT_EQ(debugger_->OutputFile(), "");
  ExpectSilence();
  debugger_->Output("x");
  EXPECT_EQ(TakeOutput(), Lines({"x"}));
  EXPECT_EQ(ReadFile(log_), "");  // the previous file is no longer used either
  EXPECT_FALSE(std::filesystem::exists(dir_.File("missing")));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("log")));
  // A later good name is used again.
  debugger_->SetOutputFile(log_);
  debugger_->Output("y");
  EXPECT_EQ(ReadFile(log_), "y\r\n");
}

INSTANTIATE_TEST_SUITE_P(Names, BadLogFileNameTest, ::testing::ValuesIn(kBadNames),
                         [](const auto& info) { return std::string(info.param.label); });

/// Expects `action` to raise `Error` number `number` whose message names `file`.
template <class Action>
void ExpectFileError(Action action, std::int32_t number, const std::string& file) {
  try {
    action();
    ADD_FAILURE() << "no error raised";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), number);
    EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
  }
}

TEST_F(LogFileTest, AFullDiskRaisesDiskFullAfterTheChannelGotTheLine) {
  debugger_->SetOutputFile("/dev/full");
  EXPECT_EQ(debugger_->OutputFile(), "/dev/full");
  ExpectFileError([&] { debugger_->Output("A", "b"); }, kErrDiskFull, "/dev/full");
  EXPECT_EQ(TakeOutput(), Lines({"A"}));  // the member stopped at the failing line
}

TEST_F(LogFileTest, AFailedAssertIsCountedBeforeItsLineFails) {
  debugger_->SetOutputFile("/dev/full");
  ExpectFileError([&] { debugger_->Assert(false, "m"); }, kErrDiskFull, "/dev/full");
  EXPECT_EQ(RecordOf(impl_->FailedAssertions(), "m")->Count(), 1);
  EXPECT_EQ(TakeOutput(), Lines({"Assertion failed: m [1]"}));
}

TEST_F(LogFileTest, AnEnterWhoseLineFailsHasCountedButNotPushed) {
  debugger_->SetOutputFile("/dev/full");
  ExpectFileError([&] { debugger_->Enter("A"); }, kErrDiskFull, "/dev/full");
  EXPECT_EQ(RecordOf(impl_->ProcedureCounters(), "A")->Count(), 1);
  EXPECT_EQ(RecordOf(impl_->ProfileRecords(), "A")->Count(), 1);
  EXPECT_EQ(impl_->IndentLevel(), 0);
  EXPECT_TRUE(impl_->CallStack()->IsEmpty());
}

TEST_F(LogFileTest, ARemovedDirectoryRaisesPathNotFound) {
  std::filesystem::create_directory(dir_.Path() / "sub");
  const std::string name = dir_.File("sub/log.txt");
  debugger_->SetOutputFile(name);
  debugger_->Output("before");
  std::filesystem::remove_all(dir_.Path() / "sub");
  EXPECT_EQ(debugger_->OutputFile(), name);  // the name stays in use
  ExpectFileError([&] { debugger_->Output("after"); }, kErrPathNotFound, name);
  EXPECT_EQ(TakeOutput(), Lines({"before", "after"}));
}

TEST_F(LogFileTest, FileOutputOffSkipsEvenAFullDisk) {
  debugger_->SetOutputFile("/dev/full");
  debugger_->SetOutputToFile(false);
  EXPECT_NO_THROW(debugger_->Output("x"));
  EXPECT_EQ(TakeOutput(), Lines({"x"}));
}

}  // namespace
}  // namespace velmira
