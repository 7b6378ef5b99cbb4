// Reliability support: every container next to a deliberately simple model of it.
//
//   ModelWorld w(seed);                 // 3 containers of each type, 10 elements of each kind
//   std::string diff = w.Step(op);      // runs op on both sides; empty when they agree
//
// The models are plain data: a vector of element ids per linear container and list, a small
// pointer tree (a map of child ids) per tree, rotated to the root by plain recursion for the
// splay tree. From them the world predicts each operation's result, the warning it writes (or
// none) and, after every step, every link of every element of the touched kind in every slot the
// containers may use. Elements are a mix of client elements and sample elements; their keys mix
// Variant kinds. Operations the containers leave undefined (adding the last element of a chain
// again, adding a leaf of another tree that uses the same slot) are skipped, not run.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "client_elements.h"
#include "model_keys.h"
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

using Id = int;
inline constexpr Id kNone = -1;
inline constexpr int kElems = 10, kPerType = 3, kSlotCount = 5;
inline constexpr std::int32_t kSlots[kSlotCount] = {0, 1, -1, std::numeric_limits<int>::max(),
                                                    std::numeric_limits<int>::min()};

enum CType : std::uint8_t { cStack, cQueue, cPQueue, cList, cTree, cSplay, kCTypes };
enum Kind : std::uint8_t { kStackKind, kQueueKind, kPQueueKind, kListKind, kTreeKind, kKinds };
inline Kind KindOf(CType t) { return t == cSplay ? kTreeKind : static_cast<Kind>(t); }

enum OpType : std::uint8_t {
  oSetIndex,
  oRelease,
  oClear,
  oAdd,
  oPush,
  oTake,
  oDrop,
  oRemove,
  oAddBefore,
  oAddAfter,
  oItem,
  oExists,
  oNext,
  oPrev,
  oNewEnum,
  oEnumNext,
  oEnumOrder,
  oStray,
  oUnstray,
  kOpTypes
};

/// One operation; `a` and `b` are element ids (-1 for Nothing), `v` a value whose meaning
/// depends on the operation (a slot, a list position, a key pool index, an order).
struct Op {
  CType t;
  OpType op;
  std::uint8_t c;  // which container of the type
  std::int8_t a, b;
  std::int32_t v;
};

/// The operations each container type takes, repeated to weight them.
inline const std::vector<OpType>& OpsOf(CType t) {
  static const std::vector<OpType> ops[kCTypes] = {
      {oSetIndex, oRelease, oClear, oAdd, oAdd, oAdd, oPush, oPush, oTake, oTake, oDrop, oStray,
       oUnstray},
      {oSetIndex, oRelease, oClear, oAdd, oAdd, oAdd, oAdd, oTake, oTake, oRemove, oRemove, oStray,
       oUnstray},
      {oSetIndex, oRelease, oClear, oAdd, oAdd, oAdd, oAdd, oTake, oTake, oRemove, oRemove, oStray,
       oUnstray},
      {oSetIndex, oRelease,  oClear,    oAdd,       oAdd,   oAdd,    oAddBefore, oAddBefore,
       oAddAfter, oAddAfter, oRemove,   oRemove,    oItem,  oNext,   oPrev,      oNewEnum,
       oEnumNext, oEnumNext, oEnumNext, oEnumOrder, oStray, oUnstray},
      {oSetIndex, oRelease, oClear, oAdd, oAdd, oAdd, oAdd, oRemove, oRemove, oExists, oExists,
       oItem, oNewEnum, oEnumNext, oEnumNext, oEnumNext, oEnumOrder, oStray, oUnstray},
  };
  return ops[t == cSplay ? cTree : t];
}

/// Maps raw bytes to a well-formed operation: the random driver and the fuzzer share it.
inline Op MakeOp(std::uint8_t t, std::uint8_t op, std::uint8_t c, std::uint8_t a, std::uint8_t b,
                 std::uint32_t v) {
  Op o{
      static_cast<CType>(t % kCTypes), oSetIndex, static_cast<std::uint8_t>(c % kPerType), 0, 0, 0};
  const auto& ops = OpsOf(o.t);
  o.op = ops[op % ops.size()];
  o.a = static_cast<std::int8_t>(a % 12 == 11 ? -1 : a % kElems);
  o.b = static_cast<std::int8_t>(b % 12 == 11 ? -1 : b % kElems);
  static const std::int32_t kNumbers[] = {
      std::numeric_limits<int>::min(), -1, 0, 1, 2, 3, 4, 5, 7, 9, 10, 11,
      std::numeric_limits<int>::max()};
  static const std::int32_t kOrders[] = {-3, -2, -1, 0, 1, 2, 3, std::numeric_limits<int>::min()};
  switch (o.op) {
    case oSetIndex:
    case oStray:
      o.v = kSlots[v % kSlotCount];
      break;
    case oItem:
      o.v = o.t == cList ? kNumbers[v % std::size(kNumbers)]
                         : static_cast<std::int32_t>(v % KeyPool().size());
      break;
    case oRemove:
    case oExists:
      o.v = o.t >= cTree ? static_cast<std::int32_t>(v % KeyPool().size()) : kSlots[v % kSlotCount];
      break;
    case oEnumOrder:
      o.v = kOrders[v % std::size(kOrders)];
      break;
    default:
      o.v = static_cast<std::int32_t>(v % 2);  // an enumerator or link choice
  }
  return o;
}

