// Comparing two text keys against memcmp over the same bytes (the shorter length, then the
// lengths), for 1,024 pairs of texts:
//   Random:       8 to 12 random letters each, as the tree benchmarks' keys (they differ early);
//   SharedPrefix: ASCII texts agreeing on their first 10 bytes, differing after;
//   MostlyAscii:  the same with an "é" among the shared bytes;
//   Long:         40-byte ASCII texts (held shared, not inline) differing in the last 4 bytes.
// Each benchmark reports ns_per_compare.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "velmira/core/variant.h"

namespace velmira::bench {
namespace {

constexpr std::size_t kPairs = 1024;

enum class TextShape { kRandom, kSharedPrefix, kMostlyAscii, kLong };

std::string Letters(std::mt19937& random, std::size_t count) {
  std::uniform_int_distribution<int> letter('a', 'z');
  std::string text(count, ' ');
  for (char& c : text) c = static_cast<char>(letter(random));
  return text;
}

/// kPairs pairs of texts of one shape, as 2 * kPairs texts: pair i is texts 2i and 2i + 1.
std::vector<std::string> TextPairs(TextShape shape) {
  std::mt19937 random(4242);
  std::uniform_int_distribution<std::size_t> length(8, 12);
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < kPairs; ++i) {
    std::string common;
    std::size_t tail = 0;
    switch (shape) {
      case TextShape::kRandom:
        texts.push_back(Letters(random, length(random)));
        texts.push_back(Letters(random, length(random)));
        continue;
      case TextShape::kSharedPrefix:
        common = Letters(random, 10);
        tail = 2;
        break;
      case TextShape::kMostlyAscii:
        common = Letters(random, 3) + "\xC3\xA9" + Letters(random, 5);
        tail = 2;
        break;
      case TextShape::kLong:
        common = Letters(random, 36);
        tail = 4;
        break;
    }
    texts.push_back(common + Letters(random, tail));
    texts.push_back(common + Letters(random, tail));
  }
  return texts;
}

void PerCompare(benchmark::State& state) {
  state.counters["ns_per_compare"] = benchmark::Counter(
      static_cast<double>(kPairs) * 1e-9,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <TextShape kShape>
void BM_TextCompareVariant(benchmark::State& state) {
  std::vector<Variant> keys;
  for (const std::string& text : TextPairs(kShape)) keys.emplace_back(text);
  for (auto _ : state) {
    int less = 0;
    for (std::size_t i = 0; i < keys.size(); i += 2) less += Less(keys[i], keys[i + 1]) ? 1 : 0;
    benchmark::DoNotOptimize(less);
  }
  PerCompare(state);
}

template <TextShape kShape>
void BM_TextCompareMemcmp(benchmark::State& state) {
  const std::vector<std::string> texts = TextPairs(kShape);
  std::vector<std::string_view> views(texts.begin(), texts.end());
  for (auto _ : state) {
    int less = 0;
    for (std::size_t i = 0; i < views.size(); i += 2) {
      const std::string_view a = views[i], b = views[i + 1];
      benchmark::DoNotOptimize(a.data());
      const int c = std::memcmp(a.data(), b.data(), a.size() < b.size() ? a.size() : b.size());
      less += (c < 0 || (c == 0 && a.size() < b.size())) ? 1 : 0;
    }
    benchmark::DoNotOptimize(less);
  }
  PerCompare(state);
}

#define VELMIRA_TEXT_COMPARE_BENCHMARKS(shape)                 \
  BENCHMARK_TEMPLATE(BM_TextCompareVariant, TextShape::shape); \
  BENCHMARK_TEMPLATE(BM_TextCompareMemcmp, TextShape::shape)

VELMIRA_TEXT_COMPARE_BENCHMARKS(kRandom);
VELMIRA_TEXT_COMPARE_BENCHMARKS(kSharedPrefix);
VELMIRA_TEXT_COMPARE_BENCHMARKS(kMostlyAscii);
VELMIRA_TEXT_COMPARE_BENCHMARKS(kLong);

}  // namespace
}  // namespace velmira::bench
