// Test support for the list module: a client element that logs its calls and fails on request,
// the list script (ListScript) and its named rows, run over any element class: a test file
// instantiates ListRows with INSTANTIATE_TYPED_TEST_SUITE_P for its element types.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "capture.h"
#include "script.h"
#include "velmira/list/enumerate.h"
#include "velmira/list/list.h"

namespace velmira {

namespace detail {
/// Puts a list's kept count at its limit without two billion elements.
struct ListTestPeer {
  static void SetCount(List& list, std::int32_t count) { list.count_ = count; }
};
}  // namespace detail

namespace testing {

/// A client element keeping links per slot. It logs each call as name, member (N P T get, n p t
/// set), "=value" and "@slot" off slot 0 ("bn=c", "aT@1"), and can fail one with a logic_error.
class ClientListNode : public IListNode {
 public:
  Ref<IListNode> NextItem(std::int32_t i) override { return Call('N', i); }
  void SetNextItem(std::int32_t i, const Ref<IListNode>& v) override { Call('n', i, &v); }
  Ref<IListNode> PrevItem(std::int32_t i) override { return Call('P', i); }
  void SetPrevItem(std::int32_t i, const Ref<IListNode>& v) override { Call('p', i, &v); }
  Ref<IListNode> Tag(std::int32_t i) override { return Call('T', i); }
  void SetTag(std::int32_t i, const Ref<IListNode>& v) override { Call('t', i, &v); }
  /// The stored successor link itself, for an argument that aliases the element's storage.
  Ref<IListNode>& NextSlot(std::int32_t i) { return links_[{'n', i}]; }

  char name = '?';
  std::string* log = nullptr;     ///< when set, each call is appended to it, space-separated
  char fail_on = 0;               ///< the member that fails next
  std::function<void()> reenter;  ///< runs inside the next call, once: client code re-entering

 private:
  Ref<IListNode> Call(char member, std::int32_t i, const Ref<IListNode>* value = nullptr) {
    auto* client = value ? dynamic_cast<ClientListNode*>(value->get()) : nullptr;
    std::string call{name, member};
    if (value) call += std::string{'=', client ? client->name : *value ? '*' : '_'};
    if (i) call += "@" + std::to_string(i);
    if (log) *log += (log->empty() ? "" : " ") + call;
    if (reenter) std::exchange(reenter, nullptr)();
    if (member == fail_on) {
      fail_on = 0;
      throw std::logic_error(call);
    }
    Ref<IListNode>& stored = links_[{std::tolower(member), i}];
    if (value) stored = *value;
    return stored;
  }
  std::map<std::pair<int, std::int32_t>, Ref<IListNode>> links_;  // by link letter and slot
};

/// Runs scripts on lists 0, 1 (Index 0) and 2 (Index 1), enumerators 0 and 1 and elements a-h.
/// Steps act on the current list (^k selects it): +x Add, <xy AddBefore, >xy AddAfter, -x Remove,
/// C Clear, X release (a new list takes its place), iN SetIndex, @N Item, nx / px NextItem /
/// PrevItem, = shape, Nxy / Pxy set x's NextItem / PrevItem to y by hand, ?x x's PrevItem,
/// NextItem and Tag, ek NewEnum into enumerator k, wkN N NextItem calls, okV SetOrder then Order,
/// Fxm fail x's member m once, Rx Remove of x's successor named by x's own link, M Count to the
/// maximum. _ is Nothing, * a marker; ~ at a step's end adds its element calls in braces. The
/// result ends with each list's shape
/// ("[abc]"; ! after an element with wrong links, tag or Item; #Count for a wrong Count, Last or
/// IsEmpty) and ~x for an element holding links in a slot where it is in no list. Errors and
/// warnings print as script.h says.
class ListScript {
 public:
  explicit ListScript(Ref<IListNode> (*make)()) {
    for (char name = 'a'; name <= 'h'; ++name) {
      nodes_.push_back(make());
      if (auto* client = dynamic_cast<ClientListNode*>(nodes_.back().get())) {
        client->name = name;
        client->log = &log_;
      }
    }
    lists_[2]->SetIndex(1);
  }
  ~ListScript() {  // breaks every link in slots 0 and 1, so that no cycle outlives the script
    for (const auto& n : nodes_) {
      if (auto* client = dynamic_cast<ClientListNode*>(n.get())) client->fail_on = 0;
      for (auto set : {&IListNode::SetNextItem, &IListNode::SetPrevItem, &IListNode::SetTag}) {
        for (std::int32_t slot : {0, 1}) (n.get()->*set)(slot, Nothing);
      }
    }
  }

