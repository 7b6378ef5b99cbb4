// The five sample element classes on their own: user data, per-slot keys and links, slot records,
// teardown.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "sample_node_types.h"
#include "scale.h"
#include "velmira/core/list_node.h"
#include "velmira/core/pqueue_node.h"
#include "velmira/core/tree_node.h"

namespace velmira {
namespace {

using testing::GetLink;
using testing::KeyedSample;
using testing::kSlots;
using testing::Probe;
using testing::SampleTraits;
using testing::SetLink;

/// True when `a` and `b` are the same value of the same kind (objects by identity).
::testing::AssertionResult SameVariant(const Variant& a, const Variant& b) {
  if (a.Kind() != b.Kind()) {
    return ::testing::AssertionFailure()
           << "kinds differ: " << int(a.Kind()) << " vs " << int(b.Kind());
  }
  switch (a.Kind()) {
    case VariantKind::Empty:
    case VariantKind::Null:
      return ::testing::AssertionSuccess();
    case VariantKind::Object:
      if (Is(a.ObjectValue(), b.ObjectValue())) return ::testing::AssertionSuccess();
      return ::testing::AssertionFailure() << "different objects";
    default:
      if (Equal(a, b)) return ::testing::AssertionSuccess();
      return ::testing::AssertionFailure() << "different values";
  }
}

/// One value of every kind a key or a user-data field can hold, Object excepted.
std::vector<Variant> ValuesOfEveryKind() {
  return {Variant(std::int32_t{5}),
          Variant(std::int16_t{-7}),
          Variant(2.5),
          Variant(1.25f),
          Variant("b"),
          Variant(""),
          Variant::DateFromYmd(2024, 2, 29),
          Variant::CurrencyFromScaled(15000),
          Variant(true),
          Variant::Null(),
          Variant(std::int32_t{std::numeric_limits<std::int32_t>::min()})};
}

template <class N>
class SampleNodeTest : public testing::VelmiraTest {
 protected:
  using Traits = SampleTraits<N>;
  using Interface = typename Traits::Interface;

  static std::array<Variant, 4> UserData(const Ref<N>& n) {
    return {n->Value(), n->Tag(), n->Flags(), n->Data()};
  }
  static void SetUserData(const Ref<N>& n, int field, const Variant& v) {
    switch (field) {
      case 0:
        n->SetValue(v);
        break;
      case 1:
        n->SetTag(v);
        break;
      case 2:
        n->SetFlags(v);
        break;
      default:
        n->SetData(v);
        break;
    }
  }
  /// A fresh element whose death increments `destroyed_`.
  Ref<N> Watched() {
    Ref<N> n = New<N>();
    n->SetData(New<Probe>(&destroyed_));
    return n;
  }

