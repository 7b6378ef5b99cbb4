// The floor for the search trees: the least any implementation of the tree contract can cost.
//
//   TreeFloor<false> plain;  plain.Add(node); plain.Item(key); plain.Remove(key);
//   TreeFloor<true> splay;   // the self-adjusting tree's element calls
//
// Each operation makes exactly the element calls, in exactly the order, that `Tree` (or, with
// `kSplay`, `SplayTree`) must make for it: the key, left and right reads of Add's checks, the key
// read again at every level of an insertion, a rotation per level on the way back up a splay,
// every link on a removal's path stored again. Nothing else: no warnings, no test for Nothing, no
// lease of a path buffer (one buffer, kept by the floor), no guard against elements that break
// their contract. The same elements and keys as the library's benchmark, through `ITreeNode`.
// tree_floor_check.cpp (velmira_tree_floor_check) records every element call of both over the
// same adds, lookups and removals and checks that the two records are identical.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira::bench {

template <bool kSplay>
class TreeFloor {
 public:
  void Add(const Ref<ITreeNode>& node) {
    // The calls of Add's three checks, their results unused.
    const Variant key = node->Key(kSlot);
    benchmark_sink_ ^= reinterpret_cast<std::uintptr_t>(node->Left(kSlot).get()) ^
                       reinterpret_cast<std::uintptr_t>(node->Right(kSlot).get());
    if constexpr (kSplay) {
      root_ = InsertAndSplay(node);
    } else if (!root_) {
      root_ = node;
    } else {
      InsertLeaf(node);
    }
  }

  Ref<ITreeNode> Item(const Variant& key) {
    if constexpr (kSplay) {
      if (!root_) return Nothing;
      root_ = Splay(root_, key);
      if (detail::Compare(key, root_->Key(kSlot)) == detail::Order::Equal) return root_;
      return Nothing;
    } else {
      Ref<ITreeNode> n = root_;
      while (n) {
        const detail::Order order = detail::Compare(key, n->Key(kSlot));
        if (order == detail::Order::Equal) return n;
        n = order == detail::Order::Less ? n->Left(kSlot) : n->Right(kSlot);
      }
      return Nothing;
    }
  }

  void Remove(const Variant& key) {
    if (!root_) return;
    Ref<ITreeNode> n = root_;
    Ref<ITreeNode> replacement;
    path_.clear();
    while (n) {
      const Variant k = n->Key(kSlot);
      Ref<ITreeNode> l = n->Left(kSlot);
      Ref<ITreeNode> r = n->Right(kSlot);
      const detail::Order order = detail::Compare(key, k);
      if (order == detail::Order::Greater) {
        path_.push_back({std::move(n), true});
        n = std::move(r);
      } else if (order == detail::Order::Less) {
        path_.push_back({std::move(n), false});
        n = std::move(l);
      } else {
        replacement = Unlink(n, std::move(l), std::move(r), key);
        break;
      }
    }
    // Every link on the path is stored again, bottom up.
    while (!path_.empty()) {
      Step& level = path_.back();
      if (level.right) {
        level.node->SetRight(kSlot, replacement);
      } else {
        level.node->SetLeft(kSlot, replacement);
      }
      replacement = std::move(level.node);
      path_.pop_back();
    }
    root_ = std::move(replacement);
  }

  /// Resets every link, as the tree's Clear does (not timed by the benchmarks).
  void Clear() {
    std::vector<Ref<ITreeNode>> pending;
    if (root_) pending.push_back(std::move(root_));
    while (!pending.empty()) {
      Ref<ITreeNode> n = std::move(pending.back());
      pending.pop_back();
      if (Ref<ITreeNode> l = n->Left(kSlot)) pending.push_back(std::move(l));
      if (Ref<ITreeNode> r = n->Right(kSlot)) pending.push_back(std::move(r));
      n->SetLeft(kSlot, Nothing);
      n->SetRight(kSlot, Nothing);
    }
  }

  std::uintptr_t benchmark_sink_ = 0;

 private:
  static constexpr std::int32_t kSlot = 0;
  struct Step {
    Ref<ITreeNode> node;
    bool right;
  };

