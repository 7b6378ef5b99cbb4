// Client elements: objects that implement an element interface by calling a C client's callback
// table, one callback per member call, named as the catalogue's member tables name it (both come
// from the list of node_interface_list.h).
#include <array>
#include <cstring>

#include "capi/c_boundary.h"
#include "velmira/catalogue/member_info.h"
#include "velmira/core/node_interface_list.h"
#include "velmira/core/node_interfaces.h"

namespace velmira::detail {
namespace {

/// Ends a client's message that fills its whole buffer without a NUL, cutting before the last
/// character rather than inside it.
void TerminateMessage(char (&message)[VELMIRA_MESSAGE_SIZE]) noexcept {
  if (std::memchr(message, '\0', sizeof message)) return;
  std::size_t n = sizeof message - 1;
  while (n > 0 && (static_cast<unsigned char>(message[n]) & 0xC0) == 0x80) --n;
  message[n] = '\0';
}

/// What every client element shares: the callbacks, the context and the element's own handle.
class ClientCalls {
 public:
  ClientCalls(const velmira_element_callbacks& callbacks, void* context) noexcept
      : callbacks_(callbacks), context_(context) {
    callbacks_.release = nullptr;  // armed by `Arm` once the element is fully set up
  }
  virtual ~ClientCalls() {
    if (handle_ != 0) HandleTable::Instance().Unregister(handle_);
    if (release_) release_(context_);
  }

  void* Context() const noexcept { return context_; }
  void Arm(velmira_handle handle, void (*release)(void*)) noexcept {
    handle_ = handle;
    release_ = release;
  }

 protected:
  /// Calls the client's callback for the member `name` (dispatch identifier `id`) with `args`;
  /// its result as a Variant. A failing callback's error is raised as `Error` with the client's
  /// own number and message.
  Variant Call(const char* name, std::int32_t id, CallKind kind,
               std::span<const Variant> args) const {
    std::array<velmira_variant, MemberInfo::kMaxParams> c_args{};
    velmira_variant result{};
    velmira_error error{};
    // The arguments belong to this call; the result to the library once the callback returns.
    struct Cleanup {
      std::span<velmira_variant> args;
      velmira_variant* result;
      ~Cleanup() {
        for (velmira_variant& a : args) velmira_variant_clear(&a);
        velmira_variant_clear(result);
      }
    } cleanup{std::span(c_args.data(), args.size()), &result};
    for (std::size_t i = 0; i < args.size(); ++i) ToC(args[i], &c_args[i]);
    const velmira_status status =
        callbacks_.invoke(context_, name, id, static_cast<std::int32_t>(kind), c_args.data(),
                          args.size(), &result, &error);
    if (status != VELMIRA_OK) {
      TerminateMessage(error.message);
      throw Error(error.number != 0 ? error.number : kErrClientFailed, error.message);
    }
    try {
      return FromC(result, {"the callback's result"});
    } catch (const BoundaryError& e) {  // a stale handle or a malformed result
      throw Error(e.Number(), e.what());
    }
  }

  /// A key read back from the client.
  Variant Read(const char* name, std::int32_t id, std::int32_t index) const {
    return Call(name, id, CallKind::PropertyGet, std::array{Variant(index)});
  }
  /// A link read back from the client: an object implementing `I`, or Nothing (Empty counts as
  /// Nothing, so a callback that leaves the result alone answers Nothing).
  template <class I>
  Ref<I> Link(const char* name, std::int32_t id, std::int32_t index) const {
    const Variant v = Read(name, id, index);
    if (v.IsEmpty()) return Nothing;
    if (v.Kind() != VariantKind::Object) ThrowTypeMismatch();
    return As<I>(v.ObjectValue());
  }
  template <class I>
  void SetLink(const char* name, std::int32_t id, std::int32_t index, const Ref<I>& value) const {
    Call(name, id, CallKind::PropertySet, std::array{Variant(index), Variant(value)});
  }

 private:
  velmira_element_callbacks callbacks_;
  void* context_;
  velmira_handle handle_ = 0;
  void (*release_)(void*) = nullptr;
};

// One client element class per element interface, `ClientIStackNode` and so on: each member
// calls the callback under the name and dispatch identifier the catalogue publishes.
#define VELMIRA_CLIENT_KEY(Interface, Name, Id) \
  Variant Name(std::int32_t Index) override { return Read(#Name, Id, Index); }
#define VELMIRA_CLIENT_LINK(Interface, Name, Id)                                                 \
  Ref<Interface> Name(std::int32_t Index) override { return Link<Interface>(#Name, Id, Index); } \
  void Set##Name(std::int32_t Index, const Ref<Interface>& Value) override {                     \
    SetLink(#Name, Id, Index, Value);                                                            \
  }
#define VELMIRA_CLIENT_ELEMENT(Interface, Members)                       \
  class Client##Interface final : public Interface, public ClientCalls { \
   public:                                                               \
    using ClientCalls::ClientCalls;                                      \
    Members(VELMIRA_CLIENT_KEY, VELMIRA_CLIENT_LINK)                     \
  };
VELMIRA_NODE_INTERFACES(VELMIRA_CLIENT_ELEMENT)
#undef VELMIRA_CLIENT_ELEMENT
#undef VELMIRA_CLIENT_LINK
#undef VELMIRA_CLIENT_KEY

template <class Element>
Ref<Object> Make(const velmira_element_callbacks& callbacks, void* context) {
  return New<Element>(callbacks, context);
}

using Maker = Ref<Object> (*)(const velmira_element_callbacks&, void*);
#define VELMIRA_CLIENT_KIND(Interface, Members) {#Interface, &Make<Client##Interface>},
constexpr std::pair<std::string_view, Maker> kElementKinds[] = {
    VELMIRA_NODE_INTERFACES(VELMIRA_CLIENT_KIND)};
#undef VELMIRA_CLIENT_KIND

}  // namespace

velmira_handle CreateClientElement(const char* interface_name,
                                   const velmira_element_callbacks& callbacks, void* context) {
  if (!callbacks.invoke) ThrowInvalidArgument("element callbacks without invoke");
  std::string_view name(interface_name);
  if (!name.empty() && name.front() == '_') name.remove_prefix(1);
  for (const auto& [kind, make] : kElementKinds) {
    if (!NamesMatch(kind, name)) continue;
    // Until it is armed the element would not call `release`: a creation that fails leaves the
    // context to the client.
    const Ref<Object> element = make(callbacks, context);
    auto& calls = dynamic_cast<ClientCalls&>(*element);
    HandleTable& table = HandleTable::Instance();
    const velmira_handle handle = table.Register(element.get());
    calls.Arm(handle, callbacks.release);
    return table.Export(element);
  }
  std::string kinds;
  for (const auto& [kind, make] : kElementKinds)
    kinds.append(kinds.empty() ? "" : ", ").append(kind);
  ThrowError(kErrTypeMismatch,
             std::string(interface_name) + " is not an element interface (" + kinds + ")");
}

void* ClientElementContext(const Ref<Object>& object) {
  const auto* calls = dynamic_cast<const ClientCalls*>(object.get());
  if (!calls) ThrowError(kErrTypeMismatch, "the object is not a client element");
  return calls->Context();
}

}  // namespace velmira::detail
