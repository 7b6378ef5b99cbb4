#include "tree/tree_algorithms.h"

#include <cstddef>
#include <utility>

#include "velmira/core/link_access.h"

namespace velmira::detail {
namespace {

enum : std::uint8_t { WentLeft = 0, WentRight = 1 };

/// An element read again after a test for Nothing. An element that breaks its storage contract
/// (returning Nothing where it stored an element) stops the operation with an error rather than
/// a crash.
ITreeNode& Must(const Ref<ITreeNode>& element) {
  if (!element) ThrowObjectNotSet();
  return *element;
}

/// The link of `n` on the side `step` (the cell when `links`, n's row, is not null).
inline Ref<ITreeNode> ChildOn(ITreeNode& n, Ref<ITreeNode>* links, std::uint8_t step,
                              std::int32_t index) {
  if (links) return links[step];
  return step == WentRight ? RightLink::Get(n, index) : LeftLink::Get(n, index);
}

/// Resets the link of `n` on the side `step`: breaks a cycle where a walk came back to an element.
void CutLink(const Ref<ITreeNode>& n, std::uint8_t step, std::int32_t index) {
  if (step == WentRight) {
    ResetLink<RightLink>(*n, index);
  } else {
    ResetLink<LeftLink>(*n, index);
  }
}

/// x = n.Right; n.Right = x.Left; x.Left = n; returns x.
Ref<ITreeNode> RotateLeft(const Ref<ITreeNode>& n, std::int32_t index) {
  Ref<ITreeNode> x = GetLink<RightLink>(*n, index);
  SetLink<RightLink>(*n, index, GetLink<LeftLink>(Must(x), index));
  SetLink<LeftLink>(*x, index, n);
  return x;
}

/// y = n.Left; n.Left = y.Right; y.Right = n; returns y.
Ref<ITreeNode> RotateRight(const Ref<ITreeNode>& n, std::int32_t index) {
  Ref<ITreeNode> y = GetLink<LeftLink>(*n, index);
  SetLink<LeftLink>(*n, index, GetLink<RightLink>(Must(y), index));
  SetLink<RightLink>(*y, index, n);
  return y;
}

/// Starts fetching the memory of an element a walk is about to reach. Its table pointer and
/// direct links come first and its count (in `Object`, at the end) comes later, so an element of
/// the usual sizes spans two cache lines; asking for the second as soon as the element's address
/// is known lets both arrive together instead of one after the other. Always inlined, as is
/// `PrefetchChildren`: a prefetch has no effect the compiler can see, so where it left such a
/// function out of line it dropped the call as dead code.
[[gnu::always_inline]] inline void PrefetchElement(const ITreeNode* element) noexcept {
  __builtin_prefetch(reinterpret_cast<const char*>(element) + 64);
}

/// Starts fetching both children of an element whose links the library keeps, before the walk
/// calls its `Key`: the call and the comparison then run while the next level's memory is on its
/// way, instead of the walk asking for it only once it knows which side it takes. One of the two
/// is fetched for nothing; the links are read again after the call, as the walk always did. The
/// splay's descent uses it (its rotations keep moving the elements it meets, so they are seldom
/// in cache); in the plain look-up, whose upper levels stay in cache, it measured slower.
[[gnu::always_inline]] inline void PrefetchChildren(const ITreeNode& element,
                                                    std::int32_t index) noexcept {
  if (const Ref<ITreeNode>* row = element.DirectLinks(index)) {
    __builtin_prefetch(row[WentLeft].get());
    __builtin_prefetch(row[WentRight].get());
  }
}

/// A walk's own count of the elements it may still pass without watching, kept in a local (and so
/// in a register across the element calls) and handed back to `seen` when spent or settled.
class UnwatchedCount {
 public:
  explicit UnwatchedCount(Revisits& seen) noexcept : seen_(seen), left_(seen.Unwatched()) {}
  /// `seen.FirstVisit(child)` for a child that is not Nothing.
  bool FirstVisit(const Ref<ITreeNode>& child) {
    if (left_ != 0) {
      --left_;
      return true;
    }
    Settle();
    return seen_.FirstVisit(child);
  }
  /// Counts the elements passed so far into `seen` (which counts nothing else meanwhile).
  void Settle() noexcept { seen_.PassUnwatched(seen_.Unwatched() - left_); }

