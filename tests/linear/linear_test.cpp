// The linear containers over client elements, for what the reliability models cannot see: the
// element calls each operation makes and in what order, where an operation stops when an element
// raises an error, keys read afresh at every comparison, no allocation (in any scripted step),
// elements that re-enter the container, and range-for walks (every script's state is one).
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include "element_script.h"
#include "velmira/linear/enumerate.h"

namespace velmira::testing {
namespace {

template <class C>
using NodeOf =
    std::conditional_t<std::is_same_v<C, Stack>, IStackNode,
                       std::conditional_t<std::is_same_v<C, Queue>, IQueueNode, IPQueueNode>>;
template <class C>
constexpr bool kStack = std::is_same_v<C, Stack>;
template <class C>
constexpr const char* kName = kStack<C>                  ? "Stack"
                              : std::is_same_v<C, Queue> ? "Queue"
                                                         : "PQueue";

template <class C>
Ref<NodeOf<C>> Take(C& c) {
  if constexpr (kStack<C>) {
    return c.Pop();
  } else {
    return c.NextItem();
  }
}

/// Scripts on one Stack, Queue or PQueue (Index 0). Steps besides those of element_script.h: +x
/// Add, n take the head and print it, d Drop, -x Remove, c Clear, t print the head. The state is
/// "[...]", the elements a range-for walk yields, and "#" when IsEmpty disagrees.
template <class C>
class LinearScript : public ElementScript<NodeOf<C>> {
  using Base = ElementScript<NodeOf<C>>;

 public:
  explicit LinearScript(const std::vector<Variant>& keys) : Base(kName<C>, keys) {}
  static std::string RunRow(const Row& r) { return LinearScript(r.keys).Run(r.script); }

