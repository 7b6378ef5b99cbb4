// Search trees against their floor (tree_floor.h: the same element calls, nothing else), std::map
// and, when Boost is installed, Boost.Intrusive's splay_set and set: 100,000 random keys (32-bit
// integers, or texts of 8 to 12 letters), inserted, looked up once each, looked up with 90% of
// the lookups on 1% of the keys, and removed.
//
// Each benchmark reports ns_per_element: the time of one phase divided by the number of keys.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tree_floor.h"
#include "tree_peers.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

#if VELMIRA_HAVE_BOOST
#  include <boost/intrusive/set.hpp>
#  include <boost/intrusive/splay_set.hpp>
#endif

namespace velmira::bench {
namespace {

constexpr std::size_t kKeys = 100'000;

template <class Key>
const std::vector<Key>& Keys() {
  if constexpr (std::is_same_v<Key, std::int32_t>) {
    static const auto keys = RandomIntKeys(kKeys);
    return keys;
  } else {
    static const auto keys = RandomTextKeys(kKeys);
    return keys;
  }
}

/// A lookup sequence as long as the key set: 90% on the first 1% of the keys, the rest anywhere.
template <class Key>
const std::vector<Key>& SkewedKeys() {
  static const std::vector<Key> skewed = [] {
    const auto& keys = Keys<Key>();
    std::mt19937 random(777);
    std::uniform_int_distribution<std::size_t> hot(0, keys.size() / 100 - 1),
        any(0, keys.size() - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    std::vector<Key> sequence;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      sequence.push_back(keys[percent(random) < 90 ? hot(random) : any(random)]);
    }
    return sequence;
  }();
  return skewed;
}

/// Velmira's trees with client elements.
template <class TreeClass, class Key>
class VelmiraContestant {
 public:
  VelmiraContestant() : tree_(New<TreeClass>()) {
    for (const Key& k : Keys<Key>()) {
      keys_.emplace_back(k);
      nodes_.push_back(New<BenchTreeNode>(keys_.back()));
    }
    for (const Key& k : SkewedKeys<Key>()) skewed_.emplace_back(k);
  }
  void InsertAll() {
    for (const auto& n : nodes_) tree_->Add(n);
  }
  std::size_t LookUpAll() { return LookUp(keys_); }
  std::size_t LookUpSkewed() { return LookUp(skewed_); }
  void RemoveAll() {
    for (const Variant& k : keys_) tree_->Remove(k);
  }
  void Clear() { tree_->Clear(); }

 private:
  std::size_t LookUp(const std::vector<Variant>& keys) {
    std::size_t found = 0;
    for (const Variant& k : keys) found += tree_->Item(k) ? 1 : 0;
    return found;
  }

  Ref<Tree> tree_;
  std::vector<Variant> keys_, skewed_;
  std::vector<Ref<ITreeNode>> nodes_;
};

/// The hand-written floor over the same elements and keys.
template <bool kSplay, class Key>
class FloorContestant {
 public:
  FloorContestant() {
    for (const Key& k : Keys<Key>()) {
      keys_.emplace_back(k);
      nodes_.push_back(New<BenchTreeNode>(keys_.back()));
    }
    for (const Key& k : SkewedKeys<Key>()) skewed_.emplace_back(k);
  }
  ~FloorContestant() { tree_.Clear(); }
  void InsertAll() {
    for (const auto& n : nodes_) tree_.Add(n);
  }
  std::size_t LookUpAll() { return LookUp(keys_); }
  std::size_t LookUpSkewed() { return LookUp(skewed_); }
  void RemoveAll() {
    for (const Variant& k : keys_) tree_.Remove(k);
  }
  void Clear() { tree_.Clear(); }

 private:
  std::size_t LookUp(const std::vector<Variant>& keys) {
    std::size_t found = 0;
    for (const Variant& k : keys) found += tree_.Item(k) ? 1 : 0;
    return found;
  }

  TreeFloor<kSplay> tree_;
  std::vector<Variant> keys_, skewed_;
  std::vector<Ref<ITreeNode>> nodes_;
};

template <class Key>
using FloorSplayTree = FloorContestant<true, Key>;
template <class Key>
using FloorTree = FloorContestant<false, Key>;

template <class Key>
using VelmiraSplayTree = VelmiraContestant<SplayTree, Key>;
template <class Key>
using VelmiraTree = VelmiraContestant<Tree, Key>;

/// std::map from key to element.
template <class Key>
class StdMapContestant {
 public:
  StdMapContestant() {
    for (const Key& k : Keys<Key>()) nodes_.push_back(std::make_unique<Key>(k));
  }
  void InsertAll() {
    for (const auto& n : nodes_) map_.emplace(*n, n.get());
  }
  std::size_t LookUpAll() { return LookUp(Keys<Key>()); }
  std::size_t LookUpSkewed() { return LookUp(SkewedKeys<Key>()); }
  void RemoveAll() {
    for (const Key& k : Keys<Key>()) map_.erase(k);
  }
  void Clear() { map_.clear(); }

 private:
  std::size_t LookUp(const std::vector<Key>& keys) {
    std::size_t found = 0;
    for (const Key& k : keys) found += map_.find(k) != map_.end() ? 1 : 0;
    return found;
  }

