// velmira-browse: the object browser's view of the library on the command line.
//
//   velmira-browse                  the library record, every class and the enumerations
//   velmira-browse Velmira.Tree     one class: description, interfaces, members with signatures
//
// Class names ignore letter case; the library prefix may be left out ("tree"). A member is shown
// as its dispatch identifier, kind, name, parameters and result, with its description on the
// next line when it has one:
//   [3] get Exists(ref Key: Variant) -> Boolean
//       True if an item with the given key is present in the tree.
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>

#include "velmira/catalogue/catalogue.h"
#include "velmira/catalogue/member_info.h"

namespace {

using namespace velmira;

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

/// One line: "method Push(ref Node: IStackNode)", "get Index() -> Int32".
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

/// An interface's name and identifier, then each member with its description.
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

/// A class: name, instancing, description, identifier, then each interface it implements.
std::string DescribeClass(const ClassInfo& info) {
  std::string text = "class " + std::string(info.qualified_name) + " (" +
                     std::string(InstancingWord(info.instancing)) + ") " +
                     info.class_id.ToString() + "\n";
  if (!info.description.empty()) text += "  " + std::string(info.description) + "\n";
  for (const InterfaceInfo* iface : info.Interfaces()) text += DescribeInterface(*iface);
  return text;
}

/// The library record, every class with its instancing and description, and the enumerations.
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

constexpr const char* kUsage =
    "Usage: velmira-browse [CLASS]...\n"
    "Shows the library's classes as an object browser does.\n"
    "\n"
    "  velmira-browse                 the library record, every class and the enumerations\n"
    "  velmira-browse Velmira.Tree    one class: its description, interfaces and members, each\n"
    "                                 with its dispatch identifier, signature and description\n"
    "\n"
    "Class names ignore letter case, and the library prefix may be left out (tree).\n"
    "  -h, --help                     this text\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cout << DescribeCatalogue();
    return 0;
  }
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::cout << kUsage;
      return 0;
    }
    if (arg.size() > 1 && arg[0] == '-') {
      std::cerr << "velmira-browse: unknown option " << arg << "\nTry 'velmira-browse --help'.\n";
      return 2;
    }
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    const velmira::ClassInfo* info = velmira::FindClass(name);
    if (!info) info = velmira::FindClass(std::string(velmira::Library().name) + "." + name);
    if (!info) {
      std::cerr << "velmira-browse: no class named " << name
                << "; 'velmira-browse' with no arguments lists the classes\n";
      status = 1;
      continue;
    }
    std::cout << DescribeClass(*info);
  }
  return status;
}
