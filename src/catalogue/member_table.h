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
#include "velmira/elements/list_node.h"
#include "velmira/elements/pqueue_node.h"
#include "velmira/elements/queue_node.h"
#include "velmira/elements/stack_node.h"
#include "velmira/elements/tree_node.h"

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
  Ref<I> Object(std::size_t i) const;
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

/// True when `object` is exactly of class `T`, by the addresses of the type records: one address
/// is one type. A type with a second record (in another shared object) answers false, which
/// only sends the caller the slow way.
template <class T>
bool IsExactly(const velmira::Object& object) noexcept {
  return &typeid(object) == &typeid(T);
}

/// `object` as the `Exact` it is: the most derived object's address, read from its virtual
/// table, needs no search of the class's bases (as a `dynamic_cast` to `Exact*` would).
template <class Exact>
Exact* AsExactly(velmira::Object& object) noexcept {
  return static_cast<Exact*>(dynamic_cast<void*>(&object));
}

/// The cast of an interface whose objects are found as `Found` and called as `Self` (a base of
/// `Found` whose members the rows call: `SplayTree` objects are called through `Tree`).
template <class Found, class Self = Found>
void* CastTo(velmira::Object* object) {
  if constexpr (!std::is_abstract_v<Found>) {
    if (object && IsExactly<Found>(*object)) return static_cast<Self*>(AsExactly<Found>(*object));
  }
  Found* found = dynamic_cast<Found*>(object);
  return found ? static_cast<void*>(static_cast<Self*>(found)) : nullptr;
}

/// The sample element class of an element interface: the class most arguments of that interface
/// are, which `CallArgs::Object` converts without a `dynamic_cast`.
template <class I>
struct SampleElementOf {};
#define VELMIRA_SAMPLE_ELEMENT(Sample) \
  template <>                          \
  struct SampleElementOf<I##Sample> {  \
    using type = Sample;               \
  };
VELMIRA_SAMPLE_ELEMENT(StackNode)
VELMIRA_SAMPLE_ELEMENT(QueueNode)
VELMIRA_SAMPLE_ELEMENT(PQueueNode)
VELMIRA_SAMPLE_ELEMENT(ListNode)
VELMIRA_SAMPLE_ELEMENT(TreeNode)
#undef VELMIRA_SAMPLE_ELEMENT

template <class I>
Ref<I> CallArgs::Object(std::size_t i) const {
  if constexpr (requires { typename SampleElementOf<I>::type; }) {
    using Sample = typename SampleElementOf<I>::type;
    if (args_[i].Kind() == VariantKind::Object) {
      auto* object = const_cast<velmira::Object*>(VariantAccess::Object(args_[i]));
      if (object && IsExactly<Sample>(*object)) return Ref<Sample>(AsExactly<Sample>(*object));
    }
  }
  return As<I>(args_[i].ObjectValue());
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

/// The number of dispatch identifiers `Members` uses: 0 to the highest.
template <const auto& Members>
constexpr std::size_t IdCount() {
  std::int32_t top = 0;
  for (const MemberInfo& m : Members) top = std::max(top, m.dispatch_id);
  return static_cast<std::size_t>(top) + 1;
}

/// For each dispatch identifier of `Members` and each kind of call, the row `Find` answers.
template <const auto& Members>
constexpr auto IndexRows() {
  static_assert(std::size(Members) < 255, "a row's position must fit in RowsOfId");
  const std::span<const MemberInfo> members(Members);
  std::array<RowsOfId, IdCount<Members>()> index{};
  for (std::size_t id = 0; id < index.size(); ++id) {
    for (std::size_t kind = 0; kind < 4; ++kind) {
      const MemberInfo* row =
          ScanForRow(members, static_cast<std::int32_t>(id), static_cast<CallKind>(kind));
      index[id][kind] = row ? static_cast<std::uint8_t>(row - members.data() + 1) : 0;
    }
  }
  return index;
}
template <const auto& Members>
inline constexpr auto kRowIndex = IndexRows<Members>();

/// The own interface of a public class ("_Tree"): its members `Members`, found on objects as
/// `Found` and called as `Self` (see `CastTo`).
template <const auto& Members, class Found, class Self = Found>
constexpr InterfaceInfo Published(std::string_view name, std::string_view id) {
  return {name, name.substr(1), Guid::Parse(id), Members, &CastTo<Found, Self>, kRowIndex<Members>};
}

/// The own interface of a private class ("_DebugTreeNode"), listed with its identifier only.
constexpr InterfaceInfo Unpublished(std::string_view name, std::string_view id) {
  return {name, name.substr(1), Guid::Parse(id), {}, nullptr, {}};
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