  Ref<N> node_ = New<N>();
  int destroyed_ = 0;
};

TYPED_TEST_SUITE(SampleNodeTest, testing::SampleNodeTypes);

TYPED_TEST(SampleNodeTest, NewElementReadsEmptyAndNothingEverywhere) {
  const Ref<TypeParam>& n = this->node_;
  for (const Variant& v : this->UserData(n)) EXPECT_TRUE(v.IsEmpty());
  for (std::int32_t slot : kSlots) {
    EXPECT_TRUE(n->Key(slot).IsEmpty()) << slot;
    for (const auto& link : TestFixture::Traits::kLinks) {
      EXPECT_EQ(GetLink(n, link, slot), Nothing) << link.name << "(" << slot << ")";
    }
    if constexpr (KeyedSample<TypeParam>) {
      typename TestFixture::Interface* i = n.get();
      EXPECT_TRUE((i->*TestFixture::Traits::kKey)(slot).IsEmpty()) << slot;
    }
  }
  this->ExpectSilence();
}

TYPED_TEST(SampleNodeTest, UserDataFieldsAreIndependentAndHoldAnyKind) {
  const Ref<TypeParam>& n = this->node_;
  const std::vector<Variant> values = ValuesOfEveryKind();
  for (std::size_t first = 0; first < values.size(); ++first) {
    // Each field gets a different value from the list, so a mixed-up field shows.
    for (int field = 0; field < 4; ++field) {
      this->SetUserData(n, field, values[(first + field) % values.size()]);
    }
    const std::array<Variant, 4> read = this->UserData(n);
    for (int field = 0; field < 4; ++field) {
      EXPECT_TRUE(SameVariant(read[field], values[(first + field) % values.size()]))
          << "field " << field << ", round " << first;
    }
  }
  // User data is not per-slot data.
  EXPECT_TRUE(n->Key(0).IsEmpty());
  for (const auto& link : TestFixture::Traits::kLinks) EXPECT_EQ(GetLink(n, link, 0), Nothing);
}

TYPED_TEST(SampleNodeTest, UserDataHoldsObjectsUntilReplacedOrTheElementDies) {
  int destroyed[4] = {};
  for (int field = 0; field < 4; ++field) {
    Ref<Probe> probe = New<Probe>(&destroyed[field]);
    this->SetUserData(this->node_, field, probe);
    EXPECT_TRUE(Is(this->UserData(this->node_)[field].ObjectValue(), probe));
  }
  // The element holds the only references now.
  EXPECT_EQ(destroyed[0] + destroyed[1] + destroyed[2] + destroyed[3], 0);
  this->node_->SetFlags(7);  // replacing releases the old object at once
  EXPECT_EQ(destroyed[2], 1);
  this->node_->SetTag(Nothing);
  EXPECT_EQ(destroyed[1], 1);
  this->node_.reset();
  EXPECT_EQ(destroyed[0], 1);
  EXPECT_EQ(destroyed[3], 1);
}

TYPED_TEST(SampleNodeTest, KeysArePerSlot) {
  const Ref<TypeParam>& n = this->node_;
  int destroyed = 0;
  const Ref<Probe> probe = New<Probe>(&destroyed);
  const std::vector<Variant> keys = {
      Variant(std::int32_t{5}), Variant("b"),   Variant::DateFromYmd(1999, 12, 31), Variant(-0.5),
      Variant(probe),           Variant::Null()};
  for (std::size_t i = 0; i < kSlots.size(); ++i) n->SetKey(kSlots[i], keys[i]);
  for (std::size_t i = 0; i < kSlots.size(); ++i) {
    EXPECT_TRUE(SameVariant(n->Key(kSlots[i]), keys[i])) << kSlots[i];
  }
  EXPECT_TRUE(n->Key(3).IsEmpty());
  EXPECT_TRUE(n->Key(-2).IsEmpty());
  n->SetKey(1, "c");  // overwrites that slot only
  EXPECT_TRUE(SameVariant(n->Key(1), Variant("c")));
  EXPECT_TRUE(SameVariant(n->Key(0), keys[0]));
  for (const auto& link : TestFixture::Traits::kLinks) {
    for (std::int32_t slot : kSlots) EXPECT_EQ(GetLink(n, link, slot), Nothing);
  }
}

TYPED_TEST(SampleNodeTest, LinksArePerSlotAndPerMember) {
  using Interface = typename TestFixture::Interface;
  const auto& links = TestFixture::Traits::kLinks;
  const Ref<TypeParam>& n = this->node_;
  // A distinct target for every (member, slot), set in one pass and read back in another.
  std::vector<std::vector<Ref<TypeParam>>> targets(links.size());
  for (std::size_t m = 0; m < links.size(); ++m) {
    for (std::int32_t slot : kSlots) {
      targets[m].push_back(New<TypeParam>());
      SetLink(n, links[m], slot, Ref<Interface>(targets[m].back()));
    }
  }
  n->SetKey(2, "key");
  for (std::size_t m = 0; m < links.size(); ++m) {
    for (std::size_t s = 0; s < kSlots.size(); ++s) {
      EXPECT_TRUE(Is(GetLink(n, links[m], kSlots[s]), targets[m][s]))
          << links[m].name << "(" << kSlots[s] << ")";
    }
    EXPECT_EQ(GetLink(n, links[m], 3), Nothing);
  }
  // Resetting one link changes that link only.
  SetLink(n, links[0], -1, Ref<Interface>());
  for (std::size_t m = 0; m < links.size(); ++m) {
    for (std::size_t s = 0; s < kSlots.size(); ++s) {
      if (m == 0 && kSlots[s] == -1) {
        EXPECT_EQ(GetLink(n, links[m], kSlots[s]), Nothing);
      } else {
        EXPECT_TRUE(Is(GetLink(n, links[m], kSlots[s]), targets[m][s]))
            << links[m].name << "(" << kSlots[s] << ")";
      }
    }
  }
  EXPECT_TRUE(SameVariant(n->Key(2), Variant("key")));
}

TYPED_TEST(SampleNodeTest, LinksHoldTheirTargetsUntilResetOrTheElementDies) {
  using Interface = typename TestFixture::Interface;
  const auto& link = TestFixture::Traits::kLinks.back();
  SetLink(this->node_, link, 0, Ref<Interface>(this->Watched()));
  SetLink(this->node_, link, 1, Ref<Interface>(this->Watched()));
  EXPECT_EQ(this->destroyed_, 0);
  SetLink(this->node_, link, 0, Ref<Interface>());
  EXPECT_EQ(this->destroyed_, 1);
  EXPECT_EQ(GetLink(this->node_, link, 0), Nothing);
  this->node_.reset();
  EXPECT_EQ(this->destroyed_, 2);
  this->ExpectSilence();
}

TYPED_TEST(SampleNodeTest, SettingALinkToWhatItHoldsKeepsTheTarget) {
  using Interface = typename TestFixture::Interface;
  const auto& link = TestFixture::Traits::kLinks.front();
  SetLink(this->node_, link, 4, Ref<Interface>(this->Watched()));
  SetLink(this->node_, link, 4, GetLink(this->node_, link, 4));
  EXPECT_EQ(this->destroyed_, 0);
  EXPECT_NE(GetLink(this->node_, link, 4), Nothing);
}

TYPED_TEST(SampleNodeTest, EverySlotGetsOneRecordOnFirstUseEvenByAGet) {
  // Records are library objects, so the live count shows when one is made.
  const std::int64_t before = LiveObjectCount();
  this->node_->Key(9);
  EXPECT_EQ(LiveObjectCount(), before + 1);
  this->node_->Key(9);
  this->node_->SetKey(9, 1);
  for (const auto& link : TestFixture::Traits::kLinks) {
    GetLink(this->node_, link, 9);
    SetLink(this->node_, link, 9, Ref<typename TestFixture::Interface>());
  }
  EXPECT_EQ(LiveObjectCount(), before + 1);
  GetLink(this->node_, TestFixture::Traits::kLinks.front(), -9);
  EXPECT_EQ(LiveObjectCount(), before + 2);
  this->node_->Key(9);  // back to the first slot: still two records
  EXPECT_EQ(LiveObjectCount(), before + 2);
}

TYPED_TEST(SampleNodeTest, ReadingAnUnusedKeyThenReleasingIsSilent) {
  EXPECT_TRUE(this->node_->Key(9).IsEmpty());
  EXPECT_NO_THROW(this->node_.reset());
  this->ExpectSilence();
}

TYPED_TEST(SampleNodeTest, SlotsAlreadyUsedAreServedWithoutAllocating) {
  using Interface = typename TestFixture::Interface;
  const auto& links = TestFixture::Traits::kLinks;
  const Ref<TypeParam>& n = this->node_;
  const Ref<Interface> target = New<TypeParam>();
  // The same slot twice in a row, then the next one: answers at the root and lookups deeper down.
  auto traffic = [&](int round) {
    for (std::int32_t slot : kSlots) {
      for (int repeat = 0; repeat < 2; ++repeat) {
        n->SetKey(slot, round);
        EXPECT_EQ(n->Key(slot).Int32Value(), round);
        for (const auto& link : links) {
          SetLink(n, link, slot, round % 2 ? target : Ref<Interface>());
          EXPECT_EQ(GetLink(n, link, slot), round % 2 ? target : Ref<Interface>());
        }
      }
    }
  };
  // Records made in ascending slot order form a single chain, and looking up the smallest walks
  // all of it: the slot table's reusable search path reaches its largest size here, once.
  std::array<std::int32_t, kSlots.size()> ascending = kSlots;
  std::sort(ascending.begin(), ascending.end());
  for (std::int32_t slot : ascending) n->Key(slot);
  n->Key(ascending.front());
  const std::int64_t before = testing::AllocationCount();
  for (int round = 0; round < 100; ++round) traffic(round);
  EXPECT_EQ(testing::AllocationCount(), before);
}

TYPED_TEST(SampleNodeTest, MatchesAPlainMapUnderRandomSlotTraffic) {
  // The slot used last is answered without a search; any staleness in that shortcut shows up as
  // a read that disagrees with this model.
  using Interface = typename TestFixture::Interface;
  const auto& links = TestFixture::Traits::kLinks;
  const Ref<TypeParam>& n = this->node_;
  const std::vector<std::int32_t> slots = {0, 1, 2, -1, 7, kSlots[4], kSlots[5], 1000};
  const std::vector<Ref<Interface>> targets = {Ref<Interface>(), New<TypeParam>(), New<TypeParam>(),
                                               New<TypeParam>()};
  std::map<std::pair<std::size_t, std::int32_t>, std::size_t> model_links;
  std::map<std::int32_t, std::int32_t> model_keys;
  std::mt19937 random(20240229);
  for (int step = 0; step < 5000; ++step) {
    const std::int32_t slot = slots[random() % slots.size()];
    const std::size_t m = random() % links.size();
    switch (random() % 4) {
      case 0: {
        const auto value = static_cast<std::int32_t>(random() % 1000);
        n->SetKey(slot, value);
        model_keys[slot] = value;
        break;
      }
      case 1: {
        const Variant key = n->Key(slot);
        if (auto it = model_keys.find(slot); it != model_keys.end()) {
          ASSERT_EQ(key.Int32Value(), it->second) << "step " << step;
        } else {
          ASSERT_TRUE(key.IsEmpty()) << "step " << step;
        }
        break;
      }
      case 2: {
        const std::size_t t = random() % targets.size();
        SetLink(n, links[m], slot, targets[t]);
        model_links[{m, slot}] = t;
        break;
      }
      default: {
        auto it = model_links.find({m, slot});
        const std::size_t t = it == model_links.end() ? 0 : it->second;
        ASSERT_TRUE(Is(GetLink(n, links[m], slot), targets[t]))
            << "step " << step << ": " << links[m].name << "(" << slot << ")";
        break;
      }
    }
  }
}

TYPED_TEST(SampleNodeTest, TeardownOfALongChainDoesNotRecurse) {
  using Interface = typename TestFixture::Interface;
  const auto& link = TestFixture::Traits::kLinks.front();
  // Each element holds the next through a record in its slot table: three objects per element.
  const int length = testing::kLongChain / 50;
  const std::int64_t before = LiveObjectCount();
  {
    Ref<TypeParam> head = New<TypeParam>();
    Ref<TypeParam> tail = head;
    for (int i = 1; i < length; ++i) {
      Ref<TypeParam> next = New<TypeParam>();
      SetLink(tail, link, 0, Ref<Interface>(next));
      tail = std::move(next);
    }
    tail.reset();
  }
  EXPECT_EQ(LiveObjectCount(), before);
}

/// The interface `Key` of the keyed classes.
template <class N>
class KeyedSampleNodeTest : public testing::VelmiraTest {
 protected:
  static Variant InterfaceKey(const Ref<N>& n, std::int32_t slot) {
    typename SampleTraits<N>::Interface* i = n.get();
    return (i->*SampleTraits<N>::kKey)(slot);
  }
  Ref<N> node_ = New<N>();
};

TYPED_TEST_SUITE(KeyedSampleNodeTest, testing::KeyedSampleNodeTypes);

TYPED_TEST(KeyedSampleNodeTest, InterfaceKeyReturnsExactlyWhatKeyHolds) {
  int destroyed = 0;
  std::vector<Variant> keys = ValuesOfEveryKind();
  keys.push_back(Variant(Nothing));
  keys.push_back(Variant(New<Probe>(&destroyed)));  // last, so every slot ends up holding it
  for (const Variant& key : keys) {
    for (std::int32_t slot : kSlots) {
      this->node_->SetKey(slot, key);
      EXPECT_TRUE(SameVariant(this->InterfaceKey(this->node_, slot), key)) << slot;
      EXPECT_TRUE(SameVariant(this->node_->Key(slot), key)) << slot;
    }
  }
  // Per slot through the interface too.
  this->node_->SetKey(0, 5);
  this->node_->SetKey(1, "b");
  EXPECT_TRUE(SameVariant(this->InterfaceKey(this->node_, 0), Variant(5)));
  EXPECT_TRUE(SameVariant(this->InterfaceKey(this->node_, 1), Variant("b")));
  EXPECT_TRUE(this->InterfaceKey(this->node_, 3).IsEmpty());
  keys.clear();
  EXPECT_EQ(destroyed, 0);  // slots 2, -1 and the extremes still hold the object as their key
  this->node_.reset();
  EXPECT_EQ(destroyed, 1);
}

class ListNodeTagTest : public testing::VelmiraTest {
 protected:
  Ref<ListNode> node_ = New<ListNode>();
  Ref<ListNode> other_ = New<ListNode>();
};

TEST_F(ListNodeTagTest, UserDataTagLeavesTheLinkTagAlone) {
  node_->SetTag("mine");
  for (std::int32_t slot : kSlots) EXPECT_EQ(node_->Tag(slot), Nothing);
  node_->SetTag(other_);  // an object in the user-data field is still not a link
  for (std::int32_t slot : kSlots) EXPECT_EQ(node_->Tag(slot), Nothing);
  EXPECT_TRUE(Is(node_->Tag().ObjectValue(), other_));
}

TEST_F(ListNodeTagTest, LinkTagLeavesTheUserDataTagAlone) {
  node_->SetTag(0, other_);
  node_->SetTag(-1, node_);  // a list's marker may be any IListNode, even the element itself
  EXPECT_TRUE(node_->Tag().IsEmpty());
  node_->SetTag(1.5);
  EXPECT_TRUE(Is(node_->Tag(0), other_));
  EXPECT_TRUE(Is(node_->Tag(-1), node_));
  node_->SetTag(0, Nothing);
  EXPECT_TRUE(SameVariant(node_->Tag(), Variant(1.5)));
  node_->SetTag(-1, Nothing);  // breaks the cycle so the fixture's leak check can pass
}

TEST_F(ListNodeTagTest, BothTagsAreReachableThroughEveryReferenceType) {
  Ref<IListNode> as_interface = node_;
  as_interface->SetTag(2, other_);
  EXPECT_TRUE(Is(node_->Tag(2), other_));
  EXPECT_TRUE(node_->Tag().IsEmpty());
  Ref<SampleNode<IListNode>> as_sample = node_;
  as_sample->SetTag("data");
  EXPECT_TRUE(SameVariant(node_->Tag(), Variant("data")));
  EXPECT_TRUE(Is(as_interface->Tag(2), other_));
}

}  // namespace
}  // namespace velmira
