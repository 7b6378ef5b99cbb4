// `Tree`: an ordered, keyed container threaded through its elements' `Left` and `Right` links.
// It is also the interface `SplayTree` implements, so either kind can be held as `Ref<Tree>`.
//
//   Ref<Tree> t = New<Tree>();          // or New<SplayTree>()
//   Ref<TreeNode> node = New<TreeNode>();
//   node->SetKey(0, "key");
//   t->Add(node);                       // node->Key(t->Index()) orders it; keys are unique
//   Ref<ITreeNode> n = t->Item("key");  // Nothing when absent
//   t->Remove("key");
//
// Keys must order against each other: a key that orders against nothing (Null, a NaN, an object
// reference) is refused by `Add` with the null-key warning, since it could be neither found nor
// kept apart from other keys. When an element raises an error, the steps already taken stay taken,
// which can leave an element under two parents and, after later rotations, a cycle. From then on
// (until a `Clear` completes) every walk notes the elements it passes; where it comes back to one,
// it resets the link it came through, silently, without a warning or an error: the tree loses
// that link's subtree, and an element the client no longer holds is freed. So no operation and no
// teardown loops for ever. (An enumerator does not check: on such a shape it can repeat elements.)
// The plain tree never rebalances: its shape follows the order of insertion. No operation recurses
// per level, so a tree that is one long chain is handled like any other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"
#include "velmira/tree/internal/tree_path.h"
#include "velmira/tree/tree_enum.h"

namespace velmira {

class Tree : public virtual Object {
 public:
  Tree() = default;

  /// The link slot this tree uses in its elements; 0 for a new tree.
  std::int32_t Index() const noexcept { return index_; }
  /// Changes the slot; only while the tree is empty (otherwise a warning, no change).
  void SetIndex(std::int32_t value) noexcept;

  /// True if the tree is empty.
  bool IsEmpty() const noexcept { return !root_; }
  /// The item at the root, or Nothing if the tree is empty.
  Ref<ITreeNode> Root() const noexcept { return root_; }
  /// True if an item with the given key is present in the tree. False for a Null key.
  virtual bool Exists(const Variant& Key);
  /// The item in the tree with the given key, or Nothing if no item has that key.
  virtual Ref<ITreeNode> Item(const Variant& Key);
  /// `Item`, as the tree's default member.
  Ref<ITreeNode> operator[](const Variant& Key) { return Item(Key); }
  /// Adds an item to the tree, using the item's key (which must already be set). Refuses
  /// Nothing, a key that orders against nothing (Null, NaN, an object reference: the null-key
  /// warning) and an item with children; an equal key already present wins silently.
  virtual void Add(const Ref<ITreeNode>& Node);
  /// Removes the item with the given key from the tree; nothing when the key is absent.
  virtual void Remove(const Variant& Key);
  /// Removes all items from the tree, resetting their links. Linear time.
  void Clear();
  /// A new enumerator over the tree, in ascending key order.
  Ref<TreeEnum> NewEnum() const;

 protected:
  /// Clears the tree, ignoring errors raised by its elements.
  ~Tree() override;

  /// The class name that begins this tree's warnings ("Tree" or "SplayTree").
  virtual std::string_view ClassName() const noexcept { return "Tree"; }
  /// Writes "<ClassName>: Warning, <text>".
  void Warn(const char* text) const;
  /// The removal both kinds of tree share; `style` says how an element with two children is
  /// replaced.
  void RemoveWithStyle(const Variant& Key, detail::RemovalStyle style);
  /// Runs the checks every Add makes, in order, warning for the first that fails.
  bool CanAdd(const Ref<ITreeNode>& Node) const;

  Ref<ITreeNode> root_;
  std::int32_t index_ = 0;
  /// Set when an element error interrupted an operation (the shape may then hold a cycle), until
  /// a `Clear` completes: meanwhile every walk checks for elements it has passed before.
  bool damaged_ = false;
  /// Elements added since the tree was last empty: no walk over the links the tree made passes
  /// more, so a walk that does has met links a client stored by hand and watches for a cycle.
  std::size_t added_ = 0;
  /// Counts an element `Add` is about to link; the count starts again on an empty tree.
  void CountAdded() noexcept { added_ = root_ ? added_ + 1 : 1; }

 private:
  friend class detail::TreePathLease;
  /// The path buffer kept between operations (see src/tree/tree_path_lease.h).
  detail::TreePath spare_path_;
};

}  // namespace velmira
