// Client elements: objects that implement an element interface by calling a C client's callback
// table, one callback per member call, named as the catalogue's member tables name it.
#include <array>
#include <cstring>

#include "capi/c_boundary.h"
#include "velmira/catalogue/catalogue.h"
#include "velmira/core/node_interfaces.h"

namespace velmira::detail {
namespace {

/// The catalogue's row for a member of an element interface: its name and dispatch identifier.
const MemberInfo& RowOf(std::string_view iface, std::string_view member, CallKind kind) {
  const MemberInfo* row = FindInterface(iface)->Find(member, kind);
  return *row;  // the five element interfaces always have their rows
}

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
  /// Calls the client's callback for `row` with `args`; its result as a Variant. A failing
  /// callback's error is raised as `Error` with the client's own number and message.
  Variant Call(const MemberInfo& row, std::span<const Variant> args) const {
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
    const char* name = row.name.data();  // the tables' names are literals, so NUL-terminated
    const velmira_status status =
        callbacks_.invoke(context_, name, row.dispatch_id, static_cast<std::int32_t>(row.kind),
                          c_args.data(), args.size(), &result, &error);
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

  /// A link read back from the client: an object implementing `I`, or Nothing (Empty counts as
  /// Nothing, so a callback that leaves the result alone answers Nothing).
  template <class I>
  Ref<I> Link(const MemberInfo& row, std::int32_t index) const {
    const Variant v = Call(row, std::array{Variant(index)});
    if (v.IsEmpty()) return Nothing;
    if (v.Kind() != VariantKind::Object) ThrowTypeMismatch();
    return As<I>(v.ObjectValue());
  }
  template <class I>
  void SetLink(const MemberInfo& row, std::int32_t index, const Ref<I>& value) const {
    Call(row, std::array{Variant(index), Variant(value)});
  }
  Variant Key(const MemberInfo& row, std::int32_t index) const {
    return Call(row, std::array{Variant(index)});
  }

 private:
  velmira_element_callbacks callbacks_;
  void* context_;
  velmira_handle handle_ = 0;
  void (*release_)(void*) = nullptr;
};

class ClientStackNode final : public IStackNode, public ClientCalls {
 public:
  using ClientCalls::ClientCalls;
  Ref<IStackNode> NextItem(std::int32_t Index) override {
    static const MemberInfo& row = RowOf("IStackNode", "NextItem", CallKind::PropertyGet);
    return Link<IStackNode>(row, Index);
  }
  void SetNextItem(std::int32_t Index, const Ref<IStackNode>& Value) override {
    static const MemberInfo& row = RowOf("IStackNode", "NextItem", CallKind::PropertySet);
    SetLink(row, Index, Value);
  }
};

class ClientQueueNode final : public IQueueNode, public ClientCalls {
 public:
  using ClientCalls::ClientCalls;
  Ref<IQueueNode> NextItem(std::int32_t Index) override {
    static const MemberInfo& row = RowOf("IQueueNode", "NextItem", CallKind::PropertyGet);
    return Link<IQueueNode>(row, Index);
  }
  void SetNextItem(std::int32_t Index, const Ref<IQueueNode>& Value) override {
    static const MemberInfo& row = RowOf("IQueueNode", "NextItem", CallKind::PropertySet);
    SetLink(row, Index, Value);
  }
};

class ClientPQueueNode final : public IPQueueNode, public ClientCalls {
 public:
  using ClientCalls::ClientCalls;
  Variant Key(std::int32_t Index) override {
    static const MemberInfo& row = RowOf("IPQueueNode", "Key", CallKind::PropertyGet);
    return ClientCalls::Key(row, Index);
  }
  Ref<IPQueueNode> NextItem(std::int32_t Index) override {
    static const MemberInfo& row = RowOf("IPQueueNode", "NextItem", CallKind::PropertyGet);
    return Link<IPQueueNode>(row, Index);
  }
  void SetNextItem(std::int32_t Index, const Ref<IPQueueNode>& Value) override {
    static const MemberInfo& row = RowOf("IPQueueNode", "NextItem", CallKind::PropertySet);
    SetLink(row, Index, Value);
  }
};

class ClientListNode final : public IListNode, public ClientCalls {
 public:
  using ClientCalls::ClientCalls;
  Ref<IListNode> NextItem(std::int32_t Index) override {
    static const MemberInfo& row = RowOf("IListNode", "NextItem", CallKind::PropertyGet);
    return Link<IListNode>(row, Index);
  }
  void SetNextItem(std::int32_t Index, const Ref<IListNode>& Value) override {
    static const MemberInfo& row = RowOf("IListNode", "NextItem", CallKind::PropertySet);
    SetLink(row, Index, Value);
  }
  Ref<IListNode> PrevItem(std::int32_t Index) override {
    static const MemberInfo& row = RowOf("IListNode", "PrevItem", CallKind::PropertyGet);
    return Link<IListNode>(row, Index);
  }
  void SetPrevItem(std::int32_t Index, const Ref<IListNode>& Value) override {
    static const MemberInfo& row = RowOf("IListNode", "PrevItem", CallKind::PropertySet);
    SetLink(row, Index, Value);
  }
  Ref<IListNode> Tag(std::int32_t Index) override {
    static const MemberInfo& row = RowOf("IListNode", "Tag", CallKind::PropertyGet);
    return Link<IListNode>(row, Index);
  }
  void SetTag(std::int32_t Index, const Ref<IListNode>& Value) override {
    static const MemberInfo& row = RowOf("IListNode", "Tag", CallKind::PropertySet);
    SetLink(row, Index, Value);
  }
};

class ClientTreeNode final : public ITreeNode, public ClientCalls {
 public:
  using ClientCalls::ClientCalls;
  Variant Key(std::int32_t Index) override {
    static const MemberInfo& row = RowOf("ITreeNode", "Key", CallKind::PropertyGet);
    return ClientCalls::Key(row, Index);
  }
  Ref<ITreeNode> Left(std::int32_t Index) override {
    static const MemberInfo& row = RowOf("ITreeNode", "Left", CallKind::PropertyGet);
    return Link<ITreeNode>(row, Index);
  }
  void SetLeft(std::int32_t Index, const Ref<ITreeNode>& Value) override {
    static const MemberInfo& row = RowOf("ITreeNode", "Left", CallKind::PropertySet);
    SetLink(row, Index, Value);
  }
  Ref<ITreeNode> Right(std::int32_t Index) override {
    static const MemberInfo& row = RowOf("ITreeNode", "Right", CallKind::PropertyGet);
    return Link<ITreeNode>(row, Index);
  }
  void SetRight(std::int32_t Index, const Ref<ITreeNode>& Value) override {
    static const MemberInfo& row = RowOf("ITreeNode", "Right", CallKind::PropertySet);
    SetLink(row, Index, Value);
  }
};

template <class Element>
Ref<Object> Make(const velmira_element_callbacks& callbacks, void* context) {
  return New<Element>(callbacks, context);
}

using Maker = Ref<Object> (*)(const velmira_element_callbacks&, void*);
constexpr std::pair<std::string_view, Maker> kElementKinds[] = {
    {"IStackNode", &Make<ClientStackNode>},   {"IQueueNode", &Make<ClientQueueNode>},
    {"IPQueueNode", &Make<ClientPQueueNode>}, {"IListNode", &Make<ClientListNode>},
    {"ITreeNode", &Make<ClientTreeNode>},
};

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
  ThrowError(kErrTypeMismatch, std::string(interface_name) +
                                   " is not an element interface (IStackNode, IQueueNode, "
                                   "IPQueueNode, IListNode, ITreeNode)");
}

void* ClientElementContext(const Ref<Object>& object) {
  const auto* calls = dynamic_cast<const ClientCalls*>(object.get());
  if (!calls) ThrowError(kErrTypeMismatch, "the object is not a client element");
  return calls->Context();
}

}  // namespace velmira::detail
