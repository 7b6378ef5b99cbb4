// The element building blocks: the storage contract of every link over inline, outside,
// negative and extreme slots, object size, and one class in five containers at once.
#include "velmira/elements/links.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "velmira/velmira.h"

namespace velmira {
namespace {

/// Every block at once, N slots of each inline.
template <std::size_t N>
class AllBlocks final : public StackLinks<N>,
                        public QueueLinks<N>,
                        public PQueueLinks<N>,
                        public ListLinks<N>,
                        public TreeLinks<N> {
 public:
  static constexpr std::size_t kInline = N;
  Variant Key(std::int32_t) override { return key; }
  Variant key;
};

/// What each block adds, on a 64-bit target: 16 bytes plus 8 per link per inline slot, beside
/// the shared 16-byte Object. A bare hand-written single-link element is 32 bytes.
struct OnlyStackLinks : StackLinks<> {};
template <std::size_t N>
constexpr bool kSizeAsDocumented = sizeof(AllBlocks<N>) ==
                                   16 + 5 * 16 + 8 * (1 + 1 + 1 + 3 + 2) * N + sizeof(Variant);
static_assert(sizeof(void*) != 8 || (sizeof(OnlyStackLinks) == 40 && kSizeAsDocumented<0> &&
                                     kSizeAsDocumented<1> && kSizeAsDocumented<3>));

/// One link member of element E, reached through its interface I as a container reaches it.
template <class E>
struct LinkMember {
  std::function<Ref<Object>(E&, std::int32_t)> get;
  std::function<void(E&, std::int32_t, const Ref<E>&)> set;
};
template <class E, class I>
LinkMember<E> Member(Ref<I> (I::*get)(std::int32_t), void (I::*set)(std::int32_t, const Ref<I>&)) {
  return {[get](E& e, std::int32_t s) { return Ref<Object>((static_cast<I&>(e).*get)(s)); },
          [set](E& e, std::int32_t s, const Ref<E>& v) { (static_cast<I&>(e).*set)(s, v); }};
}
template <class E>
std::vector<LinkMember<E>> EveryLink() {
  return {Member<E, IStackNode>(&IStackNode::NextItem, &IStackNode::SetNextItem),
          Member<E, IQueueNode>(&IQueueNode::NextItem, &IQueueNode::SetNextItem),
          Member<E, IPQueueNode>(&IPQueueNode::NextItem, &IPQueueNode::SetNextItem),
          Member<E, IListNode>(&IListNode::NextItem, &IListNode::SetNextItem),
          Member<E, IListNode>(&IListNode::PrevItem, &IListNode::SetPrevItem),
          Member<E, IListNode>(&IListNode::Tag, &IListNode::SetTag),
          Member<E, ITreeNode>(&ITreeNode::Left, &ITreeNode::SetLeft),
          Member<E, ITreeNode>(&ITreeNode::Right, &ITreeNode::SetRight)};
}

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::array<std::int32_t, 10> kSlots{0, 1, 2, 3, 4, 1000, -1, -2, kMax, kMin};

template <class E>
class LinkBlocksContract : public testing::VelmiraTest {};
using InlineSlotCounts = ::testing::Types<AllBlocks<0>, AllBlocks<1>, AllBlocks<3>>;
TYPED_TEST_SUITE(LinkBlocksContract, InlineSlotCounts);

TYPED_TEST(LinkBlocksContract, EveryLinkOfEverySlotMatchesAPlainMap) {
  const auto links = EveryLink<TypeParam>();
  // Link values: Nothing, other elements, and the element itself.
  std::vector<Ref<TypeParam>> values = {Nothing, New<TypeParam>(), New<TypeParam>()};
  Ref<TypeParam> node = New<TypeParam>();
  values.push_back(node);
  // A new element reads Nothing everywhere, and reading allocates nothing.
  std::int64_t before = testing::AllocationCount();
  for (std::int32_t s : kSlots) {
    for (const auto& link : links) EXPECT_FALSE(link.get(*node, s)) << s;
  }
  EXPECT_EQ(testing::AllocationCount(), before);

  std::map<std::pair<std::size_t, std::int32_t>, std::size_t> model;  // value positions
  std::mt19937 random(17);
  std::int64_t inline_allocations = 0;
  for (int step = 0; step < 20000; ++step) {
    const std::int32_t s = kSlots[random() % kSlots.size()];
    const std::size_t m = random() % links.size();
    std::size_t& expected = model[{m, s}];
    before = testing::AllocationCount();
    if (random() % 2) {
      expected = random() % values.size();
      links[m].set(*node, s, values[expected]);
    } else {
      ASSERT_TRUE(Is(links[m].get(*node, s), values[expected])) << m << "(" << s << ")";
    }
    if (static_cast<std::uint32_t>(s) < TypeParam::kInline) {
      inline_allocations += testing::AllocationCount() - before;
    }
  }
  EXPECT_EQ(inline_allocations, 0);
  for (const auto& [where, v] : model) {  // a last full comparison, which also breaks self-links
    EXPECT_TRUE(Is(links[where.first].get(*node, where.second), values[v]));
    links[where.first].set(*node, where.second, Nothing);
  }
}

TYPED_TEST(LinkBlocksContract, LinksAreStrongUntilResetOrTeardown) {
  const auto links = EveryLink<TypeParam>();
  const std::int64_t alone = LiveObjectCount();
  Ref<TypeParam> node = New<TypeParam>();
  for (std::size_t m = 0; m < links.size(); ++m) {
    for (std::int32_t s : {0, 5, kMin}) links[m].set(*node, s, New<TypeParam>());
  }
  EXPECT_EQ(LiveObjectCount(), alone + 1 + 3 * static_cast<std::int64_t>(links.size()));
  links[3].set(*node, kMin, Nothing);
  links[0].set(*node, 0, Nothing);
  EXPECT_EQ(LiveObjectCount(), alone - 1 + 3 * static_cast<std::int64_t>(links.size()));
  node.reset();
  EXPECT_EQ(LiveObjectCount(), alone);
}

/// The class the library's first look shows.
class Job : public QueueLinks<>, public ListLinks<>, public TreeLinks<> {
 public:
  explicit Job(std::string name) : name_(std::move(name)) {}
  Variant Key(std::int32_t) override { return name_; }

