// `RankWords`: the N most frequent words of a `WordIndex`, most frequent first, through a
// `PQueue` of `PQueueNode` elements.
//
//   Ref<PQueue> top = RankWords(index, 20, /*min_count=*/1);
//   while (Ref<IPQueueNode> e = top->NextItem()) ...   // e's Data holds the word's TreeNode
//
// Each queue element's key is one 64-bit number (a Currency value, which compares exactly):
// the count in the high 32 bits and the complement of the first-seen serial in the low 32, so a
// higher count ranks first and, among equal counts, the word seen first. Counts above 2^31 - 1
// and serials above 2^32 - 1 saturate in the key (only beyond 8 GB of text).
//
// A `PQueue` keeps one sorted chain and its `Add` walks past every higher key, so adding all
// distinct words would cost time quadratic in their number. The N winners are picked first
// (linear time) and added lowest key first, which makes every `Add` constant time.
#pragma once

#include <cstdint>

#include "velmira/core/ref.h"
#include "velmira/linear/pqueue.h"
#include "word_index.h"

namespace velmira::words {

Ref<PQueue> RankWords(const WordIndex& index, std::uint32_t top, std::uint64_t min_count);

}  // namespace velmira::words
