// The sample element classes: user data, per-slot keys and links, teardown. Their use in the
// containers runs the containers' rows (container_rows_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "velmira/elements/list_node.h"
#include "velmira/elements/pqueue_node.h"
#include "velmira/elements/queue_node.h"
#include "velmira/elements/stack_node.h"
#include "velmira/elements/tree_node.h"

namespace velmira {
namespace {

/// The link members of the element interface `I`, as (get, set) pairs.
template <class I>
auto Links() {
  using Member = std::pair<Ref<I> (I::*)(std::int32_t), void (I::*)(std::int32_t, const Ref<I>&)>;
  if constexpr (std::is_same_v<I, IListNode>) {
    return std::vector<Member>{
        {&I::NextItem, &I::SetNextItem}, {&I::PrevItem, &I::SetPrevItem}, {&I::Tag, &I::SetTag}};
  } else if constexpr (std::is_same_v<I, ITreeNode>) {
    return std::vector<Member>{{&I::Left, &I::SetLeft}, {&I::Right, &I::SetRight}};
  } else {
    return std::vector<Member>{{&I::NextItem, &I::SetNextItem}};
  }
}

constexpr std::int32_t kMax = 2147483647;
constexpr std::array<std::int32_t, 6> kSlots{0, 1, 2, -1, kMax, -kMax - 1};

/// The same kind and value (objects by identity).
bool Same(const Variant& a, const Variant& b) {
  return a.Kind() == b.Kind() && (IsNull(a) || Equal(a, b));
}

struct Probe : Object {
  explicit Probe(int* destroyed) : destroyed(destroyed) {}
  ~Probe() override { ++*destroyed; }
  int* destroyed;
};

template <class I>
std::type_identity<I> InterfaceOf(const SampleNode<I>*);

/// Reads and writes every member of a sample element as a Variant: members 0-3 are the user data
/// (the same for every slot), 4 the key of the slot, the others the slot's links.
template <class N>
class SampleNodeTest : public testing::VelmiraTest {
 protected:
  using I = typename decltype(InterfaceOf(static_cast<N*>(nullptr)))::type;
  using S = SampleNode<I>;
  static constexpr std::array<std::pair<Variant (S::*)() const, void (S::*)(const Variant&)>, 4>
      kFields{{{&S::Value, &S::SetValue},
               {&S::Tag, &S::SetTag},
               {&S::Flags, &S::SetFlags},
               {&S::Data, &S::SetData}}};

  Variant Read(std::size_t m, std::int32_t s) {
    if (m < 4) return (node_.get()->*kFields[m].first)();
    if (m > 4) return (node_.get()->*links_[m - 5].first)(s);
    if constexpr (requires(I & i) { i.Key(s); }) {
      if (!Same(static_cast<I&>(*node_).Key(s), node_->S::Key(s))) return "interface Key differs";
    }
    return node_->S::Key(s);
  }
  void Write(std::size_t m, std::int32_t s, const Variant& v) {
    if (m < 4) return (node_.get()->*kFields[m].second)(v);
    if (m == 4) return node_->SetKey(s, v);
    (node_.get()->*links_[m - 5].second)(s, As<I>(v.ObjectValue()));
  }

  const decltype(Links<I>()) links_ = Links<I>();
  int destroyed_ = 0;
  Ref<N> node_ = New<N>();
  /// Values for links (Nothing and elements), and for keys and user data (one of each kind too).
  std::vector<Variant> link_values_ = {Nothing, New<N>(), New<N>(), New<N>()};
  std::vector<Variant> values_ = {Nothing, 5, "b", 2.5, true, std::int16_t{-7}, Variant::Null()};

  SampleNodeTest() {
    values_.insert(values_.begin(), {Variant(New<Probe>(&destroyed_)), Variant::Date(45000.5),
                                     Variant::CurrencyFromScaled(1), std::string(20, 's')});
    values_.push_back(link_values_[1]);
  }
};

using SampleNodeTypes = ::testing::Types<StackNode, QueueNode, PQueueNode, ListNode, TreeNode>;
TYPED_TEST_SUITE(SampleNodeTest, SampleNodeTypes);

TYPED_TEST(SampleNodeTest, EveryMemberOfEverySlotMatchesAPlainMap) {
  const std::size_t members = 5 + this->links_.size();
  std::map<std::pair<std::size_t, std::int32_t>, Variant> model;
  const auto at = [&](std::size_t m, int s) -> Variant& { return model[{m, m < 4 ? 0 : s}]; };
  // A new element reads Empty and Nothing. The records are made in ascending slot order and the
  // smallest is looked up again, so the slot table's search path reaches its largest size here.
  std::array<std::int32_t, kSlots.size()> ascending = kSlots;
  std::sort(ascending.begin(), ascending.end());
  for (std::int32_t s : ascending) {
    for (std::size_t m = 0; m < members; ++m) {
      at(m, s) = m > 4 ? Variant(Nothing) : Variant();
      EXPECT_TRUE(Same(this->Read(m, s), at(m, s))) << m << "(" << s << ")";
    }
  }
  this->Read(4, ascending.front());
  // Random traffic must agree with the map, allocating nothing: a slot used before is answered
  // from the records kept at hand when it is among the last three used, by a search otherwise.
  std::mt19937 random(20240229);
  const std::int64_t before = testing::AllocationCount();
  for (int step = 0; step < 5000; ++step) {
    const std::int32_t s = kSlots[random() % kSlots.size()];
    const std::size_t m = random() % members;
    const std::vector<Variant>& pool = m > 4 ? this->link_values_ : this->values_;
    if (random() % 2) {
      this->Write(m, s, at(m, s) = pool[random() % pool.size()]);
    } else {
      ASSERT_TRUE(Same(this->Read(m, s), at(m, s))) << step << ": " << m << "(" << s << ")";
    }
  }
  EXPECT_EQ(testing::AllocationCount(), before);
}

using SampleNodeUse = testing::VelmiraTest;

TEST_F(SampleNodeUse, ListNodeUserDataTagAndLinkTagAreBothReachableAndIndependent) {
  const Ref<ListNode> node = New<ListNode>(), other = New<ListNode>();
  node->SetTag(other);  // an element in the user-data field is still not a link
  for (std::int32_t s : kSlots) EXPECT_EQ(node->Tag(s), Nothing);
  node->SetTag(0, other);
  node->SetTag(-1, node);
  EXPECT_TRUE(Is(node->Tag().ObjectValue(), other));
  node->SetTag("mine");
  EXPECT_TRUE(Is(node->Tag(0), other) && Is(node->Tag(-1), node));
  node->SetTag(0, Nothing);
  node->SetTag(-1, Nothing);  // breaks the cycle
  EXPECT_EQ(node->Tag().Text(), "mine");
}

}  // namespace
}  // namespace velmira
