// Tests of List and ListEnum. Most cases are scripts run by ListScript (below) over a client
// element that logs its calls and can fail on request.
#include "velmira/list/list.h"

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

#include "allocation_counter.h"
#include "block_element.h"
#include "capture.h"
#include "scale.h"
#include "velmira/elements/list_node.h"

namespace velmira {

namespace detail {
/// Puts a list's kept count at its limit without two billion elements.
struct ListTestPeer {
  static void SetCount(List& list, std::int32_t count) { list.count_ = count; }
};
}  // namespace detail

namespace {

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

/// Every typed list test runs over these; each is made by `New<E>()` and used as `IListNode`.
using ListElementTypes = ::testing::Types<ClientListNode, ListNode, testing::BlockElement>;

/// Runs scripts on lists 0, 1 (Index 0) and 2 (Index 1), enumerators 0 and 1 and elements a-h.
/// Steps act on the current list (^k selects it): +x Add, <xy AddBefore, >xy AddAfter, -x Remove,
/// C Clear, X release (a new list takes its place), iN SetIndex, @N Item, nx / px NextItem /
/// PrevItem, = shape, Nxy / Pxy set x's NextItem / PrevItem to y by hand, ?x x's PrevItem,
/// NextItem and Tag, ek NewEnum into enumerator k, wkN N NextItem calls, okV SetOrder then Order,
/// Fxm fail x's member m once, Rx Remove of x's successor named by x's own link, M Count to the
/// maximum. _ is Nothing, * a marker; ~ at a step's end adds its element calls in braces; errors
/// print as E:call or E<number>, warnings as !code. The result ends with each list's shape
/// ("[abc]"; ! after an element with wrong links, tag or Item; #Count for a wrong Count, Last or
/// IsEmpty) and ~x for an element holding links in a slot where it is in no list.
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
      } catch (const std::exception& e) {
        const auto* error = dynamic_cast<const Error*>(&e);
        word = error ? "E" + std::to_string(error->Number()) : std::string("E:") + e.what();
      }
      if (step.back() == '~') word += "{" + log_ + "}";
      for (const std::string& text : output_.Take()) word += "!" + WarningCode(text);
      if (!word.empty()) out << word << ' ';
    }
    members_ = {{0, ""}, {1, ""}};
    for (const auto& list : lists_) out << Shape(*list);
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
    if (op == '=') return Shape(l);
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

  std::string Shape(List& l) {
    const std::int32_t slot = l.Index();
    const Ref<IListNode> tag = l.First() ? l.First()->Tag(slot) : Nothing;
    std::string shape = "[";
    Ref<IListNode> prev;
    std::int32_t count = 0;
    for (Ref<IListNode> n = l.First(); n && count < 20; prev = n, n = n->NextItem(slot)) {
      shape += Name(n);
      members_[slot] += Name(n);
      const bool linked = Is(n->PrevItem(slot), prev) && Is(n->Tag(slot), tag) && Name(tag) == "*";
      if (!Is(l.Item(++count), n) || !linked) shape += '!';
    }
    const bool kept = count == l.Count() && Is(prev, l.Last()) && l.IsEmpty() == (count == 0);
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

  static std::string WarningCode(const std::string& text) {
    static const std::map<std::string, std::string> kCodes = {
        {"List: Warning, an attempt was made to change the Index of a non-empty list", "Ix"},
        {"List: Warning, an attempt was made to access an Item using an invalid number", "It"},
        {"List: Warning, an attempt was made to Add Nothing", "A0"},
        {"List: Warning, an attempt was made to Add a node that's already in a list", "Ain"},
        {"List: Warning, an attempt was made to Add a node with a predecessor or successor", "Alk"},
        {"List: Warning, AddBefore was asked to add Nothing", "B0"},
        {"List: Warning, AddBefore was asked to add a node before Nothing", "Bto0"},
        {"List: Warning, AddBefore was asked to add before a node that's not in the list", "Bnm"},
        {"List: Warning, AddBefore was asked to add a node that's already in a list", "Bin"},
        {"List: Warning, AddBefore was asked to add a node with a predecessor or successor", "Blk"},
        {"List: Warning, an attempt was made to Remove an item from a list it wasn't in", "Rnm"},
    };
    const auto found = kCodes.find(text);
    return found == kCodes.end() ? "?" + text : found->second;
  }

  std::string log_;  // declared before the lists: their teardown still logs
  testing::CapturedOutput output_;
  std::vector<Ref<IListNode>> nodes_;
  Ref<List> lists_[3] = {New<List>(), New<List>(), New<List>()};
  Ref<ListEnum> enums_[2];
  int current_ = 0;
  std::map<std::int32_t, std::string> members_;  // per slot, the elements found in a list
};

