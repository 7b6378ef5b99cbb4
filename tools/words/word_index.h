// `WordIndex`: the distinct words of a text and how often each occurs, in a `SplayTree` of
// `TreeNode` elements.
//
//   WordIndex index;
//   index.Count("the"); index.Count("cat"); index.Count("the");
//   for (Ref<ITreeNode> n : Enumerate(index.Tree())) ...   // cat 1, the 2: ascending keys
//
// Each element's `Key(0)` is the word, its `Value` the count and its `Flags` the serial number
// of the word's first occurrence (0 for the first distinct word), both as Double so that counts
// beyond 32 bits stay exact. The splay tree moves each word it finds to its root, so the frequent
// words of a natural text are found after a few comparisons.
//
// Words are tallied first in a hash table of at most `kTallyLimit` distinct words; when it is
// full, and at `Flush`, each tallied word is looked up in (or added to) the tree once, in the
// order the words first occurred, so first-seen serials stay exact. A natural text repeats its
// frequent words so often that this spares the tree most of its walks, and the walks, which
// touch several scattered objects per level, are where the time goes. Memory grows with the
// number of distinct words only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "velmira/core/ref.h"
#include "velmira/elements/tree_node.h"
#include "velmira/tree/splay_tree.h"

namespace velmira::words {

class WordIndex {
 public:
  static constexpr std::size_t kTallyLimit = 1 << 20;

  WordIndex();

  /// Counts `times` occurrences of `word` (a count table adds a word's whole count at once).
  void Count(std::string_view word, std::uint64_t times = 1);
  /// Brings the tree up to date with every word counted so far.
  void Flush();

  const Ref<SplayTree>& Tree() const noexcept { return tree_; }
  std::uint64_t TotalWords() const noexcept { return total_; }
  std::uint64_t DistinctWords() const noexcept { return distinct_; }

  /// The elements of `Tree()` in the order their words first occurred. Linear time; the tree
  /// must be up to date (`Flush`).
  std::vector<TreeNode*> InFirstSeenOrder() const;

  /// The count and first-seen serial stored in an element of `Tree()`.
  static std::uint64_t CountOf(TreeNode& node);
  static std::uint64_t FirstSeenOf(TreeNode& node);

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept {
      return std::hash<std::string_view>()(s);
    }
  };
  using Tally = std::unordered_map<std::string, std::uint64_t, Hash, std::equal_to<>>;

  void AddToTree(std::string_view word, std::uint64_t count);

  Tally tally_;
  std::vector<Tally::value_type*> first_seen_;  // the tallied words in order of appearance
  Ref<SplayTree> tree_;
  Ref<TreeNode> spare_;  // the element the next new word goes into
  std::uint64_t total_ = 0;
  std::uint64_t distinct_ = 0;
};

}  // namespace velmira::words
