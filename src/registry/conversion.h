// Internal: converts a late-bound call's arguments to the types of the member's parameters.
//
//   Variant n = ConvertArgument(Variant(2.5), kInt32);   // Int32 2 (half to even)
//
// The rules are listed in velmira/registry/invoke.h, where callers read them.
#pragma once

#include "velmira/core/variant.h"
#include "velmira/registry/member_info.h"

namespace velmira::detail {

/// `value` as the canonical Variant of `type`: Int32 for integers and enumerations, Boolean,
/// String, an Object reference (its interface is checked when the member converts it), or the
/// value itself for Variant. Raises error 13, or 6 for an integer out of range.
Variant ConvertArgument(const Variant& value, const TypeRef& type);

}  // namespace velmira::detail
