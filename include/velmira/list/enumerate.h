// `Enumerate` for lists: range-for over a fresh `ListEnum`, or over one the caller already has.
//
//   for (Ref<IListNode> n : Enumerate(list)) { ... }                    // first to last
//   for (const auto& n : Enumerate(list, eListEnumReverseOrder)) { ... }  // last to first
//
// The walk is the enumerator's: it follows the live links, so it keeps working while the list
// changes, and it ends at the first Nothing the enumerator returns (an enumerator that is walked
// again afterwards starts over, as `ListEnum::NextItem` does).
#pragma once

#include "velmira/core/enumeration.h"
#include "velmira/list/list.h"
#include "velmira/list/list_enum.h"

namespace velmira {

/// What `Enumerate` gives for a list and its enumerator.
using ListEnumeration = detail::EnumeratorWalk<IListNode, ListEnum>;

}  // namespace velmira