template <class T>
concept CreatableByClients = requires {
  new T();
};
static_assert(CreatableByClients<List>);
static_assert(!CreatableByClients<ListEnum>, "only a list's NewEnum makes an enumerator");

// Scripts with ~, F or R need the logging client element; the others run over every element class.
const std::pair<const char*, const char*> kScripts[] = {
    {"@1 @0 na pa n_ p_ -a -_ C", "_!It _!It _ _ _ _ [][][]"},
    {"+a +b +c na nc pa pc pb n_ p_ ^1 +d ^2 +e +b ^0 nd pd ne ^2 pb nb na",
     "b _ _ b a _ _ _ _ _ e _ _ [abc][d][eb]"},
    {"+a = +b = +c = +d = +e = +f = +g =",
     "[a] [ab] [abc] [abcd] [abcde] [abcdef] [abcdefg] [abcdefg][][]"},
    {"+a +b +c @0 @-1 @4 @-2147483648 @2147483647 @1 @3 @2",
     "_!It _!It _!It _!It _!It a c b [abc][][]"},
    {"+a +a +_ +b +a ^1 +c +c ^0 +c Ndc +d Pec +e",
     "!Ain !A0 !Ain !Ain !Ain !Alk !Alk [ab][c][] ~d ~e"},
    {"+a +c <bc <da >ec >fa", "[dafbce][][]"},
    {"+a +b ^1 +h ^0 Ngd <__ <_a <c_ <g_ <cd <ch <gh <aa <ba <ha <ga",
     "!B0 !B0 !Bto0 !Bto0 !Bnm !Bnm !Bnm !Bin !Bin !Bin !Blk [ab][h][] ~g"},
    {"+a +b ^1 +h ^0 Ngd >__ >_a >c_ >g_ >cd >ch >gh >aa >ba >ha >ga",
     "!B0 !B0 !Bto0 !Bto0 !Bnm !Bnm !Bnm !Bin !Bin !Bin !Blk [ab][h][] ~g"},
    {"+a +b +c +d -b = -d = -a = -c = +d", "[acd] [ac] [c] [] [d][][]"},
    {"-a -_ +a -b ^1 +c ^0 -c -_", "!Rnm !Rnm [a][c][]"},
    {"C +a +b +c C = +c +a X +b +a", "[] [ba][][]"},
    {"i5 +a +b i5 i0 = C i-3 = +c", "!Ix [ab] [] [c][][]"},
    {"+a +b +c ^2 +c +b +a ^0 -b = >bc ^2 = -b <dc >ec = C", "[ac] [cba] [dcea] [acb][][]"},
    // Enumerators: the cycle, order changes, and the list changing under them.
    {"+a +b +c e0 w09 e1 o1-1 w19", "abc_abc_a -1 cba_cba_c [abc][][]"},
    {"+a +b e0 o00 o02 o0-2 o0-2147483648 o02147483647 o0-1 o00 o02 w03",
     "1 1 1 1 1 -1 -1 -1 ba_ [ab][][]"},
    {"e0 +a w03 o0-1 w02", "___ -1 __ [a][][]"},
    {"+a +b +c +d +e e0 w03 o0-1 w05 o01 w03", "abc -1 ba_ed 1 e_a [abcde][][]"},
    {"+a +b +c e0 w02 -b w04", "ab _ac_ [ac][][]"},
    {"+a +b +c e0 -a w04 o0-1 w03", "a_a_ -1 cb_ [bc][][]"},
    {"+a +b +c e0 o0-1 -c w04 o01 w03", "-1 c_c_ 1 ab_ [ab][][]"},
    {"+a +b +c e0 w01 <da >ea w05", "a ebc_a [daebc][][]"},
    {"+a +b +c e0 e1 w02 w11 o1-1 w01 w12 w02", "ab a -1 c _c _a [abc][][]"},
    {"+a +b +c e0 w01 X w03 o0-1 w02", "a _a_ -1 c_ [][][]"},

    // The element calls, in order.
    {"+a~ +b~ +b~ Nfc +f~",
     "{aT aN aP at=*} {bT bN bP bt=* an=b bp=a} {bT}!Ain {fT fN}!Alk [ab][][] ~f"},
    {"+a +c <bc~ <da~",
     "{cT bT bN bP bt=* cP bp=a an=b bn=c cp=b} {aT dT dN dP dt=* dn=a ap=d} [dabc][][]"},
    {"+a +c >ba~ >dc~",
     "{aT bT bN bP bt=* aN bn=c cp=b bp=a an=b} {cT dT dN dP dt=* dp=c cn=d} [abcd][][]"},
    {"+a +b +c +d -b~ -d~ -a~ -c~",
     "{bT bP bN an=c aN cp=a bn=_ bp=_ bt=_} {dT dP cn=_ dp=_ dt=_} {aT aN cp=_ an=_ at=_} {cT "
     "ct=_} [][][]"},
    {"+a +b +c C~", "{aN bp=_ an=_ at=_ bN cp=_ bn=_ bt=_ cN cn=_ ct=_} [][][]"},
    // Item walks from the nearer end; at the middle of an odd count, from the last.
    {"+a +b +c +d @1~ @4~ @2~ @3~ +e @3~ @2~ @4~ +f @3~ @4~ nb~ pb~",
     "a{} d{} b{aN} c{dP} c{eP dP} b{aN} d{eP} c{aN bN} d{fP eP} c{bT bN} a{bT bP} [abcdef][][]"},
    {"^2 +a +b~ +c e0~ w01~ w03~ o0-1 w02~",
     "{bT@1 bN@1 bP@1 bt=*@1 an=b@1 bp=a@1} {} a{} bc_{aN@1 bN@1 cN@1} -1 cb{cP@1} [][][abc]"},
    // An element error passes out; the steps before it stay done; teardown swallows it.
    {"+a +b Fbn +e~ ?e ?b +e", "E:bn=e{eT eN eP et=* bn=e} e:__* b:a_* !Ain [ab][][] ~e"},
    {"+a +b +c Fcp -b ?a ?b ?c", "E:cp=a a:_c* b:ac* c:b_* [ac!#3][][] ~b"},
    {"+a +b +c Fbt C ?a ?b ?c = C", "E:bt=_ a:___ b:__* c:__* [c#3] [][][] ~b"},
    // Teardown goes on past an element's error, from both ends: no member keeps its links.
    {"+a +b +c FbN X ?a ?b ?c", "a:___ b:___ c:___ [][][]"},
    // A full count raises the overflow error before anything is linked; misuse still warns.
    {"+a M +e~ <ea~ >ea~ +_ ?e = -a",
     "E6{eT eN eP} E6{aT eT eN eP} E6{aT eT eN eP} !A0 e:___ [a#2147483647] [][][]"},
    // An argument that aliases a link the operation rewrites still names the same element.
    {"+a +b +c Ra ?a ?b ?c", "a:_c* b:___ c:a_* [ac][][]"},
    {"+a +b +c e0 w01 FaN w01 w01 o0-1 FbP w01 w01", "a E:aN b -1 E:bP a [abc][][]"},
    // A list left half-linked by an error never calls through a missing link.
    {"+a +b +c Fep >ec -e +d @1 @2 @3 e0 w05 -d C", "E:ep=c a _ d abc_a [][][]"},
    {"+a +b +c Fen <ea -e ?a", "E:en=a a:_b* [#2][][] ~a ~b ~c"},
};

