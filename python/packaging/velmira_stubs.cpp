// velmira-stubs: writes the Python package's type stubs from the class catalogue, so editors and
// type checkers see every class's members with their signatures and descriptions.
//
//   velmira-stubs HEAD.pyi OUTDIR     writes OUTDIR/__init__.pyi (HEAD, then the classes) and
//                                     OUTDIR/py.typed
//
// Members appear as the package presents them: a property without arguments as a Python
// property (with a setter when it can be assigned), one with arguments as a method of its name
// and, when assignable, a method named Set<Name> taking the new value last; methods as methods.
// A class whose own interface has no descriptions (SplayTree, NoDebugger) takes them from the
// other interface it implements. Element parameters accept any kind of element of that
// interface: the element interface's proxy, the sample element, the links base class, or a
// Python `Element`.
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "velmira/catalogue/catalogue.h"
#include "velmira/catalogue/member_info.h"

namespace {

using namespace velmira;

bool IsElementInterface(std::string_view name) {
  return name.size() > 5 && name.front() == 'I' && name.ends_with("Node");
}

/// "IStackNode" -> "_IStackNode_", the alias of everything a parameter of that type accepts.
std::string ElementAlias(std::string_view name) {
  std::string alias = "_";
  alias.append(name).append("_");
  return alias;
}

/// The Python type of a parameter (`argument`) or of a result.
std::string PythonType(const TypeRef& type, bool argument) {
  switch (type.kind) {
    case ValueType::None:
      return "None";
    case ValueType::Boolean:
      return "bool";
    case ValueType::Int32:
    case ValueType::Enum:
      return "int";
    case ValueType::String:
      return "str";
    case ValueType::Variant:
      return "Variant";
    case ValueType::Object:
      if (argument && IsElementInterface(type.name)) return ElementAlias(type.name) + " | None";
      return std::string(type.name) + " | None";
  }
  return "Any";
}

std::string Indented(std::string_view text, std::string_view indent) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '\n') out += indent;
  }
  return out;
}

/// A docstring line, or "..." when there is no text.
std::string Body(std::string_view description, std::string_view indent) {
  if (description.empty()) return " ...\n";
  std::string text(description);
  for (std::size_t at = 0; (at = text.find("\"\"\"", at)) != std::string::npos; at += 4) {
    text.replace(at, 3, "\\\"\"\"");
  }
  std::string body = "\n";
  body.append(indent).append("\"\"\"").append(Indented(text, indent)).append("\"\"\"\n");
  return body;
}

std::string ParamList(std::span<const ParamInfo> params) {
  std::string text = "self";
  for (const ParamInfo& p : params) {
    if (p.param_array) {
      text += ", *" + std::string(p.name) + ": Variant";
      continue;
    }
    text += ", " + std::string(p.name) + ": " + PythonType(p.type, true);
    if (p.optional) text += " = " + std::to_string(p.default_value);
  }
  return text;
}

/// The rows of one member name: its get, let, set and method rows, any of them absent.
struct Member {
  const MemberInfo* get = nullptr;
  const MemberInfo* assign = nullptr;  // the set row when there is one, else the let row
  const MemberInfo* method = nullptr;
  std::string_view description;
};

/// The members of a class's own interface in slot order, with descriptions filled in from its
/// other interfaces where the own interface has none.
std::vector<std::pair<std::string_view, Member>> MembersOf(const ClassInfo& info) {
  std::vector<std::pair<std::string_view, Member>> members;
  std::map<std::string_view, std::size_t> at;
  for (const MemberInfo& row : info.own_interface->members) {
    auto [it, added] = at.emplace(row.name, members.size());
    if (added) members.push_back({row.name, Member{}});
    Member& m = members[it->second].second;
    switch (row.kind) {
      case CallKind::PropertyGet:
        m.get = &row;
        break;
      case CallKind::PropertyLet:
        if (!m.assign) m.assign = &row;
        break;
      case CallKind::PropertySet:
        m.assign = &row;
        break;
      case CallKind::Method:
        m.method = &row;
        break;
    }
    if (m.description.empty()) m.description = row.description;
  }
  for (const InterfaceInfo* other : info.other_interfaces) {
    for (const MemberInfo& row : other->members) {
      auto it = at.find(row.name);
      if (it != at.end() && members[it->second].second.description.empty()) {
        members[it->second].second.description = row.description;
      }
    }
  }
  return members;
}

/// The row for the default member (`tree["k"]`) on any of the class's interfaces, or null.
const MemberInfo* DefaultMember(const ClassInfo& info) {
  for (const InterfaceInfo* iface : info.Interfaces()) {
    const MemberInfo* row = iface->Find(0, CallKind::PropertyGet);
    if (row && row->param_count > 0) return row;
  }
  return nullptr;
}

