// Internal: `DebugRecordTree`, the splay tree that holds one kind of a debugger's records
// (profile, failed assertions, procedure or resource counters), with a record lookup made for
// the debugger's hot path.
//
//   Ref<DebugRecordTree> counters = New<DebugRecordTree>();   // also usable as a Ref<Tree>
//   DebugTreeNode& r = counters->Record("Main");                // found, or created and added
//
// `Record` leaves the tree exactly as `Exists` followed by `Item` (and `Add` for a new name) would
// leave it, and it is cheap when the name is at the root already: such a lookup changes nothing,
// so it skips the descent. Any other lookup splays the records directly, with no virtual calls
// and no copies of keys. The tree must hold `DebugTreeNode` records only.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "debug/debug_tree_node.h"
#include "velmira/core/variant.h"
#include "velmira/tree/splay_tree.h"

namespace velmira::detail {

class DebugRecordTree final : public SplayTree {
 public:
  DebugRecordTree() = default;

  /// The record named `name`, or null; brings it (or the last record on its search path) to the
  /// root as `Exists` does.
  DebugTreeNode* Find(std::string_view name) {
    DebugTreeNode* root = Root();
    // A name at the root splays nothing: the search stops at once and no link is written.
    if (root != nullptr && SameText(root->NameText(), name)) return root;
    return root != nullptr ? FindBelowRoot(name) : nullptr;
  }
  /// The record named `name`, created and added when missing. `key`, when given, is `name` as a
  /// text `Variant` for a new record to share.
  DebugTreeNode& Record(std::string_view name, const Variant* key = nullptr) {
    if (DebugTreeNode* found = Find(name)) return *found;
    return AddRecord(name, key);
  }

 protected:
  ~DebugRecordTree() override = default;

 private:
  /// Byte-wise equality, inline: names are short, and this is the hot path's one comparison.
  static bool SameText(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i] != b[i]) return false;
    }
    return true;
  }
  DebugTreeNode* Root() const noexcept { return static_cast<DebugTreeNode*>(root_.get()); }
  DebugTreeNode* FindBelowRoot(std::string_view name);
  DebugTreeNode& AddRecord(std::string_view name, const Variant* key);
  /// Rotates the record named `name`, or the last record on its search path, to the root.
  void SplayToRoot(std::string_view name);

  /// One level of the search path: the record, and whether the search went right from it.
  struct Step {
    DebugTreeNode* record;
    bool went_right;
  };
  std::vector<Step> path_;  // reused between lookups; every level holds its parent's reference
};

}  // namespace velmira::detail
