// Trees that are one long chain: every operation must work without deep recursion.
#include <gtest/gtest.h>

#include <cstdint>

#include "capture.h"
#include "scale.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

namespace velmira {
namespace {

/// A bare element: an integer key and one pair of links, whatever the slot.
class ChainNode : public ITreeNode {
 public:
  explicit ChainNode(std::int32_t key) : key_(key) {}
  Variant Key(std::int32_t) override { return key_; }
  Ref<ITreeNode> Left(std::int32_t) override { return left_; }
  void SetLeft(std::int32_t, const Ref<ITreeNode>& Value) override { left_ = Value; }
  Ref<ITreeNode> Right(std::int32_t) override { return right_; }
  void SetRight(std::int32_t, const Ref<ITreeNode>& Value) override { right_ = Value; }

 private:
  std::int32_t key_;
  Ref<ITreeNode> left_, right_;
};

constexpr std::int32_t kCount = testing::kLongChain;

/// Walks the whole tree in `order`; expects `count` elements, the first and last as given.
void ExpectFullWalk(const Ref<Tree>& tree, TreeEnumEnum order, std::int32_t first,
                    std::int32_t last, std::int32_t count) {
  Ref<TreeEnum> walk = tree->NewEnum();
  walk->SetOrder(order);
  std::int32_t seen = 0;
  Variant first_key, last_key;
  for (Ref<ITreeNode> n = walk->NextItem(); n; n = walk->NextItem(), ++seen) {
    if (seen == 0) first_key = n->Key(0);
    last_key = n->Key(0);
  }
  EXPECT_EQ(seen, count) << "order " << order;
  EXPECT_TRUE(Equal(first_key, first) && Equal(last_key, last)) << "order " << order;
}

using LongChain = testing::VelmiraTest;

TEST_F(LongChain, SplayTreeBuiltInAscendingOrder) {
  Ref<Tree> tree = New<SplayTree>();
  for (std::int32_t k = 1; k <= kCount; ++k) tree->Add(New<ChainNode>(k));  // a left chain
  ExpectFullWalk(tree, eTreeEnumPostOrder, 1, kCount, kCount);
  ExpectFullWalk(tree, eTreeEnumReverseOrder, kCount, 1, kCount);
  EXPECT_TRUE(tree->Exists(1));  // the far end: one rotation per level, all the way up
  ExpectFullWalk(tree, eTreeEnumInOrder, 1, kCount, kCount);
  ExpectFullWalk(tree, eTreeEnumPreOrder, 1, 2, kCount);  // 1(,N(N-1(...(2))))
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
  ExpectFullWalk(tree, eTreeEnumInOrder, 1, kCount + 1, kCount + 1);
  ExpectFullWalk(tree, eTreeEnumPreOrder, 1, kCount + 1, kCount + 1);
  ExpectFullWalk(tree, eTreeEnumPostOrder, kCount + 1, 1, kCount + 1);
  ExpectFullWalk(tree, eTreeEnumReverseOrder, kCount + 1, 1, kCount + 1);
  tree->Remove(kCount + 1);  // the far end: every level relinks on the way back
  tree->Remove(1);           // the root
  EXPECT_FALSE(tree->Exists(1));
  EXPECT_TRUE(tree->Exists(2));
  tree->Clear();
  EXPECT_TRUE(tree->IsEmpty());
}

}  // namespace
}  // namespace velmira
