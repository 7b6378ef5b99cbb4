// Counting the words of data/sample.txt in a SplayTree, two ways:
//
//   build/bench/bench/velmira_bench --benchmark_filter=Words
//
//   - EachInTree: every occurrence is looked up in the tree (`Item`, which splays the word to the
//     root) and counted there; a new word is added. Over the sample elements (`TreeNode`, as
//     velmira-words uses) and over a block element (`TreeLinks<>` with a key and a count).
//   - TallyThenTree: what velmira-words does today (tools/words/word_index.cpp): a hash table
//     tallies the words, then each distinct word goes into the tree once, in order of first
//     appearance (`Add` of a spare element, then `Item` to find the word's element at the root).
//
// Words are split outside the timing: maximal runs of ASCII letters, digits and bytes above 0x7F,
// ASCII letters lowercased. Each benchmark reports ns_per_element per occurrence.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "contestants.h"
#include "velmira/elements/tree_node.h"
#include "velmira/tree/enumerate.h"
#include "velmira/tree/splay_tree.h"

namespace velmira::bench {
namespace {

const std::vector<std::string>& SampleWords() {
  static const std::vector<std::string> words = [] {
    std::ifstream in(VELMIRA_SAMPLE_TEXT, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> split;
    std::string word;
    for (const char c : text) {
      const auto u = static_cast<unsigned char>(c);
      if ((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u >= 0x80) {
        word += c;
      } else if (u >= 'A' && u <= 'Z') {
        word += static_cast<char>(u - 'A' + 'a');
      } else if (!word.empty()) {
        split.push_back(std::move(word));
        word.clear();
      }
    }
    if (!word.empty()) split.push_back(std::move(word));
    if (split.empty()) std::abort();  // the sample text is missing
    return split;
  }();
  return words;
}

/// A block element holding a word and its count.
class WordBlock : public TreeLinks<> {
 public:
  explicit WordBlock(Variant word) : word_(std::move(word)) {}
  Variant Key(std::int32_t) override { return word_; }
  std::uint64_t count = 1;

 private:
  Variant word_;
};

/// The count kept in a tree element of either kind.
std::uint64_t CountOf(ITreeNode& element) {
  if (auto* block = dynamic_cast<WordBlock*>(&element)) return block->count;
  return static_cast<std::uint64_t>(static_cast<TreeNode&>(element).Value().DoubleValue());
}

/// Reports the distinct words and the occurrences the last tree counted, so that the ways can be
/// seen to agree, then empties it.
void ReportCounts(benchmark::State& state, const Ref<SplayTree>& tree) {
  double distinct = 0, total = 0;
  for (const Ref<ITreeNode>& n : Enumerate(Ref<Tree>(tree))) {
    ++distinct;
    total += static_cast<double>(CountOf(*n));
  }
  state.counters["distinct"] = distinct;
  state.counters["total"] = total;
  tree->Clear();
}

void AddToCount(ITreeNode& element, std::uint64_t n) {
  if (auto* block = dynamic_cast<WordBlock*>(&element)) {
    block->count += n;
  } else {
    auto& node = static_cast<TreeNode&>(element);
    node.SetValue(node.Value().DoubleValue() + static_cast<double>(n));
  }
}

template <class Element>
Ref<ITreeNode> NewWordElement(const Variant& word, std::uint64_t n) {
  if constexpr (std::is_same_v<Element, WordBlock>) {
    Ref<WordBlock> block = New<WordBlock>(word);
    block->count = n;
    return block;
  } else {
    Ref<TreeNode> node = New<TreeNode>();
    node->SetKey(0, word);
    node->SetValue(static_cast<double>(n));
    return node;
  }
}

template <class Element>
void Words_EachInTree(benchmark::State& state) {
  const auto& words = SampleWords();
  Ref<SplayTree> tree;
  for (auto _ : state) {
    tree = New<SplayTree>();
    for (const std::string& w : words) {
      const Variant word(w);
      if (Ref<ITreeNode> found = tree->Item(word)) {
        AddToCount(*found, 1);
      } else {
        tree->Add(NewWordElement<Element>(word, 1));
      }
    }
  }
  PerElement(state, static_cast<std::int64_t>(words.size()));
  ReportCounts(state, tree);
}
BENCHMARK_TEMPLATE(Words_EachInTree, TreeNode)->Name("Words_EachInTree_Sample");
BENCHMARK_TEMPLATE(Words_EachInTree, WordBlock)->Name("Words_EachInTree_Blocks");

void Words_TallyThenTree_Sample(benchmark::State& state) {
  const auto& words = SampleWords();
  using Tally = std::unordered_map<std::string, std::uint64_t>;
  Ref<SplayTree> tree;
  for (auto _ : state) {
    Tally tally;
    std::vector<Tally::value_type*> first_seen;
    for (const std::string& w : words) {
      auto [it, added] = tally.try_emplace(w, 0);
      ++it->second;
      if (added) first_seen.push_back(&*it);
    }
    tree = New<SplayTree>();
    Ref<TreeNode> spare;
    for (Tally::value_type* entry : first_seen) {
      if (!spare) spare = New<TreeNode>();
      const Variant word(entry->first);
      spare->SetKey(0, word);
      tree->Add(spare);
      Ref<ITreeNode> found = tree->Item(word);
      if (Is(found, spare)) {
        spare->SetValue(static_cast<double>(entry->second));
        spare.reset();
      } else {
        AddToCount(*found, entry->second);
      }
    }
  }
  PerElement(state, static_cast<std::int64_t>(words.size()));
  ReportCounts(state, tree);
}
BENCHMARK(Words_TallyThenTree_Sample);

}  // namespace
}  // namespace velmira::bench
