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
  DebugTreeNode* Find(std::string_view name);
  /// The record named `name`, created and added when missing. `key`, when given, is `name` as a
  /// text `Variant` for a new record to share.
  DebugTreeNode& Record(std::string_view name, const Variant* key = nullptr);

 protected:
  ~DebugRecordTree() override = default;

 private:
  DebugTreeNode* Root() const noexcept { return static_cast<DebugTreeNode*>(root_.get()); }
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