  std::map<Key, const Key*> map_;
  std::vector<std::unique_ptr<Key>> nodes_;
};

#if VELMIRA_HAVE_BOOST
namespace bi = boost::intrusive;

template <class Key, class Hook>
struct BoostNode : Hook {
  explicit BoostNode(Key k) : key(std::move(k)) {}
  Key key;
};
template <class Node>
struct KeyOf {
  using type = decltype(Node::key);
  const type& operator()(const Node& n) const { return n.key; }
};

/// A Boost.Intrusive set: `splay_set` or the red-black `set`.
template <class Key, template <class...> class SetTemplate, class Hook>
class BoostContestant {
  using Node = BoostNode<Key, Hook>;
  using Set = SetTemplate<Node, bi::key_of_value<KeyOf<Node>>>;

 public:
  BoostContestant() {
    for (const Key& k : Keys<Key>()) nodes_.push_back(std::make_unique<Node>(k));
  }
  ~BoostContestant() { set_.clear(); }
  void InsertAll() {
    for (const auto& n : nodes_) set_.insert(*n);
  }
  std::size_t LookUpAll() { return LookUp(Keys<Key>()); }
  std::size_t LookUpSkewed() { return LookUp(SkewedKeys<Key>()); }
  void RemoveAll() {
    for (const Key& k : Keys<Key>()) set_.erase(k);
  }
  void Clear() { set_.clear(); }

 private:
  std::size_t LookUp(const std::vector<Key>& keys) {
    std::size_t found = 0;
    for (const Key& k : keys) found += set_.find(k) != set_.end() ? 1 : 0;
    return found;
  }

  Set set_;
  std::vector<std::unique_ptr<Node>> nodes_;
};

template <class Key>
using BoostSplaySet = BoostContestant<Key, bi::splay_set, bi::bs_set_base_hook<>>;
template <class Key>
using BoostSet = BoostContestant<Key, bi::set, bi::set_base_hook<>>;
#endif

void PerElement(benchmark::State& state) {
  state.counters["ns_per_element"] = benchmark::Counter(
      static_cast<double>(kKeys) * 1e-9,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <class Contestant>
void BM_Insert(benchmark::State& state) {
  Contestant c;
  for (auto _ : state) {
    c.InsertAll();
    state.PauseTiming();
    c.Clear();
    state.ResumeTiming();
  }
  PerElement(state);
}

template <class Contestant>
void BM_LookUpEach(benchmark::State& state) {
  Contestant c;
  c.InsertAll();
  for (auto _ : state) benchmark::DoNotOptimize(c.LookUpAll());
  PerElement(state);
  c.Clear();
}

template <class Contestant>
void BM_LookUpSkewed(benchmark::State& state) {
  Contestant c;
  c.InsertAll();
  for (auto _ : state) benchmark::DoNotOptimize(c.LookUpSkewed());
  PerElement(state);
  c.Clear();
}

template <class Contestant>
void BM_Remove(benchmark::State& state) {
  Contestant c;
  for (auto _ : state) {
    state.PauseTiming();
    c.InsertAll();
    state.ResumeTiming();
    c.RemoveAll();
  }
  PerElement(state);
}

#define VELMIRA_TREE_BENCHMARKS(Contestant)                                       \
  BENCHMARK_TEMPLATE(BM_Insert, Contestant)->Unit(benchmark::kMillisecond);       \
  BENCHMARK_TEMPLATE(BM_LookUpEach, Contestant)->Unit(benchmark::kMillisecond);   \
  BENCHMARK_TEMPLATE(BM_LookUpSkewed, Contestant)->Unit(benchmark::kMillisecond); \
  BENCHMARK_TEMPLATE(BM_Remove, Contestant)->Unit(benchmark::kMillisecond)

VELMIRA_TREE_BENCHMARKS(VelmiraSplayTree<std::int32_t>);
VELMIRA_TREE_BENCHMARKS(VelmiraTree<std::int32_t>);
VELMIRA_TREE_BENCHMARKS(FloorSplayTree<std::int32_t>);
VELMIRA_TREE_BENCHMARKS(FloorTree<std::int32_t>);
VELMIRA_TREE_BENCHMARKS(StdMapContestant<std::int32_t>);
VELMIRA_TREE_BENCHMARKS(VelmiraSplayTree<std::string>);
VELMIRA_TREE_BENCHMARKS(VelmiraTree<std::string>);
VELMIRA_TREE_BENCHMARKS(FloorSplayTree<std::string>);
VELMIRA_TREE_BENCHMARKS(FloorTree<std::string>);
VELMIRA_TREE_BENCHMARKS(StdMapContestant<std::string>);
#if VELMIRA_HAVE_BOOST
VELMIRA_TREE_BENCHMARKS(BoostSplaySet<std::int32_t>);
VELMIRA_TREE_BENCHMARKS(BoostSet<std::int32_t>);
VELMIRA_TREE_BENCHMARKS(BoostSplaySet<std::string>);
VELMIRA_TREE_BENCHMARKS(BoostSet<std::string>);
#endif

}  // namespace
}  // namespace velmira::bench
