// The class catalogue: the library record, every class with its instancing, interfaces,
// description and identifiers, and the published enumerations.
//
//   const ClassInfo* c = FindClass("Velmira.SplayTree");     // qualified names ignore case
//   std::cout << c->description << '\n';
//   for (const InterfaceInfo* i : c->Interfaces()) std::cout << i->name << '\n';  // _SplayTree
//   const ClassInfo* same = FindClass(c->class_id);
//
// All of it is constant data: the library holds no catalogue state that could change.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "velmira/catalogue/guid.h"
#include "velmira/catalogue/member_info.h"
#include "velmira/core/object.h"
#include "velmira/core/ref.h"

namespace velmira {

/// What the library says about itself.
struct LibraryInfo {
  std::string_view name;         ///< "Velmira", the prefix of every qualified class name
  std::string_view description;  ///< "Commonly used objects and data structures"
  Guid id;                       ///< the type library's identifier
  std::uint16_t major_version;   ///< type-library version 1.1
  std::uint16_t minor_version;
  std::uint32_t locale;           ///< 0x409, US English
  std::string_view file_version;  ///< "0.00.0021"
};

/// Whether clients may create a class.
enum class Instancing : std::uint8_t {
  Creatable,     ///< `CreateObject` makes one
  NotCreatable,  ///< a public type clients receive from the library or implement themselves
  Private,       ///< internal to the library; listed for completeness, never handed out
};

/// One class of the library.
struct ClassInfo {
  std::string_view name;            ///< "Stack"
  std::string_view qualified_name;  ///< "Velmira.Stack"
  Instancing instancing;
  Guid class_id;
  /// The class's own interface ("_Stack").
  const InterfaceInfo* own_interface;
  /// The interfaces it implements besides its own ("_Tree" for SplayTree).
  std::span<const InterfaceInfo* const> other_interfaces;
  /// The one-line description object browsers show; empty for the private classes.
  std::string_view description;
  /// Internal to the library: makes a new object (creatable classes only).
  Ref<Object> (*create)() = nullptr;
  /// Internal to the library: the exact C++ type of the objects it creates, when public.
  const std::type_info* exact_type = nullptr;

  /// The own interface first, then the others.
  std::vector<const InterfaceInfo*> Interfaces() const;
};

/// A published enumeration and its constants.
struct EnumConstant {
  std::string_view name;
  std::int32_t value;
};
struct EnumInfo {
  std::string_view name;
  std::span<const EnumConstant> constants;
};

/// The library record.
const LibraryInfo& Library() noexcept;
/// Every class, public ones first (element interfaces, sample elements, containers,
/// enumerators, debuggers), then the private ones.
std::span<const ClassInfo> Classes() noexcept;
/// `ListEnumEnum` and `TreeEnumEnum`.
std::span<const EnumInfo> Enumerations() noexcept;

/// The class with this qualified name ("Velmira.Stack", letters in any case), or null. Bare
/// class names are not accepted: the library prefix is part of the name clients use.
const ClassInfo* FindClass(std::string_view qualified_name) noexcept;
/// The class with this class identifier, or null.
const ClassInfo* FindClass(const Guid& class_id) noexcept;
/// The interface named "_Tree" or "Tree" (any letter case), or with this identifier; null when
/// there is none. Covers the own interfaces of all classes, element interfaces included.
const InterfaceInfo* FindInterface(std::string_view name) noexcept;
const InterfaceInfo* FindInterface(const Guid& interface_id) noexcept;

/// The library class `object` is an instance of: its exact class, or for an object of a
/// client's own class the last public class in catalogue order whose own interface it
/// implements (so a client's `IStackNode` element answers as `IStackNode`, a client's subclass
/// of `Tree` as `Tree`). Null for Nothing and for objects that implement none.
const ClassInfo* ClassOf(const Ref<Object>& object);

}  // namespace velmira
