// Internal: the vocabulary the member tables are written in, one row per accessor or method.
//
//   constexpr MemberInfo kStackMembers[] = {
//       Get(1, "Index", {}, kInt32, "", Bind<Stack, [](Stack& s, const CallArgs&) {
//             return s.Index(); }>()),
//       Method(5, "Push", {ByRef("Node", kIStackNode)}, kNone, "Inserts an item ...",
//              Bind<Stack, [](Stack& s, const CallArgs& a) { s.Push(a.Object<IStackNode>(0));
//              }>()),
//   };
//
// A row binds a small lambda that calls the C++ member; the dispatcher has already converted
// every argument to the row's parameter type (see velmira/dispatch/invoke.h), so the lambda only
// unpacks them. Beside its tables, each *_members.cpp file holds the records of its classes:
//
//   constexpr ClassInfo kStackClass = PublicClass<Stack>(
//       "Velmira.Stack", "03c8ee84-...", kStackInterface, "Velmira.Stack implements ...");
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>

#include "catalogue/class_list.h"
#include "velmira/catalogue/catalogue.h"
#include "velmira/catalogue/member_info.h"
#include "velmira/core/node_interface_list.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira::detail {

/// The converted arguments of one call, one per parameter (a parameter array's arguments at
/// the end), read by the row's lambda.
class CallArgs {
 public:
  explicit CallArgs(std::span<const Variant> args) noexcept : args_(args) {}

  std::int32_t Int32(std::size_t i) const { return args_[i].Int32Value(); }
  bool Bool(std::size_t i) const { return args_[i].BoolValue(); }
  std::string_view Text(std::size_t i) const { return args_[i].Text(); }
  const Variant& Value(std::size_t i) const noexcept { return args_[i]; }
  /// The argument as a reference of interface `I`; error 13 when the object lacks it.
  template <class I>
  Ref<I> Object(std::size_t i) const {
    return As<I>(args_[i].ObjectValue());
  }
  template <class E>
  E Enum(std::size_t i) const {
    return static_cast<E>(args_[i].Int32Value());
  }
  /// The arguments from `i` on: a parameter array.
  std::span<const Variant> Rest(std::size_t i) const noexcept { return args_.subspan(i); }

 private:
  std::span<const Variant> args_;
};

/// A member's C++ result as the Variant a late-bound caller receives.
inline Variant ToVariant(Variant v) noexcept { return v; }
inline Variant ToVariant(bool v) noexcept { return Variant(v); }
inline Variant ToVariant(std::int32_t v) noexcept { return Variant(v); }
inline Variant ToVariant(const std::string& v) { return Variant(v); }
template <class T>
Variant ToVariant(const Ref<T>& v) noexcept {
  return Variant(v);
}
template <class E>
requires std::is_enum_v<E> Variant ToVariant(E v)
noexcept { return Variant(static_cast<std::int32_t>(v)); }

template <class Self, auto Lambda>
Variant Thunk(void* self, std::span<const Variant> converted) {
  Self& object = *static_cast<Self*>(self);
  const CallArgs args(converted);
  if constexpr (std::is_void_v<decltype(Lambda(object, args))>) {
    Lambda(object, args);
    return Variant();
  } else {
    return ToVariant(Lambda(object, args));
  }
}

/// The body of a row whose interface's C++ type is `Self`.
template <class Self, auto Lambda>
constexpr MemberBody Bind() noexcept {
  return &Thunk<Self, Lambda>;
}

/// The cast of an interface whose objects are found as `Found` and called as `Self` (a base of
/// `Found` whose members the rows call: `SplayTree` objects are called through `Tree`).
template <class Found, class Self = Found>
void* CastTo(velmira::Object* object) {
  Found* found = dynamic_cast<Found*>(object);
  return found ? static_cast<void*>(static_cast<Self*>(found)) : nullptr;
}

// Types.
inline constexpr TypeRef kNone{ValueType::None, ""};
inline constexpr TypeRef kBoolean{ValueType::Boolean, "Boolean"};
inline constexpr TypeRef kInt32{ValueType::Int32, "Int32"};
inline constexpr TypeRef kString{ValueType::String, "String"};
inline constexpr TypeRef kVariant{ValueType::Variant, "Variant"};
constexpr TypeRef ObjectOf(std::string_view interface_class) {
  return {ValueType::Object, interface_class};
}
constexpr TypeRef EnumOf(std::string_view enumeration) { return {ValueType::Enum, enumeration}; }

// Parameters.
constexpr ParamInfo ByVal(std::string_view name, TypeRef type) { return {name, type, false}; }
constexpr ParamInfo ByRef(std::string_view name, TypeRef type) { return {name, type, true}; }
constexpr ParamInfo OptionalByRef(std::string_view name, TypeRef type, std::int32_t fallback) {
  return {name, type, true, true, fallback};
}
constexpr ParamInfo ParamArray(std::string_view name) {
  return {name, kVariant, false, false, 0, true};
}