/// What `for x in obj` yields: an enumerator's NextItem type, a container's Add parameter type.
std::string_view IteratedType(const ClassInfo& info) {
  const InterfaceInfo& own = *info.own_interface;
  const MemberInfo* next = own.Find("NextItem", CallKind::PropertyGet);
  if (next && next->param_count == 0 && next->result.kind == ValueType::Object) {
    return next->result.name;
  }
  const MemberInfo* add = own.Find("Add", CallKind::Method);
  if (add && add->param_count > 0 && add->Params()[0].type.kind == ValueType::Object) {
    return add->Params()[0].type.name;
  }
  return {};
}

std::string ClassStub(const ClassInfo& info) {
  std::ostringstream out;
  out << "class " << info.name << ":" << Body(info.description, "    ");
  for (const auto& [name, m] : MembersOf(info)) {
    const std::string doc = Body(m.description, "        ");
    if (m.get && m.get->param_count == 0) {
      out << "    @property\n    def " << name << "(self) -> " << PythonType(m.get->result, false)
          << ":" << doc;
      if (m.assign) {
        out << "    @" << name << ".setter\n    def " << name
            << "(self, Value: " << PythonType(m.assign->Params().back().type, true)
            << ") -> None: ...\n";
      }
    } else if (m.get) {
      out << "    def " << name << "(" << ParamList(m.get->Params()) << ") -> "
          << PythonType(m.get->result, false) << ":" << doc;
    }
    if (m.assign && m.assign->param_count > 1) {
      out << "    def Set" << name << "(" << ParamList(m.assign->Params()) << ") -> None:" << doc;
    }
    if (m.method) {
      out << "    def " << name << "(" << ParamList(m.method->Params()) << ") -> "
          << PythonType(m.method->result, false) << ":" << doc;
    }
  }
  if (const MemberInfo* item = DefaultMember(info)) {
    out << "    def __getitem__(self, " << item->Params()[0].name << ": Variant) -> "
        << PythonType(item->result, false) << ":" << Body(item->description, "        ");
  }
  if (std::string_view element = IteratedType(info); !element.empty()) {
    out << "    def __iter__(self) -> Iterator[" << element << "]: ...\n";
  }
  if (const MemberInfo* count = info.own_interface->Find("Count", CallKind::PropertyGet)) {
    if (count->param_count == 0) out << "    def __len__(self) -> int: ...\n";
  }
  return out.str();
}

/// "IStackNode" -> "StackLinks": the package's base class that gives a Python class those links.
std::string LinksClass(std::string_view element) {
  return std::string(element.substr(1, element.size() - 5)) + "Links";
}

std::string Catalogue() {
  std::ostringstream out;
  std::map<std::string_view, std::vector<std::string_view>> samples;  // interface -> classes
  for (const ClassInfo& c : Classes()) {
    if (c.instancing == Instancing::Private) continue;
    out << "\n" << ClassStub(c);
    for (const InterfaceInfo* other : c.other_interfaces) {
      if (IsElementInterface(other->class_name)) samples[other->class_name].push_back(c.name);
    }
  }
  out << "\n# What an element parameter accepts.\n";
  for (const ClassInfo& c : Classes()) {
    if (c.instancing == Instancing::Private || !IsElementInterface(c.name)) continue;
    out << ElementAlias(c.name) << ": TypeAlias = " << c.name;
    for (std::string_view sample : samples[c.name]) out << " | " << sample;
    out << " | " << LinksClass(c.name) << " | Element\n";
  }
  out << "\n";
  for (const ClassInfo& c : Classes()) {
    if (c.instancing != Instancing::Creatable) continue;
    out << "@overload\ndef CreateObject(name: Literal[\"" << c.qualified_name << "\"]) -> "
        << c.name << ": ...\n";
  }
  out << "@overload\ndef CreateObject(name: str) -> Any:\n"
      << "    \"\"\"A new object of a creatable class (\"Velmira.Stack\"), as its proxy.\"\"\"\n";
  for (const EnumInfo& e : Enumerations()) {
    out << "\n# " << e.name << "\n";
    for (const EnumConstant& k : e.constants) out << k.name << ": Final = " << k.value << "\n";
  }
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: velmira-stubs HEAD.pyi OUTDIR\n";
    return 2;
  }
  std::ifstream head_file(argv[1]);
  if (!head_file) {
    std::cerr << "velmira-stubs: cannot read " << argv[1] << "\n";
    return 1;
  }
  const std::string head{std::istreambuf_iterator<char>(head_file), {}};
  const std::string dir = argv[2];
  std::ofstream stub(dir + "/__init__.pyi");
  stub << head << Catalogue();
  std::ofstream marker(dir + "/py.typed");
  if (!stub.flush() || !marker.flush()) {
    std::cerr << "velmira-stubs: cannot write to " << dir << "\n";
    return 1;
  }
  return 0;
}
