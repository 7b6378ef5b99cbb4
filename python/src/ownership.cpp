// The walk behind proxies' tp_traverse: the library objects a proxy's object holds, with their
// references, and which of them nothing outside the walk holds.
#include "ownership.h"

#include <set>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "element.h"
#include "velmira/elements/sample_node.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"
#include "velmira/list/list_enum.h"
#include "velmira/tree/tree.h"
#include "velmira/tree/tree_enum.h"

namespace velmira::python {
namespace {

class Walk {
 public:
  explicit Walk(const Object* root) {
    nodes_[root].internal = 1;  // the proxy's reference
    todo_.push_back(root);
  }

  int Run(visitproc visit, void* arg) {
    while (!todo_.empty()) {
      const Object* node = todo_.back();
      todo_.pop_back();
      Expand(node);
    }
    MarkHeldFromOutside();
    for (const auto& [object, info] : nodes_) {
      if (info.outside) continue;
      const PyBacked* backed = dynamic_cast<const PyBacked*>(object);
      if (backed && backed->py) Py_VISIT(backed->py);
    }
    return 0;
  }

 private:
  struct Info {
    std::int64_t internal = 0;
    bool outside = false;
    std::vector<const Object*> out;
  };

  void Edge(const Object* from, const Object* to) {
    if (!to) return;
    nodes_[from].out.push_back(to);
    auto [it, fresh] = nodes_.try_emplace(to);
    ++it->second.internal;
    if (fresh) todo_.push_back(to);
  }
  /// An element's link `which` in slot `slot`: each link cell counts once, whichever container
  /// walk finds it.
  void LinkEdge(const Object* from, int which, std::int32_t slot, const Object* to) {
    if (!to || !links_.emplace(from, which, slot).second) return;
    Edge(from, to);
  }

  static bool LinksInPython(const Object* node) {
    const PyBacked* backed = dynamic_cast<const PyBacked*>(node);
    return backed && backed->callback;
  }

  /// Follows a chain of `NextItem` links from `first`, up to an element whose links are Python
  /// methods.
  template <class Node>
  void Chain(const Ref<Node>& first, std::int32_t slot, bool with_prev) {
    std::set<const Object*> seen;
    Ref<Node> n = first;
    while (n) {
      if (LinksInPython(n.get()) || !seen.insert(n.get()).second) return;
      Ref<Node> next = n->NextItem(slot);
      LinkEdge(n.get(), 0, slot, next.get());
      if constexpr (std::is_same_v<Node, IListNode>) {
        if (with_prev) LinkEdge(n.get(), 1, slot, n->PrevItem(slot).get());
      }
      n = std::move(next);
    }
  }

  void TreeLinks(const Tree& tree) {
    const std::int32_t slot = tree.Index();
    std::vector<Ref<ITreeNode>> pending{tree.Root()};
    std::set<const Object*> seen;
    while (!pending.empty()) {
      Ref<ITreeNode> n = std::move(pending.back());
      pending.pop_back();
      if (!n || LinksInPython(n.get()) || !seen.insert(n.get()).second) continue;
      Ref<ITreeNode> left = n->Left(slot), right = n->Right(slot);
      LinkEdge(n.get(), 0, slot, left.get());
      LinkEdge(n.get(), 1, slot, right.get());
      pending.push_back(std::move(left));
      pending.push_back(std::move(right));
    }
  }

  template <class Link>
  bool SampleFields(const Object* node) {
    const auto* sample = dynamic_cast<const SampleNode<Link>*>(node);
    if (!sample) return false;
    for (const Variant& v : {sample->Value(), sample->Tag(), sample->Flags(), sample->Data()}) {
      if (v.Kind() == VariantKind::Object) Edge(node, v.ObjectValue().get());
    }
    return true;
  }

  void Expand(const Object* node) {
    if (const auto* s = dynamic_cast<const Stack*>(node)) {
      Edge(node, s->Top().get());
      Chain(s->Top(), s->Index(), false);
    } else if (const auto* q = dynamic_cast<const Queue*>(node)) {
      Edge(node, q->First().get());
      Edge(node, q->Last().get());
      Chain(q->First(), q->Index(), false);
    } else if (const auto* p = dynamic_cast<const PQueue*>(node)) {
      Edge(node, p->First().get());
      Chain(p->First(), p->Index(), false);
    } else if (const auto* l = dynamic_cast<const List*>(node)) {
      Edge(node, l->First().get());
      Edge(node, l->Last().get());
      Chain(l->First(), l->Index(), true);
    } else if (const auto* t = dynamic_cast<const Tree*>(node)) {
      Edge(node, t->Root().get());
      TreeLinks(*t);
    } else if (const auto* le = dynamic_cast<const ListEnum*>(node)) {
      le->ForEachHeld([&](const Ref<IListNode>& held) { Edge(node, held.get()); });
    } else if (const auto* te = dynamic_cast<const TreeEnum*>(node)) {
      te->ForEachHeld([&](const Ref<ITreeNode>& held) { Edge(node, held.get()); });
    } else {
      SampleFields<IStackNode>(node) || SampleFields<IQueueNode>(node) ||
          SampleFields<IPQueueNode>(node) || SampleFields<IListNode>(node) ||
          SampleFields<ITreeNode>(node);
    }
  }

  /// The collector's reasoning: an object with more references than the walk found (its own
  /// Python element's aside) is held from outside, and so is everything it reaches.
  void MarkHeldFromOutside() {
    std::vector<const Object*> outside;
    for (auto& [object, info] : nodes_) {
      const PyBacked* backed = dynamic_cast<const PyBacked*>(object);
      const std::int64_t own = backed && backed->held ? 1 : 0;
      if (detail::ReferenceCount(object) - own > info.internal) {
        info.outside = true;
        outside.push_back(object);
      }
    }
    while (!outside.empty()) {
      const Object* object = outside.back();
      outside.pop_back();
      for (const Object* to : nodes_[object].out) {
        Info& target = nodes_[to];
        if (!target.outside) {
          target.outside = true;
          outside.push_back(to);
        }
      }
    }
  }

  std::unordered_map<const Object*, Info> nodes_;
  std::vector<const Object*> todo_;
  std::set<std::tuple<const Object*, int, std::int32_t>> links_;
};

}  // namespace

int VisitOwned(const Object* root, visitproc visit, void* arg) {
  try {
    return Walk(root).Run(visit, arg);
  } catch (...) {
    return 0;  // out of memory: report nothing, which only delays collection
  }
}

}  // namespace velmira::python
