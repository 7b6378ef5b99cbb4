#include "capture.h"

#include <utility>

namespace velmira::testing {

CapturedOutput::CapturedOutput()
    : previous_(SetDebugOutput([this](std::string_view text) { writes_.emplace_back(text); })) {}

CapturedOutput::~CapturedOutput() { SetDebugOutput(std::move(previous_)); }

std::vector<std::string> CapturedOutput::Take() { return std::exchange(writes_, {}); }

VelmiraTest::~VelmiraTest() {
  EXPECT_EQ(LiveObjectCount(), live_at_start_) << "objects created by the test are still alive";
}

void VelmiraTest::ExpectWarning(std::string_view text) {
  EXPECT_EQ(output_.Take(), std::vector<std::string>{std::string(text)});
}

void VelmiraTest::ExpectSilence() { EXPECT_EQ(output_.Take(), std::vector<std::string>{}); }

}  // namespace velmira::testing
