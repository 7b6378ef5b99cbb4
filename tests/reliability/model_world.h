// Reliability support: every container next to a deliberately simple model of it.
//
//   ModelWorld w(seed);                 // 3 containers of each type, 10 elements of each kind
//   std::string diff = w.Step(op);      // runs op on both sides; empty when they agree
//
// The models are plain data: a vector of element ids per linear container and list, a small pointer
// tree (a map of child ids) per tree, rotated to the root by plain recursion for the splay tree.
// From them the world predicts each operation's result, the warning it writes (or none) and, after
// every step, every link of every element of the touched kind in every slot the containers may use.
// Elements are a mix of client elements, sample elements and elements made of the building blocks;
// their keys mix Variant kinds. Operations the containers leave undefined (adding the last element
// of a chain again, adding a leaf of another tree that uses the same slot) are skipped, not run.
#pragma once

#include <algorithm>
#include <array>
#include <exception>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "../support/block_element.h"
#include "../support/test_element.h"
#include "model_ops.h"
#include "velmira/core/debug_output.h"
#include "velmira/elements/list_node.h"
#include "velmira/elements/pqueue_node.h"
#include "velmira/elements/queue_node.h"
#include "velmira/elements/stack_node.h"
#include "velmira/elements/tree_node.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

namespace velmira::reliability {

enum class Link : std::uint8_t { Next, Prev, Tag, Left, Right };

class ModelWorld {
 public:
  explicit ModelWorld(std::uint64_t seed) {
    previous_sink_ = SetDebugOutput([this](std::string_view s) { writes_.emplace_back(s); });
    std::mt19937_64 rng(seed);
    for (auto& kind_keys : keys_)
      for (auto& element_keys : kind_keys)
        for (int& key : element_keys) key = static_cast<int>(rng() % KeyPool().size());
    for (int k = kStackKind; k <= kTreeKind; ++k) {
      ByKind(static_cast<Kind>(k), [&](auto& side) {
        for (int i = 0; i < kElems; ++i) MakeElement(side, static_cast<Kind>(k), i, rng() % 3);
        return 0;
      });
    }
    for (int t = cStack; t < kCTypes; ++t)
      for (int c = 0; c < kPerType; ++c) Renew(static_cast<CType>(t), c);
    for (Model& m : m_[cList]) m.marker = next_marker_++;
  }
  ~ModelWorld() { SetDebugOutput(std::move(previous_sink_)); }
  ModelWorld(const ModelWorld&) = delete;
  ModelWorld& operator=(const ModelWorld&) = delete;

  /// Runs `op` on the containers and on the models and compares them: the result, the warning, the
  /// container's own state, and every link of the kind. Returns a description of the first
  /// difference, or empty. `skipped` tells whether the operation was left out as undefined.
  std::string Step(const Op& op, bool* skipped = nullptr) {
    writes_.clear();
    testing::ElementCalls::Shared() = {
        false, 1'000'000};  // a walk along a cycle of client elements ends the step
    try {
      return Checked(op, skipped);
    } catch (const std::exception& e) {
      return std::string("the library raised: ") + e.what();
    }
  }
  std::int64_t steps_run() const { return steps_run_; }

