// Reliability support: what each operation does, on the model and on the library (included by
// model_world.h only). Each step sets `warn` to the warning the model expects, `model` and `impl`
// to the two results, and `skip` when the operation is undefined for the current state.
#pragma once

namespace velmira::reliability {

inline std::string ModelWorld::StepLinear(const Op& op, bool& skip, std::string& warn,
                                          std::int64_t& model, std::int64_t& impl) {
  using detail_world::Find;
  using detail_world::Linear;
  const Kind kind = KindOf(op.t);
  MLinear& m = (op.t == cStack   ? stacks_.model
                : op.t == cQueue ? queues_.model
                                 : pqueues_.model)[op.c];
  std::vector<Id>& seq = m.seq;
  auto run = [&](auto& side) {
    using C = typename std::remove_reference_t<decltype(side.impl[0])>::element_type;
    auto& pool = side.pool;
    Ref<C>& c = side.impl[op.c];
    auto arg = [&](int a) {
      return a < 0 ? std::remove_reference_t<decltype(pool.e[0])>() : pool.e[a];
    };
    switch (op.op) {
      case oSetIndex:
        return c->SetIndex(op.v);
      case oRelease:
        c = New<C>();
        return;
      case oClear:
        return c->Clear();
      case oAdd:
      case oPush:
        if constexpr (std::is_same_v<C, Stack>) {
          if (op.op == oPush) return c->Push(arg(op.a));
        }
        return c->Add(arg(op.a));
      case oTake:
        if constexpr (std::is_same_v<C, Stack>) {
          impl = IdOf(pool, c->Pop().get());
        } else {
          impl = IdOf(pool, c->NextItem().get());
        }
        return;
      case oDrop:
        if constexpr (std::is_same_v<C, Stack>) c->Drop();
        return;
      case oRemove:
        if constexpr (std::is_same_v<C, Queue>) {
          c->Remove(arg(op.a), op.v);  // the slot argument is ignored
        } else if constexpr (std::is_same_v<C, PQueue>) {
          c->Remove(arg(op.a));
        }
        return;
      default:
        return;
    }
  };
  const char* type_name = op.t == cStack ? "stack" : op.t == cQueue ? "queue" : "priority queue";
  switch (op.op) {
    case oStray:
    case oUnstray:
      skip = !StrayOp(kind, op);
      return {};
    case oSetIndex:
      if (op.v != m.index && !seq.empty()) {
        warn = Linear(op.t, "an attempt was made to change the Index of a non-empty ") + type_name;
      } else {
        m.index = op.v;
      }
      break;
    case oRelease:
      m = MLinear();
      break;
    case oClear:
      seq.clear();
      break;
    case oAdd:
    case oPush:
      if (op.a < 0) {
        warn = Linear(op.t, "an attempt was made to Add Nothing");
      } else if (op.t == cPQueue && MKeyOf(kind, op.a, m.index).cls == MKey::Null) {
        warn = Linear(op.t, "an attempt was made to Add a node with a null key");
      } else if (Pred(kind, op.a, m.index, Link::Next) != kNone ||
                 (op.t == cQueue && !seq.empty() && seq.back() == op.a)) {
        // A queue also refuses its own last element, whose link is Nothing.
        warn = Linear(op.t, "an attempt was made to Add a node with a successor");
      } else if (IsLastOfChain(kind, op.a, m.index, op.t == cQueue ? op.c : -1)) {
        skip = true;  // the last element of a chain in the same slot: undefined
        return {};
      } else if (op.t == cStack) {
        seq.insert(seq.begin(), op.a);
      } else if (op.t == cQueue || seq.empty()) {
        seq.push_back(op.a);
      } else {
        // Before the first element with a lower key: after all equal and unordered ones.
        const MKey& k = MKeyOf(kind, op.a, m.index);
        std::size_t p = 0;
        while (p < seq.size() && ModelCompare(k, MKeyOf(kind, seq[p], m.index)) != Order::Greater) {
          ++p;
        }
        seq.insert(seq.begin() + static_cast<std::ptrdiff_t>(p), op.a);
      }
      break;
    case oTake:
    case oDrop:
      if (op.op == oTake) model = seq.empty() ? kNone : seq.front();
      if (!seq.empty()) seq.erase(seq.begin());
      break;
    case oRemove:
      if (op.a < 0 || seq.empty()) break;
      if (const int p = Find(seq, op.a); p >= 0) {
        seq.erase(seq.begin() + p);
      } else {
        warn = Linear(op.t, "an attempt was made to Remove an item from a ") + type_name +
               " it wasn't in";
      }
      break;
    default:
      return {};
  }
  if (op.t == cStack) run(stacks_);
  if (op.t == cQueue) run(queues_);
  if (op.t == cPQueue) run(pqueues_);
  return {};
}

inline std::string ModelWorld::StepList(const Op& op, bool& skip, std::string& warn,
                                        std::int64_t& model, std::int64_t& impl) {
  using detail_world::Find;
  MList& m = lists_.model[op.c];
  Ref<List>& list = lists_.impl[op.c];
  auto& pool = lists_.pool;
  auto arg = [&](int a) { return a < 0 ? Ref<IListNode>() : pool.e[a]; };
  auto tag = [&](Id e) { return Pred(kListKind, e, m.index, Link::Tag); };
  auto linked = [&](Id e) {
    return Pred(kListKind, e, m.index, Link::Next) != kNone ||
           Pred(kListKind, e, m.index, Link::Prev) != kNone;
  };
  const std::string w = "List: Warning, ";
  switch (op.op) {
    case oStray:
    case oUnstray:
      skip = !StrayOp(kListKind, op);
      return {};
    case oSetIndex:
      if (op.v != m.index && !m.seq.empty()) {
        warn = w + "an attempt was made to change the Index of a non-empty list";
      } else {
        m.index = op.v;
      }
      list->SetIndex(op.v);
      return {};
    case oRelease:
      marker_ptr_.erase(m.marker);
      m = MList();
      m.marker = next_marker_++;
      list = New<List>();
      return {};
    case oClear:
      m.seq.clear();
      list->Clear();
      return {};
    case oAdd:
      if (op.a < 0) {
        warn = w + "an attempt was made to Add Nothing";
      } else if (tag(op.a) != kNone) {
        warn = w + "an attempt was made to Add a node that's already in a list";
      } else if (linked(op.a)) {
        warn = w + "an attempt was made to Add a node with a predecessor or successor";
      } else {
        m.seq.push_back(op.a);
      }
      list->Add(arg(op.a));
      return {};
    case oAddBefore:
    case oAddAfter:
      if (op.a < 0) {
        warn = w + "AddBefore was asked to add Nothing";
      } else if (op.b < 0) {
        warn = w + "AddBefore was asked to add a node before Nothing";
      } else if (tag(op.b) != m.marker) {
        warn = w + "AddBefore was asked to add before a node that's not in the list";
      } else if (tag(op.a) != kNone) {
        warn = w + "AddBefore was asked to add a node that's already in a list";
      } else if (linked(op.a)) {
        warn = w + "AddBefore was asked to add a node with a predecessor or successor";
      } else {
        const int at = Find(m.seq, op.b) + (op.op == oAddAfter ? 1 : 0);
        m.seq.insert(m.seq.begin() + at, op.a);
      }
      if (op.op == oAddBefore) list->AddBefore(arg(op.a), arg(op.b));
      if (op.op == oAddAfter) list->AddAfter(arg(op.a), arg(op.b));
      return {};
    case oRemove:
      if (op.a >= 0 && !m.seq.empty()) {
        if (tag(op.a) != m.marker) {
          warn = w + "an attempt was made to Remove an item from a list it wasn't in";
        } else {
          m.seq.erase(m.seq.begin() + Find(m.seq, op.a));
        }
      }
      list->Remove(arg(op.a));
      return {};
    case oItem:
      if (op.v < 1 || op.v > static_cast<std::int64_t>(m.seq.size())) {
        warn = w + "an attempt was made to access an Item using an invalid number";
        model = kNone;
      } else {
        model = m.seq[op.v - 1];
      }
      impl = IdOf(pool, list->Item(op.v).get());
      return {};
    case oNext:
    case oPrev:
      model = op.a < 0 || tag(op.a) != m.marker
                  ? kNone
                  : Pred(kListKind, op.a, m.index, op.op == oNext ? Link::Next : Link::Prev);
      impl = IdOf(pool,
                  (op.op == oNext ? list->NextItem(arg(op.a)) : list->PrevItem(arg(op.a))).get());
      return {};
    case oNewEnum:
      list_enum_models_[op.c][op.v] = {true,
                                       m.index,
                                       m.seq.empty() ? kNone : m.seq.front(),
                                       m.seq.empty() ? kNone : m.seq.back(),
                                       kNone,
                                       1};
      list_enums_[op.c][op.v] = list->NewEnum();
      return {};
    case oEnumNext: {
      MListEnum& en = list_enum_models_[op.c][op.v];
      if (!en.live) return skip = true, std::string();
      model = ListEnumNext(en);
      impl = IdOf(pool, list_enums_[op.c][op.v]->NextItem().get());
      return {};
    }
    case oEnumOrder: {
      MListEnum& en = list_enum_models_[op.c][op.b & 1];
      if (!en.live) return skip = true, std::string();
      if (op.v == 1 || op.v == -1) en.order = op.v;
      list_enums_[op.c][op.b & 1]->SetOrder(static_cast<ListEnumEnum>(op.v));
      model = en.order;
      impl = list_enums_[op.c][op.b & 1]->Order();
      return {};
    }
    default:
      return {};
  }
}

inline std::string ModelWorld::StepTree(const Op& op, bool& skip, std::string& warn,
                                        std::int64_t& model, std::int64_t& impl) {
  const bool splay = op.t == cSplay;
  const int tt = (splay ? kPerType : 0) + op.c;
  MTree& m = trees_.model[tt];
  Ref<Tree>& tree = trees_.impl[tt];
  auto& pool = trees_.pool;
  const std::string w = std::string(splay ? "SplayTree" : "Tree") + ": Warning, ";
  const MKey& key = KeyPool()[static_cast<std::size_t>(op.v) % KeyPool().size()];
  switch (op.op) {
    case oStray:
    case oUnstray:
      skip = !StrayOp(kTreeKind, op);
      return {};
    case oSetIndex:
      if (op.v != m.index && m.root != kNone) {
        warn = w + "an attempt was made to change the Index of a non-empty tree";
      } else {
        m.index = op.v;
      }
      tree->SetIndex(op.v);
      return {};
    case oRelease:
      m = MTree();
      tree = splay ? Ref<Tree>(New<SplayTree>()) : New<Tree>();
      return {};
    case oClear:
      m = MTree{m.index, kNone, {}};
      tree->Clear();
      return {};
    case oAdd: {
      if (op.a < 0) {
        warn = w + "an attempt was made to Add Nothing";
      } else if (MKeyOf(kTreeKind, op.a, m.index).IsNullOrNaN()) {
        // A key that orders against nothing (Null, NaN) is refused with the null-key warning.
        warn = w + "an attempt was made to Add a node with a null key";
      } else if (Pred(kTreeKind, op.a, m.index, Link::Left) != kNone ||
                 Pred(kTreeKind, op.a, m.index, Link::Right) != kNone) {
        warn = w + "an attempt was made to Add a node with children";
      } else {
        for (int c = 0; c < 2 * kPerType; ++c) {
          if (c != tt && trees_.model[c].index == m.index && trees_.model[c].kids.count(op.a)) {
            skip = true;  // a leaf of another tree in the same slot: undefined
            return {};
          }
        }
        if (splay) {
          m.root = SplayInsert(m, m.root, op.a);
        } else if (m.root == kNone) {
          m.root = op.a;
          m.kids[op.a] = {kNone, kNone};
        } else {
          const MKey& nk = MKeyOf(kTreeKind, op.a, m.index);
          for (Id n = m.root;;) {
            const Order o = Cmp(nk, m, n);
            if (o != Order::Greater && o != Order::Less) break;  // an equal key wins
            Id& child = o == Order::Greater ? Kids(m, n).second : Kids(m, n).first;
            if (child == kNone) {
              child = op.a;
              m.kids[op.a] = {kNone, kNone};
              break;
            }
            n = child;
          }
        }
      }
      tree->Add(op.a < 0 ? Ref<ITreeNode>() : pool.e[op.a]);
      return {};
    }
    case oRemove:
      if (key.cls == MKey::Null) {
        warn = w + "an attempt was made to Remove a node using a null Key";
      } else if (m.root != kNone) {
        m.root = RemoveNode(m, m.root, key, splay);
      }
      tree->Remove(key.ToVariant());
      return {};
    case oExists:
    case oItem: {
      Id found = kNone;
      if (key.cls != MKey::Null && m.root != kNone) {
        if (splay) {
          m.root = Splay(m, m.root, key);
          if (Cmp(key, m, m.root) == Order::Equal) found = m.root;
        } else {
          for (Id n = m.root; n != kNone && found == kNone;) {
            const Order o = Cmp(key, m, n);
            if (o == Order::Equal) found = n;
            n = o == Order::Less ? L(m, n) : R(m, n);
          }
        }
      }
      if (op.op == oExists) {
        model = found != kNone;
        impl = tree->Exists(key.ToVariant());
      } else {
        model = found;
        impl = IdOf(pool, tree->Item(key.ToVariant()).get());
      }
      return {};
    }
    case oNewEnum: {
      MTreeEnum& en = tree_enum_models_[tt][op.v];
      en = {true, m.index, 1, {}};
      if (m.root != kNone) en.stack.push_back({m.root, false, false});
      tree_enums_[tt][op.v] = tree->NewEnum();
      return {};
    }
    case oEnumNext: {
      MTreeEnum& en = tree_enum_models_[tt][op.v];
      if (!en.live) return skip = true, std::string();
      model = TreeEnumNext(en);
      impl = IdOf(pool, tree_enums_[tt][op.v]->NextItem().get());
      return {};
    }
    case oEnumOrder: {
      MTreeEnum& en = tree_enum_models_[tt][op.b & 1];
      if (!en.live) return skip = true, std::string();
      if (op.v == -2 || op.v == -1 || op.v == 1 || op.v == 2) en.order = op.v;
      tree_enums_[tt][op.b & 1]->SetOrder(static_cast<TreeEnumEnum>(op.v));
      model = en.order;
      impl = tree_enums_[tt][op.b & 1]->Order();
      return {};
    }
    default:
      return {};
  }
}

}  // namespace velmira::reliability