 private:
  std::string name_;
};

using LinkBlocksUse = testing::VelmiraTest;

/// The keys of the elements `next` yields, until it yields Nothing.
template <class Next>
std::string Keys(Next next) {
  std::string keys;
  for (auto e = next(); e; e = next())
    keys += std::to_string(As<AllBlocks<1>>(e)->key.Int32Value());
  return keys;
}

TEST_F(LinkBlocksUse, OneClassInFiveContainersAtOnce) {
  const Ref<Stack> stack = New<Stack>();
  const Ref<Queue> queue = New<Queue>();
  const Ref<PQueue> pqueue = New<PQueue>();
  const Ref<List> list = New<List>();
  const Ref<Tree> tree = New<SplayTree>();
  std::vector<Ref<AllBlocks<1>>> e;
  for (int key : {3, 1, 4, 2}) e.push_back(New<AllBlocks<1>>()), e.back()->key = key;
  // The trees' walks keep a path buffer that grows with their depth, so they are left out here.
  const std::int64_t before = testing::AllocationCount();
  for (const auto& n : e) stack->Push(n), queue->Add(n), pqueue->Add(n), list->Add(n);
  EXPECT_EQ(testing::AllocationCount(), before);  // inline slots: nothing per element
  for (const auto& n : e) tree->Add(n);
  EXPECT_TRUE(Is(stack->Top(), e[3]) && Is(queue->First(), e[0]) && Is(pqueue->First(), e[2]));
  EXPECT_TRUE(Is(list->First(), e[0]) && Is(tree->Item(1), e[1]));
  queue->Remove(e[2]), list->Remove(e[1]);  // leaves every other container's links alone
  EXPECT_EQ(Keys([&] { return stack->Pop(); }), "2413");
  EXPECT_EQ(Keys([&] { return queue->NextItem(); }), "312");
  EXPECT_EQ(Keys([&] { return pqueue->NextItem(); }), "4321");
  EXPECT_EQ(Keys([w = list->NewEnum()] { return w->NextItem(); }), "342");
  EXPECT_EQ(Keys([w = tree->NewEnum()] { return w->NextItem(); }), "1234");

  // The first look's Job: a queue, a list and a splay tree, converted back with As.
  const Ref<Job> job = New<Job>("backup");
  queue->Add(job), list->Add(job), tree->Add(job);
  const Ref<IQueueNode> pending = queue->First();
  EXPECT_TRUE(Is(pending, list->Last()) && Is(pending, tree->Item("backup")));
  EXPECT_TRUE(Is(As<Job>(pending), job) && Is(As<Job>(tree->Item("backup")), job));
  EXPECT_THROW(As<AllBlocks<1>>(pending), Error);
  queue->Clear(), list->Clear(), tree->Clear();
  ExpectSilence();
}

}  // namespace
}  // namespace velmira
