// Late-bound calls: a member named at run time, its arguments as Variants, its result as a
// Variant, exactly as a scripting client calls the library.
//
//   Ref<Object> stack = CreateObject("Velmira.Stack");
//   Variant node = CreateObject("Velmira.StackNode");
//   Invoke(stack, "Push", CallKind::Method, {node});
//   Variant top = Invoke(stack, "top", CallKind::PropertyGet);       // names ignore case
//   Variant hit = Invoke(tree, "", CallKind::PropertyGet, {"key"});  // Tree's default: Item
//
// An object is called through its class's own interface (`ClassOf`); `InvokeThrough` names
// another interface it implements (`SplayTree` through `_Tree`, `NoDebugger` through
// `_Debugger`, a client's element through `IStackNode`). The member's table row (member_info.h)
// says how arguments are converted (the coercions of velmira/core/variant_conversions.h):
// - Int32 and enumerations: integers as they are; Empty as 0; Boolean as -1 or 0; floating,
//   currency and date values rounded half to even; numeric text. Outside the 32-bit range:
//   error 6 (overflow).
// - Boolean: any number (non-zero is true), Empty (false), "True"/"False" in any case, numeric
//   text.
// - String: text as it is; Empty as ""; numbers, dates and Booleans in their text form.
// - Object: an object reference (Nothing included), converted with `As` to the parameter's
//   interface; an object without that interface is error 13.
// - Variant: passed on unconverted. A parameter array receives every remaining argument.
// Anything else, Null included, is error 13 (type mismatch). Optional arguments left out take
// their defaults. Results: Boolean, Int32 (enumerations too), String, Variant, Object (a
// reference, Nothing included), or Empty for none.
//
// Errors, all `Error`: 438 for a name or identifier the interface does not have, or a kind of
// call the member does not offer (a let on a read-only property); 449 when a required argument
// is missing; 450 when more arguments are given than the member takes; 91 for a Nothing target;
// 13 when the object does not implement the interface named. An error raised by the member
// itself, a client element's included, passes out unchanged: a late-bound call gives the same
// results, warnings and errors as the direct C++ call.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "velmira/catalogue/member_info.h"
#include "velmira/core/error.h"
#include "velmira/core/object.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira {

/// Calls `member` (any letter case; empty for the default member) of `target`'s own interface.
Variant Invoke(const Ref<Object>& target, std::string_view member, CallKind kind,
               std::span<const Variant> args = {});
/// The same with the dispatch identifier (0 for the default member).
Variant Invoke(const Ref<Object>& target, std::int32_t dispatch_id, CallKind kind,
               std::span<const Variant> args = {});

/// The same, with the arguments written in place: `Invoke(stack, "Push", kind, {node})`.
Variant Invoke(const Ref<Object>& target, std::string_view member, CallKind kind,
               std::initializer_list<Variant> args);
Variant Invoke(const Ref<Object>& target, std::int32_t dispatch_id, CallKind kind,
               std::initializer_list<Variant> args);

/// Calls through `iface`, which `target` must implement (error 13 otherwise).
Variant InvokeThrough(const InterfaceInfo& iface, const Ref<Object>& target,
                      std::string_view member, CallKind kind, std::span<const Variant> args = {});
Variant InvokeThrough(const InterfaceInfo& iface, const Ref<Object>& target,
                      std::int32_t dispatch_id, CallKind kind, std::span<const Variant> args = {});

/// A member resolved once, for callers that call it many times (a proxy, a binding): the
/// interface and the row of one kind of call. Calling it does no search.
///
///   const ResolvedMember push = Resolve(DefaultInterfaceOf(stack), "Push", CallKind::Method);
///   for (...) Call(push, stack, {node});
struct ResolvedMember {
  const InterfaceInfo* iface = nullptr;
  const MemberInfo* row = nullptr;
};

/// The row of `member` (or of `dispatch_id`) and `kind` on `iface`; error 438 when there is none.
ResolvedMember Resolve(const InterfaceInfo& iface, std::string_view member, CallKind kind);
ResolvedMember Resolve(const InterfaceInfo& iface, std::int32_t dispatch_id, CallKind kind);

/// Calls a resolved member on `target`, which must implement its interface (error 13
/// otherwise; 91 for Nothing). Arguments are checked and converted as `Invoke` does.
Variant Call(const ResolvedMember& member, const Ref<Object>& target,
             std::span<const Variant> args = {});
Variant Call(const ResolvedMember& member, const Ref<Object>& target,
             std::initializer_list<Variant> args);

/// The interface `Invoke` calls `target` through: its class's own (see `ClassOf`). Error 91
/// for Nothing, 438 for an object of no interface of the library.
const InterfaceInfo& DefaultInterfaceOf(const Ref<Object>& target);

/// The dispatch identifier of `member` on `target`'s own interface; error 438 when it has none.
std::int32_t GetDispatchId(const Ref<Object>& target, std::string_view member);

}  // namespace velmira
