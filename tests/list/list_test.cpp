// List over client elements, for what the reliability models cannot see: the element calls of
// each operation in order, where an operation stops when an element raises an error, the overflow
// of a full count, an argument that aliases a link, no allocation (in any scripted step), elements
// that re-enter the list, and range-for walks both ways (in every script's state).
#include "velmira/list/list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "element_script.h"
#include "velmira/list/enumerate.h"

namespace velmira {

namespace detail {
/// Puts a list's kept count at its limit without two billion elements.
struct ListTestPeer {
  static void SetCount(List& list, std::int32_t count) { list.count_ = count; }
};
}  // namespace detail

namespace testing {
namespace {

using ClientListNode = TestElement<IListNode>;

/// Scripts on one List (Index 0). Steps besides those of element_script.h: +x Add, <xy AddBefore,
/// >xy AddAfter, -x Remove, C Clear, @N Item, nx / px NextItem / PrevItem, e NewEnum, wN N calls of
/// the enumerator's NextItem, oV SetOrder then Order, Rx Remove of x's successor named by x's own
/// link, M Count to its maximum. The state is "[...]", the elements from First along the links,
/// and "#" and Count when Count, Last, IsEmpty or a range-for walk either way disagrees.
class ListScript : public ElementScript<IListNode> {
 public:
  ListScript() : ElementScript("List", {}) {}

 private:
  std::string Step(const std::string& s) override {
    const char op = s[0];
    auto number = [&] { return std::stoi(s.substr(1)); };
    if (op == '+') list_->Add(El(s[1]));
    if (op == '<') list_->AddBefore(El(s[1]), El(s[2]));
    if (op == '>') list_->AddAfter(El(s[1]), El(s[2]));
    if (op == '-') list_->Remove(El(s[1]));
    if (op == 'C') list_->Clear();
    if (op == '@') return Name(list_->Item(number()));
    if (op == 'n') return Name(list_->NextItem(El(s[1])));
    if (op == 'p') return Name(list_->PrevItem(El(s[1])));
    if (op == 'e') enum_ = list_->NewEnum();
    if (op == 'R') list_->Remove(At(s[1]).Stored('n'));  // the argument aliases a's link
    if (op == 'M') detail::ListTestPeer::SetCount(*list_, INT32_MAX);
    if (op == 'o') enum_->SetOrder(static_cast<ListEnumEnum>(number()));
    if (op == 'o') return std::to_string(enum_->Order());
    std::string walked;
    for (int k = op == 'w' ? number() : 0; k > 0; --k) walked += Name(enum_->NextItem());
    return walked;
  }

  std::string State() override {
    std::string shape, ranged, back;
    Ref<IListNode> last;
    for (Ref<IListNode> n = list_->First(); n && shape.size() < 20; last = n, n = n->NextItem(0))
      shape += Name(n);
    for (const auto& n : Enumerate(list_))
      if ((ranged += Name(n)).size() > 20) break;
    for (const auto& n : Enumerate(list_, eListEnumReverseOrder))
      if ((back = Name(n) + back).size() > 20) break;
    const bool kept = shape.size() == static_cast<std::size_t>(list_->Count()) &&
                      Is(last, list_->Last()) && list_->IsEmpty() == shape.empty() &&
                      ranged == shape && back == shape;
    return "[" + shape + (kept ? "" : "#" + std::to_string(list_->Count())) + "]";
  }