// Rows.
constexpr MemberInfo Row(std::int32_t id, std::string_view name, CallKind kind,
                         std::initializer_list<ParamInfo> params, TypeRef result,
                         std::string_view description, MemberBody body) {
  MemberInfo m;
  m.dispatch_id = id;
  m.name = name;
  m.kind = kind;
  m.result = result;
  m.description = description;
  for (const ParamInfo& p : params) m.param_storage[m.param_count++] = p;
  m.body = body;
  return m;
}
constexpr MemberInfo Get(std::int32_t id, std::string_view name,
                         std::initializer_list<ParamInfo> params, TypeRef result,
                         std::string_view description, MemberBody body) {
  return Row(id, name, CallKind::PropertyGet, params, result, description, body);
}
constexpr MemberInfo Let(std::int32_t id, std::string_view name,
                         std::initializer_list<ParamInfo> params, std::string_view description,
                         MemberBody body) {
  return Row(id, name, CallKind::PropertyLet, params, kNone, description, body);
}
constexpr MemberInfo Set(std::int32_t id, std::string_view name,
                         std::initializer_list<ParamInfo> params, std::string_view description,
                         MemberBody body) {
  return Row(id, name, CallKind::PropertySet, params, kNone, description, body);
}
constexpr MemberInfo Method(std::int32_t id, std::string_view name,
                            std::initializer_list<ParamInfo> params, TypeRef result,
                            std::string_view description, MemberBody body) {
  return Row(id, name, CallKind::Method, params, result, description, body);
}

/// The rows of `parts` one after the other.
template <std::size_t... N>
constexpr auto Join(const std::array<MemberInfo, N>&... parts) {
  std::array<MemberInfo, (N + ...)> all{};
  std::size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), all.begin() + at), at += N), ...);
  return all;
}

/// `rows` without their descriptions: the own interface of a class that lists the members of an
/// interface it implements again (`SplayTree`, `NoDebugger`).
template <std::size_t N>
constexpr std::array<MemberInfo, N> Undescribed(std::array<MemberInfo, N> rows) {
  for (MemberInfo& m : rows) m.description = {};
  return rows;
}

// Class records.

template <class T>
Ref<Object> Make() {
  return New<T>();
}

/// The interfaces a class implements besides its own: `Implements<&kTreeInterface>`.
template <const InterfaceInfo*... Others>
inline constexpr const InterfaceInfo* Implements[] = {Others...};

/// The own interface of a public class ("_Tree"): its members, found on objects as `Found` and
/// called as `Self` (see `CastTo`).
template <class Found, class Self = Found>
constexpr InterfaceInfo Published(std::string_view name, std::string_view id,
                                  std::span<const MemberInfo> members) {
  return {name, name.substr(1), Guid::Parse(id), members, &CastTo<Found, Self>};
}

/// The own interface of a private class ("_DebugTreeNode"), listed with its identifier only.
constexpr InterfaceInfo Unpublished(std::string_view name, std::string_view id) {
  return {name, name.substr(1), Guid::Parse(id), {}, nullptr};
}

/// The record of a class private to the library ("Velmira.DebugTreeNode"), listed with its
/// identifiers only: no description, never created.
constexpr ClassInfo PrivateClass(std::string_view qualified_name, std::string_view class_id,
                                 const InterfaceInfo& own,
                                 std::span<const InterfaceInfo* const> others) {
  ClassInfo c{};
  c.qualified_name = qualified_name;
  c.name = qualified_name.substr(qualified_name.find('.') + 1);
  c.instancing = Instancing::Private;
  c.class_id = Guid::Parse(class_id);
  c.own_interface = &own;
  c.other_interfaces = others;
  return c;
}

/// The record of public class `T`. A creatable class is made by `New<T>`; the objects of a class
/// that is not abstract are exactly of that type, so `ClassOf` finds them by their type.
template <class T, Instancing kInstancing = Instancing::Creatable>
constexpr ClassInfo PublicClass(std::string_view qualified_name, std::string_view class_id,
                                const InterfaceInfo& own, std::string_view description,
                                std::span<const InterfaceInfo* const> others = {}) {
  ClassInfo c = PrivateClass(qualified_name, class_id, own, others);
  c.instancing = kInstancing;
  c.description = description;
  if constexpr (kInstancing == Instancing::Creatable) c.create = &Make<T>;
  if constexpr (!std::is_abstract_v<T>) c.exact_type = &typeid(T);
  return c;
}

// Every class's record, and the element interfaces' own interfaces, which other classes'
// records name among the interfaces they implement.
#define VELMIRA_DECLARE_CLASS_RECORD(Name) extern const ClassInfo k##Name##Class;
VELMIRA_CATALOGUE_CLASSES(VELMIRA_DECLARE_CLASS_RECORD)
#undef VELMIRA_DECLARE_CLASS_RECORD
#define VELMIRA_DECLARE_NODE_INTERFACE(Node, Members) extern const InterfaceInfo k##Node##Interface;
VELMIRA_NODE_INTERFACES(VELMIRA_DECLARE_NODE_INTERFACE)
#undef VELMIRA_DECLARE_NODE_INTERFACE

}  // namespace velmira::detail