 private:
  Revisits& seen_;
  std::size_t left_;
};

static_assert(WentLeft == LeftLink::kCell && WentRight == RightLink::kCell,
              "a step names the cell of the link it went through");

/// One level of the way back up of a splaying descent, `n.X = head; head = Rotate(n)` where n is
/// the level's node and X the side the descent took from it. Where n and head both keep their
/// links directly (`head_links` being head's row), no element is called either way, and the
/// rotation's three link writes (n.X = head, then n.X = head.Y and head.Y = n, Y the other side)
/// come down to two exchanges of references: n.X takes head.Y's link, head.Y takes the level's
/// reference to n, and the level keeps the link n.X held before (n's old child, now below head),
/// to release it when it is dropped. Otherwise the set and the rotation are made link by link,
/// and `head_links` is read again for the head they leave.
void StoreAndRotate(TreePathStep& level, Ref<ITreeNode>& head, Ref<ITreeNode>*& head_links,
                    std::int32_t index) {
  if (level.links && head_links) {
    level.links[level.step].swap(head_links[level.step ^ 1]);
    head_links[level.step ^ 1].swap(level.node);
    return;
  }
  if (level.step == WentRight) {
    SetLink<RightLink>(*level.node, index, std::move(head));
    head = RotateLeft(level.node, index);
  } else {
    SetLink<LeftLink>(*level.node, index, std::move(head));
    head = RotateRight(level.node, index);
  }
  head_links = head->DirectLinks(index);
}

/// The way back up of a splaying descent (each recursive call's `n.X = Splay(child); return
/// Rotate(n)`): at each level from the lowest, store the head of the subtree below into the link
/// the descent went through, then rotate that head up one level. `head_links` is the head's row
/// of direct links, or null. Consumes the path entries above `base`.
Ref<ITreeNode> RotateUp(Ref<ITreeNode> head, Ref<ITreeNode>* head_links, std::int32_t index,
                        TreePath& path, std::size_t base) {
  // The path is this operation's own: nothing else adds to it or takes from it meanwhile.
  for (std::size_t levels = path.size() - base; levels > 0; --levels) {
    StoreAndRotate(path.back(), head, head_links, index);
    path.pop_back();
  }
  return head;
}

/// The way back up without rotations (each recursive call's `n.X = Remove(child); return n`): each
/// level stores the head of the subtree below into the link the descent went through and becomes
/// the head itself.
Ref<ITreeNode> RelinkUp(Ref<ITreeNode> head, std::int32_t index, TreePath& path, std::size_t base) {
  while (path.size() > base) {
    TreePathStep& level = path.back();
    if (level.step == WentRight) {
      SetLink<RightLink>(*level.node, index, std::move(head));
    } else {
      SetLink<LeftLink>(*level.node, index, std::move(head));
    }
    head = std::move(level.node);
    path.pop_back();
  }
  return head;
}

/// Unlinks `n`, whose key matched and whose children `l` and `r` have been read, and returns what
/// takes its place.
Ref<ITreeNode> Unlink(const Ref<ITreeNode>& n, Ref<ITreeNode> l, Ref<ITreeNode> r,
                      const Variant& key, std::int32_t index, RemovalStyle style, TreePath& path,
                      Revisits& seen) {
  if (!l && !r) return Nothing;
  if (!l) {
    ResetLink<RightLink>(*n, index);
    return r;
  }
  if (!r) {
    ResetLink<LeftLink>(*n, index);
    return l;
  }
  if (style == RemovalStyle::Splay) {
    // When every key under l is less than the key, this brings n's predecessor to the head of the
    // left subtree, where it has no right child. Keys that do not order strictly (Empty equals
    // both 0 and the empty text) can stop the splay at an element with others to its right: r
    // then goes below the last of them, so that no element leaves the tree.
    Ref<ITreeNode> m = Splay(l, key, index, path, seen);
    Ref<ITreeNode> last = m;
    // A record of its own: the splay has passed some of these elements.
    Revisits spine(seen.Watching() ? 0 : seen.Allowance());
    for (Ref<ITreeNode> next;
         (next = GetLink<RightLink>(Must(last), index)) && spine.FirstVisit(next);) {
      last = std::move(next);
    }
    SetLink<RightLink>(*last, index, r);
    ResetLink<LeftLink>(*n, index);
    ResetLink<RightLink>(*n, index);
    return m;
  }
  if (!HasLink<RightLink>(*l, index)) {  // l is the in-order predecessor
    SetLink<RightLink>(*l, index, r);
    ResetLink<LeftLink>(*n, index);
    ResetLink<RightLink>(*n, index);
    return l;
  }
  if (!HasLink<LeftLink>(*r, index)) {  // r is the in-order successor
    SetLink<LeftLink>(*r, index, l);
    ResetLink<LeftLink>(*n, index);
    ResetLink<RightLink>(*n, index);
    return r;
  }
  // The successor s is the leftmost element under r; p is its parent.
  Ref<ITreeNode> p = r;
  Ref<ITreeNode> s = GetLink<LeftLink>(*r, index);
  while (HasLink<LeftLink>(Must(s), index)) {
    Ref<ITreeNode> next = GetLink<LeftLink>(*s, index);
    if (!seen.FirstVisit(next)) {
      ResetLink<LeftLink>(*s, index);
      break;
    }
    p = s;
    s = std::move(next);
  }
  SetLink<LeftLink>(*p, index, GetLink<RightLink>(Must(s), index));
  SetLink<LeftLink>(*s, index, l);
  SetLink<RightLink>(*s, index, r);
  ResetLink<LeftLink>(*n, index);
  ResetLink<RightLink>(*n, index);
  return s;
}

/// One count held on an element, kept as its Object.
class HeldCount {
 public:
  explicit HeldCount(const Object* object) noexcept : object_(object) { Retain(object_); }
  ~HeldCount() { Release(object_); }
  HeldCount(const HeldCount&) = delete;
  HeldCount& operator=(const HeldCount&) = delete;
  /// Counts `next`, then drops the count held so far.
  void MoveTo(const Object* next) noexcept {
    Retain(next);
    Release(std::exchange(object_, next));
  }

