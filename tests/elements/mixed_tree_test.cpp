// Trees whose elements are partly client elements and partly building blocks, whose links the
// trees reach without calls: the client elements must receive exactly the calls, in exactly the
// order, that they receive in a tree of client elements only, and the shapes must be the same.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../tree/tree_test_support.h"
#include "capture.h"
#include "velmira/elements/links.h"

namespace velmira {
namespace {

/// A block element with an integer key.
class KeyedBlock : public TreeLinks<> {
 public:
  explicit KeyedBlock(std::int32_t key) : key_(key) {}
  Variant Key(std::int32_t) override { return key_; }

 private:
  std::int32_t key_;
};

/// Keys 0..size-1 on logging test elements; with `mixed`, the odd keys are blocks. Cuts the links
/// when it goes.
struct World {
  World(int size, bool mixed) {
    for (int k = 0; k < size; ++k) {
      nodes.push_back(mixed && k % 2 ? Ref<ITreeNode>(New<KeyedBlock>(k))
                                     : Ref<ITreeNode>(testing::Keyed(k, &calls)));
    }
  }
  ~World() {
    for (const auto& n : nodes) n->SetLeft(0, Nothing), n->SetRight(0, Nothing);
  }
  std::string Take() { return std::exchange(calls.log, {}); }
  testing::ElementCalls calls{true};
  std::vector<Ref<ITreeNode>> nodes;
};

/// The calls of an all-client log made on elements with even keys, a target with an odd key named
/// "*" as a block is.
std::string AsMixed(const std::string& log) {
  std::istringstream calls(log);
  std::string kept;
  for (std::string call; calls >> call;) {
    if (std::stoi(call) % 2 == 1) continue;
    const std::size_t to = call.find('=') + 1;
    if (to > 0 && call[to] != '_' && std::stoi(call.substr(to)) % 2 == 1)
      call.replace(to, std::string::npos, "*");
    kept += (kept.empty() ? "" : " ") + call;
  }
  return kept;
}

class MixedElements : public testing::VelmiraTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MixedElements, ClientElementsGetTheCallsOfAnAllClientTree) {
  constexpr int kKeys = 24;
  for (unsigned seed = 1; seed <= 30; ++seed) {
    std::mt19937 random(seed);
    Ref<Tree> clients = testing::MakeTree(GetParam()), mixed = testing::MakeTree(GetParam());
    World all(kKeys, false), some(kKeys, true);
    for (int step = 0; step < 80; ++step) {
      const int key = random() % (kKeys + 4), what = random() % 10;  // some keys never added
      if (what < 4 && key < kKeys) {
        clients->Add(all.nodes[key]), mixed->Add(some.nodes[key]);
      } else if (what < 7) {
        clients->Remove(key), mixed->Remove(key);
      } else if (what < 9) {
        EXPECT_EQ(clients->Exists(key), mixed->Exists(key));
      } else {
        EXPECT_EQ(clients->Item(key) == Nothing, mixed->Item(key) == Nothing);
      }
      ASSERT_EQ(AsMixed(all.Take()), some.Take()) << "seed " << seed << " step " << step;
      ASSERT_EQ(testing::Shape(clients), testing::Shape(mixed));
      all.Take(), some.Take();  // reading the shapes is not part of the comparison
    }
    clients->Clear(), mixed->Clear();
    ASSERT_EQ(AsMixed(all.Take()), some.Take()) << "seed " << seed << ": Clear";
  }
}

INSTANTIATE_TEST_SUITE_P(Trees, MixedElements, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "SplayTree" : "Tree"; });

}  // namespace
}  // namespace velmira