template <class E>
class ListScripts : public testing::VelmiraTest {};
TYPED_TEST_SUITE(ListScripts, ListElementTypes);

TYPED_TEST(ListScripts, GiveTheExpectedResults) {
  for (const auto& [script, expected] : kScripts) {
    const bool needs_client = std::string(script).find_first_of("~FR") != std::string::npos;
    if (needs_client && !std::is_same_v<TypeParam, ClientListNode>) continue;
    EXPECT_EQ(ListScript([] { return Ref<IListNode>(New<TypeParam>()); }).Run(script), expected)
        << script;
  }
}

class ListTest : public testing::VelmiraTest {};

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
          extra = New<ClientListNode>();
          nodes.push_back(extra.get());
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

// An error injected at each element call (each member of each element, once) of an operation at
// the ends, or of the teardown itself: once the client lets go of everything, nothing is alive.
TEST_F(ListTest, AfterAnElementErrorTeardownLeavesNoCycles) {
  for (const std::string op : {"X", "C", "-a", "-d", "<ea", ">ed"}) {
    for (char victim = 'a'; victim <= 'e'; ++victim) {
      for (const char member : std::string("NPTnpt")) {
        const std::int64_t live = LiveObjectCount();
        {
          Ref<List> list = New<List>();
          std::vector<Ref<ClientListNode>> nodes;
          for (char name = 'a'; name <= 'e'; ++name) {
            nodes.push_back(New<ClientListNode>());
            nodes.back()->name = name;
            if (name != 'e') list->Add(nodes.back());
          }
          ClientListNode& failing = *nodes[victim - 'a'];
          failing.fail_on = member;
          try {
            if (op == "C") list->Clear();
            if (op[0] == '-') list->Remove(nodes[op[1] - 'a']);
            if (op[0] == '<') list->AddBefore(nodes[4], nodes[0]);
            if (op[0] == '>') list->AddAfter(nodes[4], nodes[3]);
          } catch (const std::logic_error&) {
          }
          if (op != "X") failing.fail_on = 0;  // one error per run
          list.reset();
        }
        EXPECT_EQ(LiveObjectCount(), live) << op << " failing " << victim << member;
      }
    }
  }
}

