// The sample elements and the element building blocks on their own: every member of every slot
// (user data, each slot's key, each link apart) against a plain map over inline, outside, negative
// and extreme slots; what may allocate; strong links; object size; the first look's class in three
// containers at once. The reliability models run them inside the containers.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "job.h"
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
  Variant Key(std::int32_t) override { return key; }
  Variant key;
};

/// What each block adds, on a 64-bit target: 32 bytes (the interface's table pointer and
/// direct-link record, the side-table pointer) plus 8 per link per inline slot, beside the shared
/// 16-byte Object. A bare hand-written single-link element is 48 bytes.
struct OnlyStackLinks : StackLinks<> {};
template <std::size_t N>
constexpr bool kSizeAsDocumented = sizeof(AllBlocks<N>) ==
                                   16 + 5 * 32 + 8 * (1 + 1 + 1 + 3 + 2) * N + sizeof(Variant);
static_assert(sizeof(void*) != 8 || (sizeof(OnlyStackLinks) == 56 && kSizeAsDocumented<0> &&
                                     kSizeAsDocumented<1> && kSizeAsDocumented<3>));

/// The building blocks' inline slots; -1 for a sample element, whose slots in use never allocate.
template <class E>
constexpr std::int64_t kInlineSlots = -1;
template <std::size_t N>
constexpr std::int64_t kInlineSlots<AllBlocks<N>> = N;

/// One member of element E as a container (links, keys) or its owner (user data) reaches it.
template <class E>
struct Member {
  std::function<Variant(E&, std::int32_t)> get;
  std::function<void(E&, std::int32_t, const Variant&)> set;
  bool link = true, per_slot = true;
  /// A link as the containers read it without a call: its direct cell, if the slot has one.
  std::function<std::optional<Variant>(E&, std::int32_t)> direct = [](E&, std::int32_t) {
    return std::nullopt;
  };
};
template <class E, class I>
Member<E> LinkOf(Ref<I> (I::*get)(std::int32_t), void (I::*set)(std::int32_t, const Ref<I>&),
                 std::size_t cell = 0) {
  return {[get](E& e, std::int32_t s) { return Variant((static_cast<I&>(e).*get)(s)); },
          [set](E& e, std::int32_t s, const Variant& v) {
            (static_cast<I&>(e).*set)(s, As<I>(v.ObjectValue()));
          },
          true, true,
          [cell](E& e, std::int32_t s) -> std::optional<Variant> {
            const Ref<I>* row = static_cast<I&>(e).DirectLinks(s);
            if (row == nullptr) return std::nullopt;
            return Variant(row[cell]);
          }};
}
template <class E, class S>
Member<E> Field(Variant (S::*get)() const, void (S::*set)(const Variant&)) {
  return {[get](E& e, std::int32_t) { return (e.*get)(); },
          [set](E& e, std::int32_t, const Variant& v) { (e.*set)(v); }, false, false};
}
/// The links of every interface E implements, then a sample element's user data and key.
template <class E>
std::vector<Member<E>> MembersOf() {
  std::vector<Member<E>> m;
  if constexpr (std::is_base_of_v<IStackNode, E>)
    m.push_back(LinkOf<E>(&IStackNode::NextItem, &IStackNode::SetNextItem));
  if constexpr (std::is_base_of_v<IQueueNode, E>)
    m.push_back(LinkOf<E>(&IQueueNode::NextItem, &IQueueNode::SetNextItem));
  if constexpr (std::is_base_of_v<IPQueueNode, E>)
    m.push_back(LinkOf<E>(&IPQueueNode::NextItem, &IPQueueNode::SetNextItem));
  if constexpr (std::is_base_of_v<IListNode, E>) {
    m.push_back(LinkOf<E>(&IListNode::NextItem, &IListNode::SetNextItem));
    m.push_back(LinkOf<E>(&IListNode::PrevItem, &IListNode::SetPrevItem, 1));
    m.push_back(LinkOf<E>(&IListNode::Tag, &IListNode::SetTag, 2));
  }
  if constexpr (std::is_base_of_v<ITreeNode, E>) {
    m.push_back(LinkOf<E>(&ITreeNode::Left, &ITreeNode::SetLeft));
    m.push_back(LinkOf<E>(&ITreeNode::Right, &ITreeNode::SetRight, 1));
  }
  if constexpr (requires(E & e) { e.SetData(Variant()); }) {
    // &E::Tag of a ListNode also names its link Tag(Index): the user-data one is picked by type.
    m.insert(m.end(), {Field<E>(&E::Value, &E::SetValue), Field<E>(&E::Tag, &E::SetTag),
                       Field<E>(&E::Flags, &E::SetFlags), Field<E>(&E::Data, &E::SetData)});
    m.push_back({[](E& e, std::int32_t s) { return e.Key(s); },
                 [](E& e, std::int32_t s, const Variant& v) { e.SetKey(s, v); }, false});
  }
  return m;
}