 private:
  std::string Checked(const Op& op, bool* skipped) {
    std::string warn, diff;
    std::int64_t model = 0, impl = 0;
    const bool skip = op.op >= oStray ? !StrayOp(KindOf(op.t), op) : Predict(op, warn, model);
    if (skipped) *skipped = skip;
    if (skip) return {};
    ++steps_run_;
    if (op.op < oStray) impl = Run(op);
    if (writes_ != (warn.empty() ? std::vector<std::string>{} : std::vector{warn})) {
      std::string got;
      for (const auto& w : writes_) got += "[" + w + "]";
      return "warnings: model [" + warn + "], library " + (got.empty() ? "none" : got);
    }
    diff = Compare("result", model, impl);
    if (diff.empty()) diff = CheckContainer(op.t, op.c);
    return diff.empty() ? CheckKind(KindOf(op.t)) : diff;
  }
  /// The elements of one kind (`Sample` is the library's sample element) and the containers that
  /// take them, three of each type (the plain trees before the splay trees), with two enumerators
  /// each.
  template <class C, class I, class Sample, class Enum = Object>
  struct Side {
    Ref<I> e[kElems];
    Ref<C> c[2 * kPerType];
    Ref<Enum> en[2 * kPerType][2];
    Ref<I> at(Id i) const { return i < 0 ? Ref<I>() : e[i]; }
  };
  /// A container's model: its Index, the sequence of a linear container or list (top or first
  /// element first), a list's marker, a tree's root and the children of every member.
  struct Model {
    std::int32_t index = 0;
    std::vector<Id> seq;
    int marker = 0;
    Id root = kNone;
    std::map<Id, std::array<Id, 2>> kids;
  };
  struct Frame {
    Id node;
    bool done[2];  // the left, the right subtree walked
  };
  struct EnumModel {
    bool live = false;
    std::int32_t index = 0;
    int order = 1;
    Id first = kNone, last = kNone, cur = kNone;  // a list enumerator
    std::vector<Frame> stack;                     // a tree enumerator
  };

  /// Calls f(side) for the side of kind `k`.
  template <class F>
  std::int64_t ByKind(Kind k, F&& f) {
    return [&]<std::size_t... N>(std::index_sequence<N...>) {
      std::int64_t r = 0;
      ((N == k ? void(r = f(std::get<N>(sides_))) : void()), ...);
      return r;
    }
    (std::make_index_sequence<std::tuple_size_v<decltype(sides_)>>());
  }
  /// Calls f(container, side) for container `c` of type `t`.
  template <class F>
  std::int64_t Visit(CType t, int c, F&& f) {
    return ByKind(KindOf(t), [&](auto& s) { return f(s.c[(t == cSplay) * kPerType + c], s); });
  }
  void Renew(CType t, int c) {
    Visit(t, c, [t](auto& x, auto&) {
      using C = typename std::remove_reference_t<decltype(x)>::element_type;
      if constexpr (std::is_same_v<C, Tree>) {
        if (t == cSplay) return x = New<SplayTree>(), 0;
      }
      return x = New<C>(), 0;
    });
  }
  /// A client element, an element of building blocks or a sample element, with its keys.
  template <class C, class I, class Sample, class E>
  void MakeElement(Side<C, I, Sample, E>& side, Kind k, int i, std::uint64_t choice) {
    auto keyed = [&](auto e) {
      if constexpr (requires { e->SetKey(0, Variant()); }) {
        if (k == kPQueueKind || k == kTreeKind)
          for (std::int32_t s : kSlots) e->SetKey(s, KeyOf(k, i, s).value);
      }
      side.e[i] = e;
    };
    if (choice == 0) return keyed(New<testing::TestElement<I>>(std::to_string(i)));
    if (choice == 1) return keyed(New<testing::BlockElement>());
    keyed(New<Sample>());
  }
  const MKey& KeyOf(Kind k, Id e, std::int32_t slot) const {
    return KeyPool()[keys_[k == kTreeKind][e][std::find(kSlots, std::end(kSlots), slot) - kSlots]];
  }
  template <class S>
  static Id IdOf(const S& side, const Object* p) {
    for (int i = 0; i < kElems && p; ++i)
      if (static_cast<const Object*>(side.e[i].get()) == p) return i;
    return p ? 999 : kNone;  // 999: something that is not an element
  }
  static std::string Compare(const char* what, std::int64_t model, std::int64_t impl) {
    if (model == impl) return {};
    return std::string(what) + ": model " + std::to_string(model) + ", library " +
           std::to_string(impl);
  }
  static int Find(const std::vector<Id>& seq, Id e) {
    auto it = std::find(seq.begin(), seq.end(), e);
    return it == seq.end() ? -1 : static_cast<int>(it - seq.begin());
  }

