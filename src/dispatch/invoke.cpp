// The generic dispatcher: finds a member's row, checks and converts the arguments, and calls the
// row's body. Nothing here knows any class; the tables say everything.
#include "velmira/dispatch/invoke.h"

#include <algorithm>
#include <string>
#include <vector>

#include "velmira/catalogue/catalogue.h"
#include "velmira/core/error.h"
#include "velmira/core/variant_conversions.h"

namespace velmira {
namespace {

std::string_view KindName(CallKind kind) noexcept {
  switch (kind) {
    case CallKind::PropertyGet:
      return "property get";
    case CallKind::PropertyLet:
      return "property let";
    case CallKind::PropertySet:
      return "property set";
    case CallKind::Method:
      return "method";
  }
  return "call";
}

[[noreturn, gnu::noinline, gnu::cold]] void ThrowMemberNotFound(const InterfaceInfo& iface,
                                                                std::string_view what) {
  ThrowError(kErrMemberNotFound, std::string(iface.class_name) + "." + std::string(what));
}

/// True when `value` already is the canonical Variant of `type`, so the call can take it as it is.
bool IsCanonical(const Variant& value, const TypeRef& type) noexcept {
  switch (type.kind) {
    case ValueType::Int32:
    case ValueType::Enum:
      return value.Kind() == VariantKind::Int32;
    case ValueType::Boolean:
      return value.Kind() == VariantKind::Boolean;
    case ValueType::String:
      return value.Kind() == VariantKind::String;
    case ValueType::Object:
      return value.Kind() == VariantKind::Object;
    case ValueType::Variant:
    case ValueType::None:
      break;
  }
  return true;
}

/// `value` as the canonical Variant of `type`: Int32 for integers and enumerations, Boolean,
/// String, an Object reference (its interface is checked when the member converts it), or the
/// value itself for Variant. Raises error 13, or 6 for an integer out of range.
Variant ConvertArgument(const Variant& value, const TypeRef& type) {
  if (IsCanonical(value, type)) return value;
  switch (type.kind) {
    case ValueType::Int32:
    case ValueType::Enum:
      return Variant(CoerceToInt32(value));
    case ValueType::Boolean:
      return Variant(CoerceToBoolean(value));
    case ValueType::String:
      return Variant(CoerceToText(value));
    case ValueType::Object:
      ThrowTypeMismatch();
    case ValueType::Variant:
    case ValueType::None:
      break;
  }
  return value;
}

std::string NameOf(const InterfaceInfo& iface, std::int32_t id) {
  for (const MemberInfo& m : iface.members) {
    if (m.dispatch_id == id) return std::string(m.name);
  }
  return "dispatch identifier " + std::to_string(id);
}

/// Error 438 for a dispatch identifier `iface` does not have, or has without a row of `kind`.
/// Kept out of line, so the callers' usual path builds no text and keeps a small frame.
[[noreturn, gnu::noinline, gnu::cold]] void ThrowNoRow(const InterfaceInfo& iface, std::int32_t id,
                                                       CallKind kind) {
  const std::string name = NameOf(iface, id);
  ThrowMemberNotFound(
      iface, name + (iface.DispatchIdOf(name) == id ? " (no " + std::string(KindName(kind)) + ")"
                                                    : std::string()));
}

const MemberInfo& FindRow(const InterfaceInfo& iface, std::int32_t id, CallKind kind) {
  if (const MemberInfo* row = iface.Find(id, kind)) return *row;
  ThrowNoRow(iface, id, kind);
}

/// Calls `row` on `target` with arguments already of the parameters' kinds.
Variant CallConverted(const InterfaceInfo& iface, const Ref<Object>& target, const MemberInfo& row,
                      std::span<const Variant> args) {
  // The caller's reference may be dropped by a member that re-enters; keep the object alive.
  const Ref<Object> keep = target;
  void* self = iface.cast(keep.get());
  if (!self) ThrowTypeMismatch();
  return row.body(self, args);
}

/// Checks the number of arguments, converts them to their parameters' kinds, fills in the
/// defaults of those left out, and calls. A parameter array's arguments follow unconverted;
/// only a long one needs the heap.
[[gnu::noinline]] Variant CheckConvertAndCall(const InterfaceInfo& iface, const Ref<Object>& target,
                                              const MemberInfo& row,
                                              std::span<const Variant> args) {
  const std::span<const ParamInfo> params = row.Params();
  if (args.size() < row.RequiredCount()) {
    ThrowError(kErrArgumentNotOptional,
               std::string(row.name) + " needs " + std::string(params[args.size()].name));
  }
  if (!row.HasParamArray() && args.size() > params.size()) {
    ThrowError(kErrWrongArgumentCount, std::string(row.name) + " takes " +
                                           std::to_string(params.size()) + ", was given " +
                                           std::to_string(args.size()));
  }
  const std::size_t fixed = row.HasParamArray() ? params.size() - 1 : params.size();
  const std::size_t count = std::max(args.size(), fixed);
  constexpr std::size_t kInPlace = 8;
  Variant in_place[kInPlace];
  std::vector<Variant> on_heap(count > kInPlace ? count : 0);
  Variant* converted = count > kInPlace ? on_heap.data() : in_place;
  for (std::size_t i = 0; i < count; ++i) {
    if (i >= fixed) {
      converted[i] = args[i];
    } else {
      converted[i] = i < args.size() ? ConvertArgument(args[i], params[i].type)
                                     : Variant(params[i].default_value);
    }
  }
  return CallConverted(iface, target, row, std::span<const Variant>(converted, count));
}

Variant Call(const InterfaceInfo& iface, const Ref<Object>& target, const MemberInfo& row,
             std::span<const Variant> args) {
  // One argument per parameter, each already of its parameter's kind, is the usual case: the
  // arguments are passed on as they are, without copies.
  if (args.size() != row.param_count || row.HasParamArray()) {
    return CheckConvertAndCall(iface, target, row, args);
  }
  const std::span<const ParamInfo> params = row.Params();
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!IsCanonical(args[i], params[i].type)) {
      return CheckConvertAndCall(iface, target, row, args);
    }
  }
  return CallConverted(iface, target, row, args);
}

}  // namespace

