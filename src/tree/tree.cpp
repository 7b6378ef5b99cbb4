#include "velmira/tree/tree.h"

#include <string>
#include <utility>

#include "core/index_rule.h"
#include "core/teardown.h"
#include "tree/tree_algorithms.h"
#include "tree/tree_path_lease.h"
#include "velmira/core/debug_output.h"
#include "velmira/core/link_access.h"

namespace velmira {

namespace {
/// A path buffer that grew past this many levels is not kept between operations.
constexpr std::size_t kLargestKeptPath = 1 << 12;
}  // namespace

detail::TreePathLease::TreePathLease(Tree& tree) noexcept
    : tree_(tree), path_(std::move(tree.spare_path_)) {}

detail::TreePathLease::~TreePathLease() {
  path_.clear();  // drops the references the walk held
  if (path_.capacity() <= kLargestKeptPath && tree_.spare_path_.capacity() == 0) {
    tree_.spare_path_ = std::move(path_);
  }
}

void Tree::Warn(const char* text) const {
  detail::Warn(std::string(ClassName()) + ": Warning, " + text);
}

void Tree::SetIndex(std::int32_t value) noexcept {
  detail::SetIndexWhileEmpty(index_, value, IsEmpty(), ClassName(), "tree");
}

bool Tree::Exists(const Variant& Key) { return static_cast<bool>(Tree::Item(Key)); }

Ref<ITreeNode> Tree::Item(const Variant& Key) {
  if (IsNull(Key) || !root_) return Nothing;
  const detail::KeepAlive alive(this);
  return detail::WatchingForCycles(damaged_, added_, [&](detail::Revisits& seen) {
    // The walk copies the root before it calls an element, so root_ is passed as it is.
    return detail::FindKey(root_, Key, index_, seen);
  });
}

bool Tree::CanAdd(const Ref<ITreeNode>& Node) const {
  if (!Node) {
    Warn("an attempt was made to Add Nothing");
    return false;
  }
  // A key that orders against no other key (Null, a NaN, an object reference) would make the
  // searches treat every later key as a duplicate of it: it is refused like Null.
  const Variant key = Node->Key(index_);
  if (!Equal(key, key) || key.Kind() == VariantKind::Object) {
    Warn("an attempt was made to Add a node with a null key");
    return false;
  }
  // Both links are read, always, before either is tested.
  const bool has_left = detail::HasLink<detail::LeftLink>(*Node, index_);
  const bool has_right = detail::HasLink<detail::RightLink>(*Node, index_);
  if (has_left || has_right) {
    Warn("an attempt was made to Add a node with children");
    return false;
  }
  return true;
}

void Tree::Add(const Ref<ITreeNode>& Node) {
  // A copy: the argument may refer to a link that this operation rewrites.
  const Ref<ITreeNode> node = Node;
  const detail::KeepAlive alive(this);
  detail::WatchingForCycles(damaged_, added_, [&](detail::Revisits& seen) {
    if (!CanAdd(node)) return;
    CountAdded();
    if (!root_) {
      root_ = node;
    } else {
      detail::InsertLeaf(Ref<ITreeNode>(root_), node, index_, seen);
    }
  });
}

void Tree::Remove(const Variant& Key) { RemoveWithStyle(Key, detail::RemovalStyle::Plain); }

void Tree::RemoveWithStyle(const Variant& Key, detail::RemovalStyle style) {
  if (IsNull(Key)) {
    Warn("an attempt was made to Remove a node using a null Key");
    return;
  }
  if (!root_) return;
  const detail::KeepAlive alive(this);
  detail::TreePathLease lease(*this);
  // The root is reassigned only once the removal below it has completed.
  detail::WatchingForCycles(damaged_, added_, [&](detail::Revisits& seen) {
    root_ = detail::RemoveKey(Ref<ITreeNode>(root_), Key, index_, style, lease.path(), seen);
  });
}

void Tree::Clear() {
  if (!root_) return;
  const detail::KeepAlive alive(this);
  {
    detail::TreePathLease lease(*this);
    detail::WatchingForCycles(damaged_, added_, [&](detail::Revisits& seen) {
      detail::ClearSubtree(Ref<ITreeNode>(root_), index_, lease.path(), seen);
    });
  }
  root_.reset();
  damaged_ = false;
}

Ref<TreeEnum> Tree::NewEnum() const {
  Ref<TreeEnum> walk(new TreeEnum());
  walk->SetIndex(index_);
  walk->SetRoot(root_);
  return walk;
}

// A failure skips the rest of the walk; root_ is then released with the elements not yet
// visited keeping their links.
Tree::~Tree() { detail::ClearIgnoringErrors(*this); }

}  // namespace velmira