  Ref<List> list_ = New<List>();
  Ref<ListEnum> enum_;
};

class ListTest : public VelmiraTest {};

TEST_F(ListTest, ScriptsGiveTheExpectedResults) {
  // clang-format off
  RunRows({
      {"AddCalls", "+a~ +b~ +b~ Nfc +f~",
          "{aT aN aP at=*} {bT bN bP bt=* an=b bp=a} {bT}!Ain {fT fN}!Alk [ab] ~f"},
      {"AddBeforeCalls", "+a +c <bc~ <da~",
          "{cT bT bN bP bt=* cP bp=a an=b bn=c cp=b} {aT dT dN dP dt=* dn=a ap=d} [dabc]"},
      {"AddAfterCalls", "+a +c >ba~ >dc~",
          "{aT bT bN bP bt=* aN bn=c cp=b bp=a an=b} {cT dT dN dP dt=* dp=c cn=d} [abcd]"},
      {"RemoveCalls", "+a +b +c +d -b~ -d~ -a~ -c~",
          "{bT bP bN an=c aN cp=a bn=_ bp=_ bt=_} {dT dP cn=_ dp=_ dt=_} {aT aN cp=_ an=_ at=_} "
          "{cT ct=_} []"},
      {"ClearCalls", "+a +b +c C~", "{aN bp=_ an=_ at=_ bN cp=_ bn=_ bt=_ cN cn=_ ct=_} []"},
      // Item walks from the nearer end (at the middle of an odd count, from the last).
      {"ItemFromTheNearerEnd", "+a +b +c +d @1~ @4~ @2~ @3~ +e @3~ @2~ @4~ +f @3~ @4~ nb~ pb~",
          "a{} d{} b{aN} c{dP} c{eP dP} b{aN} d{eP} c{aN bN} d{fP eP} c{bT bN} a{bT bP} [abcdef]"},
      // A full count raises the overflow error before anything is linked; misuse still warns.
      {"FullCountRaisesOverflow", "+a M +e~ <ea~ >ea~ +_ ?e = -a",
          "E6{eT eN eP} E6{aT eT eN eP} E6{aT eT eN eP} !A0 e:___ [a#2147483647] []"},
      // Removing b through a's own link to it, which the removal rewrites.
      {"AliasedArgument", "+a +b +c Ra ?a ?b ?c", "a:_c* b:___ c:a_* [ac]"},
      // An element's error passes out; the steps before it stay done, the kept fields too; later
      // steps skip the links it left missing; Clear unlinks a first element pointing back.
      {"AddStopsAtTheError", "+a +b Fbn +e~ ?e ?b +e",
          "E{eT eN eP et=* bn=e} e:__* b:a_* !Ain [ab] ~e"},
      {"RemoveStopsAtTheError", "+a +b +c Fcp -b ?a ?b ?c", "E a:_c* b:ac* c:b_* [ac#3] ~b"},
      {"ClearStopsAtTheError", "+a +b +c Fbt C ?a ?b ?c = >eb -b C",
          "E a:___ b:__* c:__* [c#3] [] ~e"},
      {"RemoveFirstStopsThenClear", "+a +b +c Fbp -a C", "E [] ~a"},
      // NewEnum allocates the enumerator, nothing else allocates. The enumerator keeps its place
      // when an element's error passes out of NextItem.
      {"EnumeratorErrorsPassOut", "+a +b +c e w1 FaN w1 w1 o-1 FbP w1 w1",
          "$1 a E b -1 E a [abc]"},
  }, [](const Row& row) { return ListScript().Run(row.script); });
  // clang-format on
}

// An element that, inside the list's or the enumerator's call, removes the first member (r) or
// drops the last references to the list and the enumerator (d): memory-safe (the asan preset
// checks) and nothing left alive, whatever the outcome.
TEST_F(ListTest, ReentrantElementsStayMemorySafe) {
  for (const char op : std::string("abfrcinpw")) {
    for (const char action : std::string("rd")) {
      for (std::size_t armed = 0; armed < 4; ++armed) {
        const std::int64_t live = LiveObjectCount();
        Ref<List> list = New<List>();
        std::vector<ClientListNode*> nodes;  // the list alone holds the first three
        Ref<ClientListNode> extra;
        for (int k = 0; k < 4; ++k) {
          nodes.push_back((extra = New<ClientListNode>()).get());
          if (k < 3) list->Add(extra);
        }
        Ref<ListEnum> walk = list->NewEnum();
        nodes[armed]->reenter = [&, action] {
          if (action == 'r' && list) list->Remove(list->First());
          if (action == 'd') list.reset(), walk.reset();
        };
        List& target = *list;  // the element may drop `list` meanwhile
        Ref<IListNode> second(nodes[1]);
        if (op == 'a') target.Add(extra);
        if (op == 'b') target.AddBefore(extra, second);
        if (op == 'f') target.AddAfter(extra, second);
        if (op == 'r') target.Remove(second);
        if (op == 'c') target.Clear();
        if (op == 'i') target.Item(3);
        if (op == 'n') target.NextItem(second);
        if (op == 'p') target.PrevItem(second);
        while (op == 'w' && walk && walk->NextItem()) {
        }
        list.reset(), walk.reset(), extra.reset(), second.reset();
        if (op == 'b' && action == 'r' && armed == 0) {
          // Left open: an AddBefore whose predecessor removes itself from inside its SetNextItem
          // leaves that element and the new one holding each other, out of the list.
          EXPECT_GT(LiveObjectCount(), live);
          const Ref<ClientListNode> first(nodes[0]), added(nodes[3]);
          first->SetNextItem(0, Nothing), added->SetPrevItem(0, Nothing);
        }
        EXPECT_EQ(LiveObjectCount(), live) << op << action << armed;
      }
    }
  }
}

}  // namespace
}  // namespace testing
}  // namespace velmira
