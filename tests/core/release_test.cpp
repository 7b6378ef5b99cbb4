// Releasing the last reference to a long chain of objects that hold each other.
#include <gtest/gtest.h>

#include <vector>

#include "capture.h"
#include "scale.h"
#include "velmira/core/node_interfaces.h"

namespace velmira {
namespace {

/// The least a client stack element can be: one link, whatever the slot.
class ChainNode : public IStackNode {
 public:
  explicit ChainNode(std::vector<int>* destroyed = nullptr, int id = 0)
      : destroyed_(destroyed), id_(id) {}
  Ref<IStackNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<IStackNode>& Value) override { next_ = Value; }

 protected:
  ~ChainNode() override {
    if (destroyed_) destroyed_->push_back(id_);
  }

 private:
  Ref<IStackNode> next_;
  std::vector<int>* destroyed_;
  int id_;
};

using ReleaseTest = testing::VelmiraTest;

TEST_F(ReleaseTest, ChainIsDestroyedFromTheHeadInOrder) {
  std::vector<int> destroyed;
  {
    Ref<IStackNode> head = New<ChainNode>(&destroyed, 0);
    Ref<IStackNode> tail = head;
    for (int id = 1; id < 5; ++id) {
      Ref<IStackNode> next = New<ChainNode>(&destroyed, id);
      tail->SetNextItem(0, next);
      tail = next;
    }
  }
  EXPECT_EQ(destroyed, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(ReleaseTest, HandBuiltLongChainIsReleasedWithoutRecursion) {
  const std::int64_t before = LiveObjectCount();
  Ref<IStackNode> head = New<ChainNode>();
  Ref<IStackNode> tail = head;
  for (int i = 1; i < testing::kLongChain; ++i) {
    Ref<IStackNode> next = New<ChainNode>();
    tail->SetNextItem(0, next);
    tail = std::move(next);
  }
  tail.reset();
  EXPECT_EQ(LiveObjectCount() - before, testing::kLongChain);
  head.reset();  // would overflow the stack if each destructor released the next one nested
  EXPECT_EQ(LiveObjectCount(), before);
}

}  // namespace
}  // namespace velmira
