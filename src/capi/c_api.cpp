// The C interface's objects, calls, factories, client elements, debug output and standard entry
// points. Each function runs its body under `Guard`, so nothing but a status leaves it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "capi/c_boundary.h"
#include "velmira/catalogue/catalogue.h"
#include "velmira/catalogue/class_factory.h"
#include "velmira/core/debug_output.h"
#include "velmira/dispatch/invoke.h"

namespace velmira::detail {

// The C kinds are the library's kinds, in the same order.
static_assert(VELMIRA_EMPTY == static_cast<int>(VariantKind::Empty));
static_assert(VELMIRA_BOOLEAN == static_cast<int>(VariantKind::Boolean));
static_assert(VELMIRA_CURRENCY == static_cast<int>(VariantKind::Currency));
static_assert(VELMIRA_OBJECT == static_cast<int>(VariantKind::Object));
static_assert(VELMIRA_PROPERTY_GET == static_cast<int>(CallKind::PropertyGet));
static_assert(VELMIRA_METHOD == static_cast<int>(CallKind::Method));

Guid ToGuid(const velmira_guid& id) noexcept {
  Guid g;
  g.data1 = id.data1;
  g.data2 = id.data2;
  g.data3 = id.data3;
  std::copy(std::begin(id.data4), std::end(id.data4), g.data4.begin());
  return g;
}

velmira_guid FromGuid(const Guid& g) noexcept {
  velmira_guid id{g.data1, g.data2, g.data3, {}};
  std::copy(g.data4.begin(), g.data4.end(), std::begin(id.data4));
  return id;
}

namespace {

template <class T>
T& Required(T* pointer, const char* what) {
  if (!pointer) ThrowInvalidArgument(std::string("null ") + what);
  return *pointer;
}

const char* RequiredText(const char* text, const char* what) {
  if (!text) ThrowInvalidArgument(std::string("null ") + what);
  return text;
}

/// The call behind the three invoke functions: through `iface` when given, by `member` when
/// given, else by `dispatch_id`.
void InvokeAny(velmira_handle object, const InterfaceInfo* iface, const char* member,
               std::int32_t dispatch_id, std::int32_t kind, const velmira_variant* args,
               std::size_t arg_count, velmira_variant* result) {
  if (kind < VELMIRA_PROPERTY_GET || kind > VELMIRA_METHOD) {
    ThrowInvalidArgument("unknown call kind " + std::to_string(kind));
  }
  if (arg_count != 0 && !args) ThrowInvalidArgument("null argument array");
  // No caller can hold more variants than memory has room for: a larger count is a bad length.
  if (arg_count > PTRDIFF_MAX / sizeof(velmira_variant)) {
    ThrowInvalidArgument("argument count " + std::to_string(arg_count) + " is over any array's");
  }
  const Ref<Object> target = HandleTable::Instance().Import(object);
  // Most calls take at most two arguments: those are converted in place.
  std::array<Variant, 4> fixed;
  std::vector<Variant> many;
  if (arg_count > fixed.size()) many.resize(arg_count);
  const std::span<Variant> converted =
      arg_count > fixed.size() ? std::span<Variant>(many) : std::span(fixed).first(arg_count);
  for (std::size_t i = 0; i < arg_count; ++i) converted[i] = FromC(args[i], {"argument", i + 1});
  const auto call = static_cast<CallKind>(kind);
  const Variant value =
      iface ? (member ? InvokeThrough(*iface, target, member, call, converted)
                      : InvokeThrough(*iface, target, dispatch_id, call, converted))
            : (member ? Invoke(target, std::string_view(member), call,
                               std::span<const Variant>(converted))
                      : Invoke(target, dispatch_id, call, std::span<const Variant>(converted)));
  if (result) ToC(value, result);
}

Ref<ClassFactory> FactoryOf(velmira_handle factory) {
  Ref<Object> object = HandleTable::Instance().Import(factory);
  auto* f = dynamic_cast<ClassFactory*>(object.get());
  if (!f) ThrowError(kErrTypeMismatch, "the object is not a class factory");
  return Ref<ClassFactory>(f);
}
}  // namespace
}  // namespace velmira::detail

using namespace velmira;
using namespace velmira::detail;