/// The same kind and value (objects by identity).
bool Same(const Variant& a, const Variant& b) {
  return a.Kind() == b.Kind() && (IsNull(a) || Equal(a, b));
}

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::array<std::int32_t, 10> kSlots{kMin, -2, -1, 0, 1, 2, 3, 4, 1000, kMax};

template <class E>
class ElementStorage : public testing::VelmiraTest {};
using Elements = ::testing::Types<AllBlocks<0>, AllBlocks<1>, AllBlocks<3>, StackNode, QueueNode,
                                  PQueueNode, ListNode, TreeNode>;
TYPED_TEST_SUITE(ElementStorage, Elements);

TYPED_TEST(ElementStorage, EveryMemberOfEverySlotMatchesAPlainMap) {
  using E = TypeParam;
  constexpr bool kBlocks = kInlineSlots<E> >= 0;
  const std::vector<Member<E>> members = MembersOf<E>();
  Ref<E> node = New<E>();
  // Link values: Nothing, other elements and the element itself; other values of every kind.
  const std::vector<Variant> links = {Nothing, New<E>(), New<E>(), node};
  std::vector<Variant> data = {Variant::Date(45000.5), Variant::CurrencyFromScaled(1), links[1],
                               std::string(20, 's')};
  data.insert(data.end(),
              {Variant(), Nothing, 5, "b", 2.5, true, std::int16_t(-7), Variant::Null()});
  std::map<std::pair<std::size_t, std::int32_t>, Variant> model;
  const auto at = [&](std::size_t m, std::int32_t s) -> Variant& {
    return model[{m, members[m].per_slot ? s : 0}];
  };
  // A new element reads Empty and Nothing; reading allocates nothing in the building blocks. A
  // sample element makes a slot record on first use: in ascending slot order, the smallest read
  // again, so that its slot table's search path reaches its largest size here.
  for (std::int32_t s : kSlots) {
    for (std::size_t m = 0; m < members.size(); ++m) {
      at(m, s) = members[m].link ? Variant(Nothing) : Variant();
    }
  }
  std::int64_t before = testing::AllocationCount();
  for (std::int32_t s : kSlots) {
    for (std::size_t m = 0; m < members.size(); ++m) {
      EXPECT_TRUE(Same(members[m].get(*node, s), at(m, s))) << m << "(" << s << ")";
    }
  }
  members[0].get(*node, kSlots[0]);
  EXPECT_TRUE(!kBlocks || testing::AllocationCount() == before);
  // Random traffic must agree with the map, allocating nothing in the blocks' inline slots nor in a
  // sample element's slots in use (the last three used are at hand, the others found by a search).
  std::int64_t allocations = 0;
  std::mt19937 random(17);
  for (int step = 0; step < 20000; ++step) {
    const std::int32_t s = kSlots[random() % kSlots.size()];
    const std::size_t m = random() % members.size();
    before = testing::AllocationCount();
    if (random() % 2) {
      const std::vector<Variant>& pool = members[m].link ? links : data;
      members[m].set(*node, s, at(m, s) = pool[random() % pool.size()]);
    } else {
      ASSERT_TRUE(Same(members[m].get(*node, s), at(m, s))) << step << ": " << m << "(" << s << ")";
    }
    if (!kBlocks || (s >= 0 && s < kInlineSlots<E>)) {
      allocations += testing::AllocationCount() - before;
    }
    // The containers' view of a link without a call: the cells of the blocks' inline slots, and
    // of the slot a sample element used last; the same link the members store.
    if (members[m].link) {
      const std::optional<Variant> direct = members[m].direct(*node, s);
      ASSERT_EQ(direct.has_value(), kBlocks ? s >= 0 && s < kInlineSlots<E> : true) << s;
      if (direct) {
        ASSERT_TRUE(Same(*direct, at(m, s))) << step << ": " << m << "(" << s << ")";
      }
    }
  }
  EXPECT_EQ(allocations, 0);
  for (const auto& [where, v] : model) {  // a last full comparison, which also breaks self-links
    EXPECT_TRUE(Same(members[where.first].get(*node, where.second), v));
    if (members[where.first].link) members[where.first].set(*node, where.second, Nothing);
  }
}

