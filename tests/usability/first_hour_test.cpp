// A C++ user's first hour: the snippets a newcomer wrote for a job scheduler (a Job in a Queue, a
// List and a SplayTree through the building blocks), each compiling and doing what it says, or
// failing with a clear error.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "capture.h"
#include "job.h"
#include "velmira/velmira.h"

namespace velmira {
namespace {

// Every walk is a view, a common range and an input range, so range algorithms, views and the
// iterator-pair constructors all take it.
template <class Walk>
constexpr bool kUsableRange = std::ranges::view<Walk>&& std::ranges::common_range<Walk>&&
    std::input_iterator<typename Walk::Iterator>;
static_assert(kUsableRange<StackEnumeration> && kUsableRange<QueueEnumeration> &&
              kUsableRange<PQueueEnumeration> && kUsableRange<ListEnumeration> &&
              kUsableRange<TreeEnumeration>);

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Property;
using ::testing::Throws;

class FirstHour : public testing::VelmiraTest {
 protected:
  Ref<Queue> pending = New<Queue>();
  Ref<List> all = New<List>();
  Ref<Tree> by_name = New<SplayTree>();

  Ref<Job> Schedule(const char* name) {
    Ref<Job> job = New<Job>(name);
    pending->Add(job);
    all->Add(job);
    by_name->Add(job);
    return job;
  }
};

TEST_F(FirstHour, AKeyPrintsComparesAndTakesAnyInteger) {
  const Ref<Job> job = Schedule("backup");
  std::ostringstream out;
  out << job->Key(0) << ' ' << Variant(2.5) << ' ' << Variant::Null() << ' ' << Variant(true);
  EXPECT_EQ(out.str(), "backup 2.5 Null True");
  EXPECT_TRUE(job->Key(0) == "backup" && job->Key(0) != "restore");
  Variant count = std::size_t{1};
  Variant big = std::int64_t{1} << 40;
  EXPECT_TRUE(count == 1 && big == 1099511627776.0);
  EXPECT_THAT([] { (void)Variant(5).Text(); },
              Throws<Error>(AllOf(Property(&Error::Number, kErrTypeMismatch),
                                  Property(&Error::what, HasSubstr("kind Int32; ToString")))));
  EXPECT_EQ(ToString(Variant(5)), "5");
}

TEST_F(FirstHour, TypedRangesOverContainersHeldAnyWay) {
  for (const char* name : {"backup", "mail", "index"}) Schedule(name);
  std::vector<std::string> names;
  for (Ref<Job> j : Enumerate<Job>(pending)) names.push_back(ToString(j->Key(0)));
  const List& plain = *all;
  for (const Ref<IListNode>& n : Enumerate(plain)) names.push_back(ToString(As<Job>(n)->Key(0)));
  auto in_key_order = Enumerate<Job>(*by_name);
  const std::vector<Ref<Job>> sorted(in_key_order.begin(), in_key_order.end());
  for (const Ref<Job>& j : sorted) names.push_back(ToString(j->Key(0)));
  EXPECT_EQ(names, (std::vector<std::string>{"backup", "mail", "index", "backup", "mail", "index",
                                             "backup", "index", "mail"}));
  // An element of another class, met by a typed walk, is error 13 where the walk reaches it.
  Ref<QueueNode> stranger = New<QueueNode>();
  pending->Add(stranger);
  std::size_t walked = 0;
  EXPECT_THAT(
      [&] {
        for (const Ref<Job>& j : Enumerate<Job>(*pending)) walked += j ? 1 : 0;
      },
      Throws<Error>(Property(&Error::Number, kErrTypeMismatch)));
  EXPECT_EQ(walked, 3u);
}

TEST_F(FirstHour, AnElementNotMadeByNewIsRefusedNotCrashedOn) {
  Job on_stack("x");
  EXPECT_THAT([&] { all->Add(Ref<Job>(&on_stack)); },
              Throws<Error>(AllOf(Property(&Error::Number, kErrInvalidArgument),
                                  Property(&Error::what, HasSubstr("made by New")))));
  EXPECT_TRUE(all->IsEmpty());
}

TEST_F(FirstHour, ATreeKeepsTheFirstElementOfAKeySilently) {
  const Ref<Job> first = Schedule("backup");
  const Ref<Job> again = New<Job>("backup");
  by_name->Add(again);  // no warning, nothing added: the element already there stays
  EXPECT_TRUE(Is(by_name->Item("backup"), first));
  EXPECT_TRUE(Ref<ITreeNode>(again)->Left(0) == Nothing);
  ExpectSilence();
}

}  // namespace
}  // namespace velmira