const InterfaceInfo& DefaultInterfaceOf(const Ref<Object>& target) {
  if (!target) ThrowObjectNotSet();
  const ClassInfo* c = ClassOf(target);
  if (!c) {
    ThrowError(kErrMemberNotFound, "it implements no interface of the library");
  }
  return *c->own_interface;
}

std::int32_t GetDispatchId(const Ref<Object>& target, std::string_view member) {
  const InterfaceInfo& iface = DefaultInterfaceOf(target);
  const std::int32_t id = iface.DispatchIdOf(member);
  if (id < 0) ThrowMemberNotFound(iface, member.empty() ? "(default member)" : member);
  return id;
}

ResolvedMember Resolve(const InterfaceInfo& iface, std::int32_t dispatch_id, CallKind kind) {
  return {&iface, &FindRow(iface, dispatch_id, kind)};
}

ResolvedMember Resolve(const InterfaceInfo& iface, std::string_view member, CallKind kind) {
  const std::int32_t id = iface.DispatchIdOf(member);
  if (id < 0) ThrowMemberNotFound(iface, member.empty() ? "(default member)" : member);
  return Resolve(iface, id, kind);
}

Variant Call(const ResolvedMember& member, const Ref<Object>& target,
             std::span<const Variant> args) {
  if (!target) ThrowObjectNotSet();
  return Call(*member.iface, target, *member.row, args);
}

Variant Call(const ResolvedMember& member, const Ref<Object>& target,
             std::initializer_list<Variant> args) {
  return Call(member, target, std::span<const Variant>(args.begin(), args.size()));
}

Variant InvokeThrough(const InterfaceInfo& iface, const Ref<Object>& target,
                      std::int32_t dispatch_id, CallKind kind, std::span<const Variant> args) {
  if (!target) ThrowObjectNotSet();
  return Call(Resolve(iface, dispatch_id, kind), target, args);
}

Variant InvokeThrough(const InterfaceInfo& iface, const Ref<Object>& target,
                      std::string_view member, CallKind kind, std::span<const Variant> args) {
  if (!target) ThrowObjectNotSet();
  return Call(Resolve(iface, member, kind), target, args);
}

Variant Invoke(const Ref<Object>& target, std::string_view member, CallKind kind,
               std::span<const Variant> args) {
  return InvokeThrough(DefaultInterfaceOf(target), target, member, kind, args);
}

Variant Invoke(const Ref<Object>& target, std::int32_t dispatch_id, CallKind kind,
               std::span<const Variant> args) {
  return InvokeThrough(DefaultInterfaceOf(target), target, dispatch_id, kind, args);
}

Variant Invoke(const Ref<Object>& target, std::string_view member, CallKind kind,
               std::initializer_list<Variant> args) {
  return Invoke(target, member, kind, std::span<const Variant>(args.begin(), args.size()));
}

Variant Invoke(const Ref<Object>& target, std::int32_t dispatch_id, CallKind kind,
               std::initializer_list<Variant> args) {
  return Invoke(target, dispatch_id, kind, std::span<const Variant>(args.begin(), args.size()));
}

}  // namespace velmira