TYPED_TEST(ElementStorage, LinksAreStrongUntilResetOrTeardown) {
  const std::int64_t alone = LiveObjectCount();
  Ref<TypeParam> node = New<TypeParam>();
  std::vector<Ref<TypeParam>> targets;
  for (const auto& m : MembersOf<TypeParam>()) {
    for (std::int32_t s : {0, 5, kMin}) {
      if (m.link) m.set(*node, s, targets.emplace_back(New<TypeParam>()));
    }
  }
  const std::int64_t held = LiveObjectCount();
  targets.clear();
  EXPECT_EQ(LiveObjectCount(), held);  // the links alone keep every target alive
  MembersOf<TypeParam>()[0].set(*node, 5, Nothing);
  EXPECT_LT(LiveObjectCount(), held);  // a reset link lets its target go
  node.reset();
  EXPECT_EQ(LiveObjectCount(), alone);  // and teardown all the others
}

using LinkBlocksUse = testing::VelmiraTest;

// One object in a queue, a list and a splay tree at once: the inline slots allocate nothing per
// element, each container keeps to its own links, and As converts back from every interface.
TEST_F(LinkBlocksUse, TheFirstLookJobInThreeContainersAtOnce) {
  const Ref<Queue> queue = New<Queue>();
  const Ref<List> list = New<List>();
  const Ref<Tree> tree = New<SplayTree>();
  std::vector<Ref<Job>> jobs;
  for (const char* name : {"backup", "mail", "index"}) jobs.push_back(New<Job>(name));
  const std::int64_t before = testing::AllocationCount();
  for (const auto& job : jobs) queue->Add(job), list->Add(job);
  EXPECT_EQ(testing::AllocationCount(), before);
  for (const auto& job : jobs) tree->Add(job);  // (a tree's path buffer grows with its depth)
  queue->Remove(jobs[0]), list->Remove(jobs[1]), tree->Remove("index");
  EXPECT_TRUE(Is(As<Job>(queue->NextItem()), jobs[1]) && Is(queue->First(), jobs[2]));
  EXPECT_TRUE(Is(As<Job>(list->First()), jobs[0]) && Is(list->NextItem(jobs[0]), jobs[2]));
  EXPECT_TRUE(Is(As<Job>(tree->Item("mail")), jobs[1]) && !tree->Exists("index"));
  EXPECT_TRUE(Is(tree->Item("backup"), jobs[0]));
  EXPECT_THROW(As<AllBlocks<1>>(list->Last()), Error);
  queue->Clear(), list->Clear(), tree->Clear();
  ExpectSilence();
}

}  // namespace
}  // namespace velmira
