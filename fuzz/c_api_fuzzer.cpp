// Fuzz target: the C interface, driven as a C client drives it, through velmira_c.h alone. The
// input is a program over a pool of handles: objects made by class name, by identifier and
// through factories, and client elements built from callback tables. Each step makes one C call
// with handles that are real, released, forged, zero or from another generation; variants of
// every kind, texts whose lengths include huge values and SIZE_MAX's neighbours; member names,
// dispatch identifiers, call kinds and argument counts taken from the catalogue or made up. The
// client elements' callbacks fail, re-enter the library, answer with stale handles or unusable
// values, and hand over or keep references.
//
// Every call must return one of the documented statuses (never VELMIRA_INTERNAL_ERROR), with an
// error number and a terminated message that match it; a release of a handle on which the client
// holds no reference must be refused. The harness counts every reference it holds per handle,
// gives them all back at the end, and then the library must be unloadable: nothing alive, no
// factory lock held.
//
// Left out, because they are a client's faults rather than the library's: lengths larger than the
// text really is (below the sizes no memory holds), argument counts larger than the array (below
// the counts no array holds), and cycles through the library's own elements (an element's links
// or value set to an object), which nothing can release.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "velmira/velmira_c.h"

namespace {

[[noreturn]] void Die(const char* what, const std::string& detail) {
  std::fprintf(stderr, "c_api_fuzzer: %s: %s\n", what, detail.c_str());
  std::abort();
}

struct Reader {
  const std::uint8_t* p;
  std::size_t n;
  std::uint8_t Byte() { return n ? (--n, *p++) : 0; }
  template <class T>
  T Raw() {
    T v{};
    const std::size_t k = n < sizeof(T) ? n : sizeof(T);
    std::memcpy(&v, p, k);
    p += k, n -= k;
    return v;
  }
};

/// Lengths no text can have: every one must be refused, or fail for want of memory, before a
/// byte is read. Around SIZE_MAX, around the largest object size, and far beyond any memory.
std::size_t HugeLength(Reader& r) {
  const std::size_t k = r.Byte();
  switch (r.Byte() % 4) {
    case 0:
      return SIZE_MAX - k;
    case 1:
      return static_cast<std::size_t>(PTRDIFF_MAX) + k;
    case 2:
      return (std::size_t{1} << (41 + k % 22)) + k;
    default:
      return static_cast<std::size_t>(PTRDIFF_MAX) - k % 128;
  }
}

class Harness;

const char* const kElementInterfaces[] = {"IStackNode", "IQueueNode", "IPQueueNode", "IListNode",
                                          "ITreeNode"};

/// A client element: its links and keys live in this struct, as a C client keeps them.
struct ClientElement {
  Harness* harness;
  std::uint8_t mode;  // how its callbacks misbehave: see Harness::OnInvoke
  std::map<std::int64_t, velmira_handle> links;  // (member id, Index) -> a held handle
  std::map<std::int32_t, velmira_variant> keys;  // Index -> an owned copy
  bool released = false;
};

class Harness {
 public:
  explicit Harness(Reader& r) : r_(r) {}

  void Run();
  velmira_status OnInvoke(ClientElement& e, const char* member, std::int32_t id, std::int32_t kind,
                          const velmira_variant* args, std::size_t count, velmira_variant* result,
                          velmira_error* error);
  void OnRelease(ClientElement& e);

 private:
  static constexpr std::size_t kPool = 8;

  // ---- References the harness holds, counted per handle ----
  void Own(velmira_handle h) {
    if (h != 0) ++held_[h];
  }
  void Give(velmira_handle h) {
    if (h == 0) return;
    velmira_error e{};
    if (Check(velmira_release(h, &e), e, "release") != VELMIRA_OK) Die("release refused", "");
    if (--held_[h] == 0) held_.erase(h);
  }
  void Put(std::size_t slot, velmira_handle h) {  // a held reference goes into the pool
    const velmira_handle old = pool_[slot];
    pool_[slot] = h;
    Give(old);
  }
  void DropKey(velmira_variant& v) {  // an owned copy kept as a key
    if (v.kind == VELMIRA_OBJECT) Give(std::exchange(v.value.object, 0));
    velmira_variant_clear(&v);
  }
  void Adopt(velmira_variant& v) {  // an owned result: keep its handle in the pool
    if (v.kind == VELMIRA_OBJECT && v.value.object != 0) {
      Own(v.value.object);
      Put(r_.Byte() % kPool, v.value.object);
      v = velmira_variant{};
    }
    velmira_variant_clear(&v);
  }