  // ---- links: predicted, read, written --------------------------------------------------------
  /// The model of the container (other than `except`) of kind `k` using `slot` that holds `e`.
  const Model* Holder(Kind k, Id e, std::int32_t slot, const Model* except = nullptr) const {
    for (int t = cStack; t < kCTypes; ++t) {
      for (const Model& m : m_[t]) {
        if (KindOf(static_cast<CType>(t)) == k && m.index == slot && &m != except &&
            (m.kids.count(e) || Find(m.seq, e) >= 0))
          return &m;
      }
    }
    return nullptr;
  }
  bool IsMember(Kind k, Id e, std::int32_t slot, const Model* except = nullptr) const {
    return Holder(k, e, slot, except) != nullptr;
  }
  Id Pred(Kind k, Id e, std::int32_t slot, Link link) const {
    if (auto it = strays_.find({k, e, slot, link}); it != strays_.end()) return it->second;
    const Model* m = Holder(k, e, slot);
    if (!m) return kNone;
    if (m->kids.count(e)) return m->kids.at(e)[link == Link::Right];
    const int p = Find(m->seq, e), n = static_cast<int>(m->seq.size());
    if (link == Link::Tag) return m->marker;
    if (link == Link::Prev) return p > 0 ? m->seq[p - 1] : kNone;
    return p + 1 < n ? m->seq[p + 1] : kNone;
  }
  /// Link `link` of `e` in slot `s`, after storing `*set` into it when given.
  template <class I>
  static Ref<I> Access(I& e, std::int32_t s, Link link, const Ref<I>* set = nullptr) {
    if constexpr (requires { e.Left(s); }) {
      if (set) link == Link::Left ? e.SetLeft(s, *set) : e.SetRight(s, *set);
      return link == Link::Left ? e.Left(s) : e.Right(s);
    } else if constexpr (requires { e.Tag(s); }) {
      if (set) link == Link::Prev ? e.SetPrevItem(s, *set) : e.SetNextItem(s, *set);
      return link == Link::Tag ? e.Tag(s) : link == Link::Prev ? e.PrevItem(s) : e.NextItem(s);
    } else {
      if (set) e.SetNextItem(s, *set);
      return e.NextItem(s);
    }
  }
  /// The library's link as an id: an element, Nothing, or a list marker (whose serial the model
  /// predicted, matched to the library's object on first sight).
  Id Actual(Kind k, Id e, std::int32_t slot, Link link, Id predicted) {
    const Object* p = nullptr;
    const Id id =
        ByKind(k, [&](auto& s) { return IdOf(s, p = Access(*s.e[e], slot, link).get()); });
    if (link != Link::Tag || id != 999) return id;
    for (auto& [serial, ptr] : marker_ptr_)
      if (ptr == p) return serial;
    if (predicted < 1000 || marker_ptr_.count(predicted)) return 998;
    marker_ptr_[predicted] = p;
    return predicted;
  }
  std::string CheckKind(Kind k) {
    static const char* kLinkNames[] = {"Next", "Prev", "Tag", "Left", "Right"};
    const std::vector<Link> links = k == kTreeKind ? std::vector{Link::Left, Link::Right}
                                    : k == kListKind
                                        ? std::vector{Link::Next, Link::Prev, Link::Tag}
                                        : std::vector{Link::Next};
    auto name = [](Id e) {
      return e == kNone ? std::string("Nothing") : (e >= 1000 ? "marker" : "e") + std::to_string(e);
    };
    for (Id e = 0; e < kElems; ++e) {
      for (std::int32_t slot : kSlots) {
        for (Link link : links) {
          const Id want = Pred(k, e, slot, link), got = Actual(k, e, slot, link, want);
          if (want != got)
            return "e" + std::to_string(e) + " slot " + std::to_string(slot) + " " +
                   kLinkNames[static_cast<int>(link)] + ": model " + name(want) + ", library " +
                   name(got);
        }
      }
    }
    return {};
  }
  std::string CheckContainer(CType t, int c) {
    const Model& m = m_[t][c];
    const Id first = m.seq.empty() ? kNone : m.seq.front(),
             last = m.seq.empty() ? kNone : m.seq.back();
    std::string d;
    Visit(t, c, [&](auto& x, auto& s) {
      d = Compare("IsEmpty", m.seq.empty() && m.root == kNone, x->IsEmpty()) +
          Compare("Index", m.index, x->Index());
      if constexpr (requires { x->Top(); }) d += Compare("Top", first, IdOf(s, x->Top().get()));
      if constexpr (requires { x->First(); })
        d += Compare("First", first, IdOf(s, x->First().get()));
      if constexpr (requires { x->Last(); }) d += Compare("Last", last, IdOf(s, x->Last().get()));
      if constexpr (requires { x->Count(); })
        d += Compare("Count", static_cast<std::int64_t>(m.seq.size()), x->Count());
      if constexpr (requires { x->Root(); }) {
        if (m.root != kNone) d += Compare("root", m.root, IdOf(s, x->Root().get()));
      }
      return 0;
    });
    return d;
  }