inline std::string Describe(const Op& o) {
  static const char* kTypes[] = {"Stack", "Queue", "PQueue", "List", "Tree", "SplayTree"};
  static const char* kOps[] = {"SetIndex", "Release",   "Clear",    "Add",       "Push",
                               "Take",     "Drop",      "Remove",   "AddBefore", "AddAfter",
                               "Item",     "Exists",    "NextItem", "PrevItem",  "NewEnum",
                               "EnumNext", "EnumOrder", "Stray",    "Unstray"};
  auto e = [](int x) { return x < 0 ? std::string("Nothing") : "e" + std::to_string(x); };
  return std::string(kTypes[o.t]) + "[" + std::to_string(o.c) + "]." + kOps[o.op] + "(" + e(o.a) +
         ", " + e(o.b) + ", " + std::to_string(o.v) + ")";
}

class ModelWorld {
 public:
  explicit ModelWorld(std::uint64_t seed) {
    previous_sink_ = SetDebugOutput([this](std::string_view s) { writes_.emplace_back(s); });
    std::mt19937_64 rng(seed);
    for (int i = 0; i < kElems; ++i) {
      for (int k = 0; k < kKinds; ++k) client_[k][i] = rng() % 2 == 0;
      for (int s = 0; s < kSlotCount; ++s) {
        keys_[0][i][s] = static_cast<int>(rng() % KeyPool().size());
        keys_[1][i][s] = static_cast<int>(rng() % KeyPool().size());
      }
      MakeElement(stacks_.pool, kStackKind, i);
      MakeElement(queues_.pool, kQueueKind, i);
      MakeElement(pqueues_.pool, kPQueueKind, i);
      MakeElement(lists_.pool, kListKind, i);
      MakeElement(trees_.pool, kTreeKind, i);
    }
    for (int c = 0; c < kPerType; ++c) {
      stacks_.impl[c] = New<Stack>();
      queues_.impl[c] = New<Queue>();
      pqueues_.impl[c] = New<PQueue>();
      lists_.impl[c] = New<List>();
      lists_.model[c].marker = next_marker_++;
      trees_.impl[c] = New<Tree>();
      trees_.impl[kPerType + c] = New<SplayTree>();
    }
  }
  ~ModelWorld() {
    // Hand-made links are the client's to undo; then everything is released.
    for (auto& [where, target] : strays_)
      SetLink(std::get<0>(where), std::get<1>(where), std::get<2>(where), std::get<3>(where),
              kNone);
    SetDebugOutput(std::move(previous_sink_));
  }
  ModelWorld(const ModelWorld&) = delete;
  ModelWorld& operator=(const ModelWorld&) = delete;

  /// Runs `op` on the containers and on the models and compares them: the result, the warning,
  /// the container's own state, and every link of the kind. Returns a description of the first
  /// difference, or empty. `skipped` tells whether the operation was left out as undefined.
  std::string Step(const Op& op, bool* skipped = nullptr);
  std::int64_t steps_run() const { return steps_run_; }

 private:
  template <class I>
  struct Pool {
    Ref<I> e[kElems];
    Client<I>* client[kElems] = {};
  };
  struct MLinear {
    std::int32_t index = 0;
    std::vector<Id> seq;  // top or first element first
  };
  struct MList {
    std::int32_t index = 0;
    std::vector<Id> seq;
    int marker = 0;
  };
  struct MTree {
    std::int32_t index = 0;
    Id root = kNone;
    std::map<Id, std::pair<Id, Id>> kids;  // every member, with its left and right child
  };
  struct MListEnum {
    bool live = false;
    std::int32_t index = 0;
    Id first = kNone, last = kNone, cur = kNone;
    int order = 1;
  };
  struct Frame {
    Id node;
    bool left_done, right_done;
  };
  struct MTreeEnum {
    bool live = false;
    std::int32_t index = 0;
    int order = 1;
    std::vector<Frame> stack;
  };
  template <class C, class I, class M>
  struct Side {
    Pool<I> pool;
    Ref<C> impl[kPerType];
    M model[kPerType];
  };