  void InsertLeaf(const Ref<ITreeNode>& node) {
    Ref<ITreeNode> n = root_;
    for (;;) {
      const Variant nk = node->Key(kSlot);  // read again at every level
      const detail::Order order = detail::Compare(nk, n->Key(kSlot));
      if (order == detail::Order::Greater) {
        if (!n->Right(kSlot)) return n->SetRight(kSlot, node);
        n = n->Right(kSlot);
      } else if (order == detail::Order::Less) {
        if (!n->Left(kSlot)) return n->SetLeft(kSlot, node);
        n = n->Left(kSlot);
      } else {
        return;
      }
    }
  }

  /// Rotate-to-root by single rotations, bottom up: store the head into the link the descent
  /// went through, then rotate the level's element below it.
  Ref<ITreeNode> RotateUp(Ref<ITreeNode> head, std::size_t base) {
    while (path_.size() > base) {
      Step& level = path_.back();
      const Ref<ITreeNode>& p = level.node;
      if (level.right) {
        p->SetRight(kSlot, head);
        Ref<ITreeNode> x = p->Right(kSlot);
        p->SetRight(kSlot, x->Left(kSlot));
        x->SetLeft(kSlot, p);
        head = std::move(x);
      } else {
        p->SetLeft(kSlot, head);
        Ref<ITreeNode> y = p->Left(kSlot);
        p->SetLeft(kSlot, y->Right(kSlot));
        y->SetRight(kSlot, p);
        head = std::move(y);
      }
      path_.pop_back();
    }
    return head;
  }

  Ref<ITreeNode> Splay(const Ref<ITreeNode>& head, const Variant& key) {
    const std::size_t base = path_.size();
    Ref<ITreeNode> n = head;
    for (;;) {
      const detail::Order order = detail::Compare(key, n->Key(kSlot));
      if (order == detail::Order::Equal) break;
      const bool right = order == detail::Order::Greater;
      Ref<ITreeNode> child = right ? n->Right(kSlot) : n->Left(kSlot);
      if (!child) break;
      path_.push_back({std::move(n), right});
      n = std::move(child);
    }
    return RotateUp(std::move(n), base);
  }

  Ref<ITreeNode> InsertAndSplay(const Ref<ITreeNode>& node) {
    path_.clear();
    Ref<ITreeNode> n = root_;
    while (n) {
      const Variant nk = node->Key(kSlot);
      const detail::Order order = detail::Compare(nk, n->Key(kSlot));
      if (order == detail::Order::Equal) break;
      const bool right = order == detail::Order::Greater;
      Ref<ITreeNode> child = right ? n->Right(kSlot) : n->Left(kSlot);
      path_.push_back({std::move(n), right});
      n = std::move(child);
    }
    return RotateUp(n ? std::move(n) : node, 0);
  }

  Ref<ITreeNode> Unlink(const Ref<ITreeNode>& n, Ref<ITreeNode> l, Ref<ITreeNode> r,
                        const Variant& key) {
    if (!l && !r) return Nothing;
    if (!l) {
      n->SetRight(kSlot, Nothing);
      return r;
    }
    if (!r) {
      n->SetLeft(kSlot, Nothing);
      return l;
    }
    if constexpr (kSplay) {
      Ref<ITreeNode> m = Splay(l, key);
      // Keys that do not order strictly can leave elements to the right of the splayed one.
      Ref<ITreeNode> last = m;
      for (Ref<ITreeNode> next; (next = last->Right(kSlot));) last = std::move(next);
      last->SetRight(kSlot, r);
      n->SetLeft(kSlot, Nothing);
      n->SetRight(kSlot, Nothing);
      return m;
    } else {
      if (!l->Right(kSlot)) {
        l->SetRight(kSlot, r);
        n->SetLeft(kSlot, Nothing);
        n->SetRight(kSlot, Nothing);
        return l;
      }
      if (!r->Left(kSlot)) {
        r->SetLeft(kSlot, l);
        n->SetLeft(kSlot, Nothing);
        n->SetRight(kSlot, Nothing);
        return r;
      }
      Ref<ITreeNode> p = r;
      Ref<ITreeNode> s = r->Left(kSlot);
      while (s->Left(kSlot)) {
        p = s;
        s = s->Left(kSlot);
      }
      p->SetLeft(kSlot, s->Right(kSlot));
      s->SetLeft(kSlot, l);
      s->SetRight(kSlot, r);
      n->SetLeft(kSlot, Nothing);
      n->SetRight(kSlot, Nothing);
      return s;
    }
  }

  Ref<ITreeNode> root_;
  std::vector<Step> path_;
};

}  // namespace velmira::bench