  /// The statuses and numbers a call may return; anything else stops the run.
  velmira_status Check(velmira_status s, const velmira_error& e, const char* call) {
    if (s == VELMIRA_OK) return s;
    if (std::memchr(e.message, '\0', sizeof e.message) == nullptr)
      Die("unterminated message from", call);
    switch (s) {
      case VELMIRA_INVALID_HANDLE:
      case VELMIRA_INVALID_ARGUMENT:
        if (e.number != 5) Die("wrong number for a refused argument from", call);
        return s;
      case VELMIRA_OUT_OF_MEMORY:
        if (e.number != 7) Die("wrong number for out of memory from", call);
        return s;
      case VELMIRA_ERROR:
        if (Documented(e.number)) return s;
        Die("undocumented error number from",
            std::string(call) + ": " + std::to_string(e.number) + " " + e.message);
      default:
        Die("undocumented status from",
            std::string(call) + ": " + std::to_string(s) + " " + e.message);
    }
  }
  static bool Documented(std::int32_t n) {
    switch (n) {
      case 5:
      case 6:
      case 7:
      case 13:
      case 91:
      case 429:
      case 438:
      case 440:
      case 449:
      case 450:
        return true;
      default:
        return n >= 1000 && n < 1256;  // raised by this harness's own elements, passed through
    }
  }

  // ---- Inputs ----
  velmira_handle AnyHandle() {
    switch (r_.Byte() % 12) {
      case 0:
        return 0;
      case 1:  // forged
        return r_.Raw<velmira_handle>();
      case 2:  // another generation of a real entry
        return pool_[r_.Byte() % kPool] + (static_cast<velmira_handle>(r_.Byte() % 3 + 1) << 32);
      case 3:  // released, if any was
        return retired_.empty() ? 0 : retired_[r_.Byte() % retired_.size()];
      default:
        return pool_[r_.Byte() % kPool];
    }
  }
  std::string Name(std::initializer_list<const char*> known) {
    const std::uint8_t how = r_.Byte();
    if (how % 4 == 0) {  // arbitrary bytes, NUL-terminated
      std::string s(r_.Byte() % 12, '\0');
      for (char& c : s) c = static_cast<char>(r_.Byte() | 1);
      return s;
    }
    std::string s = known.begin()[how / 4 % known.size()];
    for (std::size_t i = 0; i < s.size(); ++i)
      if (r_.Byte() & 1 && std::isalpha(static_cast<unsigned char>(s[i]))) s[i] ^= 0x20;
    return s;
  }
  /// A borrowed variant of any kind (a few invalid kinds too); texts point into `text_`.
  velmira_variant AnyVariant(bool objects_allowed) {
    velmira_variant v{};
    const std::uint8_t k = r_.Byte();
    v.kind = k % 16 < 11 ? k % 16 : static_cast<std::int32_t>(r_.Raw<std::int32_t>());
    if (!objects_allowed && v.kind == VELMIRA_OBJECT) v.kind = VELMIRA_INT32;
    switch (v.kind) {
      case VELMIRA_STRING:
        v.value.text.data = r_.Byte() % 8 ? text_ : nullptr;
        v.value.text.length = r_.Byte() % 4 ? r_.Byte() % sizeof text_ : HugeLength(r_);
        if (!v.value.text.data && r_.Byte() % 2) v.value.text.length = 0;
        break;
      case VELMIRA_OBJECT:
        v.value.object = AnyHandle();
        break;
      default:
        v.value.currency = r_.Raw<std::int64_t>();
    }
    return v;
  }
  bool IsLibraryElement(velmira_handle h) {
    velmira_class_info info{};
    velmira_error e{};
    if (velmira_class_of(h, &info, &e) != VELMIRA_OK) return false;
    return std::strstr(info.name, "Node") != nullptr && info.name[0] != 'I';
  }

  // ---- Steps ----
  void Step();
  void Create();
  void Factory();
  void Call();
  void VariantCalls();
  void Catalogue();
  /// A client element into `slot`, or into a slot of the input's choice when `slot` is kPool.
  void NewElement(std::size_t slot = kPool);

