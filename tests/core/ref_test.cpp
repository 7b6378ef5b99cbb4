#include "velmira/core/ref.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "velmira/core/node_interfaces.h"

namespace velmira {
namespace {

/// Counts its own destructions, so tests can see exactly when an object dies.
class Probe : public virtual Object {
 public:
  explicit Probe(int* destroyed) : destroyed_(destroyed) {}
  Ref<Probe> child;

 protected:
  ~Probe() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

/// One object implementing two element interfaces: one count, one identity.
class TwoFaced : public IStackNode, public ITreeNode {
 public:
  Ref<IStackNode> NextItem(std::int32_t) override { return Nothing; }
  void SetNextItem(std::int32_t, const Ref<IStackNode>&) override {}
  Variant Key(std::int32_t) override { return {}; }
  Ref<ITreeNode> Left(std::int32_t) override { return Nothing; }
  void SetLeft(std::int32_t, const Ref<ITreeNode>&) override {}
  Ref<ITreeNode> Right(std::int32_t) override { return Nothing; }
  void SetRight(std::int32_t, const Ref<ITreeNode>&) override {}
};

class RefTest : public testing::VelmiraTest {
 protected:
  int destroyed_ = 0;
};

TEST_F(RefTest, LastReferenceDestroysOnce) {
  {
    Ref<Probe> a = New<Probe>(&destroyed_);
    Ref<Probe> b = a;
    Ref<Probe> c = std::move(b);
    EXPECT_FALSE(b);
    a.reset();
    EXPECT_EQ(destroyed_, 0);
  }
  EXPECT_EQ(destroyed_, 1);
}

TEST_F(RefTest, SelfAssignmentKeepsTheObject) {
  Ref<Probe> a = New<Probe>(&destroyed_);
  Ref<Probe>& alias = a;
  a = alias;
  EXPECT_TRUE(a);
  a = std::move(alias);
  EXPECT_TRUE(a);
  EXPECT_EQ(destroyed_, 0);
}

TEST_F(RefTest, AssigningAChildOverItsOnlyOwnerRetainsTheChildFirst) {
  // `holder` is the only reference to the parent, which holds the only reference to the child:
  // releasing the old target first would destroy the child before it is stored.
  Ref<Probe> holder = New<Probe>(&destroyed_);
  holder->child = New<Probe>(&destroyed_);
  Probe* child = holder->child.get();
  holder = holder->child;
  EXPECT_EQ(holder.get(), child);
  EXPECT_EQ(destroyed_, 1);
}

TEST_F(RefTest, NothingIsAnEmptyReferenceOfEveryType) {
  Ref<Probe> a = New<Probe>(&destroyed_);
  EXPECT_FALSE(a == Nothing);
  a = Nothing;
  EXPECT_TRUE(a == Nothing);
  EXPECT_TRUE(Ref<IStackNode>() == Nothing);
  EXPECT_TRUE(Is(Ref<IStackNode>(), Ref<ITreeNode>()));
  EXPECT_EQ(destroyed_, 1);
}

TEST_F(RefTest, IdentityHoldsAcrossInterfaces) {
  Ref<TwoFaced> object = New<TwoFaced>();
  Ref<IStackNode> as_stack = object;
  Ref<ITreeNode> as_queue = object;
  EXPECT_TRUE(Is(as_stack, as_queue));
  EXPECT_TRUE(Is(As<ITreeNode>(as_stack), object));
  EXPECT_FALSE(Is(as_stack, Ref<ITreeNode>(New<TwoFaced>())));
  EXPECT_FALSE(Is(as_stack, Nothing));
}

TEST_F(RefTest, ConversionToAMissingInterfaceIsTypeMismatch) {
  Ref<Object> probe = New<Probe>(&destroyed_);
  try {
    As<IStackNode>(probe);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), kErrTypeMismatch);
    EXPECT_STREQ(e.what(), "Type mismatch");
  }
  EXPECT_EQ(As<IStackNode>(Ref<Object>()), Nothing);
}

/// An interface whose implementation is private: `New` goes through its factory.
class Greeter : public virtual Object {
 public:
  static Ref<Greeter> Create();
  virtual int Answer() const { return 0; }
};
class PrivateGreeter : public Greeter {
 public:
  int Answer() const override { return 42; }
};
Ref<Greeter> Greeter::Create() { return Ref<Greeter>(new PrivateGreeter()); }
/// Inherits the factory, which makes a Greeter rather than this class: `New` must not use it.
class OtherGreeter : public Greeter {
 public:
  int Answer() const override { return 7; }
};

TEST_F(RefTest, NewUsesAClassFactoryOnlyWhenItMakesThatClass) {
  EXPECT_EQ(New<Greeter>()->Answer(), 42);
  EXPECT_EQ(New<OtherGreeter>()->Answer(), 7);
}

TEST(Error, CheckedAddRaisesOverflow) {
  EXPECT_EQ(CheckedAdd(2147483645, 2), 2147483647);
  EXPECT_EQ(CheckedAdd(-2147483647, -1), -2147483647 - 1);
  try {
    CheckedAdd(2147483647, 1);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), kErrOverflow);
  }
  EXPECT_THROW(CheckedAdd(-2147483647 - 1, -1), Error);
}

}  // namespace
}  // namespace velmira
