// `Enumerate` for trees: range-for over a fresh `TreeEnum`, or over one the caller already has.
//
//   for (Ref<ITreeNode> n : Enumerate(tree)) { ... }                    // ascending keys
//   for (const auto& n : Enumerate(tree, eTreeEnumPostOrder)) { ... }
//   auto first_three = Enumerate(tree) | std::views::take(3);
//
// The walk is the enumerator's: it was primed with the root when it was made and reads the
// elements' links as it goes; once it has ended it stays ended.
#pragma once

#include "velmira/core/enumeration.h"
#include "velmira/tree/tree.h"
#include "velmira/tree/tree_enum.h"

namespace velmira {

/// What `Enumerate` gives for a tree and its enumerator.
using TreeEnumeration = detail::EnumeratorWalk<ITreeNode, TreeEnum>;

}  // namespace velmira
