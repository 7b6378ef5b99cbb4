// Every container against its model, on seeded random sequences of valid operations and misuse.
// A mismatch prints the seed and a shrunk sequence that still fails. VELMIRA_SOAK_SECONDS=N runs
// the driver for about N seconds in all instead of the fixed number of runs.
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

/// Runs `ops` in a fresh world; the first difference, or empty. Counts the steps run.
std::string Replay(std::uint64_t seed, const std::vector<Op>& ops, std::size_t* failed_at = nullptr,
                   std::int64_t* steps = nullptr) {
  ModelWorld world(seed);
  for (std::size_t i = 0; i < ops.size(); ++i) {
    if (std::string diff = world.Step(ops[i]); !diff.empty()) return *failed_at = i, diff;
  }
  if (steps) *steps += world.steps_run();
  return {};
}

/// The shortest sequence found by dropping chunks, then single operations, while it still fails.
std::vector<Op> Shrink(std::uint64_t seed, std::vector<Op> ops) {
  std::size_t failed_at = 0;
  for (std::size_t chunk = ops.size() / 2; chunk >= 1; chunk /= 2) {
    for (std::size_t i = 0; i + chunk <= ops.size();) {
      std::vector<Op> trial = ops;
      trial.erase(trial.begin() + i, trial.begin() + i + chunk);
      if (Replay(seed, trial, &failed_at).empty())
        i += chunk;
      else
        ops = std::move(trial);
    }
  }
  return ops;
}

class ModelDriver : public testing::VelmiraTest, public ::testing::WithParamInterface<int> {};

TEST_P(ModelDriver, EveryStepAgreesWithTheModel) {
  const int type = GetParam();
  const char* soak = std::getenv("VELMIRA_SOAK_SECONDS");
  const auto end = std::chrono::steady_clock::now() +
                   std::chrono::duration<double>(soak ? std::atof(soak) / (kCTypes + 1) : 0);
  std::int64_t steps = 0, runs = 0;
  for (std::uint64_t seed = 1000 * (type + 1ull);; ++seed, ++runs) {
    if (soak ? std::chrono::steady_clock::now() >= end : runs >= 160) break;
    std::mt19937_64 rng(seed);
    std::vector<Op> ops;
    for (int i = 0; i < 160; ++i) {
      const auto t = static_cast<std::uint8_t>(type == kAllTypes ? rng() % kCTypes : type);
      ops.push_back(MakeOp(t, rng() & 0xFF, rng() & 0xFF, rng() & 0xFF, rng() & 0xFF,
                           static_cast<std::uint32_t>(rng())));
    }
    std::size_t failed_at = 0;
    if (Replay(seed, ops, &failed_at, &steps).empty()) continue;
    ops.resize(failed_at + 1);
    ops = Shrink(seed, ops);
    std::string text;
    for (const Op& op : ops) text += "  " + Describe(op) + "\n";
    FAIL() << "seed " << seed << ": " << Replay(seed, ops, &failed_at) << "\nshrunk:\n" << text;
  }
  std::printf("[ model ] %s: %lld runs, %lld operations checked, 0 mismatches\n",
              type == kAllTypes ? "AllTypes" : kTypeNames[type], static_cast<long long>(runs),
              static_cast<long long>(steps));
}

INSTANTIATE_TEST_SUITE_P(Containers, ModelDriver, ::testing::Range(0, kCTypes + 1),
                         [](const auto& info) {
                           return std::string(info.param == kAllTypes ? "AllTypes"
                                                                      : kTypeNames[info.param]);
                         });

}  // namespace
}  // namespace velmira::reliability
