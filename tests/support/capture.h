// Test support: captures the debug output channel and checks that tests leak no objects.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "velmira/core/debug_output.h"
#include "velmira/core/object.h"

namespace velmira::testing {

/// Installs a sink that records every write, and restores the previous sink when destroyed.
class CapturedOutput {
 public:
  CapturedOutput();
  ~CapturedOutput();
  CapturedOutput(const CapturedOutput&) = delete;
  CapturedOutput& operator=(const CapturedOutput&) = delete;

  /// Every write so far, one entry per write, exactly as written.
  const std::vector<std::string>& Writes() const { return writes_; }
  /// Returns the writes so far and forgets them.
  std::vector<std::string> Take();

 private:
  std::vector<std::string> writes_;
  DebugSink previous_;
};

/// Base fixture: captures the debug output and fails the test if library objects created during
/// it are still alive at its end.
class VelmiraTest : public ::testing::Test {
 protected:
  /// Checked here rather than in TearDown, so that a derived fixture's own references have
  /// already been dropped.
  ~VelmiraTest() override;

  /// The writes so far, then forgets them.
  std::vector<std::string> TakeOutput() { return output_.Take(); }
  /// Expects exactly one write, `text`, since the last check.
  void ExpectWarning(std::string_view text);
  /// Expects no write since the last check.
  void ExpectSilence();

  CapturedOutput output_;
  std::int64_t live_at_start_ = LiveObjectCount();
};

}  // namespace velmira::testing