extern "C" {

velmira_status velmira_retain(velmira_handle object, velmira_error* error) {
  return Guard(error, [&] { HandleTable::Instance().Retain(object); });
}

velmira_status velmira_release(velmira_handle object, velmira_error* error) {
  return Guard(error, [&] { HandleTable::Instance().Release(object); });
}

int velmira_is(velmira_handle a, velmira_handle b) {
  int same = 0;
  Guard(nullptr, [&] {
    HandleTable& table = HandleTable::Instance();
    same = Is(table.Import(a), table.Import(b)) ? 1 : 0;
  });
  return same;
}

velmira_status velmira_create_object(const char* qualified_name, velmira_handle* object,
                                     velmira_error* error) {
  return Guard(error, [&] {
    Required(object, "object pointer") = 0;
    *object =
        HandleTable::Instance().Export(CreateObject(RequiredText(qualified_name, "class name")));
  });
}

velmira_status velmira_create_object_by_id(const velmira_guid* class_id, velmira_handle* object,
                                           velmira_error* error) {
  return Guard(error, [&] {
    Required(object, "object pointer") = 0;
    *object = HandleTable::Instance().Export(CreateObject(ToGuid(Required(class_id, "class id"))));
  });
}

velmira_status velmira_class_id(const char* qualified_name, velmira_guid* class_id,
                                velmira_error* error) {
  return Guard(error, [&] {
    const ClassInfo* info = FindClass(std::string_view(RequiredText(qualified_name, "class name")));
    if (!info) {
      ThrowError(kErrCantCreateObject,
                 std::string(qualified_name) + " is not a class of this library");
    }
    Required(class_id, "class id") = FromGuid(info->class_id);
  });
}

velmira_status velmira_guid_parse(const char* text, velmira_guid* id, velmira_error* error) {
  return Guard(error, [&] {
    const auto parsed = Guid::FromString(RequiredText(text, "text"));
    if (!parsed) ThrowInvalidArgument("not an identifier: " + std::string(text));
    Required(id, "identifier") = FromGuid(*parsed);
  });
}

velmira_status velmira_get_class_object(const velmira_guid* class_id, velmira_handle* factory,
                                        velmira_error* error) {
  return Guard(error, [&] {
    Required(factory, "factory pointer") = 0;
    *factory =
        HandleTable::Instance().Export(GetClassObject(ToGuid(Required(class_id, "class id"))));
  });
}

velmira_status velmira_factory_lock(velmira_handle factory, int lock, velmira_error* error) {
  return Guard(error, [&] { FactoryOf(factory)->LockServer(lock != 0); });
}

velmira_status velmira_factory_create(velmira_handle factory, velmira_handle* object,
                                      velmira_error* error) {
  return Guard(error, [&] {
    Required(object, "object pointer") = 0;
    *object = HandleTable::Instance().Export(FactoryOf(factory)->CreateInstance());
  });
}

int velmira_can_unload_now(void) { return CanUnloadNow() ? 1 : 0; }

velmira_status velmira_get_dispatch_id(velmira_handle object, const char* member,
                                       int32_t* dispatch_id, velmira_error* error) {
  return Guard(error, [&] {
    const Ref<Object> target = HandleTable::Instance().Import(object);
    Required(dispatch_id, "identifier pointer") =
        GetDispatchId(target, RequiredText(member, "member name"));
  });
}

velmira_status velmira_invoke(velmira_handle object, const char* member, int32_t kind,
                              const velmira_variant* args, size_t arg_count,
                              velmira_variant* result, velmira_error* error) {
  if (result) *result = velmira_variant{};
  return Guard(error, [&] {
    InvokeAny(object, nullptr, RequiredText(member, "member name"), 0, kind, args, arg_count,
              result);
  });
}

velmira_status velmira_invoke_id(velmira_handle object, int32_t dispatch_id, int32_t kind,
                                 const velmira_variant* args, size_t arg_count,
                                 velmira_variant* result, velmira_error* error) {
  if (result) *result = velmira_variant{};
  return Guard(error, [&] {
    InvokeAny(object, nullptr, nullptr, dispatch_id, kind, args, arg_count, result);
  });
}

velmira_status velmira_invoke_through(velmira_handle object, const char* interface_name,
                                      const char* member, int32_t dispatch_id, int32_t kind,
                                      const velmira_variant* args, size_t arg_count,
                                      velmira_variant* result, velmira_error* error) {
  if (result) *result = velmira_variant{};
  return Guard(error, [&] {
    const InterfaceInfo* iface = FindInterface(RequiredText(interface_name, "interface name"));
    if (!iface || iface->members.empty()) {
      ThrowError(kErrTypeMismatch, std::string(interface_name) + " is not a public interface");
    }
    InvokeAny(object, iface, member, dispatch_id, kind, args, arg_count, result);
  });
}

velmira_status velmira_create_element(const char* interface_name,
                                      const velmira_element_callbacks* callbacks, void* context,
                                      velmira_handle* element, velmira_error* error) {
  return Guard(error, [&] {
    Required(element, "element pointer") = 0;
    *element = CreateClientElement(RequiredText(interface_name, "interface name"),
                                   Required(callbacks, "callback table"), context);
  });
}

velmira_status velmira_element_context(velmira_handle element, void** context,
                                       velmira_error* error) {
  return Guard(error, [&] {
    Required(context, "context pointer") =
        ClientElementContext(HandleTable::Instance().Import(element));
  });
}

velmira_status velmira_set_debug_output(velmira_output_callback callback, void* context,
                                        velmira_error* error) {
  return Guard(error, [&] {
    if (!callback) {
      SetDebugOutput(nullptr);
      return;
    }
    SetDebugOutput([callback, context](std::string_view text) {
      callback(context, text.data(), text.size());
    });
  });
}

int32_t DllGetClassObject(const velmira_guid* class_id, const velmira_guid* interface_id,
                          velmira_handle* factory) {
  if (!class_id || !factory) return VELMIRA_E_INVALIDARG;
  *factory = 0;
  if (interface_id) return VELMIRA_E_NOINTERFACE;
  switch (velmira_get_class_object(class_id, factory, nullptr)) {
    case VELMIRA_OK:
      return VELMIRA_S_OK;
    case VELMIRA_OUT_OF_MEMORY:
      return VELMIRA_E_OUTOFMEMORY;
    default:
      return VELMIRA_CLASS_E_CLASSNOTAVAILABLE;
  }
}

int32_t DllCanUnloadNow(void) { return CanUnloadNow() ? VELMIRA_S_OK : VELMIRA_S_FALSE; }

}  // extern "C"
