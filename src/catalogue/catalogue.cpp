// The library record, the class table and the enumerations, and the lookups over them.
#include "velmira/catalogue/catalogue.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <typeinfo>

#include "catalogue/member_table.h"
#include "velmira/list/list_enum.h"
#include "velmira/tree/tree_enum.h"

namespace velmira {
namespace {

using namespace detail;  // the class records

constexpr LibraryInfo kLibrary{"Velmira",
                               "Commonly used objects and data structures",
                               Guid::Parse("97a5bb96-54e2-4fb7-87bc-7149fee15dfd"),
                               1,
                               1,
                               0x409,
                               "0.00.0021"};

constexpr EnumConstant kListEnumConstants[] = {
    {"eListEnumReverseOrder", eListEnumReverseOrder},
    {"eListEnumInOrder", eListEnumInOrder},
};
constexpr EnumConstant kTreeEnumConstants[] = {
    {"eTreeEnumPreOrder", eTreeEnumPreOrder},
    {"eTreeEnumReverseOrder", eTreeEnumReverseOrder},
    {"eTreeEnumInOrder", eTreeEnumInOrder},
    {"eTreeEnumPostOrder", eTreeEnumPostOrder},
};
constexpr EnumInfo kEnumerations[] = {
    {"ListEnumEnum", kListEnumConstants},
    {"TreeEnumEnum", kTreeEnumConstants},
};

bool IsPublic(const ClassInfo& c) noexcept { return c.instancing != Instancing::Private; }

#define VELMIRA_COUNT_CLASS(Name) +1
constexpr std::size_t kClassCount = 0 VELMIRA_CATALOGUE_CLASSES(VELMIRA_COUNT_CLASS);
#undef VELMIRA_COUNT_CLASS

/// The classes whose objects are all of one C++ type, found by the address of that type's
/// record: a late-bound call asks for the class of its target every time, and comparing type
/// names class after class cost more than the call itself. Built on first use from the constant
/// catalogue and never changed after, so threads share it without a lock.
class ExactTypes {
 public:
  ExactTypes() noexcept {
    for (const ClassInfo& c : Classes()) {
      if (!c.exact_type) continue;
      std::size_t at = SlotOf(*c.exact_type);
      while (slots_[at].type) at = (at + 1) % kSlots;
      slots_[at] = {c.exact_type, &c};
    }
  }

  /// The class whose objects are exactly of `type`, or null (a client's class, a library class
  /// made by a private implementation, or the same type under a second record).
  const ClassInfo* Find(const std::type_info& type) const noexcept {
    for (std::size_t at = SlotOf(type);; at = (at + 1) % kSlots) {
      if (slots_[at].type == &type) return slots_[at].info;
      if (!slots_[at].type) return nullptr;
    }
  }

 private:
  static constexpr std::size_t kSlots = 64;  // a power of two, over twice the classes
  static_assert(kClassCount * 2 <= kSlots);

  static std::size_t SlotOf(const std::type_info& type) noexcept {
    // Records are aligned, so the low bits say nothing; a multiplicative hash spreads the rest.
    const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&type));
    return static_cast<std::size_t>(((bits >> 3) * 0x9E3779B97F4A7C15u) >> 58);
  }

  struct Slot {
    const std::type_info* type = nullptr;
    const ClassInfo* info = nullptr;
  };
  std::array<Slot, kSlots> slots_{};
};

/// The class of `object`, whose type is `type`, by the slow way: by type name, then, for a
/// client's own class or a library class known only by its interface, the most derived public
/// class whose own interface it implements (it comes later in the table than those it builds on).
const ClassInfo* WalkForClass(Object& object, const std::type_info& type) {
  for (const ClassInfo& c : Classes()) {
    if (c.exact_type && *c.exact_type == type) return &c;
  }
  const std::span<const ClassInfo> classes = Classes();
  for (auto c = classes.rbegin(); c != classes.rend(); ++c) {
    if (IsPublic(*c) && c->own_interface->cast(&object)) return &*c;
  }
  return nullptr;
}

}  // namespace

std::vector<const InterfaceInfo*> ClassInfo::Interfaces() const {
  std::vector<const InterfaceInfo*> all{own_interface};
  all.insert(all.end(), other_interfaces.begin(), other_interfaces.end());
  return all;
}

const LibraryInfo& Library() noexcept { return kLibrary; }
std::span<const ClassInfo> Classes() noexcept {
  // The records stand beside their member tables, in other files; one array holds them in
  // catalogue order, copied on first use.
  static const ClassInfo all[] = {
#define VELMIRA_CLASS_RECORD(Name) k##Name##Class,
      VELMIRA_CATALOGUE_CLASSES(VELMIRA_CLASS_RECORD)
#undef VELMIRA_CLASS_RECORD
  };
  return all;
}
std::span<const EnumInfo> Enumerations() noexcept { return kEnumerations; }

const ClassInfo* FindClass(std::string_view qualified_name) noexcept {
  for (const ClassInfo& c : Classes()) {
    if (NamesMatch(c.qualified_name, qualified_name)) return &c;
  }
  return nullptr;
}

const ClassInfo* FindClass(const Guid& class_id) noexcept {
  for (const ClassInfo& c : Classes()) {
    if (c.class_id == class_id) return &c;
  }
  return nullptr;
}

const InterfaceInfo* FindInterface(std::string_view name) noexcept {
  if (!name.empty() && name.front() == '_') name.remove_prefix(1);
  for (const ClassInfo& c : Classes()) {
    if (NamesMatch(c.own_interface->class_name, name)) return c.own_interface;
  }
  return nullptr;
}

const InterfaceInfo* FindInterface(const Guid& interface_id) noexcept {
  for (const ClassInfo& c : Classes()) {
    if (c.own_interface->id == interface_id) return c.own_interface;
  }
  return nullptr;
}

const ClassInfo* ClassOf(const Ref<Object>& object) {
  if (!object) return nullptr;
  const Object& target = *object;
  const std::type_info& type = typeid(target);
  static const ExactTypes exact_types;
  if (const ClassInfo* c = exact_types.Find(type)) return c;
  // Client classes, and library classes known only by their interface, take the walk. Its
  // answer depends on the type alone, but it is not remembered: the library keeps no state
  // beyond its counts, and a caller that calls often resolves the member once (`Resolve`).
  return WalkForClass(*object, type);
}

}  // namespace velmira
