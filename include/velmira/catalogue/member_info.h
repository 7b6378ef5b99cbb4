// The description of an interface for late-bound callers and object browsers: its members in
// slot order, each with its kind, parameters, result, description and dispatch identifier.
//
//   const InterfaceInfo* tree = FindInterface("Tree");            // or "_Tree"
//   for (const MemberInfo& m : tree->members)
//     std::cout << m.dispatch_id << ' ' << m.name << ' ' << m.Params().size() << '\n';
//   const MemberInfo* item = tree->Find("item", CallKind::PropertyGet);   // names ignore case
//
// The tables are constant data, one per interface, built once in the library; nothing here
// allocates. A property's get, let and set accessors are separate rows that share one name and
// one dispatch identifier; every other name has an identifier of its own, fixed for ever and
// unique within the interface. Identifier 0 marks the default member (only `Tree`'s `Item`).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "velmira/catalogue/guid.h"
#include "velmira/core/object.h"
#include "velmira/core/variant.h"

namespace velmira {

/// How a member is called: read a property, assign a value to it, assign an object reference to
/// it, or call a method.
enum class CallKind { PropertyGet, PropertyLet, PropertySet, Method };

/// The kinds of value a parameter or result can have.
enum class ValueType : std::uint8_t {
  None,     ///< no result
  Boolean,  ///< true or false; -1 and 0 as numbers
  Int32,    ///< 32-bit signed integer
  String,   ///< text (UTF-8)
  Variant,  ///< any value, passed on unconverted
  Object,   ///< a reference to an object implementing the interface `TypeRef::name`
  Enum,     ///< a 32-bit signed constant of the enumeration `TypeRef::name`
};

/// A parameter or result type: the kind and, for objects and enumerations, the type's name
/// ("IStackNode", "TreeEnum", "ListEnumEnum"). For the other kinds `name` is the kind's name.
struct TypeRef {
  ValueType kind = ValueType::None;
  std::string_view name;
};

/// One parameter of a member.
struct ParamInfo {
  std::string_view name;
  TypeRef type;
  /// Passed by reference on the interface. The library never assigns to such an argument, so
  /// for a late-bound caller the flag is documentation only.
  bool by_ref = false;
  /// May be left out; it then takes `default_value` (every optional parameter of the library
  /// is an integer).
  bool optional = false;
  std::int32_t default_value = 0;
  /// Takes every remaining argument, zero or more, as a list of Variants. Always the last.
  bool param_array = false;
};

namespace detail {
/// Calls the C++ member a row stands for; `self` points to the row's interface type and `args`
/// are already converted to the row's parameter types.
using MemberBody = Variant (*)(void* self, std::span<const Variant> args);
/// The object's subobject of an interface's C++ type, or null when it does not implement it.
using InterfaceCast = void* (*)(Object* object);
/// For one dispatch identifier, the row answering each kind of call (indexed by `CallKind`): its
/// position in the interface's members plus one, or 0 when no row answers.
using RowsOfId = std::array<std::uint8_t, 4>;
}  // namespace detail

/// One accessor or method of an interface.
struct MemberInfo {
  static constexpr std::size_t kMaxParams = 2;  // no member of the library takes more

  /// Shared by a property's accessors; unique per name within the interface; 0 is the default.
  std::int32_t dispatch_id = 0;
  std::string_view name;
  CallKind kind = CallKind::Method;
  TypeRef result;
  /// The one-line description object browsers show; empty when the member has none.
  std::string_view description;
  std::array<ParamInfo, kMaxParams> param_storage{};
  std::uint8_t param_count = 0;
  /// Internal to the library: the call the dispatcher makes.
  detail::MemberBody body = nullptr;

  /// The parameters in order (for a let or set accessor the new value comes last).
  constexpr std::span<const ParamInfo> Params() const noexcept {
    return {param_storage.data(), param_count};
  }
  /// The number of arguments the member needs at least.
  constexpr std::size_t RequiredCount() const noexcept {
    std::size_t required = 0;
    for (const ParamInfo& p : Params()) required += !p.optional && !p.param_array;
    return required;
  }
  /// True when the last parameter is a parameter array.
  constexpr bool HasParamArray() const noexcept {
    return param_count > 0 && Params().back().param_array;
  }
};

/// A dual interface: a class's own interface ("_Stack") or an element interface ("IStackNode").
struct InterfaceInfo {
  /// "_Stack" for the class `Stack`'s own interface; the element interfaces are classes too,
  /// so theirs are "_IStackNode" and so on.
  std::string_view name;
  /// The class whose own interface this is ("Stack"), the name parameters are typed with.
  std::string_view class_name;
  Guid id;
  /// Every accessor and method in slot order. Empty for the private classes' interfaces, which
  /// are not published.
  std::span<const MemberInfo> members;
  /// Internal to the library: finds the interface on an object.
  detail::InterfaceCast cast = nullptr;
  /// Internal to the library: the rows by dispatch identifier, so that a call by identifier
  /// finds its row without a search. Empty for an interface without members.
  std::span<const detail::RowsOfId> rows_by_id;

  /// True when `object` implements this interface (false for Nothing).
  bool IsImplementedBy(const Ref<Object>& object) const;
  /// The dispatch identifier of the member called `name` (any letter case), or of the default
  /// member for an empty name; -1 when there is none.
  std::int32_t DispatchIdOf(std::string_view name) const noexcept;
  /// The row for `dispatch_id` and `kind`, or null. A get request also finds a method and a
  /// method request a get: a scripting client cannot tell `x.Pop` from `x.Top`.
  const MemberInfo* Find(std::int32_t dispatch_id, CallKind kind) const noexcept {
    if (rows_by_id.empty()) return FindByScan(dispatch_id, kind);
    if (dispatch_id < 0 || static_cast<std::size_t>(dispatch_id) >= rows_by_id.size()) {
      return nullptr;
    }
    const std::uint8_t at =
        rows_by_id[static_cast<std::size_t>(dispatch_id)][static_cast<std::size_t>(kind)];
    return at == 0 ? nullptr : &members[at - 1u];
  }
  /// `Find(DispatchIdOf(name), kind)`.
  const MemberInfo* Find(std::string_view name, CallKind kind) const noexcept;

 private:
  const MemberInfo* FindByScan(std::int32_t dispatch_id, CallKind kind) const noexcept;
};

/// Compares two names as the catalogue and the dispatcher do: ASCII letters in any case.
bool NamesMatch(std::string_view a, std::string_view b) noexcept;

namespace detail {
/// What `InterfaceInfo::Find` answers, found by walking `members`: the tables' index is built
/// from it once, at compile time.
constexpr const MemberInfo* ScanForRow(std::span<const MemberInfo> members,
                                       std::int32_t dispatch_id, CallKind kind) noexcept {
  const auto reads = [](CallKind k) { return k == CallKind::PropertyGet || k == CallKind::Method; };
  const MemberInfo* stand_in = nullptr;
  for (const MemberInfo& m : members) {
    if (m.dispatch_id != dispatch_id) continue;
    if (m.kind == kind) return &m;
    if (reads(kind) && reads(m.kind)) stand_in = &m;
  }
  return stand_in;
}
}  // namespace detail

}  // namespace velmira
