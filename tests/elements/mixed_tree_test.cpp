// Trees whose elements are partly client elements and partly building blocks, whose links the
// trees reach without calls: the client elements must receive exactly the calls, in exactly the
// order, that they receive in a tree of client elements only, and the shapes must be the same.
// Blocks that re-enter the tree from their Key leave every look-up memory-safe.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
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

/// Which keys are blocks: none, the odd ones, or all.
enum class Blocks { kNone, kOdd, kAll };

/// Keys 0..size-1 on logging test elements, or on blocks as `blocks` says. Cuts the links when it
/// goes.
struct World {
  World(int size, Blocks blocks) {
    for (int k = 0; k < size; ++k) {
      const bool block = blocks == Blocks::kAll || (blocks == Blocks::kOdd && k % 2);
      nodes.push_back(block ? Ref<ITreeNode>(New<KeyedBlock>(k))
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

/// The calls of an all-client log made on the client elements of a tree whose blocks are as
/// `blocks` says (with odd blocks, a target with an odd key named "*" as a block is).
std::string AsMixed(const std::string& log, Blocks blocks) {
  if (blocks == Blocks::kAll) return {};
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

// With every element a block, no element is called for a link at all (each splay rotation is two
// exchanges of references): the shapes must still be the same.
class MixedElements : public testing::VelmiraTest,
                      public ::testing::WithParamInterface<std::tuple<bool, Blocks>> {};

TEST_P(MixedElements, ClientElementsGetTheCallsOfAnAllClientTree) {
  constexpr int kKeys = 24;
  const auto [splay, blocks] = GetParam();
  for (unsigned seed = 1; seed <= 30; ++seed) {
    std::mt19937 random(seed);
    Ref<Tree> clients = testing::MakeTree(splay), mixed = testing::MakeTree(splay);
    World all(kKeys, Blocks::kNone), some(kKeys, blocks);
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
      ASSERT_EQ(AsMixed(all.Take(), blocks), some.Take()) << "seed " << seed << " step " << step;
      ASSERT_EQ(testing::Shape(clients), testing::Shape(mixed));
      all.Take(), some.Take();  // reading the shapes is not part of the comparison
    }
    clients->Clear(), mixed->Clear();
    ASSERT_EQ(AsMixed(all.Take(), blocks), some.Take()) << "seed " << seed << ": Clear";
  }
}

INSTANTIATE_TEST_SUITE_P(Trees, MixedElements,
                         ::testing::Combine(::testing::Values(false, true),
                                            ::testing::Values(Blocks::kOdd, Blocks::kAll)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) ? "SplayTree" : "Tree") +
                                  (std::get<1>(info.param) == Blocks::kAll ? "AllBlocks" : "");
                         });

/// A block whose `Key` runs `reenter` once.
class ReenteringBlock : public KeyedBlock {
 public:
  using KeyedBlock::KeyedBlock;
  Variant Key(std::int32_t Index) override {
    if (reenter) std::exchange(reenter, nullptr)();
    return KeyedBlock::Key(Index);
  }
  std::function<void()> reenter;
};

// A block, held by the tree alone, that inside its Key during a look-up (Item, Exists) removes
// the root's key (r) or drops the last reference to the tree (d): the walk reads the links of
// blocks without calls, and must still be memory-safe (the asan preset checks) and leave nothing
// alive.
TEST(ReentrantBlocks, LookUpsStayMemorySafe) {
  for (int run = 0; run < 2 * 2 * 2 * 4; ++run) {  // tree kind, look-up, action, element
    const bool splay = run % 2;
    const char op = "ie"[run / 2 % 2], action = "rd"[run / 4 % 2];
    const std::size_t armed = run / 8;
    const std::int64_t live = LiveObjectCount();
    Ref<Tree> tree = testing::MakeTree(splay);
    std::vector<ReenteringBlock*> blocks;  // 20 (10, 30 (25))
    for (const int key : {20, 10, 30, 25}) {
      const Ref<ReenteringBlock> block = New<ReenteringBlock>(key);
      blocks.push_back(block.get());
      tree->Add(block);
    }
    blocks[armed]->reenter = [&, action] {
      if (action == 'r' && tree) tree->Remove(20);
      if (action == 'd') tree.reset();
    };
    Tree& target = *tree;  // the block may drop `tree` meanwhile
    if (op == 'i') target.Item(25);
    if (op == 'e') target.Exists(25);
    tree.reset();
    EXPECT_EQ(LiveObjectCount(), live) << splay << op << action << armed;
  }
}

}  // namespace
}  // namespace velmira
