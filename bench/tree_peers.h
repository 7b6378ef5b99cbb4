// Benchmark elements for the search trees, defined in their own translation unit so that calls
// through the element interface cannot be devirtualised.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "velmira/core/node_interfaces.h"

namespace velmira::bench {

/// A client tree element with one key and one pair of links, whatever the slot.
class BenchTreeNode : public ITreeNode {
 public:
  explicit BenchTreeNode(Variant key);
  Variant Key(std::int32_t Index) override;
  Ref<ITreeNode> Left(std::int32_t Index) override;
  void SetLeft(std::int32_t Index, const Ref<ITreeNode>& Value) override;
  Ref<ITreeNode> Right(std::int32_t Index) override;
  void SetRight(std::int32_t Index, const Ref<ITreeNode>& Value) override;

 private:
  Variant key_;
  Ref<ITreeNode> left_, right_;
};

/// `count` distinct keys in random order, the same for every run.
std::vector<std::int32_t> RandomIntKeys(std::size_t count);
/// `count` distinct texts of 8 to 12 lower-case letters in random order.
std::vector<std::string> RandomTextKeys(std::size_t count);

}  // namespace velmira::bench
