// `List` and `ListEnum` when an element raises an error, and when the count would overflow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "capture.h"
#include "client_list_node.h"
#include "velmira/core/error.h"
#include "velmira/list/list.h"
#include "velmira/list/list_enum.h"

namespace velmira {

namespace detail {
/// Lets these tests put a list's kept count near its limit without two billion elements.
struct ListTestPeer {
  static void SetCount(List& list, std::int32_t count) { list.count_ = count; }
};
}  // namespace detail

namespace {

using testing::CallLog;
using testing::ClientListNode;
using testing::ElementFailure;

constexpr const char* kAddInAList =
    "List: Warning, an attempt was made to Add a node that's already in a list";
constexpr const char* kAddNothing = "List: Warning, an attempt was made to Add Nothing";

/// Elements a, b, c, d (the first `members` of them in a list, in order) and a free x, all
/// logging their calls. Clean-up breaks every link the interrupted operation left behind.
struct Scene {
  explicit Scene(int members) {
    for (const char* name : {"a", "b", "c", "d", "x"}) {
      Ref<ClientListNode> node = New<ClientListNode>();
      node->name = name;
      node->log = &log;
      nodes.push_back(node);
    }
    for (int k = 0; k < members; ++k) list->Add(nodes[k]);
    log.clear();
  }
  ~Scene() {
    for (const auto& n : nodes) n->fail_on.clear();
    list.reset();
    for (const auto& n : nodes) n->Reset(0);
  }

  Ref<ClientListNode> Node(const std::string& name) const {
    for (const auto& n : nodes) {
      if (n->name == name) return n;
    }
    return Nothing;
  }

