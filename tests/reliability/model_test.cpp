// Every container against its model, on seeded random sequences of valid operations and misuse.
// A mismatch prints the seed and a shrunk sequence that still fails. VELMIRA_SOAK_SECONDS=N
// runs the driver for about N seconds in all instead of the fixed number of runs.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "capture.h"
#include "model_world.h"

namespace velmira::reliability {
namespace {

constexpr int kAllTypes = kCTypes;  // the parameter for sequences that mix every container type
const char* const kNames[] = {"Stack", "Queue", "PQueue", "List", "Tree", "SplayTree", "AllTypes"};

std::vector<Op> RandomOps(int type, std::uint64_t seed, int length) {
  std::mt19937_64 rng(seed);
  std::vector<Op> ops;
  for (int i = 0; i < length; ++i) {
    const auto t = static_cast<std::uint8_t>(type == kAllTypes ? rng() % kCTypes : type);
    ops.push_back(MakeOp(t, rng() & 0xFF, rng() & 0xFF, rng() & 0xFF, rng() & 0xFF,
                         static_cast<std::uint32_t>(rng())));
  }
  return ops;
}

/// Runs `ops` in a fresh world; the first difference, or empty. Counts the steps run.
std::string Replay(std::uint64_t seed, const std::vector<Op>& ops, std::size_t* failed_at = nullptr,
                   std::int64_t* steps = nullptr) {
  ModelWorld world(seed);
  for (std::size_t i = 0; i < ops.size(); ++i) {
    std::string diff = world.Step(ops[i]);
    if (!diff.empty()) {
      if (failed_at) *failed_at = i;
      return diff;
    }
  }
  if (steps) *steps += world.steps_run();
  return {};
}

/// The shortest sequence found by dropping chunks, then single operations, while it still fails.
std::vector<Op> Shrink(std::uint64_t seed, std::vector<Op> ops) {
  for (std::size_t chunk = ops.size() / 2; chunk >= 1; chunk /= 2) {
    for (std::size_t i = 0; i + chunk <= ops.size();) {
      std::vector<Op> trial = ops;
      trial.erase(trial.begin() + static_cast<std::ptrdiff_t>(i),
                  trial.begin() + static_cast<std::ptrdiff_t>(i + chunk));
      if (!Replay(seed, trial).empty()) {
        ops = std::move(trial);
      } else {
        i += chunk;
      }
    }
  }
  return ops;
}

class ModelDriver : public testing::VelmiraTest, public ::testing::WithParamInterface<int> {};

TEST_P(ModelDriver, EveryStepAgreesWithTheModel) {
  const int type = GetParam();
  const char* soak = std::getenv("VELMIRA_SOAK_SECONDS");
  const double seconds = soak ? std::atof(soak) / (kCTypes + 1) : 0;
  const auto start = std::chrono::steady_clock::now();
  std::int64_t steps = 0, runs = 0;
  for (std::uint64_t seed = 1000 * static_cast<std::uint64_t>(type + 1);; ++seed, ++runs) {
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (soak ? elapsed >= seconds : runs >= 150) break;
    std::vector<Op> ops = RandomOps(type, seed, 160);
    std::size_t failed_at = 0;
    const std::string diff = Replay(seed, ops, &failed_at, &steps);
    if (diff.empty()) continue;
    ops.resize(failed_at + 1);
    ops = Shrink(seed, ops);
    std::string text;
    for (const Op& op : ops) text += "  " + Describe(op) + "\n";
    FAIL() << "seed " << seed << ": " << Replay(seed, ops) << "\nshrunk sequence:\n" << text;
  }
  std::printf("[ model ] %s: %lld runs, %lld operations checked, 0 mismatches\n", kNames[type],
              static_cast<long long>(runs), static_cast<long long>(steps));
}

INSTANTIATE_TEST_SUITE_P(Containers, ModelDriver, ::testing::Range(0, kCTypes + 1),
                         [](const auto& info) { return std::string(kNames[info.param]); });

}  // namespace
}  // namespace velmira::reliability
