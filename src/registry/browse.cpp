#include "velmira/registry/browse.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace velmira {
namespace {

std::string_view KindWord(CallKind kind) noexcept {
  switch (kind) {
    case CallKind::PropertyGet:
      return "get";
    case CallKind::PropertyLet:
      return "let";
    case CallKind::PropertySet:
      return "set";
    case CallKind::Method:
      return "method";
  }
  return "";
}

std::string_view InstancingWord(Instancing instancing) noexcept {
  switch (instancing) {
    case Instancing::Creatable:
      return "creatable";
    case Instancing::NotCreatable:
      return "not creatable";
    case Instancing::Private:
      return "private";
  }
  return "";
}

std::string ParamText(const ParamInfo& p) {
  std::string text;
  if (p.optional) text += "optional ";
  if (p.param_array) return text + "paramarray " + std::string(p.name) + "[]: Variant";
  text += p.by_ref ? "ref " : "";
  text += std::string(p.name) + ": " + std::string(p.type.name);
  if (p.optional) text += " = " + std::to_string(p.default_value);
  return text;
}

std::string LocaleText(std::uint32_t locale) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(locale));
  return text;
}

}  // namespace

std::string MemberSignature(const MemberInfo& member) {
  std::string text = std::string(KindWord(member.kind)) + " " + std::string(member.name) + "(";
  bool first = true;
  for (const ParamInfo& p : member.Params()) {
    if (!first) text += ", ";
    first = false;
    text += ParamText(p);
  }
  text += ")";
  if (member.result.kind != ValueType::None) text += " -> " + std::string(member.result.name);
  return text;
}

std::string DescribeInterface(const InterfaceInfo& iface) {
  std::string text = "interface " + std::string(iface.name) + " " + iface.id.ToString() + "\n";
  if (iface.members.empty()) return text + "  (members not published)\n";
  for (const MemberInfo& m : iface.members) {
    text += "  [" + std::to_string(m.dispatch_id) + "] " + MemberSignature(m);
    if (m.dispatch_id == 0) text += "  (default member)";
    text += "\n";
    if (!m.description.empty()) text += "      " + std::string(m.description) + "\n";
  }
  return text;
}

std::string DescribeClass(const ClassInfo& info) {
  std::string text = "class " + std::string(info.qualified_name) + " (" +
                     std::string(InstancingWord(info.instancing)) + ") " +
                     info.class_id.ToString() + "\n";
  if (!info.description.empty()) text += "  " + std::string(info.description) + "\n";
  for (const InterfaceInfo* iface : info.Interfaces()) text += DescribeInterface(*iface);
  return text;
}

std::string DescribeCatalogue() {
  const LibraryInfo& lib = Library();
  std::string text = "library " + std::string(lib.name) + " " + std::to_string(lib.major_version) +
                     "." + std::to_string(lib.minor_version) + " " + lib.id.ToString() + "\n  " +
                     std::string(lib.description) + "\n  file version " +
                     std::string(lib.file_version) + ", locale " + LocaleText(lib.locale) + "\n";
  for (const ClassInfo& c : Classes()) {
    text +=
        std::string(c.qualified_name) + " (" + std::string(InstancingWord(c.instancing)) + ")\n";
    if (!c.description.empty()) text += "  " + std::string(c.description) + "\n";
  }
  for (const EnumInfo& e : Enumerations()) {
    text += "enum " + std::string(e.name) + "\n";
    for (const EnumConstant& k : e.constants) {
      text += "  " + std::string(k.name) + " = " + std::to_string(k.value) + "\n";
    }
  }
  return text;
}

}  // namespace velmira