  // Stray links: a client storing into a free element's link by hand. The containers must refuse
  // such an element and never follow the link. False when the operation does not apply.
  bool StrayOp(Kind k, const Op& op) {
    auto set = [&](Id e, std::int32_t slot, Link link, Id to) {
      ByKind(k, [&](auto& s) {
        const auto value = s.at(to);
        return Access(*s.e[e], slot, link, &value), 0;
      });
    };
    if (op.op == oUnstray) {
      std::erase_if(strays_, [&](const auto& stray) {
        const auto [kind, e, slot, link] = stray.first;
        if (kind == k && e == op.a) set(e, slot, link, kNone);
        return kind == k && e == op.a;
      });
      return true;
    }
    // Links only to higher-numbered elements, so hand-made links never close a cycle (a walk along
    // a cycle the client made itself would never end, in the library as in the model).
    if (op.a < 0 || op.b <= op.a || IsMember(k, op.a, op.v)) return false;
    for (Link l : {Link::Next, Link::Prev, Link::Tag, Link::Left, Link::Right})
      if (Pred(k, op.a, op.v, l) != kNone) return false;
    const Link link = k == kTreeKind ? (op.c % 2 ? Link::Right : Link::Left)
                                     : (k == kListKind && op.c % 2 ? Link::Prev : Link::Next);
    set(op.a, op.v, link, strays_[{k, op.a, op.v, link}] = op.b);
    return true;
  }