/// A bare element with one set of links, for chains of millions.
struct ThinListNode : IListNode {
  Ref<IListNode> NextItem(std::int32_t) override { return next; }
  void SetNextItem(std::int32_t, const Ref<IListNode>& v) override { next = v; }
  Ref<IListNode> PrevItem(std::int32_t) override { return prev; }
  void SetPrevItem(std::int32_t, const Ref<IListNode>& v) override { prev = v; }
  Ref<IListNode> Tag(std::int32_t) override { return tag; }
  void SetTag(std::int32_t, const Ref<IListNode>& v) override { tag = v; }
  Ref<IListNode> next, prev, tag;
};

// Builds, walks, clears and releases a long chain: nothing recurses per element and nothing is
// allocated per element (the two enumerators are the only allocations).
TEST_F(ListTest, ALongChainNeedsNoAllocationPerElement) {
  std::vector<Ref<IListNode>> nodes(testing::kLongChain);
  for (auto& node : nodes) node = New<ThinListNode>();
  const auto n = static_cast<std::int32_t>(nodes.size());
  Ref<List> list = New<List>();
  const std::int64_t before = testing::AllocationCount();
  for (const auto& node : nodes) list->Add(node);
  list->Clear();
  list->Add(nodes[n - 1]);
  for (std::int32_t i = n - 1; i > 0; --i) list->AddBefore(nodes[i - 1], nodes[i]);
  for (std::int32_t i = 1; i < n; i += 2) list->Remove(nodes[i]);
  for (std::int32_t i = 1; i < n; i += 2) list->AddAfter(nodes[i], nodes[i - 1]);
  Ref<ListEnum> front = list->NewEnum(), back = list->NewEnum();  // walking from either end
  back->SetOrder(eListEnumReverseOrder);
  std::int32_t k = 0;
  while (k < n && Is(front->NextItem(), nodes[k]) && Is(back->NextItem(), nodes[n - 1 - k])) ++k;
  EXPECT_EQ(testing::AllocationCount() - before, 2);
  EXPECT_EQ(k, n);
  EXPECT_EQ(front->NextItem(), Nothing);
  EXPECT_TRUE(Is(list->Item(n / 2 + 1), nodes[n / 2]));
  nodes.clear();
  list.reset();  // teardown clears and releases the whole chain; the fixture checks for leaks
  ExpectSilence();
}

}  // namespace
}  // namespace velmira