  static int SlotNumber(std::int32_t slot) {
    for (int s = 0; s < kSlotCount; ++s) {
      if (kSlots[s] == slot) return s;
    }
    return 0;
  }
  template <class I>
  void MakeElement(Pool<I>& pool, Kind kind, int i) {
    if (client_[kind][i]) {
      Ref<Client<I>> c = New<Client<I>>(i);
      pool.client[i] = c.get();
      if (kind == kPQueueKind || kind == kTreeKind) {
        for (int s = 0; s < kSlotCount; ++s) c->SetSlotKey(kSlots[s], KeyOf(kind, i, kSlots[s]));
      }
      pool.e[i] = c;
    } else if constexpr (std::is_same_v<I, IStackNode>) {
      pool.e[i] = New<StackNode>();
    } else if constexpr (std::is_same_v<I, IQueueNode>) {
      pool.e[i] = New<QueueNode>();
    } else if constexpr (std::is_same_v<I, IListNode>) {
      pool.e[i] = New<ListNode>();
    } else {
      using Sample = std::conditional_t<std::is_same_v<I, IPQueueNode>, PQueueNode, TreeNode>;
      Ref<Sample> n = New<Sample>();
      for (int s = 0; s < kSlotCount; ++s) n->SetKey(kSlots[s], KeyOf(kind, i, kSlots[s]));
      pool.e[i] = n;
    }
  }
  const MKey& MKeyOf(Kind kind, Id e, std::int32_t slot) const {
    return KeyPool()[keys_[kind == kTreeKind][e][SlotNumber(slot)]];
  }
  Variant KeyOf(Kind kind, Id e, std::int32_t slot) const {
    return MKeyOf(kind, e, slot).ToVariant();
  }

  // ---- predicted links ------------------------------------------------------------------------
  Id Pred(Kind kind, Id e, std::int32_t slot, Link link) const;
  // ---- the implementation's links -------------------------------------------------------------
  template <class I>
  const Object* ReadLink(Pool<I>& pool, Id e, std::int32_t slot, Link link);
  template <class I>
  Id IdOf(const Pool<I>& pool, const Object* p) const {
    if (!p) return kNone;
    for (int i = 0; i < kElems; ++i) {
      if (static_cast<const Object*>(pool.e[i].get()) == p) return i;
    }
    return 999;  // something that is not an element
  }
  Id Actual(Kind kind, Id e, std::int32_t slot, Link link, Id predicted);
  void SetLink(Kind kind, Id e, std::int32_t slot, Link link, Id target);
  std::string CheckKind(Kind kind);
  std::string CheckContainer(CType t, int c);
  std::string Compare(const char* what, std::int64_t model, std::int64_t impl) {
    if (model == impl) return {};
    return std::string(what) + ": model " + std::to_string(model) + ", library " +
           std::to_string(impl);
  }