  // ---- the tree models ------------------------------------------------------------------------
  Order Cmp(const MKey& key, const Model& m, Id n) const {
    return ModelCompare(key, KeyOf(kTreeKind, n, m.index));
  }
  /// Child `d` (0 left, 1 right) of `n` takes its place.
  static Id Rotate(Model& m, Id n, int d) {
    const Id x = m.kids[n][d];
    m.kids[n][d] = m.kids[x][!d];
    m.kids[x][!d] = n;
    return x;
  }
  /// Looks for `key` below `n`, adds `node` (unless Nothing) where the search ends, and for a splay
  /// tree rotates the element found or added, or the last one met, to the top. An element with an
  /// equal key stays, and `node` is not added.
  Id Descend(Model& m, Id n, const MKey& key, Id node, bool splay) {
    if (n == kNone) return node == kNone ? kNone : (m.kids[node] = {kNone, kNone}, node);
    const Order o = Cmp(key, m, n);
    const int d = o == Order::Greater;
    if ((o != Order::Less && o != Order::Greater) || (m.kids[n][d] == kNone && node == kNone))
      return n;
    const Id below = Descend(m, m.kids[n][d], key, node, splay);
    m.kids[n][d] = below;
    return splay ? Rotate(m, n, d) : n;
  }
  Id Search(const Model& m, Id n, const MKey& key) const {
    for (Order o; n != kNone; n = m.kids.at(n)[o != Order::Less])
      if ((o = Cmp(key, m, n)) == Order::Equal) return n;
    return kNone;
  }
  Id RemoveNode(Model& m, Id n, const MKey& key, bool splay) {
    const Order o = n == kNone ? Order::Unordered : Cmp(key, m, n);
    if (o == Order::Unordered) return n;  // a key that orders against nothing is not here
    if (o != Order::Equal) {
      const Id below = RemoveNode(m, m.kids[n][o == Order::Greater], key, splay);
      m.kids[n][o == Order::Greater] = below;
      return n;
    }
    const auto [l, r] = m.kids[n];
    m.kids.erase(n);
    if (l == kNone || r == kNone) return l == kNone ? r : l;
    if (splay) {
      const Id top = Descend(m, l, key, kNone, true);
      // With keys that do not order strictly (Empty equals both 0 and the empty text), the element
      // splayed up can have others to its right: r goes below the last of them.
      Id last = top;
      while (m.kids[last][1] != kNone) last = m.kids[last][1];
      m.kids[last][1] = r;
      return top;
    }
    if (m.kids[l][1] == kNone) return m.kids[l][1] = r, l;
    if (m.kids[r][0] == kNone) return m.kids[r][0] = l, r;
    Id p = r, s = m.kids[r][0];
    while (m.kids[s][0] != kNone) p = s, s = m.kids[s][0];
    m.kids[p][0] = m.kids[s][1];
    m.kids[s] = {l, r};
    return s;
  }
  /// One step of a tree enumerator, which keeps the path it came down and may change its order in
  /// the middle of a walk.
  Id TreeEnumNext(EnumModel& en) {
    if (en.stack.empty()) return kNone;
    auto kid = [&](Id n, int d) {
      return Pred(kTreeKind, n, en.index, d ? Link::Right : Link::Left);
    };
    Frame& top = en.stack.back();
    Id n = top.node;
    if (en.order == eTreeEnumPreOrder) {
      const Frame t = top;
      en.stack.pop_back();
      for (int d : {1, 0})
        if (kid(n, d) != kNone && !t.done[d]) en.stack.push_back({kid(n, d), {false, false}});
      return n;
    }
    if (en.order != eTreeEnumPostOrder) {  // in order the near side is the left, else the right
      const int near = en.order == eTreeEnumInOrder ? 0 : 1;
      if (kid(n, near) == kNone || top.done[near]) {
        en.stack.pop_back();
      } else {
        top.done[near] = true;
        for (n = kid(n, near); kid(n, near) != kNone; n = kid(n, near))
          en.stack.push_back({n, {near == 0, near == 1}});
      }
      if (kid(n, !near) != kNone) en.stack.push_back({kid(n, !near), {false, false}});
      return n;
    }
    const bool left_done = kid(n, 0) == kNone || top.done[0];
    if (left_done && (kid(n, 1) == kNone || top.done[1])) return en.stack.pop_back(), n;
    top.done[left_done] = true;
    for (n = kid(n, left_done); kid(n, 0) != kNone || kid(n, 1) != kNone;) {
      const bool no_left = kid(n, 0) == kNone;
      en.stack.push_back({n, {true, no_left}});
      n = kid(n, no_left);
    }
    return n;
  }

