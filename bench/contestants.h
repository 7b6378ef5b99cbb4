// The contestants every benchmark draws on: the per-element counter, the sizes, the element
// kinds (client elements, the building blocks, the sample elements) and the search trees side by
// side (Velmira's, the hand-written floor, std::map and, with Boost, Boost.Intrusive's sets).
//
//   BENCHMARK_TEMPLATE(LookUpEach, VelmiraTreeOf<SplayTree, BlockTreeElement, int>)->Arg(1000);
//   ... for (auto _ : state) c.LookUpAll();  PerElement(state, n);
//
// A benchmark takes its number of elements from its argument (`state.range(0)`), so one body
// serves the fixed-size comparisons and the growth curves.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "tree_floor.h"
#include "tree_peers.h"
#include "velmira/elements/links.h"
#include "velmira/elements/tree_node.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

#if defined(VELMIRA_HAVE_BOOST)
#  include <boost/intrusive/bs_set.hpp>
#  include <boost/intrusive/list.hpp>
#  include <boost/intrusive/set.hpp>
#  include <boost/intrusive/slist.hpp>
#  include <boost/intrusive/splay_set.hpp>
#endif

namespace velmira::bench {

/// Reports "ns_per_element": the time of one iteration divided by `elements`.
inline void PerElement(benchmark::State& state, std::int64_t elements) {
  state.counters["ns_per_element"] = benchmark::Counter(
      static_cast<double>(elements) * 1e-9,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
/// `PerElement` with the benchmark's argument as the number of elements.
inline void PerElement(benchmark::State& state) { PerElement(state, state.range(0)); }

/// The number of elements `n` of a benchmark run, from its argument.
inline std::size_t Elements(const benchmark::State& state) {
  return static_cast<std::size_t>(state.range(0));
}

// ---- Element kinds --------------------------------------------------------------------------

/// A stack element made of the library's building block alone.
class BlockStackElement : public StackLinks<> {};
/// A list element made of the library's building block alone.
class BlockListElement : public ListLinks<> {};
/// A tree element made of the library's building block, with an integer key (as a Boost element
/// holds one). Text keys go to client elements.
class BlockTreeElement : public TreeLinks<> {
 public:
  explicit BlockTreeElement(const Variant& key) : key_(key.Int32Value()) {}
  Variant Key(std::int32_t) override { return key_; }

 private:
  std::int32_t key_;
};

/// A new tree element of kind `Element` (a client element, a block or the sample `TreeNode`)
/// with key `key` in slot 0.
template <class Element>
Ref<ITreeNode> NewTreeElement(const Variant& key) {
  if constexpr (std::is_same_v<Element, TreeNode>) {
    Ref<TreeNode> node = New<TreeNode>();
    node->SetKey(0, key);
    return node;
  } else {
    return New<Element>(key);
  }
}

// ---- Keys -----------------------------------------------------------------------------------

/// `n` distinct random keys (ints or texts of 8 to 12 letters), the same in every run.
template <class Key>
const std::vector<Key>& Keys(std::size_t n) {
  static std::map<std::size_t, std::vector<Key>> cache;
  auto& keys = cache[n];
  if (keys.empty()) {
    if constexpr (std::is_same_v<Key, std::int32_t>) {
      keys = RandomIntKeys(n);
    } else {
      keys = RandomTextKeys(n);
    }
  }
  return keys;
}

/// A look-up sequence as long as `Keys(n)`: 90% on the first 1% of the keys, the rest anywhere.
template <class Key>
const std::vector<Key>& SkewedKeys(std::size_t n) {
  static std::map<std::size_t, std::vector<Key>> cache;
  auto& sequence = cache[n];
  if (sequence.empty()) {
    const auto& keys = Keys<Key>(n);
    std::mt19937 random(777);
    std::uniform_int_distribution<std::size_t> hot(0, (keys.size() + 99) / 100 - 1),
        any(0, keys.size() - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    for (std::size_t i = 0; i < keys.size(); ++i) {
      sequence.push_back(keys[percent(random) < 90 ? hot(random) : any(random)]);
    }
  }
  return sequence;
}

// ---- Search trees ---------------------------------------------------------------------------
// Each contestant holds `n` elements and the keys; InsertAll, LookUpAll (each key once),
// LookUpSkewed, RemoveAll and Clear are what the benchmarks time.

/// Shared by Velmira's trees and the floor: `Tree` is `Ref<Tree>` or a `TreeFloor`.
template <class TreeHolder, class Element, class Key>
class KeyedTreeContestant {
 public:
  explicit KeyedTreeContestant(std::size_t n, TreeHolder tree = TreeHolder())
      : tree_(std::move(tree)) {
    for (const Key& k : Keys<Key>(n)) {
      keys_.emplace_back(k);
      nodes_.push_back(NewTreeElement<Element>(keys_.back()));
    }
    for (const Key& k : SkewedKeys<Key>(n)) skewed_.emplace_back(k);
  }
  ~KeyedTreeContestant() { Clear(); }
  void InsertAll() {
    for (const auto& n : nodes_) Holder().Add(n);
  }
  std::size_t LookUpAll() { return LookUp(keys_); }
  std::size_t LookUpSkewed() { return LookUp(skewed_); }
  void RemoveAll() {
    for (const Variant& k : keys_) Holder().Remove(k);
  }
  void Clear() { Holder().Clear(); }

 private:
  auto& Holder() {
    if constexpr (requires { *tree_; }) {
      return *tree_;
    } else {
      return tree_;
    }
  }
  std::size_t LookUp(const std::vector<Variant>& keys) {
    std::size_t found = 0;
    for (const Variant& k : keys) found += Holder().Item(k) ? 1 : 0;
    return found;
  }

  TreeHolder tree_;
  std::vector<Variant> keys_, skewed_;
  std::vector<Ref<ITreeNode>> nodes_;
};

/// Velmira's `Tree` or `SplayTree` over elements of kind `Element`.
template <class TreeClass, class Element, class Key>
class VelmiraTreeOf : public KeyedTreeContestant<Ref<Tree>, Element, Key> {
 public:
  explicit VelmiraTreeOf(std::size_t n)
      : KeyedTreeContestant<Ref<Tree>, Element, Key>(n, New<TreeClass>()) {}
};

/// The hand-written floor (`tree_floor.h`) over client elements.
template <bool kSplay, class Key>
using FloorTreeOf = KeyedTreeContestant<TreeFloor<kSplay>, BenchTreeNode, Key>;

/// std::map from key to element.
template <class Key>
class StdMapOf {
 public:
  explicit StdMapOf(std::size_t n) : keys_(Keys<Key>(n)), skewed_(SkewedKeys<Key>(n)) {
    for (const Key& k : keys_) nodes_.push_back(std::make_unique<Key>(k));
  }
  void InsertAll() {
    for (const auto& n : nodes_) map_.emplace(*n, n.get());
  }
  std::size_t LookUpAll() { return LookUp(keys_); }
  std::size_t LookUpSkewed() { return LookUp(skewed_); }
  void RemoveAll() {
    for (const Key& k : keys_) map_.erase(k);
  }
  void Clear() { map_.clear(); }

 private:
  std::size_t LookUp(const std::vector<Key>& keys) {
    std::size_t found = 0;
    for (const Key& k : keys) found += map_.find(k) != map_.end() ? 1 : 0;
    return found;
  }

  const std::vector<Key>& keys_;
  const std::vector<Key>& skewed_;
  std::map<Key, const Key*> map_;
  std::vector<std::unique_ptr<Key>> nodes_;
};

#if defined(VELMIRA_HAVE_BOOST)
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

/// A Boost.Intrusive ordered set (`splay_set`, the unbalanced `bs_set` or the red-black `set`).
template <class Key, template <class...> class SetTemplate, class Hook>
class BoostSetOf {
  using Node = BoostNode<Key, Hook>;
  using Set = SetTemplate<Node, bi::key_of_value<KeyOf<Node>>>;

 public:
  explicit BoostSetOf(std::size_t n) : keys_(Keys<Key>(n)), skewed_(SkewedKeys<Key>(n)) {
    for (const Key& k : keys_) nodes_.push_back(std::make_unique<Node>(k));
  }
  ~BoostSetOf() { set_.clear(); }
  void InsertAll() {
    for (const auto& n : nodes_) set_.insert(*n);
  }
  std::size_t LookUpAll() { return LookUp(keys_); }
  std::size_t LookUpSkewed() { return LookUp(skewed_); }
  void RemoveAll() {
    for (const Key& k : keys_) set_.erase(k);
  }
  void Clear() { set_.clear(); }

 private:
  std::size_t LookUp(const std::vector<Key>& keys) {
    std::size_t found = 0;
    for (const Key& k : keys) found += set_.find(k) != set_.end() ? 1 : 0;
    return found;
  }

  const std::vector<Key>& keys_;
  const std::vector<Key>& skewed_;
  Set set_;
  std::vector<std::unique_ptr<Node>> nodes_;
};

template <class Key>
using BoostSplaySetOf = BoostSetOf<Key, bi::splay_set, bi::bs_set_base_hook<>>;
template <class Key>
using BoostBsSetOf = BoostSetOf<Key, bi::bs_set, bi::bs_set_base_hook<>>;
template <class Key>
using BoostRbSetOf = BoostSetOf<Key, bi::set, bi::set_base_hook<>>;
#endif

// ---- The timed phases -----------------------------------------------------------------------

/// Inserts every element; the clearing between iterations is not timed.
template <class Contestant>
void Insert(benchmark::State& state) {
  Contestant c(Elements(state));
  for (auto _ : state) {
    c.InsertAll();
    state.PauseTiming();
    c.Clear();
    state.ResumeTiming();
  }
  PerElement(state);
}

/// Looks each key up once, in random order, in a tree that stays filled.
template <class Contestant>
void LookUpEach(benchmark::State& state) {
  Contestant c(Elements(state));
  c.InsertAll();
  for (auto _ : state) benchmark::DoNotOptimize(c.LookUpAll());
  PerElement(state);
}

/// Looks keys up with 90% of the look-ups on 1% of the keys.
template <class Contestant>
void LookUpSkewed(benchmark::State& state) {
  Contestant c(Elements(state));
  c.InsertAll();
  for (auto _ : state) benchmark::DoNotOptimize(c.LookUpSkewed());
  PerElement(state);
}

/// Removes every key; the filling between iterations is not timed.
template <class Contestant>
void Remove(benchmark::State& state) {
  Contestant c(Elements(state));
  for (auto _ : state) {
    state.PauseTiming();
    c.InsertAll();
    state.ResumeTiming();
    c.RemoveAll();
  }
  PerElement(state);
}

}  // namespace velmira::bench
