// Trees that are one long chain: every operation must work without deep recursion.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "capture.h"
#include "scale.h"
#include "tree_test_support.h"

namespace velmira {
namespace {

using ChainNode = testing::RecordingTreeNode;  // without a log: records nothing

constexpr std::int32_t kCount = testing::kLongChain;
using Seen = std::array<std::int32_t, 3>;

/// A whole walk in `order`: the number of elements, the first key and the last key.
Seen WalkAll(const Ref<Tree>& tree, TreeEnumEnum order) {
  Ref<TreeEnum> walk = tree->NewEnum();
  walk->SetOrder(order);
  Seen seen{0, 0, 0};
  for (Ref<ITreeNode> n = walk->NextItem(); n; n = walk->NextItem()) {
    seen[2] = n->Key(0).Int32Value();
    seen[1] = seen[0]++ ? seen[1] : seen[2];
  }
  return seen;
}

using LongChain = testing::VelmiraTest;

TEST_F(LongChain, SplayTreeBuiltInAscendingOrder) {
  Ref<Tree> tree = New<SplayTree>();
  for (std::int32_t k = 1; k <= kCount; ++k) tree->Add(New<ChainNode>(k));  // a left chain
  EXPECT_EQ(WalkAll(tree, eTreeEnumPostOrder), (Seen{kCount, 1, kCount}));
  EXPECT_EQ(WalkAll(tree, eTreeEnumReverseOrder), (Seen{kCount, kCount, 1}));
  EXPECT_TRUE(tree->Exists(1));  // the far end: one rotation per level, all the way up
  EXPECT_EQ(WalkAll(tree, eTreeEnumInOrder), (Seen{kCount, 1, kCount}));
  EXPECT_EQ(WalkAll(tree, eTreeEnumPreOrder), (Seen{kCount, 1, 2}));  // 1(,N(N-1(...(2))))
  tree->Remove(kCount);
  tree->Remove(kCount / 2);
  EXPECT_FALSE(tree->Exists(kCount / 2));
  EXPECT_TRUE(tree->Exists(kCount - 1));
  tree->Clear();
  EXPECT_TRUE(tree->IsEmpty());
  for (std::int32_t k = kCount; k >= 1; --k) tree->Add(New<ChainNode>(k));  // a right chain
  tree.reset();                                                             // teardown clears it
}

TEST_F(LongChain, PlainTreeLinkedByHand) {
  // Adding ascending keys one by one is quadratic for a plain tree; link the chain by hand, as a
  // client owning its elements can, through the elements' own Right links.
  Ref<Tree> tree = New<Tree>();
  Ref<ITreeNode> tail = New<ChainNode>(1);
  tree->Add(tail);
  for (std::int32_t k = 2; k <= kCount; ++k) {
    Ref<ITreeNode> next = New<ChainNode>(k);
    tail->SetRight(0, next);
    tail = std::move(next);
  }
  tail.reset();
  EXPECT_TRUE(tree->Exists(kCount));
  tree->Add(New<ChainNode>(kCount + 1));  // descends the whole chain
  const std::int32_t n = kCount + 1;
  EXPECT_EQ(WalkAll(tree, eTreeEnumInOrder), (Seen{n, 1, n}));
  EXPECT_EQ(WalkAll(tree, eTreeEnumPreOrder), (Seen{n, 1, n}));
  EXPECT_EQ(WalkAll(tree, eTreeEnumPostOrder), (Seen{n, n, 1}));
  EXPECT_EQ(WalkAll(tree, eTreeEnumReverseOrder), (Seen{n, n, 1}));
  tree->Remove(n);  // the far end: every level relinks on the way back
  tree->Remove(1);  // the root
  EXPECT_FALSE(tree->Exists(1) || tree->Exists(n));
  EXPECT_TRUE(tree->Exists(2));
  tree->Clear();
  EXPECT_TRUE(tree->IsEmpty());
}

}  // namespace
}  // namespace velmira