  CallLog log;  // declared first: clean-up still logs into it
  std::vector<Ref<ClientListNode>> nodes;
  Ref<List> list = New<List>();
  Ref<IListNode> a() const { return nodes[0]; }
  Ref<IListNode> b() const { return nodes[1]; }
  Ref<IListNode> c() const { return nodes[2]; }
  Ref<IListNode> d() const { return nodes[3]; }
  Ref<IListNode> x() const { return nodes[4]; }
};

struct Operation {
  const char* name;
  int members;
  std::function<void(Scene&)> run;
};

void PrintTo(const Operation& op, std::ostream* os) { *os << op.name; }

class ListStopsAtAnElementError : public testing::VelmiraTest,
                                  public ::testing::WithParamInterface<Operation> {};

// Runs the operation once to record its calls, then again once per call with that call made to
// fail: the error must pass out unchanged, and no call may follow the failing one.
TEST_P(ListStopsAtAnElementError, EveryCallCanFailAndNothingRunsAfterIt) {
  const Operation& op = GetParam();
  CallLog full;
  {
    Scene scene(op.members);
    op.run(scene);
    full = scene.log;
  }
  ASSERT_FALSE(full.empty());
  std::vector<std::string> tried;
  for (std::size_t k = 0; k < full.size(); ++k) {
    // "b.SetNext(c)" names element b and member SetNext.
    const std::string& call = full[k];
    const std::size_t dot = call.find('.');
    const std::string element = call.substr(0, dot);
    const std::string member = call.substr(dot + 1, call.find_first_of("(@") - dot - 1);
    const std::string key = element + "." + member;
    if (std::find(tried.begin(), tried.end(), key) != tried.end()) continue;  // fails earlier
    tried.push_back(key);
    SCOPED_TRACE("failing " + key);
    Scene scene(op.members);
    scene.Node(element)->fail_on = member;
    try {
      op.run(scene);
      ADD_FAILURE() << "the error did not pass out";
    } catch (const ElementFailure& e) {
      EXPECT_EQ(std::string(e.what()), key + " failed");
    }
    EXPECT_EQ(scene.log, CallLog(full.begin(), full.begin() + k + 1));
  }
  TakeOutput();
}

const Operation kOperations[] = {
    {"AddToEmpty", 0, [](Scene& s) { s.list->Add(s.a()); }},
    {"Add", 2, [](Scene& s) { s.list->Add(s.x()); }},
    {"AddBeforeMiddle", 3, [](Scene& s) { s.list->AddBefore(s.x(), s.b()); }},
    {"AddBeforeFirst", 3, [](Scene& s) { s.list->AddBefore(s.x(), s.a()); }},
    {"AddAfterMiddle", 3, [](Scene& s) { s.list->AddAfter(s.x(), s.b()); }},
    {"AddAfterLast", 3, [](Scene& s) { s.list->AddAfter(s.x(), s.c()); }},
    {"RemoveMiddle", 3, [](Scene& s) { s.list->Remove(s.b()); }},
    {"RemoveFirst", 3, [](Scene& s) { s.list->Remove(s.a()); }},
    {"RemoveLast", 3, [](Scene& s) { s.list->Remove(s.c()); }},
    {"RemoveOnly", 1, [](Scene& s) { s.list->Remove(s.a()); }},
    {"Clear", 3, [](Scene& s) { s.list->Clear(); }},
    {"ItemFromFirst", 4, [](Scene& s) { s.list->Item(2); }},
    {"ItemFromLast", 4, [](Scene& s) { s.list->Item(3); }},
    {"NextItem", 3, [](Scene& s) { s.list->NextItem(s.b()); }},
    {"PrevItem", 3, [](Scene& s) { s.list->PrevItem(s.b()); }},
    {"EnumeratorWalk", 3,
     [](Scene& s) {
       auto e = s.list->NewEnum();
       while (e->NextItem()) {
       }
     }},
};

INSTANTIATE_TEST_SUITE_P(Operations, ListStopsAtAnElementError, ::testing::ValuesIn(kOperations),
                         [](const auto& info) { return std::string(info.param.name); });

class ListFaultTest : public testing::VelmiraTest {};

TEST_F(ListFaultTest, AnAddStoppedAtTheOldLastLeavesTheNewTagInPlace) {
  Scene s(2);
  s.Node("b")->fail_on = "SetNext";
  EXPECT_THROW(s.list->Add(s.x()), ElementFailure);
  s.Node("b")->fail_on.clear();
  // The tag step was done; the links and the count were not.
  EXPECT_TRUE(Is(s.x()->Tag(0), s.a()->Tag(0)));
  EXPECT_EQ(s.x()->PrevItem(0), Nothing);
  EXPECT_EQ(s.b()->NextItem(0), Nothing);
  EXPECT_TRUE(Is(s.list->Last(), s.b()));
  EXPECT_EQ(s.list->Count(), 2);
  s.list->Add(s.x());
  ExpectWarning(kAddInAList);
  // Remove takes the half-added element back without calling through its missing links.
  s.list->Remove(s.x());
  ExpectSilence();
  EXPECT_EQ(s.x()->Tag(0), Nothing);
  s.list->Clear();
  EXPECT_EQ(s.list->Count(), 0);
  for (const auto& n : s.nodes) {
    EXPECT_EQ(n->NextItem(0), Nothing);
    EXPECT_EQ(n->PrevItem(0), Nothing);
    EXPECT_EQ(n->Tag(0), Nothing);
  }
}

TEST_F(ListFaultTest, AListLeftHalfLinkedByAnErrorNeverCallsThroughAMissingLink) {
  Scene s(3);
  s.Node("x")->fail_on = "SetPrev";
  EXPECT_THROW(s.list->AddAfter(s.x(), s.c()), ElementFailure);  // x is Last, without links
  s.Node("x")->fail_on.clear();
  EXPECT_TRUE(Is(s.list->Last(), s.x()));
  s.list->Remove(s.x());
  s.list->Add(s.d());
  for (std::int32_t k = 1; k <= s.list->Count(); ++k) s.list->Item(k);
  auto e = s.list->NewEnum();
  for (int k = 0; k < 10; ++k) e->NextItem();
  s.list->Remove(s.d());
  s.list->Clear();
  EXPECT_TRUE(s.list->IsEmpty());
  EXPECT_EQ(s.list->Count(), 0);
  for (const auto& n : s.nodes) {
    EXPECT_EQ(n->NextItem(0), Nothing);
    EXPECT_EQ(n->PrevItem(0), Nothing);
    EXPECT_EQ(n->Tag(0), Nothing);
  }
  TakeOutput();
}

TEST_F(ListFaultTest, RemovingAFirstLeftWithoutASuccessorByAnErrorDoesNotCallThroughNothing) {
  Scene s(3);
  s.Node("x")->fail_on = "SetNext";
  EXPECT_THROW(s.list->AddBefore(s.x(), s.a()), ElementFailure);  // x is First, without links
  s.Node("x")->fail_on.clear();
  EXPECT_TRUE(Is(s.list->First(), s.x()));
  s.list->Remove(s.x());
  EXPECT_EQ(s.x()->NextItem(0), Nothing);
  EXPECT_EQ(s.x()->Tag(0), Nothing);
  ExpectSilence();
}

TEST_F(ListFaultTest, AnArgumentAliasingALinkTheOperationRewritesStillNamesTheSameElement) {
  Scene s(3);
  Ref<IListNode>& b_through_a = s.Node("a")->NextSlot(0);
  s.list->Remove(b_through_a);  // rewrites a's link, the very variable passed in
  EXPECT_TRUE(Is(s.a()->NextItem(0), s.c()));
  EXPECT_TRUE(Is(s.c()->PrevItem(0), s.a()));
  EXPECT_TRUE(s.c()->Tag(0));
  EXPECT_EQ(s.b()->Tag(0), Nothing);
  EXPECT_EQ(s.b()->NextItem(0), Nothing);
  EXPECT_EQ(s.list->Count(), 2);
}

TEST_F(ListFaultTest, ARemoveStoppedAtTheSuccessorKeepsTheForwardStepDone) {
  Scene s(3);
  s.Node("c")->fail_on = "SetPrev";
  EXPECT_THROW(s.list->Remove(s.b()), ElementFailure);
  s.Node("c")->fail_on.clear();
  EXPECT_TRUE(Is(s.a()->NextItem(0), s.c()));  // done
  EXPECT_TRUE(Is(s.c()->PrevItem(0), s.b()));  // failed
  EXPECT_TRUE(Is(s.b()->NextItem(0), s.c()));  // not reached
  EXPECT_TRUE(Is(s.b()->Tag(0), s.a()->Tag(0)));
  EXPECT_EQ(s.list->Count(), 3);
}

TEST_F(ListFaultTest, AClearStoppedMidwayLeavesTheFrontFreedAndTheRestInPlace) {
  Scene s(3);
  s.Node("b")->fail_on = "SetTag";
  EXPECT_THROW(s.list->Clear(), ElementFailure);
  s.Node("b")->fail_on.clear();
  EXPECT_EQ(s.a()->Tag(0), Nothing);
  EXPECT_EQ(s.a()->NextItem(0), Nothing);
  EXPECT_TRUE(Is(s.list->First(), s.c()));
  EXPECT_EQ(s.c()->PrevItem(0), Nothing);
  EXPECT_EQ(s.b()->NextItem(0), Nothing);
  EXPECT_TRUE(s.b()->Tag(0));  // the step that failed
  s.list->Clear();
  EXPECT_TRUE(s.list->IsEmpty());
  EXPECT_EQ(s.list->Count(), 0);
  EXPECT_EQ(s.c()->Tag(0), Nothing);
}

TEST_F(ListFaultTest, TeardownSwallowsAnElementErrorAndStopsThere) {
  Scene s(3);
  s.Node("b")->fail_on = "Next";
  EXPECT_NO_THROW(s.list.reset());
  s.Node("b")->fail_on.clear();
  EXPECT_EQ(s.a()->Tag(0), Nothing);  // reached before the failure
  EXPECT_EQ(s.a()->NextItem(0), Nothing);
  EXPECT_EQ(s.b()->PrevItem(0), Nothing);
  EXPECT_TRUE(Is(s.b()->NextItem(0), s.c()));  // not reached: still linked and tagged
  EXPECT_TRUE(Is(s.c()->PrevItem(0), s.b()));
  EXPECT_TRUE(s.c()->Tag(0));
  // The Scene's clean-up breaks b's and c's links; the fixture then proves nothing leaked.
}

TEST_F(ListFaultTest, TheEnumeratorKeepsItsPlaceWhenAnElementFails) {
  Scene s(3);
  auto e = s.list->NewEnum();
  EXPECT_TRUE(Is(e->NextItem(), s.a()));
  s.Node("a")->fail_on = "Next";
  EXPECT_THROW(e->NextItem(), ElementFailure);
  s.Node("a")->fail_on.clear();
  EXPECT_TRUE(Is(e->NextItem(), s.b()));  // continues after a
  e->SetOrder(eListEnumReverseOrder);
  s.Node("b")->fail_on = "Prev";
  EXPECT_THROW(e->NextItem(), ElementFailure);
  s.Node("b")->fail_on.clear();
  EXPECT_TRUE(Is(e->NextItem(), s.a()));  // continues before b
}

TEST_F(ListFaultTest, AFullCountRefusesEveryInsertionWithTheOverflowError) {
  Scene s(1);
  detail::ListTestPeer::SetCount(*s.list, std::numeric_limits<std::int32_t>::max());
  const std::vector<std::function<void()>> inserts = {
      [&] { s.list->Add(s.x()); },
      [&] { s.list->AddBefore(s.x(), s.a()); },
      [&] { s.list->AddAfter(s.x(), s.a()); },
  };
  for (const auto& insert : inserts) {
    s.log.clear();
    try {
      insert();
      ADD_FAILURE() << "no overflow error";
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), kErrOverflow);
    }
    // The checks ran; nothing was linked or tagged.
    for (const auto& call : s.log) EXPECT_EQ(call.find(".Set"), std::string::npos) << call;
    EXPECT_EQ(s.x()->Tag(0), Nothing);
    EXPECT_TRUE(Is(s.list->First(), s.a()));
    EXPECT_TRUE(Is(s.list->Last(), s.a()));
    EXPECT_EQ(s.list->Count(), std::numeric_limits<std::int32_t>::max());
  }
  s.list->Add(Nothing);  // misuse is still a warning, not an error
  ExpectWarning(kAddNothing);
  s.list->Remove(s.a());
  EXPECT_EQ(s.list->Count(), 0);
}

}  // namespace
}  // namespace velmira
