// Fuzz target: late-bound calls. The input is a program over a pool of objects made by class
// name: each step calls a member, named as the catalogue has it (in a scrambled letter case),
// by dispatch identifier, or by arbitrary bytes, with any kind of call and up to four arguments
// of any kind (objects of the pool and Nothing included). A call may return a result or raise
// one of the errors the late-bound interface documents, and nothing else; it must not crash. At
// the end every object is released and the live-object count must be back where it started.
//
// Two things a client could do are left out because they are not faults: setting an element's
// links or key to an object (a cycle of references that nothing can release), and naming the
// debugger's log file (it would create files).
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "velmira/catalogue/catalogue.h"
#include "velmira/catalogue/class_factory.h"
#include "velmira/core/debug_output.h"
#include "velmira/core/error.h"
#include "velmira/core/node_interfaces.h"
#include "velmira/core/object.h"
#include "velmira/dispatch/invoke.h"

using namespace velmira;
using velmira::fuzz::MakeVariant;
using velmira::fuzz::Reader;

namespace {

constexpr std::size_t kPoolSize = 8;

/// The error numbers a late-bound call may raise (see invoke.h), argument conversion's overflow
/// and type mismatch included.
bool Documented(std::int32_t number) {
  switch (number) {
    case kErrOverflow:
    case kErrTypeMismatch:
    case kErrObjectNotSet:
    case kErrMemberNotFound:
    case kErrArgumentNotOptional:
    case kErrWrongArgumentCount:
      return true;
    default:
      return false;
  }
}

/// True for the element classes, whose links and keys a client could point back at themselves.
bool IsElement(const Ref<Object>& target) {
  const Object* p = target.get();
  return dynamic_cast<const IStackNode*>(p) || dynamic_cast<const IQueueNode*>(p) ||
         dynamic_cast<const IPQueueNode*>(p) || dynamic_cast<const IListNode*>(p) ||
         dynamic_cast<const ITreeNode*>(p);
}

bool Skipped(const Ref<Object>& target, std::string_view name, CallKind kind,
             const std::vector<Variant>& args) {
  if (kind != CallKind::PropertyLet && kind != CallKind::PropertySet) return false;
  if (NamesMatch(name, "OutputFile") || NamesMatch(name, "OutputToFile")) return true;
  if (!IsElement(target)) return false;
  for (const Variant& a : args) {
    if (a.Kind() == VariantKind::Object) return true;
  }
  return false;
}

std::string Scramble(std::string_view name, Reader& r) {
  std::string s(name);
  const std::uint8_t mask = r.Byte();
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (mask & (1u << (i % 8)) && std::isalpha(c)) s[i] = static_cast<char>(c ^ 0x20);
  }
  return s;
}

void Run(Reader& r) {
  static const std::vector<const ClassInfo*> classes = [] {
    std::vector<const ClassInfo*> creatable;
    for (const ClassInfo& c : Classes())
      if (c.instancing == Instancing::Creatable) creatable.push_back(&c);
    return creatable;
  }();
  std::vector<Ref<Object>> pool(kPoolSize);
  for (Ref<Object>& slot : pool)
    slot = CreateObject(classes[r.Byte() % classes.size()]->qualified_name);

  for (int step = 0; step < 64 && r.n > 0; ++step) {
    const Ref<Object> target = pool[r.Byte() % kPoolSize];  // may be Nothing
    const auto kind = static_cast<CallKind>(r.Byte() % 4);
    const std::uint8_t how = r.Byte();
    std::string name;
    std::int32_t id = -1;
    if (how % 4 == 0) {
      name = r.Bytes(16);
    } else if (target) {
      const InterfaceInfo& iface = DefaultInterfaceOf(target);
      if (iface.members.empty()) continue;
      const MemberInfo& m = iface.members[r.Byte() % iface.members.size()];
      name = Scramble(m.name, r);
      if (how % 4 == 3) id = m.dispatch_id;
    }
    std::vector<Variant> args(r.Byte() % 5);
    for (Variant& a : args) {
      const std::uint8_t k = r.Byte();
      a = k % 4 == 0 ? Variant(pool[k / 4 % kPoolSize]) : MakeVariant(r);
    }
    if (Skipped(target, name, kind, args)) continue;
    try {
      const Variant result =
          id >= 0 ? Invoke(target, id, kind, args) : Invoke(target, name, kind, args);
      if (result.Kind() == VariantKind::Object && result.ObjectValue()) {
        pool[r.Byte() % kPoolSize] = result.ObjectValue();
      }
    } catch (const Error& e) {
      if (!Documented(e.Number())) {
        std::fprintf(stderr, "undocumented error %d from %s\n", e.Number(), name.c_str());
        std::abort();
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::int64_t live = LiveObjectCount();
  DebugSink previous = SetDebugOutput([](std::string_view) {});
  Reader r{data, size};
  Run(r);
  SetDebugOutput(previous);
  if (LiveObjectCount() != live) {
    std::fprintf(stderr, "leak: %lld objects left alive\n",
                 static_cast<long long>(LiveObjectCount() - live));
    std::abort();
  }
  return 0;
}
