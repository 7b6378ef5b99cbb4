// The catalogue as C structs: the library record, the classes, the member tables and the
// enumeration constants. The structs and their NUL-terminated texts are made once, on first use,
// from the catalogue's constant tables, and never change afterwards.
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "capi/c_boundary.h"
#include "velmira/catalogue/catalogue.h"
#include "velmira/dispatch/invoke.h"

namespace velmira::detail {
namespace {

// A member row has room for every parameter a catalogue member takes.
static_assert(MemberInfo::kMaxParams == std::size(velmira_member_info{}.params));

struct CCatalogue {
  std::deque<std::string> texts;  // a deque: kept texts never move
  velmira_library_info library{};
  std::vector<velmira_class_info> classes;
  std::unordered_map<const InterfaceInfo*, std::vector<velmira_member_info>> members;
  struct Constant {
    const char* enumeration;
    const char* name;
    std::int32_t value;
  };
  std::vector<Constant> constants;

  const char* Keep(std::string_view text) { return texts.emplace_back(text).c_str(); }

  void AddMembers(const InterfaceInfo& iface) {
    if (members.contains(&iface)) return;
    std::vector<velmira_member_info>& rows = members[&iface];
    for (const MemberInfo& m : iface.members) {
      velmira_member_info row{};
      row.dispatch_id = m.dispatch_id;
      row.name = Keep(m.name);
      row.kind = static_cast<std::int32_t>(m.kind);
      row.result_type = static_cast<std::int32_t>(m.result.kind);
      row.result_type_name = Keep(m.result.name);
      row.description = Keep(m.description);
      row.param_count = m.param_count;
      for (std::size_t i = 0; i < m.param_count; ++i) {
        const ParamInfo& p = m.Params()[i];
        row.params[i] = {Keep(p.name),      static_cast<std::int32_t>(p.type.kind),
                         Keep(p.type.name), p.optional ? 1 : 0,
                         p.default_value,   p.param_array ? 1 : 0};
      }
      rows.push_back(row);
    }
  }

  CCatalogue() {
    const LibraryInfo& lib = Library();
    library = {Keep(lib.name),        Keep(lib.description), FromGuid(lib.id),
               lib.major_version,     lib.minor_version,     lib.locale,
               Keep(lib.file_version)};
    for (const ClassInfo& c : Classes()) {
      velmira_class_info info{};
      info.name = Keep(c.name);
      info.qualified_name = Keep(c.qualified_name);
      info.instancing = static_cast<std::int32_t>(c.instancing);
      info.class_id = FromGuid(c.class_id);
      info.description = Keep(c.description);
      for (const InterfaceInfo* iface : c.Interfaces()) {
        if (info.interface_count == 4) break;
        info.interfaces[info.interface_count++] = Keep(iface->name);
        AddMembers(*iface);
      }
      classes.push_back(info);
    }
    for (const EnumInfo& e : Enumerations()) {
      for (const EnumConstant& k : e.constants) {
        constants.push_back({Keep(e.name), Keep(k.name), k.value});
      }
    }
  }
};

const CCatalogue& Catalogue() {
  static const CCatalogue catalogue;
  return catalogue;
}

const std::vector<velmira_member_info>& MembersOf(const char* interface_name) {
  const InterfaceInfo* iface = interface_name ? FindInterface(interface_name) : nullptr;
  const CCatalogue& c = Catalogue();
  const auto found = iface ? c.members.find(iface) : c.members.end();
  if (found == c.members.end()) {
    ThrowError(kErrTypeMismatch, std::string(interface_name ? interface_name : "(null)") +
                                     " is not an interface of this library");
  }
  return found->second;
}

template <class T>
const T& At(const std::vector<T>& items, std::size_t index) {
  if (index >= items.size())
    ThrowInvalidArgument("index " + std::to_string(index) + " out of range");
  return items[index];
}

}  // namespace
}  // namespace velmira::detail

using namespace velmira;
using namespace velmira::detail;

extern "C" {

const velmira_library_info* velmira_library(void) {
  const velmira_library_info* info = nullptr;
  Guard(nullptr, [&] { info = &Catalogue().library; });
  return info;
}

size_t velmira_class_count(void) { return Classes().size(); }

velmira_status velmira_class_at(size_t index, velmira_class_info* info, velmira_error* error) {
  return Guard(error, [&] {
    if (!info) ThrowInvalidArgument("null class record");
    *info = At(Catalogue().classes, index);
  });
}

velmira_status velmira_class_of(velmira_handle object, velmira_class_info* info,
                                velmira_error* error) {
  return Guard(error, [&] {
    if (!info) ThrowInvalidArgument("null class record");
    const Ref<Object> target = HandleTable::Instance().Import(object);
    DefaultInterfaceOf(target);  // raises 91 for Nothing, 438 for an object of no library class
    *info = Catalogue().classes[static_cast<std::size_t>(ClassOf(target) - Classes().data())];
  });
}

int32_t velmira_member_count(const char* interface_name) {
  std::int32_t count = -1;
  Guard(nullptr, [&] { count = static_cast<std::int32_t>(MembersOf(interface_name).size()); });
  return count;
}

velmira_status velmira_member_at(const char* interface_name, size_t index,
                                 velmira_member_info* info, velmira_error* error) {
  return Guard(error, [&] {
    if (!info) ThrowInvalidArgument("null member record");
    *info = At(MembersOf(interface_name), index);
  });
}

velmira_status velmira_enum_constant(size_t index, const char** enumeration, const char** name,
                                     int32_t* value, velmira_error* error) {
  return Guard(error, [&] {
    if (!enumeration || !name || !value) ThrowInvalidArgument("null output pointer");
    const auto& k = At(Catalogue().constants, index);
    *enumeration = k.enumeration;
    *name = k.name;
    *value = k.value;
  });
}

}  // extern "C"