  /// Runs `script` and returns what its steps printed, then the final state.
  std::string Run(const std::string& script) {
    std::ostringstream out;
    std::istringstream steps(script);
    for (std::string step; steps >> step;) {
      log_.clear();
      std::string word;
      try {
        word = Step(step);
      } catch (...) {
        word = ErrorWord(std::current_exception());
      }
      if (step.back() == '~') word += "{" + log_ + "}";
      for (const std::string& text : output_.Take()) word += "!" + WarningCode("List", text);
      if (!word.empty()) out << word << ' ';
    }
    members_ = {{0, ""}, {1, ""}};
    for (const auto& list : lists_) out << Shape(list);
    for (const auto& n : nodes_) out << Stray(n);
    return out.str();
  }

 private:
  std::string Step(const std::string& s) {
    List& l = *lists_[current_];
    const char op = s[0];
    auto node = [&](std::size_t k) {
      return s[k] == '_' ? Ref<IListNode>() : nodes_.at(s[k] - 'a');
    };
    auto number = [&](std::size_t from) { return std::stoi(s.substr(from)); };
    Ref<ListEnum>& enumerator = enums_[s.size() > 1 && s[1] == '1'];
    if (op == '+') l.Add(node(1));
    if (op == '<') l.AddBefore(node(1), node(2));
    if (op == '>') l.AddAfter(node(1), node(2));
    if (op == '-') l.Remove(node(1));
    if (op == 'C') l.Clear();
    if (op == 'i') l.SetIndex(number(1));
    if (op == '@') return Name(l.Item(number(1)));
    if (op == 'n') return Name(l.NextItem(node(1)));
    if (op == 'p') return Name(l.PrevItem(node(1)));
    if (op == '^') current_ = s[1] - '0';
    if (op == '=') return Shape(lists_[current_]);
    if (op == 'N') node(1)->SetNextItem(l.Index(), node(2));
    if (op == 'P') node(1)->SetPrevItem(l.Index(), node(2));
    if (op == '?') return s.substr(1, 1) + ":" + Links(node(1), l.Index());
    if (op == 'e') enumerator = l.NewEnum();
    if (op == 'w') {
      std::string walked;
      for (int k = number(2); k > 0; --k) walked += Name(enumerator->NextItem());
      return walked;
    }
    if (op == 'o') {
      enumerator->SetOrder(static_cast<ListEnumEnum>(number(2)));
      return std::to_string(enumerator->Order());
    }
    if (op == 'F') dynamic_cast<ClientListNode&>(*node(1)).fail_on = s[2];
    if (op == 'R') l.Remove(dynamic_cast<ClientListNode&>(*node(1)).NextSlot(l.Index()));
    if (op == 'M') detail::ListTestPeer::SetCount(l, INT32_MAX);
    if (op == 'X') lists_[current_] = New<List>();  // last: `l` is gone with the old list
    return "";
  }

  std::string Name(const Ref<IListNode>& n) const {
    const auto k = std::find_if(nodes_.begin(), nodes_.end(), [&](auto& x) { return Is(x, n); });
    if (k == nodes_.end()) return n ? "*" : "_";
    return std::string{static_cast<char>('a' + (k - nodes_.begin()))};
  }

  std::string Links(const Ref<IListNode>& x, std::int32_t slot) const {
    return Name(x->PrevItem(slot)) + Name(x->NextItem(slot)) + Name(x->Tag(slot));
  }

  std::string Shape(const Ref<List>& list) {
    List& l = *list;
    std::string walked;
    const std::int32_t slot = l.Index();
    const Ref<IListNode> tag = l.First() ? l.First()->Tag(slot) : Nothing;
    std::string shape = "[";
    Ref<IListNode> prev;
    std::int32_t count = 0;
    for (Ref<IListNode> n = l.First(); n && count < 20; prev = n, n = n->NextItem(slot)) {
      shape += Name(n);
      walked += Name(n);
      members_[slot] += Name(n);
      const bool linked = Is(n->PrevItem(slot), prev) && Is(n->Tag(slot), tag) && Name(tag) == "*";
      if (!Is(l.Item(++count), n) || !linked) shape += '!';
    }
    std::string ranged;  // a range-for walk sees the same elements
    for (const Ref<IListNode>& e : Enumerate(list)) ranged += ranged.size() < 20 ? Name(e) : "";
    const bool kept =
        count == l.Count() && Is(prev, l.Last()) && l.IsEmpty() == (count == 0) && ranged == walked;
    if (!kept) shape += "#" + std::to_string(l.Count());
    return shape + "]";
  }

  std::string Stray(const Ref<IListNode>& n) {
    for (const auto& [slot, names] : members_) {
      const bool free = names.find(Name(n)) != std::string::npos || Links(n, slot) == "___";
      if (!free) return " ~" + Name(n);
    }
    return "";
  }

