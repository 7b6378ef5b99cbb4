#include "velmira/core/debug_output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "capture.h"

namespace velmira {
namespace {

/// Runs `body` with stderr redirected into a pipe and returns what reached it.
template <class Body>
std::string CaptureStderr(Body body) {
  int fds[2];
  EXPECT_EQ(::pipe(fds), 0);
  const int saved = ::dup(STDERR_FILENO);
  ::dup2(fds[1], STDERR_FILENO);
  body();
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  ::close(fds[1]);
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  ::close(fds[0]);
  return text;
}

TEST(DebugOutput, DefaultSinkEndsEachMessageWithOneLineFeed) {
  DebugSink previous = SetDebugOutput(nullptr);
  const std::string text = CaptureStderr([] {
    WriteDebugOutput("Stack: Warning, an attempt was made to Add Nothing");
    WriteDebugOutput("already terminated\n");
    WriteDebugOutput("");
  });
  SetDebugOutput(previous);
  EXPECT_EQ(text, "Stack: Warning, an attempt was made to Add Nothing\nalready terminated\n\n");
}

TEST(DebugOutput, SinkReceivesEachWriteExactlyAndCanBeReplaced) {
  std::vector<std::string> first, second;
  DebugSink original = SetDebugOutput([&](std::string_view t) { first.emplace_back(t); });
  WriteDebugOutput("one");
  WriteDebugOutput("two\n");
  DebugSink replaced = SetDebugOutput([&](std::string_view t) { second.emplace_back(t); });
  WriteDebugOutput("three");
  // The sink handed back is the one installed before: writing through it reaches `first`.
  replaced("direct");
  SetDebugOutput(original);
  EXPECT_EQ(first, (std::vector<std::string>{"one", "two\n", "direct"}));
  EXPECT_EQ(second, (std::vector<std::string>{"three"}));
}

TEST(DebugOutput, ThrowingSinkIsNotSeenByTheWriter) {
  DebugSink previous =
      SetDebugOutput([](std::string_view) { throw std::runtime_error("sink failed"); });
  EXPECT_NO_THROW(WriteDebugOutput("x"));
  SetDebugOutput(previous);
}

TEST(DebugOutput, CapturedOutputRestoresThePreviousSink) {
  std::vector<std::string> outer;
  DebugSink original = SetDebugOutput([&](std::string_view t) { outer.emplace_back(t); });
  {
    testing::CapturedOutput inner;
    WriteDebugOutput("inner");
    EXPECT_EQ(inner.Writes(), std::vector<std::string>{"inner"});
  }
  WriteDebugOutput("outer");
  SetDebugOutput(original);
  EXPECT_EQ(outer, std::vector<std::string>{"outer"});
}

}  // namespace
}  // namespace velmira
