// Objects and references, CheckedAdd, the release of long chains, and the debug output channel.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "capture.h"
#include "scale.h"
#include "velmira/core/debug_output.h"
#include "velmira/core/node_interfaces.h"

namespace velmira {
namespace {

using ::testing::Property;
using ::testing::Throws;

/// A client element: one stack link, whatever the slot, and a tree element's links that are
/// never used (two interfaces, for identity across them). Logs its destruction when asked to.
class Node : public IStackNode, public ITreeNode {
 public:
  Ref<IStackNode> NextItem(std::int32_t) override { return next; }
  void SetNextItem(std::int32_t, const Ref<IStackNode>& Value) override { next = Value; }
  Variant Key(std::int32_t) override { return {}; }
  Ref<ITreeNode> Left(std::int32_t) override { return Nothing; }
  void SetLeft(std::int32_t, const Ref<ITreeNode>&) override {}
  Ref<ITreeNode> Right(std::int32_t) override { return Nothing; }
  void SetRight(std::int32_t, const Ref<ITreeNode>&) override {}
  Ref<IStackNode> next;
  static inline std::vector<const Node*>* destroyed = nullptr;

 protected:
  ~Node() override {
    if (destroyed) destroyed->push_back(this);
  }
};

using RefTest = testing::VelmiraTest;

TEST_F(RefTest, AssignmentRetainsTheNewTargetBeforeReleasingTheOld) {
  Ref<IStackNode> holder = New<Node>();
  Ref<IStackNode>& alias = holder;
  holder = alias;
  holder = std::move(alias);
  // `holder` is the only reference to its object, which holds the only reference to the child.
  holder->SetNextItem(0, New<Node>());
  const IStackNode* child = holder->NextItem(0).get();
  holder = static_cast<Node&>(*holder).next;
  EXPECT_EQ(holder.get(), child);
  EXPECT_EQ(LiveObjectCount() - live_at_start_, 1);
}

TEST_F(RefTest, NothingAndIdentityAcrossInterfaces) {
  const Ref<Node> object = New<Node>();
  Ref<IStackNode> as_element = object;
  const Ref<ITreeNode> as_other = object;
  EXPECT_TRUE(Is(as_element, as_other));
  EXPECT_TRUE(Is(As<Node>(as_other), object));
  EXPECT_TRUE(Is(As<IStackNode>(as_other), object));
  EXPECT_FALSE(Is(as_element, Ref<IStackNode>(New<Node>())) || Is(as_element, Nothing));
  EXPECT_FALSE(as_element == Nothing);
  as_element = Nothing;
  EXPECT_TRUE(as_element == Nothing && Ref<IStackNode>() == Nothing && Is(as_element, Nothing) &&
              Is(Ref<IStackNode>(), Ref<ITreeNode>()));
}

TEST_F(RefTest, AsToAMissingInterfaceRaisesTypeMismatch) {
  const Ref<IStackNode> node = New<Node>();
  const auto convert = [&] { As<IQueueNode>(node); };
  EXPECT_THAT(convert, Throws<Error>(Property(&Error::Number, kErrTypeMismatch)));
  EXPECT_THAT(convert, ::testing::ThrowsMessage<Error>(::testing::StrEq("Type mismatch")));
  EXPECT_EQ(As<IQueueNode>(Ref<IStackNode>()), Nothing);
}

/// A client element with a public destructor, so it can be made anywhere, also as a member.
class Plain : public IStackNode {
 public:
  Ref<IStackNode> NextItem(std::int32_t) override { return next; }
  void SetNextItem(std::int32_t, const Ref<IStackNode>& Value) override { next = Value; }
  Ref<IStackNode> next;
};
struct Holder : Object {
  Plain member;
};

TEST_F(RefTest, OnlyObjectsMadeByNewCanBeHeld) {
  const auto refused = Throws<Error>(Property(&Error::Number, 5));
  Plain on_stack;
  EXPECT_THAT([&] { Ref<IStackNode>{&on_stack}; }, refused);
  Ref<Holder> holder = New<Holder>();
  EXPECT_THAT([&] { Ref<Plain>{&holder->member}; }, refused);  // it dies with its owner
  std::vector<Plain> many(2);
  EXPECT_THAT([&] { Ref<Plain>{&many[1]}; }, refused);
  // A member call that holds its object for the call leaves one not made by New where it is.
  { detail::KeepAlive hold(&on_stack); }
  // `new` handed straight to a reference is made by new; such objects hold references as usual.
  on_stack.SetNextItem(0, Ref<IStackNode>(new Plain));
  holder->member.SetNextItem(0, New<Plain>());
  EXPECT_EQ(LiveObjectCount() - live_at_start_, 7);
  many.clear();
  holder.reset();  // deletes the holder with its member, and the member's element
  on_stack.next.reset();
  EXPECT_EQ(LiveObjectCount() - live_at_start_, 1);  // on_stack, until its scope ends
}

/// An interface whose implementation is private: `New` goes through its factory.
class Greeter : public virtual Object {
 public:
  static Ref<Greeter> Create();
  virtual int Answer() const { return 0; }
};
class PrivateGreeter : public Greeter {
  int Answer() const override { return 42; }
};
Ref<Greeter> Greeter::Create() { return Ref<Greeter>(new PrivateGreeter()); }
/// Inherits a factory that makes another class: `New` must not use it.
class OtherGreeter : public Greeter {
  int Answer() const override { return 7; }
};

TEST_F(RefTest, NewUsesAClassFactoryOnlyWhenItMakesThatClass) {
  EXPECT_EQ(New<Greeter>()->Answer(), 42);
  EXPECT_EQ(Ref<Greeter>(New<OtherGreeter>())->Answer(), 7);
}

TEST(LiveObjectCount, SumsEveryThreadIncludingObjectsThatDieOnAnotherThreadOrAfterItEnds) {
  const std::int64_t before = LiveObjectCount();
  Ref<IStackNode> made_there, dies_there = New<Node>();
  std::thread([&] {
    made_there = New<Node>();
    made_there->SetNextItem(0, New<Node>());
    EXPECT_EQ(LiveObjectCount() - before, 3);
    dies_there.reset();
  }).join();
  EXPECT_EQ(LiveObjectCount() - before, 2);  // the thread's count outlives the thread
  made_there.reset();
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST(CheckedAdd, RaisesOverflowInsteadOfWrapping) {
  EXPECT_EQ(CheckedAdd(2147483645, 2), 2147483647);
  EXPECT_EQ(CheckedAdd(-2147483647, -1), -2147483647 - 1);
  const auto overflow = Throws<Error>(Property(&Error::Number, kErrOverflow));
  EXPECT_THAT([] { CheckedAdd(2147483647, 1); }, overflow);
  EXPECT_THAT([] { CheckedAdd(-2147483647 - 1, -1); }, overflow);
}

TEST_F(RefTest, ReleasingTheHeadDestroysAChainHeadFirstInOrder) {
  std::vector<const Node*> made, destroyed;
  Ref<IStackNode> head;
  for (int i = 0; i < 5; ++i) {
    Ref<Node> node = New<Node>();
    node->next = std::move(head);
    made.insert(made.begin(), node.get());
    head = std::move(node);
  }
  Node::destroyed = &destroyed;
  head.reset();
  Node::destroyed = nullptr;
  EXPECT_EQ(destroyed, made);
}

TEST(Release, AHandBuiltLongChainIsReleasedWithoutRecursion) {
  const std::int64_t before = LiveObjectCount();
  Ref<IStackNode> head;
  for (int i = 0; i < testing::kLongChain; ++i) {
    Ref<IStackNode> node = New<Node>();
    node->SetNextItem(0, head);
    head = std::move(node);
  }
  EXPECT_EQ(LiveObjectCount() - before, testing::kLongChain);
  head.reset();  // nested destructors, one per element, would overflow the stack here
  EXPECT_EQ(LiveObjectCount(), before);
}

/// What the default sink writes to stderr for `messages`, read back through a pipe.
std::string DefaultSinkOutput(const std::vector<std::string>& messages) {
  int fds[2];
  EXPECT_EQ(::pipe(fds), 0);
  const int saved = ::dup(STDERR_FILENO);
  ::dup2(fds[1], STDERR_FILENO);
  const DebugSink previous = SetDebugOutput(nullptr);
  for (const std::string& message : messages) WriteDebugOutput(message);
  SetDebugOutput(previous);
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  ::close(fds[1]);
  std::string text(4096, '\0');  // all of it, as the pipe's writing end is closed
  text.resize(std::max<ssize_t>(::read(fds[0], text.data(), text.size()), 0));
  ::close(fds[0]);
  return text;
}

TEST(DebugOutput, DefaultSinkAddsALineFeedOnlyWhenMissing) {
  EXPECT_EQ(DefaultSinkOutput({"Stack: Warning, an attempt was made to Add Nothing", "ends\n", ""}),
            "Stack: Warning, an attempt was made to Add Nothing\nends\n\n");
}

TEST(DebugOutput, SinkReceivesEachWriteExactlyCanBeReplacedAndMayThrow) {
  std::vector<std::string> first, second;
  const DebugSink original = SetDebugOutput([&](std::string_view t) { first.emplace_back(t); });
  WriteDebugOutput("one");
  WriteDebugOutput("two\n");
  const DebugSink replaced = SetDebugOutput([&](std::string_view t) { second.emplace_back(t); });
  WriteDebugOutput("three");
  replaced("direct");  // the sink handed back is the one installed before
  SetDebugOutput([](std::string_view) { throw std::runtime_error("sink failed"); });
  EXPECT_NO_THROW(WriteDebugOutput("not seen by the writer"));
  SetDebugOutput(replaced);
  WriteDebugOutput("four");
  SetDebugOutput(original);
  EXPECT_EQ(first, (std::vector<std::string>{"one", "two\n", "direct", "four"}));
  EXPECT_EQ(second, (std::vector<std::string>{"three"}));
}

}  // namespace
}  // namespace velmira
