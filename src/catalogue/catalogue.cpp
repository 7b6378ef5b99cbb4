// The library record, the class table and the enumerations, and the lookups over them.
#include "velmira/catalogue/catalogue.h"

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

const ClassInfo* FindClass(std::string_view qualifiedName) noexcept {
  for (const ClassInfo& c : Classes()) {
    if (NamesMatch(c.qualified_name, qualifiedName)) return &c;
  }
  return nullptr;
}

const ClassInfo* FindClass(const Guid& classId) noexcept {
  for (const ClassInfo& c : Classes()) {
    if (c.class_id == classId) return &c;
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

const InterfaceInfo* FindInterface(const Guid& interfaceId) noexcept {
  for (const ClassInfo& c : Classes()) {
    if (c.own_interface->id == interfaceId) return c.own_interface;
  }
  return nullptr;
}

const ClassInfo* ClassOf(const Ref<Object>& object) {
  if (!object) return nullptr;
  const Object& target = *object;
  const std::type_info& type = typeid(target);
  for (const ClassInfo& c : Classes()) {
    if (c.exact_type && *c.exact_type == type) return &c;
  }
  // A client's own class, or a library class known only by its interface: the most derived
  // public class comes later in the table than the classes it builds on.
  const std::span<const ClassInfo> classes = Classes();
  for (auto c = classes.rbegin(); c != classes.rend(); ++c) {
    if (IsPublic(*c) && c->own_interface->cast(object.get())) return &*c;
  }
  return nullptr;
}

}  // namespace velmira
