// Search trees against their floor (tree_floor.h: the same element calls, nothing else), std::map
// and, when Boost is installed, Boost.Intrusive's splay_set and set: 100,000 random keys (32-bit
// integers, or texts of 8 to 12 letters), inserted, looked up once each, looked up with 90% of
// the lookups on 1% of the keys, and removed. The contestants are those of contestants.h.
//
// Each benchmark reports ns_per_element: the time of one phase divided by the number of keys.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "contestants.h"

namespace velmira::bench {
namespace {

constexpr std::int64_t kKeys = 100'000;

template <class Key>
using VelmiraSplayTree = VelmiraTreeOf<SplayTree, BenchTreeNode, Key>;
template <class Key>
using VelmiraTree = VelmiraTreeOf<Tree, BenchTreeNode, Key>;
template <class Key>
using FloorSplayTree = FloorTreeOf<true, Key>;
template <class Key>
using FloorTree = FloorTreeOf<false, Key>;
template <class Key>
using StdMapContestant = StdMapOf<Key>;
#if VELMIRA_HAVE_BOOST
template <class Key>
using BoostSplaySet = BoostSplaySetOf<Key>;
template <class Key>
using BoostSet = BoostRbSetOf<Key>;
#endif

// Named "BM_<phase><<contestant><<key>>>", as the report looks them up.
#define VELMIRA_TREE_PHASE(Phase, Contestant, Key)       \
  BENCHMARK_TEMPLATE(Phase, Contestant<Key>)             \
      ->Name("BM_" #Phase "<" #Contestant "<" #Key ">>") \
      ->Arg(kKeys)                                       \
      ->Unit(benchmark::kMillisecond)
#define VELMIRA_TREE_BENCHMARKS(Contestant, Key)     \
  VELMIRA_TREE_PHASE(Insert, Contestant, Key);       \
  VELMIRA_TREE_PHASE(LookUpEach, Contestant, Key);   \
  VELMIRA_TREE_PHASE(LookUpSkewed, Contestant, Key); \
  VELMIRA_TREE_PHASE(Remove, Contestant, Key)

VELMIRA_TREE_BENCHMARKS(VelmiraSplayTree, std::int32_t);
VELMIRA_TREE_BENCHMARKS(VelmiraTree, std::int32_t);
VELMIRA_TREE_BENCHMARKS(FloorSplayTree, std::int32_t);
VELMIRA_TREE_BENCHMARKS(FloorTree, std::int32_t);
VELMIRA_TREE_BENCHMARKS(StdMapContestant, std::int32_t);
VELMIRA_TREE_BENCHMARKS(VelmiraSplayTree, std::string);
VELMIRA_TREE_BENCHMARKS(VelmiraTree, std::string);
VELMIRA_TREE_BENCHMARKS(FloorSplayTree, std::string);
VELMIRA_TREE_BENCHMARKS(FloorTree, std::string);
VELMIRA_TREE_BENCHMARKS(StdMapContestant, std::string);
#if VELMIRA_HAVE_BOOST
VELMIRA_TREE_BENCHMARKS(BoostSplaySet, std::int32_t);
VELMIRA_TREE_BENCHMARKS(BoostSet, std::int32_t);
VELMIRA_TREE_BENCHMARKS(BoostSplaySet, std::string);
VELMIRA_TREE_BENCHMARKS(BoostSet, std::string);
#endif

}  // namespace
}  // namespace velmira::bench