  std::string log_;  // declared before the lists: their teardown still logs
  CapturedOutput output_;
  std::vector<Ref<IListNode>> nodes_;
  Ref<List> lists_[3] = {New<List>(), New<List>(), New<List>()};
  Ref<ListEnum> enums_[2];
  int current_ = 0;
  std::map<std::int32_t, std::string> members_;  // per slot, the elements found in a list
};

// clang-format off
inline const std::vector<Row> kListRows = {
    {"EmptyListWarnsOnItemOnly", "@1 @0 na pa n_ p_ -a -_ C", "_!It _!It _ _ _ _ [][][]"},
    {"NextAndPrevOfMembersOnly",
        "+a +b +c na nc pa pc pb n_ p_ ^1 +d ^2 +e +b ^0 nd pd ne ^2 pb nb na",
        "b _ _ b a _ _ _ _ _ e _ _ [abc][d][eb]"},
    {"AddGrowsAtTheEnd", "+a = +b = +c = +d = +e = +f = +g =",
        "[a] [ab] [abc] [abcd] [abcde] [abcdef] [abcdefg] [abcdefg][][]"},
    {"ItemNumbersOneToCount", "+a +b +c @0 @-1 @4 @-2147483648 @2147483647 @1 @3 @2",
        "_!It _!It _!It _!It _!It a c b [abc][][]"},
    {"AddRefusals", "+a +a +_ +b +a ^1 +c +c ^0 +c Ndc +d Pec +e",
        "!Ain !A0 !Ain !Ain !Ain !Alk !Alk [ab][c][] ~d ~e"},
    {"AddBeforeAndAfter", "+a +c <bc <da >ec >fa", "[dafbce][][]"},
    {"AddBeforeRefusals", "+a +b ^1 +h ^0 Ngd <__ <_a <c_ <g_ <cd <ch <gh <aa <ba <ha <ga",
        "!B0 !B0 !Bto0 !Bto0 !Bnm !Bnm !Bnm !Bin !Bin !Bin !Blk [ab][h][] ~g"},
    {"AddAfterRefusals", "+a +b ^1 +h ^0 Ngd >__ >_a >c_ >g_ >cd >ch >gh >aa >ba >ha >ga",
        "!B0 !B0 !Bto0 !Bto0 !Bnm !Bnm !Bnm !Bin !Bin !Bin !Blk [ab][h][] ~g"},
    {"RemoveFromEitherEndAndMiddle", "+a +b +c +d -b = -d = -a = -c = +d",
        "[acd] [ac] [c] [] [d][][]"},
    {"RemoveNonMember", "-a -_ +a -b ^1 +c ^0 -c -_", "!Rnm !Rnm [a][c][]"},
    {"ClearAndTeardownUnlink", "C +a +b +c C = +c +a X +b +a", "[] [ba][][]"},
    {"IndexOnlyWhileEmpty", "i5 +a +b i5 i0 = C i-3 = +c", "!Ix [ab] [] [c][][]"},
    {"TwoListsInTwoSlots", "+a +b +c ^2 +c +b +a ^0 -b = >bc ^2 = -b <dc >ec = C",
        "[ac] [cba] [dcea] [acb][][]"},
    // Enumerators: the cycle, order changes, and the list changing under them.
    {"EnumeratorCycles", "+a +b +c e0 w09 e1 o1-1 w19", "abc_abc_a -1 cba_cba_c [abc][][]"},
    {"EnumeratorOrderValues", "+a +b e0 o00 o02 o0-2 o0-2147483648 o02147483647 o0-1 o00 o02 w03",
        "1 1 1 1 1 -1 -1 -1 ba_ [ab][][]"},
    {"EnumeratorOfAnEmptyList", "e0 +a w03 o0-1 w02", "___ -1 __ [a][][]"},
    {"EnumeratorTurnsAround", "+a +b +c +d +e e0 w03 o0-1 w05 o01 w03",
        "abc -1 ba_ed 1 e_a [abcde][][]"},
    {"EnumeratorPastARemovedItem", "+a +b +c e0 w02 -b w04", "ab _ac_ [ac][][]"},
    {"EnumeratorAtARemovedFirst", "+a +b +c e0 -a w04 o0-1 w03", "a_a_ -1 cb_ [bc][][]"},
    {"EnumeratorAtARemovedLast", "+a +b +c e0 o0-1 -c w04 o01 w03", "-1 c_c_ 1 ab_ [ab][][]"},
    {"EnumeratorSeesInsertions", "+a +b +c e0 w01 <da >ea w05", "a ebc_a [daebc][][]"},
    {"TwoEnumerators", "+a +b +c e0 e1 w02 w11 o1-1 w01 w12 w02", "ab a -1 c _c _a [abc][][]"},
    {"EnumeratorOutlivesItsList", "+a +b +c e0 w01 X w03 o0-1 w02", "a _a_ -1 c_ [][][]"},
    // The element calls, in order.
    {"AddCalls", "+a~ +b~ +b~ Nfc +f~",
        "{aT aN aP at=*} {bT bN bP bt=* an=b bp=a} {bT}!Ain {fT fN}!Alk [ab][][] ~f"},
    {"AddBeforeCalls", "+a +c <bc~ <da~",
        "{cT bT bN bP bt=* cP bp=a an=b bn=c cp=b} {aT dT dN dP dt=* dn=a ap=d} [dabc][][]"},
    {"AddAfterCalls", "+a +c >ba~ >dc~",
        "{aT bT bN bP bt=* aN bn=c cp=b bp=a an=b} {cT dT dN dP dt=* dp=c cn=d} [abcd][][]"},
    {"RemoveCalls", "+a +b +c +d -b~ -d~ -a~ -c~",
        "{bT bP bN an=c aN cp=a bn=_ bp=_ bt=_} {dT dP cn=_ dp=_ dt=_} {aT aN cp=_ an=_ at=_} {cT "
        "ct=_} [][][]"},
    {"ClearCalls", "+a +b +c C~", "{aN bp=_ an=_ at=_ bN cp=_ bn=_ bt=_ cN cn=_ ct=_} [][][]"},
    // Item walks from the nearer end; at the middle of an odd count, from the last.
    {"ItemFromTheNearerEnd", "+a +b +c +d @1~ @4~ @2~ @3~ +e @3~ @2~ @4~ +f @3~ @4~ nb~ pb~",
        "a{} d{} b{aN} c{dP} c{eP dP} b{aN} d{eP} c{aN bN} d{fP eP} c{bT bN} a{bT bP} [abcdef][][]"},
    {"CallsInSlotOne", "^2 +a +b~ +c e0~ w01~ w03~ o0-1 w02~",
        "{bT@1 bN@1 bP@1 bt=*@1 an=b@1 bp=a@1} {} a{} bc_{aN@1 bN@1 cN@1} -1 cb{cP@1} [][][abc]"},
    // An element error passes out; the steps before it stay done; teardown swallows it.
    {"AddErrorLeavesTheStepsBefore", "+a +b Fbn +e~ ?e ?b +e",
        "E{eT eN eP et=* bn=e} e:__* b:a_* !Ain [ab][][] ~e"},
    {"RemoveErrorLeavesTheStepsBefore", "+a +b +c Fcp -b ?a ?b ?c",
        "E a:_c* b:ac* c:b_* [ac!#3][][] ~b"},
    {"ClearErrorStopsTheWalk", "+a +b +c Fbt C ?a ?b ?c = C",
        "E a:___ b:__* c:__* [c#3] [][][] ~b"},
    // Teardown goes on past an element's error, from both ends: no member keeps its links.
    {"TeardownGoesPastErrors", "+a +b +c FbN X ?a ?b ?c", "a:___ b:___ c:___ [][][]"},
    // A full count raises the overflow error before anything is linked; misuse still warns.
    {"FullCountRaisesOverflow", "+a M +e~ <ea~ >ea~ +_ ?e = -a",
        "E6{eT eN eP} E6{aT eT eN eP} E6{aT eT eN eP} !A0 e:___ [a#2147483647] [][][]"},
    // An argument that aliases a link the operation rewrites still names the same element.
    {"AliasedArgument", "+a +b +c Ra ?a ?b ?c", "a:_c* b:___ c:a_* [ac][][]"},
    {"EnumeratorErrorsPassOut", "+a +b +c e0 w01 FaN w01 w01 o0-1 FbP w01 w01",
        "a E b -1 E a [abc][][]"},
    // A list left half-linked by an error never calls through a missing link.
    {"HalfLinkedListNeverCallsThroughAMissingLink", "+a +b +c Fep >ec -e +d @1 @2 @3 e0 w05 -d C",
        "E a _ d abc_a [][][]"},
    {"HalfLinkedByAddBefore", "+a +b +c Fen <ea -e ?a", "E a:_b* [#2][][] ~a ~b ~c"},
};
// clang-format on

template <class E>
class ListRows : public VelmiraTest {};
TYPED_TEST_SUITE_P(ListRows);

// Rows with ~, F, R or M need the logging client element; the others run over every element class.
TYPED_TEST_P(ListRows, GiveTheExpectedResults) {
  std::vector<Row> rows;
  for (const Row& row : kListRows) {
    const bool needs_client = std::string(row.script).find_first_of("~FRM") != std::string::npos;
    if (std::is_same_v<TypeParam, ClientListNode> || !needs_client) rows.push_back(row);
  }
  RunRows(rows, [](const Row& row) {
    return ListScript([] { return Ref<IListNode>(New<TypeParam>()); }).Run(row.script);
  });
}

REGISTER_TYPED_TEST_SUITE_P(ListRows, GiveTheExpectedResults);

}  // namespace testing
}  // namespace velmira