  Reader& r_;
  velmira_handle pool_[kPool] = {};
  std::map<velmira_handle, std::int64_t> held_;
  std::vector<velmira_handle> retired_;
  std::vector<ClientElement*> elements_;
  std::int64_t locks_ = 0;
  int depth_ = 0;
  bool tearing_down_ = false;
  char text_[32] = "caf\xc3\xa9\0text \xff\xfe of 32 bytes";
  std::vector<std::string> class_names_;
};

velmira_status Invoke(void* context, const char* member, std::int32_t id, std::int32_t kind,
                      const velmira_variant* args, std::size_t count, velmira_variant* result,
                      velmira_error* error) {
  auto& e = *static_cast<ClientElement*>(context);
  return e.harness->OnInvoke(e, member, id, kind, args, count, result, error);
}
void Release(void* context) {
  auto& e = *static_cast<ClientElement*>(context);
  e.harness->OnRelease(e);
}
const velmira_element_callbacks kCallbacks = {Invoke, Release};

velmira_status Harness::OnInvoke(ClientElement& e, const char* member, std::int32_t id,
                                 std::int32_t kind, const velmira_variant* args, std::size_t count,
                                 velmira_variant* result, velmira_error* error) {
  if (e.released) Die("callback after release", member);
  if (count == 0 || args[0].kind != VELMIRA_INT32) Die("no Index for", member);
  // The library holds a reference on each object argument's handle for the call: a re-entrant
  // release of it is not a release without a reference.
  struct ArgumentHandles {
    Harness& h;
    const velmira_variant* args;
    std::size_t count;
    void Count(int delta) {
      for (std::size_t i = 0; i < count; ++i)
        if (args[i].kind == VELMIRA_OBJECT && args[i].value.object)
          if ((h.held_[args[i].value.object] += delta) == 0) h.held_.erase(args[i].value.object);
    }
  } handles{*this, args, count};
  handles.Count(+1);
  struct Uncount {
    ArgumentHandles& a;
    ~Uncount() { a.Count(-1); }
  } uncount{handles};
  const std::int32_t index = args[0].value.int32;
  const std::uint8_t mode = e.mode & 7;
  if (mode == 1 && r_.Byte() % 3 == 0) {  // fails, sometimes without a number of its own
    error->number = r_.Byte() % 4 ? 1000 + r_.Byte() : 0;
    std::snprintf(error->message, sizeof error->message, "element failed in %s", member);
    return VELMIRA_ERROR;
  }
  if (mode == 2 && depth_ < 2 && !tearing_down_) {  // re-enters the library
    ++depth_;
    Step();
    --depth_;
  }
  const bool is_key = std::strcmp(member, "Key") == 0;
  const std::int64_t slot = (std::int64_t{id} << 32) ^ static_cast<std::uint32_t>(index);
  if (kind == VELMIRA_PROPERTY_GET) {
    if (mode == 3) {  // answers with something unusable: a stale handle, a text too long, a kind
      *result = AnyVariant(true);
      return VELMIRA_OK;
    }
    if (is_key) {
      const auto found = e.keys.find(index);
      if (found != e.keys.end()) {
        *result = found->second;
        result->flags = 0;  // borrowed: the library only reads it
      }
      return VELMIRA_OK;
    }
    const auto found = e.links.find(slot);
    result->kind = VELMIRA_OBJECT;
    result->value.object = found == e.links.end() ? 0 : found->second;
    if (mode == 4 && result->value.object != 0) {  // hands a reference over with the result
      velmira_error ignored{};
      if (velmira_retain(result->value.object, &ignored) == VELMIRA_OK)
        result->flags = VELMIRA_VARIANT_OWNED;
    }
    return VELMIRA_OK;
  }
  if (count < 2) Die("no value for", member);
  if (is_key) {
    velmira_variant copy{};
    velmira_error ignored{};
    if (velmira_variant_copy(&copy, &args[1], &ignored) != VELMIRA_OK) Die("copy refused", member);
    if (copy.kind == VELMIRA_OBJECT) Own(copy.value.object);
    velmira_variant old = std::exchange(e.keys[index], copy);
    DropKey(old);
    return VELMIRA_OK;
  }
  if (args[1].kind != VELMIRA_OBJECT) Die("a link that is not an object for", member);
  const velmira_handle next = args[1].value.object;
  velmira_error ignored{};
  if (next != 0) {
    if (velmira_retain(next, &ignored) != VELMIRA_OK) Die("retain of a link refused", member);
    Own(next);
  }
  velmira_handle& link = e.links[slot];
  const velmira_handle old = link;
  link = next;
  Give(old);
  return VELMIRA_OK;
}

void Harness::OnRelease(ClientElement& e) {
  if (e.released) Die("released twice", "");
  e.released = true;
  for (auto& [slot, h] : e.links) Give(std::exchange(h, 0));
  for (auto& [index, v] : e.keys) DropKey(v);
}

void Harness::Create() {
  velmira_handle h = 1;
  velmira_error e{};
  const std::string name =
      class_names_.empty() ? std::string() : class_names_[r_.Byte() % class_names_.size()];
  const std::string asked = r_.Byte() % 6 ? name : Name({"Velmira.", "Velmira.IndexTreeNode"});
  if (Check(velmira_create_object(asked.c_str(), &h, &e), e, "create") == VELMIRA_OK) {
    Own(h);
    Put(r_.Byte() % kPool, h);
  } else if (h != 0) {
    Die("a failed create left a handle", asked);
  }
}

void Harness::Factory() {
  velmira_guid id{};
  velmira_error e{};
  const std::string name = class_names_[r_.Byte() % class_names_.size()];
  if (r_.Byte() % 4 == 0) {
    id = r_.Raw<velmira_guid>();
  } else {
    Check(velmira_class_id(name.c_str(), &id, &e), e, "class id");
  }
  velmira_handle f = 0;
  switch (r_.Byte() % 4) {
    case 0:
      if (Check(velmira_create_object_by_id(&id, &f, &e), e, "create by id") == VELMIRA_OK) {
        Own(f);
        Put(r_.Byte() % kPool, f);
      }
      return;
    case 1: {
      const velmira_guid other{};
      const std::int32_t hr = DllGetClassObject(&id, r_.Byte() % 4 ? nullptr : &other, &f);
      if (hr != VELMIRA_S_OK && f != 0) Die("a failed DllGetClassObject left a handle", name);
      break;
    }
    default:
      Check(velmira_get_class_object(&id, &f, &e), e, "class object");
  }
  if (f == 0) return;
  Own(f);
  for (int i = r_.Byte() % 4; i > 0; --i) {
    const bool lock = r_.Byte() % 2;
    // A lock through any factory, or an unlock through any, even one that took no lock.
    const velmira_handle target = r_.Byte() % 4 ? f : AnyHandle();
    if (Check(velmira_factory_lock(target, lock, &e), e, "lock") == VELMIRA_OK)
      locks_ = lock ? locks_ + 1 : (locks_ > 0 ? locks_ - 1 : 0);
  }
  velmira_handle made = 0;
  if (Check(velmira_factory_create(f, &made, &e), e, "factory create") == VELMIRA_OK) {
    Own(made);
    Put(r_.Byte() % kPool, made);
  }
  Put(r_.Byte() % kPool, f);
}

void Harness::Call() {
  const velmira_handle target = AnyHandle();
  // Mostly a member the target's class really has, found as a C client finds it (class, then
  // interface rows), with arguments of the kinds its parameters take; sometimes a made-up one.
  velmira_class_info info{};
  velmira_member_info row{};
  velmira_error ignored{};
  const bool real = r_.Byte() % 4 != 0 && velmira_class_of(target, &info, &ignored) == VELMIRA_OK &&
                    info.interface_count > 0;
  const char* iface = real ? info.interfaces[r_.Byte() % info.interface_count] : "";
  const std::int32_t rows = real ? velmira_member_count(iface) : 0;
  const bool known =
      rows > 0 && velmira_member_at(iface, r_.Byte() % rows, &row, &ignored) == VELMIRA_OK;
  std::string member =
      known ? row.name
            : Name({"Push",     "Pop",   "Top",       "Add",    "Remove", "Clear", "IsEmpty",
                    "NextItem", "Item",  "Count",     "Index",  "Key",    "Value", "NewEnum",
                    "First",    "Last",  "AddBefore", "Exists", "Output", "Enter", "Leave",
                    "",         "Order", "Priority",  "Data",   "Root",   "Tag"});
  for (char& c : member)
    if (r_.Byte() & 1 && std::isalpha(static_cast<unsigned char>(c))) c ^= 0x20;
  std::size_t count = known && r_.Byte() % 8 ? row.param_count : r_.Byte() % 5;
  velmira_variant args[4];
  for (std::size_t i = 0; i < count; ++i) {
    const bool object = known && i < static_cast<std::size_t>(row.param_count) &&
                        row.params[i].type == VELMIRA_TYPE_OBJECT;
    args[i] = object || r_.Byte() % 4 == 0
                  ? velmira_variant{VELMIRA_OBJECT, 0, {.object = pool_[r_.Byte() % kPool]}}
                  : AnyVariant(true);
  }
  std::int32_t kind = known && r_.Byte() % 8 ? row.kind : r_.Byte() % 4;
  if (r_.Byte() % 16 == 0) kind = r_.Raw<std::int32_t>();
  const std::uint8_t how = r_.Byte();
  if (how % 16 == 0) count = SIZE_MAX / (1 + r_.Byte() % 4);  // no array holds that many
  const bool null_args = how % 16 == 1;
  // Objects set into the library's own elements could close a cycle nothing releases.
  if ((kind == VELMIRA_PROPERTY_LET || kind == VELMIRA_PROPERTY_SET) && IsLibraryElement(target)) {
    for (std::size_t i = 0; i < count && i < 4; ++i)
      if (args[i].kind == VELMIRA_OBJECT) args[i].kind = VELMIRA_NULL;
  }
  velmira_variant result{};
  result.kind = VELMIRA_INT32;
  velmira_error e{};
  velmira_status s;
  const velmira_variant* a = null_args ? nullptr : args;
  switch (how / 16 % 4) {
    case 0: {
      std::int32_t id = known ? row.dispatch_id : r_.Raw<std::int8_t>();
      if (r_.Byte() % 4 == 0) velmira_get_dispatch_id(target, member.c_str(), &id, &ignored);
      s = velmira_invoke_id(target, id, kind, a, count, &result, &e);
      break;
    }
    case 1: {
      const std::string through =
          known && r_.Byte() % 2 ? std::string(iface)
                                 : Name({"Tree", "_Tree", "IStackNode", "IQueueNode", "IPQueueNode",
                                         "IListNode", "ITreeNode", "Debugger", "_Stack"});
      const std::int32_t id = known ? row.dispatch_id : r_.Byte() % 8;
      s = velmira_invoke_through(target, through.c_str(), r_.Byte() % 2 ? member.c_str() : nullptr,
                                 id, kind, a, count, &result, &e);
      break;
    }
    default:
      if (r_.Byte() % 8) {
        s = velmira_invoke(target, member.c_str(), kind, a, count, &result, &e);
      } else {  // no result wanted
        s = velmira_invoke(target, member.c_str(), kind, a, count, nullptr, &e);
        result = velmira_variant{};
      }
  }
  Check(s, e, "invoke");
  if (s != VELMIRA_OK && result.kind != VELMIRA_EMPTY) Die("a failed call left a result", member);
  Adopt(result);
}

void Harness::VariantCalls() {
  velmira_error e{};
  velmira_variant target{};
  target.kind = VELMIRA_INT32;
  target.value.int32 = 7;
  if (r_.Byte() % 2) {
    const std::size_t length = r_.Byte() % 2 ? r_.Byte() % sizeof text_ : HugeLength(r_);
    const char* data = r_.Byte() % 8 ? text_ : nullptr;
    if (Check(velmira_variant_set_text(&target, data, length, &e), e, "set text") != VELMIRA_OK &&
        (target.kind != VELMIRA_INT32 || target.value.int32 != 7)) {
      Die("a refused set changed the variant", std::to_string(length));
    }
  } else {
    const velmira_variant source = AnyVariant(true);
    if (Check(velmira_variant_copy(&target, &source, &e), e, "copy") != VELMIRA_OK &&
        target.kind != VELMIRA_INT32) {
      Die("a refused copy changed the variant", "");
    }
  }
  velmira_variant_clear(&target);
}

void Harness::Catalogue() {
  velmira_error e{};
  velmira_class_info info{};
  velmira_member_info member{};
  const char *enumeration = nullptr, *name = nullptr;
  std::int32_t value = 0;
  const std::size_t index = r_.Byte() % 2 ? r_.Byte() : r_.Raw<std::size_t>();
  const std::string iface = Name({"_Stack", "Tree", "ITreeNode", "Debugger", "_SplayTree"});
  switch (r_.Byte() % 6) {
    case 0:
      Check(velmira_class_at(index, &info, &e), e, "class at");
      break;
    case 1:
      Check(velmira_class_of(AnyHandle(), &info, &e), e, "class of");
      break;
    case 2:
      Check(velmira_member_at(iface.c_str(), index, &member, &e), e, "member at");
      velmira_member_count(iface.c_str());
      break;
    case 3:
      Check(velmira_enum_constant(index, &enumeration, &name, &value, &e), e, "enum constant");
      break;
    case 4: {
      void* context = nullptr;
      Check(velmira_element_context(AnyHandle(), &context, &e), e, "element context");
      break;
    }
    default: {
      velmira_guid id{};
      Check(velmira_guid_parse(Name({"{01234567-89ab-cdef-0123-456789abcdef}"}).c_str(), &id, &e),
            e, "guid parse");
      velmira_is(AnyHandle(), AnyHandle());
    }
  }
}

void Harness::NewElement(std::size_t slot) {
  auto* element = new ClientElement{this, r_.Byte(), {}, {}, false};
  velmira_handle h = 0;
  velmira_error e{};
  const std::string iface =
      slot < kPool
          ? kElementInterfaces[r_.Byte() % 5]
          : Name({"IStackNode", "IQueueNode", "IPQueueNode", "IListNode", "ITreeNode", "Stack"});
  elements_.push_back(element);
  if (Check(velmira_create_element(iface.c_str(), &kCallbacks, element, &h, &e), e, "element") ==
      VELMIRA_OK) {
    Own(h);
    Put(slot < kPool ? slot : r_.Byte() % kPool, h);
  } else {
    element->released = true;  // never made: no callback will see it
  }
}

void Harness::Step() {
  velmira_error e{};
  switch (r_.Byte() % 10) {
    case 0:
      Create();
      break;
    case 1:
      Factory();
      break;
    case 2:
      NewElement();
      break;
    case 3: {  // retain or release a handle of any kind
      const velmira_handle h = AnyHandle();
      const auto found = held_.find(h);
      if (r_.Byte() % 2) {
        if (Check(velmira_retain(h, &e), e, "retain") == VELMIRA_OK) {
          Own(h);
          Give(h);
        }
      } else if (h != 0 && found == held_.end()) {
        if (velmira_release(h, &e) != VELMIRA_INVALID_HANDLE)
          Die("a release without a reference was not refused", std::to_string(h));
      }
      break;
    }
    case 4: {  // let a pool slot go; its handle may turn stale
      const std::size_t slot = r_.Byte() % kPool;
      if (pool_[slot] != 0) retired_.push_back(pool_[slot]);
      Put(slot, 0);
      break;
    }
    case 5:
      VariantCalls();
      break;
    case 6:
      Catalogue();
      break;
    default:
      Call();
  }
}

void Harness::Run() {
  for (std::size_t i = 0, n = velmira_class_count(); i < n; ++i) {
    velmira_class_info info{};
    velmira_error e{};
    if (velmira_class_at(i, &info, &e) == VELMIRA_OK && info.instancing == VELMIRA_CREATABLE &&
        std::strcmp(info.name, "Debugger") != 0) {  // a debugger could be told to write files
      class_names_.push_back(info.qualified_name);
    }
  }
  // A pool of containers, library elements and client elements to start from.
  for (std::size_t i = 0; i < kPool; ++i) {
    const std::uint8_t pick = r_.Byte();
    if (pick % 3 == 0) {
      NewElement(i);
    } else {
      velmira_handle h = 0;
      velmira_error e{};
      const char* name = class_names_[pick % class_names_.size()].c_str();
      if (Check(velmira_create_object(name, &h, &e), e, "create") != VELMIRA_OK)
        Die("create", name);
      Own(h);
      Put(i, h);
    }
  }
  for (int step = 0; step < 96 && r_.n > 0; ++step) Step();
  // Give back everything the client holds: the pool, the elements' links and keys, the locks.
  tearing_down_ = true;
  for (std::size_t i = 0; i < kPool; ++i) Put(i, 0);
  for (ClientElement* element : elements_) {
    if (element->released) continue;
    for (auto& [slot, h] : element->links) Give(std::exchange(h, 0));
    for (auto& [index, v] : element->keys) DropKey(v);
  }
  for (; locks_ > 0; --locks_) {
    velmira_handle f = 0;
    velmira_guid id{};
    velmira_class_id(class_names_[0].c_str(), &id, nullptr);
    velmira_get_class_object(&id, &f, nullptr);
    velmira_factory_lock(f, 0, nullptr);
    velmira_release(f, nullptr);
  }
  for (auto& [h, count] : held_)
    if (count != 0) Die("the harness lost count of handle", std::to_string(h));
  if (!velmira_can_unload_now()) Die("objects or locks left alive", "");
  for (ClientElement* element : elements_) {
    if (!element->released) Die("a client element was never released", "");
    delete element;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velmira_set_debug_output([](void*, const char*, std::size_t) {}, nullptr, nullptr);
  Reader r{data, size};
  Harness(r).Run();
  velmira_set_debug_output(nullptr, nullptr, nullptr);
  return 0;
}
