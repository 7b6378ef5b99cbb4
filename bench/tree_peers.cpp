#include "tree_peers.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <unordered_set>

namespace velmira::bench {

BenchTreeNode::BenchTreeNode(Variant key) : key_(std::move(key)) {}
Variant BenchTreeNode::Key(std::int32_t) { return key_; }
Ref<ITreeNode> BenchTreeNode::Left(std::int32_t) { return left_; }
void BenchTreeNode::SetLeft(std::int32_t, const Ref<ITreeNode>& Value) { left_ = Value; }
Ref<ITreeNode> BenchTreeNode::Right(std::int32_t) { return right_; }
void BenchTreeNode::SetRight(std::int32_t, const Ref<ITreeNode>& Value) { right_ = Value; }

std::vector<std::int32_t> RandomIntKeys(std::size_t count) {
  std::vector<std::int32_t> keys(count);
  std::iota(keys.begin(), keys.end(), 0);
  std::mt19937 random(12345);
  std::shuffle(keys.begin(), keys.end(), random);
  for (auto& k : keys) k = k * 7 + 3;  // spread out, still distinct
  return keys;
}

std::vector<std::string> RandomTextKeys(std::size_t count) {
  std::mt19937 random(54321);
  std::uniform_int_distribution<int> length(8, 12), letter('a', 'z');
  std::unordered_set<std::string> seen;
  std::vector<std::string> keys;
  while (keys.size() < count) {
    std::string text(static_cast<std::size_t>(length(random)), ' ');
    for (char& c : text) c = static_cast<char>(letter(random));
    if (seen.insert(text).second) keys.push_back(std::move(text));
  }
  return keys;
}

}  // namespace velmira::bench
