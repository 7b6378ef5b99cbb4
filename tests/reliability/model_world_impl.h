// Reliability support: the members of `ModelWorld` (included by model_world.h only).
#pragma once

#include <algorithm>
#include <exception>

namespace velmira::reliability {

namespace detail_world {
inline int Find(const std::vector<Id>& seq, Id e) {
  auto it = std::find(seq.begin(), seq.end(), e);
  return it == seq.end() ? -1 : static_cast<int>(it - seq.begin());
}
inline std::string Name(Id e) {
  if (e == kNone) return "Nothing";
  if (e >= 1000) return "marker" + std::to_string(e);
  return "e" + std::to_string(e);
}
inline std::string Linear(CType t, const char* text) {
  static const char* kNames[] = {"Stack", "Queue", "PQueue"};
  return std::string(kNames[t]) + ": Warning, " + text;
}
}  // namespace detail_world

inline Id ModelWorld::Pred(Kind kind, Id e, std::int32_t slot, Link link) const {
  using detail_world::Find;
  if (auto it = strays_.find({kind, e, slot, link}); it != strays_.end()) return it->second;
  const MLinear* linear = kind == kStackKind    ? stacks_.model
                          : kind == kQueueKind  ? queues_.model
                          : kind == kPQueueKind ? pqueues_.model
                                                : nullptr;
  for (int c = 0; c < kPerType && linear; ++c) {
    if (linear[c].index != slot || link != Link::Next) continue;
    const int p = Find(linear[c].seq, e);
    if (p >= 0)
      return p + 1 < static_cast<int>(linear[c].seq.size()) ? linear[c].seq[p + 1] : kNone;
  }
  for (int c = 0; c < kPerType && kind == kListKind; ++c) {
    const MList& m = lists_.model[c];
    const int p = m.index == slot ? Find(m.seq, e) : -1;
    if (p < 0) continue;
    if (link == Link::Tag) return m.marker;
    if (link == Link::Prev) return p > 0 ? m.seq[p - 1] : kNone;
    return p + 1 < static_cast<int>(m.seq.size()) ? m.seq[p + 1] : kNone;
  }
  for (int c = 0; c < 2 * kPerType && kind == kTreeKind; ++c) {
    const MTree& m = trees_.model[c];
    if (m.index != slot) continue;
    if (auto it = m.kids.find(e); it != m.kids.end()) {
      return link == Link::Left ? it->second.first : it->second.second;
    }
  }
  return kNone;
}

template <class I>
const Object* ModelWorld::ReadLink(Pool<I>& pool, Id e, std::int32_t slot, Link link) {
  if (pool.client[e]) return pool.client[e]->Raw(slot, link).get();
  Ref<I> value;
  if constexpr (std::is_same_v<I, IListNode>) {
    value = link == Link::Next   ? pool.e[e]->NextItem(slot)
            : link == Link::Prev ? pool.e[e]->PrevItem(slot)
                                 : pool.e[e]->Tag(slot);
  } else if constexpr (std::is_same_v<I, ITreeNode>) {
    value = link == Link::Left ? pool.e[e]->Left(slot) : pool.e[e]->Right(slot);
  } else {
    value = pool.e[e]->NextItem(slot);
  }
  return value.get();  // the element holding the link keeps the target alive
}

inline Id ModelWorld::Actual(Kind kind, Id e, std::int32_t slot, Link link, Id predicted) {
  switch (kind) {
    case kStackKind:
      return IdOf(stacks_.pool, ReadLink(stacks_.pool, e, slot, link));
    case kQueueKind:
      return IdOf(queues_.pool, ReadLink(queues_.pool, e, slot, link));
    case kPQueueKind:
      return IdOf(pqueues_.pool, ReadLink(pqueues_.pool, e, slot, link));
    case kTreeKind:
      return IdOf(trees_.pool, ReadLink(trees_.pool, e, slot, link));
    default:
      break;
  }
  const Object* p = ReadLink(lists_.pool, e, slot, link);
  if (link != Link::Tag || !p) return IdOf(lists_.pool, p);
  for (auto& [serial, ptr] : marker_ptr_) {
    if (ptr == p) return serial;
  }
  if (predicted >= 1000 && !marker_ptr_.count(predicted) && IdOf(lists_.pool, p) == 999) {
    marker_ptr_[predicted] = p;  // first sight of this list's marker
    return predicted;
  }
  return IdOf(lists_.pool, p) == 999 ? 998 : IdOf(lists_.pool, p);
}

inline void ModelWorld::SetLink(Kind kind, Id e, std::int32_t slot, Link link, Id target) {
  auto set = [&](auto& pool) {
    using I = typename std::remove_reference_t<decltype(pool.e[0])>::element_type;
    Ref<I> value = target == kNone ? Ref<I>() : pool.e[target];
    if (pool.client[e]) return pool.client[e]->SetRaw(slot, link, value);
    if constexpr (std::is_same_v<I, IListNode>) {
      if (link == Link::Prev) return pool.e[e]->SetPrevItem(slot, value);
      return pool.e[e]->SetNextItem(slot, value);
    } else if constexpr (std::is_same_v<I, ITreeNode>) {
      if (link == Link::Left) return pool.e[e]->SetLeft(slot, value);
      return pool.e[e]->SetRight(slot, value);
    } else {
      return pool.e[e]->SetNextItem(slot, value);
    }
  };
  switch (kind) {
    case kStackKind:
      return set(stacks_.pool);
    case kQueueKind:
      return set(queues_.pool);
    case kPQueueKind:
      return set(pqueues_.pool);
    case kListKind:
      return set(lists_.pool);
    default:
      return set(trees_.pool);
  }
}

inline std::string ModelWorld::CheckKind(Kind kind) {
  static const std::vector<Link> kLinks[kKinds] = {{Link::Next},
                                                   {Link::Next},
                                                   {Link::Next},
                                                   {Link::Next, Link::Prev, Link::Tag},
                                                   {Link::Left, Link::Right}};
  static const char* kLinkNames[] = {"Next", "Prev", "Tag", "Left", "Right"};
  for (Id e = 0; e < kElems; ++e) {
    for (std::int32_t slot : kSlots) {
      for (Link link : kLinks[kind]) {
        const Id want = Pred(kind, e, slot, link), got = Actual(kind, e, slot, link, want);
        if (want != got) {
          return "e" + std::to_string(e) + " slot " + std::to_string(slot) + " " +
                 kLinkNames[static_cast<int>(link)] + ": model " + detail_world::Name(want) +
                 ", library " + detail_world::Name(got);
        }
      }
    }
  }
  return {};
}

inline std::string ModelWorld::CheckContainer(CType t, int c) {
  std::string d;
  auto first = [](const std::vector<Id>& seq) { return seq.empty() ? kNone : seq.front(); };
  switch (t) {
    case cStack:
      d = Compare("Top", first(stacks_.model[c].seq),
                  IdOf(stacks_.pool, stacks_.impl[c]->Top().get()));
      d += Compare("IsEmpty", stacks_.model[c].seq.empty(), stacks_.impl[c]->IsEmpty());
      return d + Compare("Index", stacks_.model[c].index, stacks_.impl[c]->Index());
    case cQueue:
      d = Compare("First", first(queues_.model[c].seq),
                  IdOf(queues_.pool, queues_.impl[c]->First().get()));
      d += Compare("IsEmpty", queues_.model[c].seq.empty(), queues_.impl[c]->IsEmpty());
      return d + Compare("Index", queues_.model[c].index, queues_.impl[c]->Index());
    case cPQueue:
      d = Compare("First", first(pqueues_.model[c].seq),
                  IdOf(pqueues_.pool, pqueues_.impl[c]->First().get()));
      d += Compare("IsEmpty", pqueues_.model[c].seq.empty(), pqueues_.impl[c]->IsEmpty());
      return d + Compare("Index", pqueues_.model[c].index, pqueues_.impl[c]->Index());
    case cList: {
      const MList& m = lists_.model[c];
      const Ref<List>& l = lists_.impl[c];
      d = Compare("First", first(m.seq), IdOf(lists_.pool, l->First().get()));
      d +=
          Compare("Last", m.seq.empty() ? kNone : m.seq.back(), IdOf(lists_.pool, l->Last().get()));
      d += Compare("Count", static_cast<std::int64_t>(m.seq.size()), l->Count());
      d += Compare("IsEmpty", m.seq.empty(), l->IsEmpty());
      return d + Compare("Index", m.index, l->Index());
    }
    default: {
      const int tt = (t == cSplay ? kPerType : 0) + c;
      const MTree& m = trees_.model[tt];
      const Ref<Tree>& tree = trees_.impl[tt];
      d = Compare("IsEmpty", m.root == kNone, tree->IsEmpty());
      d += Compare("Index", m.index, tree->Index());
      if (m.root != kNone && d.empty()) {  // the root is the first element of a pre-order walk
        Ref<TreeEnum> walk = tree->NewEnum();
        walk->SetOrder(eTreeEnumPreOrder);
        d = Compare("root", m.root, IdOf(trees_.pool, walk->NextItem().get()));
      }
      return d;
    }
  }
}

inline bool ModelWorld::IsLastOfChain(Kind kind, Id e, std::int32_t slot, int except_c) const {
  const MLinear* m = kind == kStackKind   ? stacks_.model
                     : kind == kQueueKind ? queues_.model
                                          : pqueues_.model;
  for (int c = 0; c < kPerType; ++c) {
    if (c != except_c && m[c].index == slot && !m[c].seq.empty() && m[c].seq.back() == e) {
      return true;
    }
  }
  return false;
}

inline Id ModelWorld::TreeEnumNext(MTreeEnum& en) {
  if (en.stack.empty()) return kNone;
  auto left = [&](Id n) { return Pred(kTreeKind, n, en.index, Link::Left); };
  auto right = [&](Id n) { return Pred(kTreeKind, n, en.index, Link::Right); };
  auto push = [&](Id n, bool l, bool r) { en.stack.push_back({n, l, r}); };
  Frame& top = en.stack.back();
  Id n = top.node;
  switch (en.order) {
    case eTreeEnumPreOrder: {
      const Frame t = top;
      en.stack.pop_back();
      if (right(n) != kNone && !t.right_done) push(right(n), false, false);
      if (left(n) != kNone && !t.left_done) push(left(n), false, false);
      return n;
    }
    case eTreeEnumInOrder:
    case eTreeEnumReverseOrder: {
      const bool in = en.order == eTreeEnumInOrder;
      auto near = [&](Id x) { return in ? left(x) : right(x); };
      auto far = [&](Id x) { return in ? right(x) : left(x); };
      if (near(n) == kNone || (in ? top.left_done : top.right_done)) {
        en.stack.pop_back();
      } else {
        (in ? top.left_done : top.right_done) = true;
        n = near(n);
        while (near(n) != kNone) {
          push(n, in, !in);
          n = near(n);
        }
      }
      if (far(n) != kNone) push(far(n), false, false);
      return n;
    }
    default: {  // post-order
      if ((right(n) == kNone || top.right_done) && (left(n) == kNone || top.left_done)) {
        en.stack.pop_back();
        return n;
      }
      if (left(n) == kNone || top.left_done) {
        top.right_done = true;
        n = right(n);
      } else {
        top.left_done = true;
        n = left(n);
      }
      while (left(n) != kNone || right(n) != kNone) {
        push(n, true, left(n) == kNone);
        n = left(n) != kNone ? left(n) : right(n);
      }
      return n;
    }
  }
}

inline std::string ModelWorld::Step(const Op& op, bool* skipped) {
  writes_.clear();
  bool skip = false;
  std::string warn, diff;
  std::int64_t model = 0, impl = 0;
  try {
    diff = op.t < cList    ? StepLinear(op, skip, warn, model, impl)
           : op.t == cList ? StepList(op, skip, warn, model, impl)
                           : StepTree(op, skip, warn, model, impl);
  } catch (const std::exception& e) {
    return std::string("the library raised: ") + e.what();
  }
  if (skipped) *skipped = skip;
  if (skip) return {};
  ++steps_run_;
  if (!diff.empty()) return diff;
  const std::vector<std::string> expected =
      warn.empty() ? std::vector<std::string>{} : std::vector<std::string>{warn};
  if (writes_ != expected) {
    std::string got;
    for (const auto& w : writes_) got += "[" + w + "]";
    return "warnings: model [" + warn + "], library " + (got.empty() ? "none" : got);
  }
  diff = Compare("result", model, impl);
  if (diff.empty()) diff = CheckContainer(op.t, op.c);
  if (diff.empty()) diff = CheckKind(KindOf(op.t));
  return diff;
}

// Stray links: a client storing into a free element's link by hand. The containers must refuse
// such an element and never follow the link.
inline bool ModelWorld::StrayOp(Kind kind, const Op& op) {
  if (op.op == oUnstray) {
    for (auto it = strays_.begin(); it != strays_.end();) {
      const auto [k, e, slot, l] = it->first;
      if (k == kind && e == op.a) {
        SetLink(k, e, slot, l, kNone);
        it = strays_.erase(it);
      } else {
        ++it;
      }
    }
    return true;
  }
  const Link link = kind == kTreeKind               ? (op.c % 2 ? Link::Right : Link::Left)
                    : kind == kListKind && op.c % 2 ? Link::Prev
                                                    : Link::Next;
  // Links only to higher-numbered elements, so hand-made links never close a cycle (a walk
  // along a cycle the client made itself would never end, in the library as in the model).
  if (op.a < 0 || op.b <= op.a || IsMember(kind, op.a, op.v)) return false;
  for (Link l : {Link::Next, Link::Prev, Link::Tag, Link::Left, Link::Right}) {
    if (Pred(kind, op.a, op.v, l) != kNone) return false;
  }
  strays_[{kind, op.a, op.v, link}] = op.b;
  SetLink(kind, op.a, op.v, link, op.b);
  return true;
}

inline bool ModelWorld::IsMember(Kind kind, Id e, std::int32_t slot) const {
  using detail_world::Find;
  for (int c = 0; c < kPerType; ++c) {
    const MLinear* m = kind == kStackKind   ? stacks_.model
                       : kind == kQueueKind ? queues_.model
                                            : pqueues_.model;
    if (kind <= kPQueueKind && m[c].index == slot && Find(m[c].seq, e) >= 0) return true;
    if (kind == kListKind && lists_.model[c].index == slot && Find(lists_.model[c].seq, e) >= 0)
      return true;
  }
  for (int c = 0; c < 2 * kPerType && kind == kTreeKind; ++c) {
    if (trees_.model[c].index == slot && trees_.model[c].kids.count(e)) return true;
  }
  return false;
}

}  // namespace velmira::reliability