 private:
  std::string Step(const std::string& s) override {
    if (s[0] == '+') c_->Add(this->El(s[1]));
    if (s[0] == 'n') return Base::Name(Take(*c_));
    if (s[0] == 'c') c_->Clear();
    if constexpr (kStack<C>) {
      if (s[0] == 't') return Base::Name(c_->Top());
      if (s[0] == 'd') c_->Drop();
    } else {
      if (s[0] == 't') return Base::Name(c_->First());
      if (s[0] == '-') c_->Remove(this->El(s[1]));
    }
    return "";
  }
  std::string State() override {
    std::string names;
    for (const auto& n : Enumerate(c_)) names += Base::Name(n);
    return "[" + names + (c_->IsEmpty() == names.empty() ? "]" : "#]");
  }
  Ref<C> c_ = New<C>();
};

class LinearTest : public VelmiraTest {};

TEST_F(LinearTest, ElementCallsErrorsAndKeyReads) {
  // clang-format off
  RunRows({
      {"StackOneGetOneSetEach", "+a~ +b~ +b~ n~ +c d~ +b c~",
          "{aN an=_} {bN bn=a} {bN}!Alk b{bN bn=_} {cN cn=_} {bN bn=_ aN an=_} []"},
      // The top moves on before the popped element's link is reset.
      {"StackPopStopsAfterTheTopMoved", "+a +b Fbn n t ?b", "E a b:a [a] ~b"},
  }, LinearScript<Stack>::RunRow);
  RunRows({
      // The queue refuses its own last element; taking or removing the only one touches no link.
      {"QueueCalls", "+a~ +b~ +b~ +c +d -c~ n~ -d~ -b~ +e n~",
          "{aN} {bN an=b} {bN}!Alk {aN bN cN bn=d cn=_} a{aN an=_} {bN bn=_} {} e{} []"},
      {"QueueAddStopsBeforeTheLastMoves", "+a Fan +b +c", "E [ac]"},
      // c's link is stored by hand to close a cycle: a walk for an element not queued passes no
      // more elements than were added, and warns.
      {"QueueRemoveEndsOnAHandMadeCycle", "+a +b +c Nca -d~ Nc_", "{aN bN cN}!Rnm [abc]"},
  }, LinearScript<Queue>::RunRow);
  RunRows({
      // The new key is read for the Null test and once more for all comparisons; each queued key
      // once per comparison. A new highest key meets the head only. Texts rank above numbers.
      {"PQueueAddCalls", {"b", 1, "a", "c"}, "+a~ +b~ +c~ +d~",
          "{ak aN} {bk bN bk ak aN an=b} {ck cN ck ak aN bk cn=b an=c} {dk dN dk ak dn=a} [dacb]"},
      // Refusals stop at the first failing check; removing and taking read no key.
      {"PQueueRefusalsRemoveAndTake", {3, 2, 1, Variant::Null()}, "+a +b +c +b~ +d~ -c~ -a~ n~",
          "{bk bN}!Alk {dk}!Ak0 {aN bN cN bn=_ cn=_} {aN an=_} b{bN bn=_} []"},
      // b's key rises to 10 and a's falls to 1 while queued: neither moves, and later Adds
      // compare with the new keys.
      {"PQueueKeysReadAfresh", {5, 3, 4, 2}, "+a +b =b10 +c ?b =a1 +d", "b:c [dabc]"},
      // c's link, stored by hand, closes a cycle: an Add walks no further than the elements
      // added and puts the new element in the hand-made link's place; a Remove warns.
      {"PQueueWalksEndOnAHandMadeCycle", {3, 2, 1, 0}, "+a +b +c Nca +d~ -e~ ?c",
          "{dk dN dk ak aN bk bN ck cN cn=d} {aN bN cN dN}!Rnm c:d [abcd]"},
  }, LinearScript<PQueue>::RunRow);
  // clang-format on
}

/// Runs each operation (a Add, t take, r Remove, c Clear) with the element it calls into
/// re-entering the container from inside that call: taking an element (t) or dropping the last
/// reference to the container (d). The outcome may surprise, but nothing is used after it is
/// freed (the asan preset checks) and nothing is left alive.
template <class C>
void ExpectReentrantElementsSafe() {
  for (const char op : std::string("atrc")) {
    for (const char action : std::string("td")) {
      for (std::size_t armed = 0; armed < 4; ++armed) {
        const std::int64_t live = LiveObjectCount();
        Ref<C> c = New<C>();
        std::vector<TestElement<NodeOf<C>>*> nodes;  // the container alone holds the first three
        Ref<TestElement<NodeOf<C>>> extra;
        for (int k = 0; k < 4; ++k) {
          nodes.push_back((extra = New<TestElement<NodeOf<C>>>()).get());
          extra->SetKey(0, k);
          if (k < 3) c->Add(extra);
        }
        nodes[armed]->reenter = [&c, action] {
          if (c && action == 't') Take(*c);
          if (action == 'd') c.reset();
        };
        C& target = *c;  // the element may drop `c` meanwhile
        if (op == 'a') target.Add(extra);
        if (op == 't') Take(target);
        if constexpr (!kStack<C>) {
          if (op == 'r') target.Remove(Ref<NodeOf<C>>(nodes[2]));
        }
        if (op == 'c') target.Clear();
        c.reset(), extra.reset();
        EXPECT_EQ(LiveObjectCount(), live) << op << action << armed;
      }
    }
  }
}

TEST_F(LinearTest, ReentrantElementsStaySafe) {
  ExpectReentrantElementsSafe<Stack>();
  ExpectReentrantElementsSafe<Queue>();
  ExpectReentrantElementsSafe<PQueue>();
}

// A walk follows the links of the container's slot, reading each as it moves on: a push mid-walk
// is not seen; taking out the element the walk is on resets its link and so ends the walk.
TEST_F(LinearTest, RangeForFollowsTheLinksOfTheSlot) {
  Ref<Stack> stack = New<Stack>();
  stack->SetIndex(5);
  for (int i = 0; i < 3; ++i) stack->Push(New<TestElement<IStackNode>>());
  int visited = 0;
  for (const auto& n : Enumerate(stack)) {
    if (++visited == 1) stack->Push(New<TestElement<IStackNode>>());
    if (visited == 2) {  // takes out the pushed element, the one visited, then this one
      stack->Pop(), stack->Pop();
      EXPECT_TRUE(Is(stack->Pop(), n));
    }
  }
  EXPECT_EQ(visited, 2);
  EXPECT_EQ(std::ranges::distance(Enumerate(stack)), 1);
}

}  // namespace
}  // namespace velmira::testing