  // ---- model operations -----------------------------------------------------------------------
  bool IsLastOfChain(Kind kind, Id e, std::int32_t slot, int except_c) const;
  bool IsMember(Kind kind, Id e, std::int32_t slot) const;
  /// Sets or clears links by hand; false when the operation does not apply (skipped).
  bool StrayOp(Kind kind, const Op& op);
  std::pair<Id, Id>& Kids(MTree& m, Id n) { return m.kids[n]; }
  Id L(const MTree& m, Id n) const { return m.kids.at(n).first; }
  Id R(const MTree& m, Id n) const { return m.kids.at(n).second; }
  Order Cmp(const MKey& key, const MTree& m, Id n) const {
    return ModelCompare(key, MKeyOf(kTreeKind, n, m.index));
  }
  Id RotateLeft(MTree& m, Id n) {
    Id x = R(m, n);
    Kids(m, n).second = L(m, x);
    Kids(m, x).first = n;
    return x;
  }
  Id RotateRight(MTree& m, Id n) {
    Id y = L(m, n);
    Kids(m, n).first = R(m, y);
    Kids(m, y).second = n;
    return y;
  }
  Id Splay(MTree& m, Id n, const MKey& key) {
    const Order o = Cmp(key, m, n);
    if (o == Order::Greater) {
      if (R(m, n) == kNone) return n;
      Kids(m, n).second = Splay(m, R(m, n), key);
      return RotateLeft(m, n);
    }
    if (o == Order::Less) {
      if (L(m, n) == kNone) return n;
      Kids(m, n).first = Splay(m, L(m, n), key);
      return RotateRight(m, n);
    }
    return n;
  }
  Id SplayInsert(MTree& m, Id n, Id node) {
    if (n == kNone) {
      m.kids[node] = {kNone, kNone};
      return node;
    }
    const Order o = Cmp(MKeyOf(kTreeKind, node, m.index), m, n);
    if (o == Order::Greater) {
      Kids(m, n).second = SplayInsert(m, R(m, n), node);
      return RotateLeft(m, n);
    }
    if (o == Order::Less) {
      Kids(m, n).first = SplayInsert(m, L(m, n), node);
      return RotateRight(m, n);
    }
    return n;
  }
  Id RemoveNode(MTree& m, Id n, const MKey& key, bool splay) {
    if (n == kNone) return kNone;
    const Order o = Cmp(key, m, n);
    const Id l = L(m, n), r = R(m, n);
    if (o == Order::Greater) {
      Kids(m, n).second = RemoveNode(m, r, key, splay);
      return n;
    }
    if (o == Order::Less) {
      Kids(m, n).first = RemoveNode(m, l, key, splay);
      return n;
    }
    if (o == Order::Unordered) return n;  // a key that orders against nothing is not here
    m.kids.erase(n);
    if (l == kNone || r == kNone) return l == kNone ? r : l;
    if (splay) {
      const Id top = Splay(m, l, key);
      // With keys that do not order strictly (Empty equals both 0 and the empty text), the
      // element splayed up can have a right subtree: storing r over it cuts that subtree off.
      if (R(m, top) != kNone) CutOff(m, R(m, top));
      Kids(m, top).second = r;
      return top;
    }
    if (R(m, l) == kNone) {
      Kids(m, l).second = r;
      return l;
    }
    if (L(m, r) == kNone) {
      Kids(m, r).first = l;
      return r;
    }
    Id p = r, s = L(m, r);
    while (L(m, s) != kNone) p = s, s = L(m, s);
    Kids(m, p).first = R(m, s);
    Kids(m, s) = {l, r};
    return s;
  }
  /// The elements under `n` leave the tree but keep their links to each other.
  void CutOff(MTree& m, Id n) {
    if (n == kNone) return;
    const auto [l, r] = m.kids.at(n);
    m.kids.erase(n);
    if (l != kNone) strays_[{kTreeKind, n, m.index, Link::Left}] = l;
    if (r != kNone) strays_[{kTreeKind, n, m.index, Link::Right}] = r;
    CutOff(m, l);
    CutOff(m, r);
  }
  Id ListEnumNext(MListEnum& en) {
    if (en.order == 1) {
      en.cur = en.cur == kNone ? en.first : Pred(kListKind, en.cur, en.index, Link::Next);
    } else {
      en.cur = en.cur == kNone ? en.last : Pred(kListKind, en.cur, en.index, Link::Prev);
    }
    return en.cur;
  }
  Id TreeEnumNext(MTreeEnum& en);

  std::string StepLinear(const Op& op, bool& skipped, std::string& warn, std::int64_t& model,
                         std::int64_t& impl);
  std::string StepList(const Op& op, bool& skipped, std::string& warn, std::int64_t& model,
                       std::int64_t& impl);
  std::string StepTree(const Op& op, bool& skipped, std::string& warn, std::int64_t& model,
                       std::int64_t& impl);

  bool client_[kKinds][kElems];
  int keys_[2][kElems][kSlotCount];  // key pool indices: priority queue elements, tree elements
  Side<Stack, IStackNode, MLinear> stacks_;
  Side<Queue, IQueueNode, MLinear> queues_;
  Side<PQueue, IPQueueNode, MLinear> pqueues_;
  Side<List, IListNode, MList> lists_;
  Ref<ListEnum> list_enums_[kPerType][2];
  MListEnum list_enum_models_[kPerType][2];
  struct TreeSide {
    Pool<ITreeNode> pool;
    Ref<Tree> impl[2 * kPerType];  // plain trees, then splay trees
    MTree model[2 * kPerType];
  } trees_;
  Ref<TreeEnum> tree_enums_[2 * kPerType][2];
  MTreeEnum tree_enum_models_[2 * kPerType][2];
  std::map<std::tuple<Kind, Id, std::int32_t, Link>, Id> strays_;  // links set by hand
  std::map<int, const Object*> marker_ptr_;  // list marker serial -> the library's marker
  int next_marker_ = 1000;
  std::vector<std::string> writes_;
  DebugSink previous_sink_;
  std::int64_t steps_run_ = 0;
};

}  // namespace velmira::reliability

#include "model_world_impl.h"
#include "model_world_steps.h"