 private:
  const Object* object_;
};

// The recursion this loop reproduces (it needs no way back up):
//   Find(n): if n is Nothing: return Nothing
//            order = Compare(key, n.Key)
//            if order is Equal: return n
//            return Find(order is Less ? n.Left : n.Right)
// This form records every element it passes, for a walk that watches for a cycle. Kept out of
// line, so that the ordinary walk below keeps its loop to itself.
[[gnu::noinline, gnu::cold]] Ref<ITreeNode> FindKeyWatching(Ref<ITreeNode> n, const Variant& key,
                                                            std::int32_t index, Revisits& seen) {
  seen.FirstVisit(n);
  while (n) {
    const Order order = Compare(key, n->Key(index));
    if (order == Order::Equal) return n;
    Ref<ITreeNode> child =
        order == Order::Less ? GetLink<LeftLink>(*n, index) : GetLink<RightLink>(*n, index);
    if (!seen.FirstVisit(child)) {
      CutLink(n, order == Order::Less ? WentLeft : WentRight, index);
      return Nothing;
    }
    n = std::move(child);
  }
  return Nothing;
}

}  // namespace

bool Revisits::Record(const Object* element) {
  if (!passed_) passed_.emplace();
  return passed_->insert(element).second;
}

// The same recursion, for the ordinary case: the same calls without the revisit tests. The walk
// holds one count, on the element whose key it reads (that call may re-enter the tree and unlink
// it), kept as the element's Object so that dropping it needs no look-up; the element's link is
// read only after the call returns. A walk that passes more elements than the tree was given goes
// on watching.
Ref<ITreeNode> FindKey(const Ref<ITreeNode>& root, const Variant& key, std::int32_t index,
                       Revisits& seen) {
  ITreeNode* n = root.get();
  if (!n) return Nothing;
  HeldCount held(n);
  // Counted down here rather than in `seen`, so the count can stay in a register across calls;
  // a walk that watches from the start (a damaged tree) has none.
  const std::size_t allowance = seen.Unwatched();
  for (std::size_t left = allowance; left != 0; --left) {
    const Order order = Compare(key, n->Key(index));
    if (order == Order::Equal) return Ref<ITreeNode>(n);
    ITreeNode* child;
    Ref<ITreeNode> called;  // a link read by a member call, with the count it came with
    if (Ref<ITreeNode>* links = n->DirectLinks(index)) {
      child = (order == Order::Less ? links[WentLeft] : links[WentRight]).get();
    } else {
      called = order == Order::Less ? LeftLink::Get(*n, index) : RightLink::Get(*n, index);
      child = called.get();
    }
    if (!child) return Nothing;
    PrefetchElement(child);
    held.MoveTo(child);  // the child is counted before n is let go
    n = child;
  }
  // More elements passed than the tree was given: the rest of the walk watches.
  seen.PassUnwatched(allowance);
  return FindKeyWatching(Ref<ITreeNode>(n), key, index, seen);
}

// The recursion this loop reproduces (it needs no way back up):
//   Insert(n): order = Compare(node.Key, n.Key)         -- node's key read again at every level
//              if Greater: if n.Right is Nothing: n.Right = node  else Insert(n.Right)
//              if Less:    if n.Left is Nothing:  n.Left = node   else Insert(n.Left)
//              otherwise (an equal key): node stays out
void InsertLeaf(const Ref<ITreeNode>& root, const Ref<ITreeNode>& node, std::int32_t index,
                Revisits& seen) {
  Ref<ITreeNode> n = root;
  seen.FirstVisit(n);
  for (;;) {
    // The new element's key is read again at every level.
    const Variant nk = node->Key(index);
    const Order order = Compare(nk, n->Key(index));
    if (order == Order::Greater) {
      if (!HasLink<RightLink>(*n, index)) {
        SetLink<RightLink>(*n, index, node);
        return;
      }
      Ref<ITreeNode> child = GetLink<RightLink>(*n, index);
      Must(child);
      if (seen.FirstVisit(child)) {
        n = std::move(child);
      } else {
        ResetLink<RightLink>(*n, index);  // the next round links `node` there
      }
    } else if (order == Order::Less) {
      if (!HasLink<LeftLink>(*n, index)) {
        SetLink<LeftLink>(*n, index, node);
        return;
      }
      Ref<ITreeNode> child = GetLink<LeftLink>(*n, index);
      Must(child);
      if (seen.FirstVisit(child)) {
        n = std::move(child);
      } else {
        ResetLink<LeftLink>(*n, index);
      }
    } else {
      return;  // an equal key is already present
    }
  }
}

// The recursion this reproduces; the descent is its way down, RotateUp its way back:
//   Splay(n): order = Compare(key, n.Key)
//             child = Greater ? n.Right : Less ? n.Left : Nothing
//             if child is Nothing: return n
//             if Greater: n.Right = Splay(child); return RotateLeft(n)
//             else:       n.Left = Splay(child);  return RotateRight(n)
Ref<ITreeNode> Splay(const Ref<ITreeNode>& head, const Variant& key, std::int32_t index,
                     TreePath& path, Revisits& seen) {
  const std::size_t base = path.size();
  Ref<ITreeNode> n = head;
  seen.FirstVisit(n);
  // Counted down here rather than in `seen`, so the count can stay in a register across calls;
  // `seen` takes over once it is spent.
  UnwatchedCount unwatched(seen);
  Ref<ITreeNode>* links;
  for (;;) {
    PrefetchChildren(*n, index);
    const Order order = Compare(key, n->Key(index));
    // Read after the key: a sample element names the row of the slot it was asked about last.
    links = n->DirectLinks(index);
    if (order != Order::Greater && order != Order::Less) break;
    const std::uint8_t step = order == Order::Greater ? WentRight : WentLeft;
    Ref<ITreeNode> child = ChildOn(*n, links, step, index);
    if (!child) break;  // n is the last element on the key's search path
    PrefetchElement(child.get());
    if (!unwatched.FirstVisit(child)) {
      CutLink(n, step, index);
      break;
    }
    path.emplace_back(std::move(n), step, links);
    n = std::move(child);
  }
  unwatched.Settle();
  return RotateUp(std::move(n), links, index, path, base);
}

// The recursion this reproduces; the descent is its way down, RotateUp its way back:
//   Insert(n): if n is Nothing: return node
//              order = Compare(node.Key, n.Key)
//              if neither Greater nor Less: return n        -- the equal key comes up instead
//              if Greater: n.Right = Insert(n.Right); return RotateLeft(n)
//              else:       n.Left = Insert(n.Left);   return RotateRight(n)
Ref<ITreeNode> InsertAndSplay(const Ref<ITreeNode>& head, const Ref<ITreeNode>& node,
                              std::int32_t index, TreePath& path, Revisits& seen) {
  const std::size_t base = path.size();
  Ref<ITreeNode> n = head;
  seen.FirstVisit(n);
  while (n) {
    const Variant nk = node->Key(index);
    const Order order = Compare(nk, n->Key(index));
    // The element with an equal key comes to the head instead.
    if (order != Order::Greater && order != Order::Less) break;
    const std::uint8_t step = order == Order::Greater ? WentRight : WentLeft;
    Ref<ITreeNode>* links = n->DirectLinks(index);
    Ref<ITreeNode> child = ChildOn(*n, links, step, index);
    if (child) PrefetchElement(child.get());
    if (!seen.FirstVisit(child)) {
      CutLink(n, step, index);
      child = Nothing;
    }
    path.emplace_back(std::move(n), step, links);
    n = std::move(child);
  }
  Ref<ITreeNode> top = n ? std::move(n) : node;
  Ref<ITreeNode>* top_links = top->DirectLinks(index);
  return RotateUp(std::move(top), top_links, index, path, base);
}

// The recursion this reproduces; the descent is its way down, RelinkUp its way back:
//   Remove(n): if n is Nothing: return Nothing
//              k = n.Key; l = n.Left; r = n.Right; order = Compare(key, k)
//              if Greater: n.Right = Remove(r); return n
//              if Less:    n.Left = Remove(l);  return n
//              if Equal: return Unlink(n, l, r)  else return n   -- a key ordering against nothing
Ref<ITreeNode> RemoveKey(const Ref<ITreeNode>& head, const Variant& key, std::int32_t index,
                         RemovalStyle style, TreePath& path, Revisits& seen) {
  const std::size_t base = path.size();
  Ref<ITreeNode> n = head;
  seen.FirstVisit(n);
  Ref<ITreeNode> replacement;
  while (n) {
    const Variant k = n->Key(index);
    Ref<ITreeNode> l = GetLink<LeftLink>(*n, index);
    Ref<ITreeNode> r = GetLink<RightLink>(*n, index);
    const Order order = Compare(key, k);
    if ((order == Order::Greater && !seen.FirstVisit(r)) ||
        (order == Order::Less && !seen.FirstVisit(l))) {
      CutLink(n, order == Order::Greater ? WentRight : WentLeft, index);
      replacement = std::move(n);  // the walk came back here: the key is not in the tree
      break;
    }
    if (order == Order::Greater) {
      path.push_back({std::move(n), WentRight});
      n = std::move(r);
    } else if (order == Order::Less) {
      path.push_back({std::move(n), WentLeft});
      n = std::move(l);
    } else if (order == Order::Equal) {
      replacement = Unlink(n, std::move(l), std::move(r), key, index, style, path, seen);
      break;
    } else {
      // A key that neither equals nor orders against this element's (a NaN, an object) is not in
      // the tree: the element stays where it is.
      replacement = std::move(n);
      break;
    }
  }
  return RelinkUp(std::move(replacement), index, path, base);
}

// The recursion this reproduces, each path entry being one call still under way:
//   Clear(n): l = n.Left
//             if l is not Nothing: Clear(l) unless passed before; n.Left = Nothing
//             r = n.Right
//             if r is not Nothing: Clear(r) unless passed before; n.Right = Nothing
void ClearSubtree(const Ref<ITreeNode>& head, std::int32_t index, TreePath& path, Revisits& seen) {
  // An entry's step is the next thing its call does: the four lines of the recursion above.
  enum : std::uint8_t { ReadLeft, ResetLeft, ReadRight, ResetRight };
  const std::size_t base = path.size();
  // Starts the call for `child` (the caller's entry having already moved on), unless the walk
  // passed it before: then only the caller's link to it is reset.
  const auto enter = [&](Ref<ITreeNode> child) {
    if (seen.FirstVisit(child)) path.push_back({std::move(child), ReadLeft});
  };
  seen.FirstVisit(head);
  // The head's own reads are made here, so that clearing a lone element (a small tree's usual
  // case) needs no path at all.
  if (Ref<ITreeNode> l = GetLink<LeftLink>(*head, index)) {
    path.push_back({head, ResetLeft});
    enter(std::move(l));
  } else if (Ref<ITreeNode> r = GetLink<RightLink>(*head, index)) {
    path.push_back({head, ResetRight});
    enter(std::move(r));
  } else {
    return;
  }
  while (path.size() > base) {
    // Copies, not a reference into `path`: entering a child appends to it and may move it.
    const Ref<ITreeNode> n = path.back().node;
    const std::uint8_t step = path.back().step;
    switch (step) {
      case ReadLeft:
        if (Ref<ITreeNode> l = GetLink<LeftLink>(*n, index)) {
          path.back().step = ResetLeft;
          enter(std::move(l));
        } else {
          path.back().step = ReadRight;
        }
        break;
      case ResetLeft:
        ResetLink<LeftLink>(*n, index);
        path.back().step = ReadRight;
        break;
      case ReadRight:
        if (Ref<ITreeNode> r = GetLink<RightLink>(*n, index)) {
          path.back().step = ResetRight;
          enter(std::move(r));
        } else {
          path.pop_back();
        }
        break;
      case ResetRight:
        ResetLink<RightLink>(*n, index);
        path.pop_back();
        break;
    }
  }
}

}  // namespace velmira::detail
