// Picking and queueing the most frequent words; see ranking.h.
#include "ranking.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "velmira/elements/pqueue_node.h"
#include "velmira/tree/enumerate.h"

namespace velmira::words {

Ref<PQueue> RankWords(const WordIndex& index, std::uint32_t top, std::uint64_t min_count) {
  std::vector<std::pair<std::int64_t, TreeNode*>> candidates;
  for (const Ref<ITreeNode>& n : Enumerate(index.Tree())) {
    auto& node = static_cast<TreeNode&>(*n);  // the index holds TreeNodes only
    const std::uint64_t count = WordIndex::CountOf(node);
    if (count < min_count) continue;
    const std::uint64_t high = std::min<std::uint64_t>(count, 0x7FFFFFFF);
    const std::uint64_t low =
        0xFFFFFFFF - std::min<std::uint64_t>(WordIndex::FirstSeenOf(node), 0xFFFFFFFF);
    candidates.emplace_back(static_cast<std::int64_t>(high << 32 | low), &node);
  }
  if (candidates.size() > top) {
    std::nth_element(candidates.begin(), candidates.begin() + top, candidates.end(),
                     std::greater<>());
    candidates.resize(top);
  }
  std::sort(candidates.begin(), candidates.end());
  Ref<PQueue> queue = New<PQueue>();
  for (const auto& [key, node] : candidates) {
    Ref<PQueueNode> entry = New<PQueueNode>();
    entry->SetKey(0, Variant::CurrencyFromScaled(key));
    entry->SetData(Ref<TreeNode>(node));
    queue->Add(entry);
  }
  return queue;
}

}  // namespace velmira::words