  // ---- one operation --------------------------------------------------------------------------
  /// The model's side of `op`: sets `warn` to the warning expected, `result` to the result; true
  /// when the operation is undefined for the current state and is skipped.
  bool Predict(const Op& op, std::string& warn, std::int64_t& result) {
    static const char* kNouns[] = {"stack", "queue", "priority queue", "list", "tree", "tree"};
    const Kind k = KindOf(op.t);
    const bool tree = op.t >= cTree, list = op.t == cList;
    Model& m = m_[op.t][op.c];
    std::vector<Id>& seq = m.seq;
    const std::string w = std::string(kTypeNames[op.t]) + ": Warning, ";
    const MKey& key = KeyPool()[static_cast<std::size_t>(op.v) % KeyPool().size()];
    const MKey* a_key = op.a < 0 ? nullptr : &KeyOf(k, op.a, m.index);
    auto link = [&](Id e, Link l) { return Pred(k, e, m.index, l); };
    auto linked = [&](Id e) {  // a list element with neighbours, a tree element with children
      return link(e, Link::Next) != kNone || link(e, Link::Prev) != kNone ||
             link(e, Link::Left) != kNone || link(e, Link::Right) != kNone;
    };
    EnumModel& en = enums_[op.t][op.c][op.op == oEnumOrder ? op.b & 1 : op.v & 1];
    std::string why;  // after "an attempt was made to " or "AddBefore was asked to add "
    switch (op.op) {
      case oSetIndex:
        if (op.v != m.index && (!seq.empty() || m.root != kNone))
          why = std::string("change the Index of a non-empty ") + kNouns[op.t];
        else
          m.index = op.v;
        break;
      case oRelease:
        marker_ptr_.erase(m.marker);
        m = Model{0, {}, list ? next_marker_++ : 0, kNone, {}};
        break;
      case oClear:
        m = Model{m.index, {}, m.marker, kNone, {}};
        break;
      case oAdd:
      case oPush:
        // A key that orders against nothing (Null; NaN in a tree) is refused. A queue also refuses
        // its own last element, whose link is Nothing.
        why = !a_key ? "Add Nothing"
              : (op.t == cPQueue && a_key->cls == MKey::Null) || (tree && a_key->IsNullOrNaN())
                  ? "Add a node with a null key"
              : list && link(op.a, Link::Tag) != kNone ? "Add a node that's already in a list"
              : list && linked(op.a) ? "Add a node with a predecessor or successor"
              : tree && linked(op.a) ? "Add a node with children"
              : !list && !tree &&
                      (link(op.a, Link::Next) != kNone ||
                       (op.t == cQueue && !seq.empty() && seq.back() == op.a))
                  ? "Add a node with a successor"
                  : "";
        if (!why.empty()) break;
        // Undefined: the last element of a chain in the same slot; a leaf of another tree.
        if (IsMember(k, op.a, m.index, tree ? &m : nullptr)) return true;
        if (tree) {
          m.root = Descend(m, m.root, *a_key, op.a, op.t == cSplay);
        } else if (op.t != cPQueue) {
          seq.insert(op.t == cStack ? seq.begin() : seq.end(), op.a);
        } else {  // before the first element with a lower key: after all equal and unordered ones
          auto lower = [&](Id x) {
            return ModelCompare(*a_key, KeyOf(k, x, m.index)) == Order::Greater;
          };
          seq.insert(std::find_if(seq.begin(), seq.end(), lower), op.a);
        }
        break;
      case oTake:
      case oDrop:
        if (op.op == oTake) result = seq.empty() ? kNone : seq.front();
        if (!seq.empty()) seq.erase(seq.begin());
        break;
      case oRemove:
        if (tree && key.cls == MKey::Null)
          why = "Remove a node using a null Key";
        else if (tree)
          m.root = RemoveNode(m, m.root, key, op.t == cSplay);
        else if (op.a >= 0 && !seq.empty() && std::erase(seq, op.a) == 0)
          why = std::string("Remove an item from a ") + kNouns[op.t] + " it wasn't in";
        break;
      case oAddBefore:
      case oAddAfter:
        why = op.a < 0                            ? "Nothing"
              : op.b < 0                          ? "a node before Nothing"
              : link(op.b, Link::Tag) != m.marker ? "before a node that's not in the list"
              : link(op.a, Link::Tag) != kNone    ? "a node that's already in a list"
              : linked(op.a)                      ? "a node with a predecessor or successor"
                                                  : "";
        if (why.empty()) seq.insert(seq.begin() + Find(seq, op.b) + (op.op == oAddAfter), op.a);
        break;
      case oItem:
      case oExists:
        if (!tree) {
          const bool valid = op.v >= 1 && op.v <= static_cast<std::int64_t>(seq.size());
          if (!valid) why = "access an Item using an invalid number";
          result = valid ? seq[op.v - 1] : kNone;
        } else if (key.cls != MKey::Null && m.root != kNone && op.t == cSplay) {
          m.root = Descend(m, m.root, key, kNone, true);
          result = Cmp(key, m, m.root) == Order::Equal ? m.root : kNone;
        } else {
          result = key.cls == MKey::Null ? kNone : Search(m, m.root, key);
        }
        if (op.op == oExists) result = result != kNone;
        break;
      case oNext:
      case oPrev:
        if (op.a >= 0 && link(op.a, Link::Tag) == m.marker)
          result = link(op.a, op.op == oNext ? Link::Next : Link::Prev);
        else
          result = kNone;
        break;
      case oNewEnum:
        en = {
            true,  m.index, 1, seq.empty() ? kNone : seq.front(), seq.empty() ? kNone : seq.back(),
            kNone, {}};
        if (m.root != kNone) en.stack.push_back({m.root, {false, false}});
        break;
      case oEnumNext:
        if (!en.live) return true;
        if (tree) {
          result = TreeEnumNext(en);
        } else {
          en.cur = en.cur != kNone
                       ? Pred(k, en.cur, en.index, en.order == 1 ? Link::Next : Link::Prev)
                   : en.order == 1 ? en.first
                                   : en.last;
          result = en.cur;
        }
        break;
      default:  // oEnumOrder
        if (!en.live) return true;
        if (op.v == 1 || op.v == -1 || (tree && (op.v == 2 || op.v == -2))) en.order = op.v;
        result = en.order;
    }
    const bool before = op.op == oAddBefore || op.op == oAddAfter;
    if (!why.empty())
      warn = w + (before ? "AddBefore was asked to add " : "an attempt was made to ") + why;
    return false;
  }
  /// The library's side of `op`: its result.
  std::int64_t Run(const Op& op) {
    if (op.op == oRelease) return Renew(op.t, op.c), 0;
    return Visit(op.t, op.c, [&](auto& x, auto& s) -> std::int64_t {
      using C = typename std::remove_reference_t<decltype(x)>::element_type;
      auto id = [&](const auto& r) -> std::int64_t { return IdOf(s, r.get()); };
      const Variant& key = KeyPool()[static_cast<std::size_t>(op.v) % KeyPool().size()].value;
      auto& en =
          s.en[(op.t == cSplay) * kPerType + op.c][op.op == oEnumOrder ? op.b & 1 : op.v & 1];
      if (op.op == oSetIndex) x->SetIndex(op.v);
      if (op.op == oClear) x->Clear();
      if (op.op == oAdd) x->Add(s.at(op.a));
      if constexpr (std::is_same_v<C, Stack>) {
        if (op.op == oPush) x->Push(s.at(op.a));
        if (op.op == oDrop) x->Drop();
        if (op.op == oTake) return id(x->Pop());
      } else if constexpr (std::is_same_v<C, Queue> || std::is_same_v<C, PQueue>) {
        if (op.op == oTake) return id(x->NextItem());
        if constexpr (std::is_same_v<C, Queue>)
          if (op.op == oRemove) x->Remove(s.at(op.a), op.v);  // the slot argument is ignored
        if constexpr (std::is_same_v<C, PQueue>)
          if (op.op == oRemove) x->Remove(s.at(op.a));
      } else {
        if (op.op == oNewEnum) en = x->NewEnum();
        if (op.op == oEnumNext) return id(en->NextItem());
        if (op.op == oEnumOrder)
          return en->SetOrder(static_cast<decltype(en->Order())>(op.v)), en->Order();
        if constexpr (std::is_same_v<C, List>) {
          if (op.op == oAddBefore) x->AddBefore(s.at(op.a), s.at(op.b));
          if (op.op == oAddAfter) x->AddAfter(s.at(op.a), s.at(op.b));
          if (op.op == oRemove) x->Remove(s.at(op.a));
          if (op.op == oItem) return id(x->Item(op.v));
          if (op.op == oNext) return id(x->NextItem(s.at(op.a)));
          if (op.op == oPrev) return id(x->PrevItem(s.at(op.a)));
        } else {
          if (op.op == oRemove) x->Remove(key);
          if (op.op == oItem) return id(x->Item(key));
          if (op.op == oExists) return x->Exists(key);
        }
      }
      return 0;
    });
  }

  int keys_[2][kElems][std::size(kSlots)];  // key pool indices: priority queue, tree elements
  std::tuple<Side<Stack, IStackNode, StackNode>, Side<Queue, IQueueNode, QueueNode>,
             Side<PQueue, IPQueueNode, PQueueNode>, Side<List, IListNode, ListNode, ListEnum>,
             Side<Tree, ITreeNode, TreeNode, TreeEnum>>
      sides_;
  Model m_[kCTypes][kPerType];
  EnumModel enums_[kCTypes][kPerType][2];
  std::map<std::tuple<Kind, Id, std::int32_t, Link>, Id> strays_;  // links not in any container
  std::map<int, const Object*> marker_ptr_;  // list marker serial -> the library's marker
  int next_marker_ = 1000;
  std::vector<std::string> writes_;
  DebugSink previous_sink_;
  std::int64_t steps_run_ = 0;
};

}  // namespace velmira::reliability
