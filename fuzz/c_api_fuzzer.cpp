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
// or value set to an object, or a client element's link pointed at one by hand or by a wrong
// answer, which a rotation can turn into a link among the library's elements alone), which
// nothing can release, and a tree element whose key changes while it is in a tree (added again,
// it is not found by its new key and is linked twice, and rotations can then close such a
// cycle).
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_input.h"
#include "velmira/velmira_c.h"

namespace {

[[noreturn]] void Die(const char* what, const std::string& detail) {
  std::fprintf(stderr, "c_api_fuzzer: %s: %s\n", what, detail.c_str());
  std::abort();
}

/// Lengths no text can have: every one must be refused, or fail for want of memory, before a
/// byte is read. Around SIZE_MAX, around the largest object size, and far beyond any memory.
std::size_t HugeLength(Reader& r) {
  const std::size_t k = r.Byte(), largest = PTRDIFF_MAX;
  const std::size_t lengths[] = {SIZE_MAX - k, largest + k, (std::size_t{1} << (41 + k % 22)) + k,
                                 largest - k % 128};
  return lengths[r.Byte() % 4];
}

/// The error numbers the library documents; 1000..1255 are this harness's own elements' errors.
bool Documented(std::int32_t n) {
  constexpr std::int32_t kNumbers[] = {5, 6, 7, 13, 91, 429, 438, 440, 449, 450};
  return std::find(std::begin(kNumbers), std::end(kNumbers), n) != std::end(kNumbers) ||
         (n >= 1000 && n < 1256);
}

const char* const kInterfaces[] = {"IStackNode", "IQueueNode", "IPQueueNode", "IListNode",
                                   "ITreeNode",  "Stack",      "Tree",        "_Tree",
                                   "Debugger",   "_Stack",     "_SplayTree"};
const char* const kMembers[] = {
    "Push",   "Pop",   "Top",   "Add",   "Remove",  "Clear",    "IsEmpty", "NextItem",  "Item",
    "Count",  "Index", "Key",   "Value", "NewEnum", "First",    "Last",    "AddBefore", "Exists",
    "Output", "Enter", "Leave", "",      "Order",   "Priority", "Data",    "Root",      "Tag"};

class Harness;

/// A client element: its links and keys live in this struct, as a C client keeps them.
struct ClientElement {
  Harness* harness;
  std::uint8_t mode;                             // how its callbacks misbehave: see Harness::Answer
  std::map<std::int64_t, velmira_handle> links;  // (member id, Index) -> a held handle
  std::map<std::int32_t, velmira_variant> keys;  // Index -> an owned copy
  bool released = false;
  bool tree = false;  // an ITreeNode: its key answers stay those stored
};

class Harness {
 public:
  explicit Harness(Reader& r) : r_(r) {}

  void Run();
  velmira_status OnInvoke(ClientElement& e, const char* member, std::int32_t id, std::int32_t kind,
                          const velmira_variant* args, std::size_t count, velmira_variant* result,
                          velmira_error* error) {
    // The library holds a reference on each object argument's handle for the call: a re-entrant
    // release of it is not a release without a reference.
    for (std::size_t i = 0; i < count; ++i)
      if (args[i].kind == VELMIRA_OBJECT) Hold(args[i].value.object, +1);
    const velmira_status s = Answer(e, member, id, kind, args, count, result, error);
    for (std::size_t i = 0; i < count; ++i)
      if (args[i].kind == VELMIRA_OBJECT) Hold(args[i].value.object, -1);
    return s;
  }
  void OnRelease(ClientElement& e) {
    if (std::exchange(e.released, true)) Die("released twice", "");
    DropElement(e);
  }

 private:
  static constexpr std::size_t kPool = 8;

  // ---- References the harness holds, counted per handle ----
  void Hold(velmira_handle h, int delta) {
    if (h != 0 && (held_[h] += delta) == 0) held_.erase(h);
  }
  void Give(velmira_handle h) {
    velmira_error e{};
    if (h != 0 && Check(velmira_release(h, &e), e, "release") != VELMIRA_OK)
      Die("release refused", "");
    Hold(h, -1);
  }
  void Put(std::size_t slot, velmira_handle h) {  // a held reference goes into the pool
    Give(std::exchange(pool_[slot], h));
  }
  void Keep(velmira_status s, velmira_handle h) {  // a new reference, when the call succeeded
    if (s == VELMIRA_OK) Hold(h, +1), Put(r_.Byte() % kPool, h);
  }
  void DropKey(velmira_variant& v) {  // an owned copy kept as a key
    if (v.kind == VELMIRA_OBJECT) Give(std::exchange(v.value.object, 0));
    velmira_variant_clear(&v);
  }
  void DropElement(ClientElement& e) {
    for (auto& [slot, h] : e.links) Give(std::exchange(h, 0));
    for (auto& [index, v] : e.keys) DropKey(v);
  }

  /// The statuses and numbers a call may return; anything else stops the run.
  velmira_status Check(velmira_status s, const velmira_error& e, const char* call) {
    if (s == VELMIRA_OK) return s;
    if (std::memchr(e.message, '\0', sizeof e.message) == nullptr)
      Die("unterminated message from", call);
    const bool fits = s == VELMIRA_INVALID_HANDLE || s == VELMIRA_INVALID_ARGUMENT ? e.number == 5
                      : s == VELMIRA_OUT_OF_MEMORY                                 ? e.number == 7
                                                   : s == VELMIRA_ERROR && Documented(e.number);
    if (!fits) {
      Die("undocumented status or error number from", std::string(call) + ": " + std::to_string(s) +
                                                          " " + std::to_string(e.number) + " " +
                                                          e.message);
    }
    return s;
  }

  // ---- Inputs ----
  velmira_handle AnyHandle() {
    const std::uint8_t how = r_.Byte() % 12;
    if (how == 0) return 0;
    if (how == 1) return r_.Raw<velmira_handle>();  // forged
    if (how == 2)                                   // another generation of a real entry
      return pool_[r_.Byte() % kPool] + (static_cast<velmira_handle>(r_.Byte() % 3 + 1) << 32);
    if (how == 3)  // released, if any was
      return retired_.empty() ? 0 : retired_[r_.Byte() % retired_.size()];
    return pool_[r_.Byte() % kPool];
  }
  /// One of the `count` names at `known` with its letters' case flipped at random, or arbitrary
  /// bytes.
  std::string Name(const char* const* known, std::size_t count) {
    const std::uint8_t how = r_.Byte();
    std::string s(how % 4 ? known[how / 4 % count] : std::string(r_.Byte() % 12, '\0'));
    for (char& c : s) {
      if (how % 4 == 0) c = static_cast<char>(r_.Byte() | 1);  // NUL-terminated
      if (how % 4 && r_.Byte() & 1 && std::isalpha(static_cast<unsigned char>(c))) c ^= 0x20;
    }
    return s;
  }
  std::string Name(std::initializer_list<const char*> known) {
    return Name(known.begin(), known.size());
  }
  /// A borrowed variant of any kind (a few invalid kinds too); texts point into `text_`.
  velmira_variant AnyVariant() {
    velmira_variant v{};
    const std::uint8_t k = r_.Byte();
    v.kind = k % 16 < 11 ? k % 16 : static_cast<std::int32_t>(r_.Raw<std::int32_t>());
    if (v.kind == VELMIRA_OBJECT) {
      v.value.object = AnyHandle();
    } else if (v.kind == VELMIRA_STRING) {
      v.value.text.data = r_.Byte() % 8 ? text_ : nullptr;
      v.value.text.length = r_.Byte() % 4 ? r_.Byte() % sizeof text_ : HugeLength(r_);
      if (!v.value.text.data && r_.Byte() % 2) v.value.text.length = 0;
    } else {
      v.value.currency = r_.Raw<std::int64_t>();
    }
    return v;
  }
  bool IsTreeElement(velmira_handle h) {
    velmira_class_info info{};
    velmira_error e{};
    if (velmira_class_of(h, &info, &e) != VELMIRA_OK) return false;
    for (std::int32_t i = 0; i < info.interface_count; ++i)
      if (std::strstr(info.interfaces[i], "ITreeNode")) return true;
    return false;
  }
  bool IsLibraryElement(velmira_handle h) {
    velmira_class_info info{};
    velmira_error e{};
    return velmira_class_of(h, &info, &e) == VELMIRA_OK && std::strstr(info.name, "Node") &&
           info.name[0] != 'I';
  }

  // ---- Steps ----
  velmira_status Answer(ClientElement& e, const char* member, std::int32_t id, std::int32_t kind,
                        const velmira_variant* args, std::size_t count, velmira_variant* result,
                        velmira_error* error);
  void Step() {
    using StepFn = void (Harness::*)();
    static constexpr StepFn kSteps[] = {
        &Harness::Create, &Harness::Factory,  &Harness::NewElement, &Harness::Reference,
        &Harness::Retire, &Harness::Variants, &Harness::Catalogue,  &Harness::Call,
        &Harness::Call,   &Harness::Call};
    (this->*kSteps[r_.Byte() % std::size(kSteps)])();
  }
  void Create() {
    velmira_handle h = 1;
    velmira_error e{};
    const std::string asked = r_.Byte() % 6 ? class_names_[r_.Byte() % class_names_.size()]
                                            : Name({"Velmira.", "Velmira.IndexTreeNode"});
    const velmira_status s = Check(velmira_create_object(asked.c_str(), &h, &e), e, "create");
    if (s != VELMIRA_OK && h != 0) Die("a failed create left a handle", asked);
    Keep(s, h);
  }
  void Factory();
  void Call();
  void Reference() {  // retain or release a handle of any kind
    velmira_error e{};
    const velmira_handle h = AnyHandle();
    if (r_.Byte() % 2) {
      if (Check(velmira_retain(h, &e), e, "retain") == VELMIRA_OK) Hold(h, +1), Give(h);
    } else if (h != 0 && !held_.count(h) && velmira_release(h, &e) != VELMIRA_INVALID_HANDLE) {
      Die("a release without a reference was not refused", std::to_string(h));
    }
  }
  void Retire() {  // let a pool slot go; its handle may turn stale
    const std::size_t slot = r_.Byte() % kPool;
    if (pool_[slot] != 0) retired_.push_back(pool_[slot]);
    Put(slot, 0);
  }
  void Variants();
  void Catalogue();
  /// A client element into a pool slot; at the start, of a real interface into slot `slot`.
  void NewElement() { NewElement(kPool); }
  void NewElement(std::size_t slot);

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

const velmira_element_callbacks kCallbacks = {
    [](void* context, const char* member, std::int32_t id, std::int32_t kind,
       const velmira_variant* args, std::size_t count, velmira_variant* result,
       velmira_error* error) {
      auto& e = *static_cast<ClientElement*>(context);
      return e.harness->OnInvoke(e, member, id, kind, args, count, result, error);
    },
    [](void* context) {
      auto& e = *static_cast<ClientElement*>(context);
      e.harness->OnRelease(e);
    }};

velmira_status Harness::Answer(ClientElement& e, const char* member, std::int32_t id,
                               std::int32_t kind, const velmira_variant* args, std::size_t count,
                               velmira_variant* result, velmira_error* error) {
  if (e.released) Die("callback after release", member);
  if (count == 0 || args[0].kind != VELMIRA_INT32) Die("no Index for", member);
  const std::int32_t index = args[0].value.int32;
  const std::uint8_t mode = e.mode & 7;
  if (mode == 1 && r_.Byte() % 3 == 0) {  // fails, sometimes without a number of its own
    error->number = r_.Byte() % 4 ? 1000 + r_.Byte() : 0;
    std::snprintf(error->message, sizeof error->message, "element failed in %s", member);
    return VELMIRA_ERROR;
  }
  if (mode == 2 && depth_ < 2 && !tearing_down_) ++depth_, Step(), --depth_;  // re-enters
  const bool is_key = std::strcmp(member, "Key") == 0;
  const std::int64_t slot = (std::int64_t{id} << 32) ^ static_cast<std::uint32_t>(index);
  velmira_error ignored{};
  if (kind == VELMIRA_PROPERTY_GET) {
    if (mode == 3 && !(is_key && e.tree)) {  // answers with something unusable: a stale
                                             // handle, a text too long, a kind
      *result = AnyVariant();
      if (result->kind == VELMIRA_OBJECT && IsLibraryElement(result->value.object))
        result->value.object = 0;
    } else if (is_key) {
      if (const auto found = e.keys.find(index); found != e.keys.end()) {
        *result = found->second;
        result->flags = 0;  // borrowed: the library only reads it
      }
    } else {
      const auto found = e.links.find(slot);
      *result = velmira_variant{VELMIRA_OBJECT, 0, {.object = 0}};
      if (found != e.links.end()) result->value.object = found->second;
      if (mode == 4 && result->value.object != 0 &&  // hands a reference over with the result
          velmira_retain(result->value.object, &ignored) == VELMIRA_OK)
        result->flags = VELMIRA_VARIANT_OWNED;
    }
    return VELMIRA_OK;
  }
  if (count < 2) Die("no value for", member);
  if (is_key) {
    velmira_variant copy{};
    if (velmira_variant_copy(&copy, &args[1], &ignored) != VELMIRA_OK) Die("copy refused", member);
    if (copy.kind == VELMIRA_OBJECT) Hold(copy.value.object, +1);
    velmira_variant old = std::exchange(e.keys[index], copy);
    DropKey(old);
    return VELMIRA_OK;
  }
  if (args[1].kind != VELMIRA_OBJECT) Die("a link that is not an object for", member);
  const velmira_handle next = args[1].value.object;
  if (next != 0 && velmira_retain(next, &ignored) != VELMIRA_OK)
    Die("retain of a link refused", member);
  Hold(next, +1);
  Give(std::exchange(e.links[slot], next));
  return VELMIRA_OK;
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
  const std::uint8_t how = r_.Byte() % 4;
  if (how == 0) return Keep(Check(velmira_create_object_by_id(&id, &f, &e), e, "by id"), f);
  if (how == 1) {
    const velmira_guid other{};
    const std::int32_t hr = DllGetClassObject(&id, r_.Byte() % 4 ? nullptr : &other, &f);
    if (hr != VELMIRA_S_OK && f != 0) Die("a failed DllGetClassObject left a handle", name);
  } else {
    Check(velmira_get_class_object(&id, &f, &e), e, "class object");
  }
  if (f == 0) return;
  Hold(f, +1);
  for (int i = r_.Byte() % 4; i > 0; --i) {
    const bool lock = r_.Byte() % 2;
    // A lock through any factory, or an unlock through any, even one that took no lock.
    const velmira_handle target = r_.Byte() % 4 ? f : AnyHandle();
    if (Check(velmira_factory_lock(target, lock, &e), e, "lock") == VELMIRA_OK)
      locks_ = lock ? locks_ + 1 : std::max<std::int64_t>(locks_ - 1, 0);
  }
  velmira_handle made = 0;
  Keep(Check(velmira_factory_create(f, &made, &e), e, "factory create"), made);
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
  std::string member = known ? row.name : Name(kMembers, std::size(kMembers));
  for (char& c : member)
    if (r_.Byte() & 1 && std::isalpha(static_cast<unsigned char>(c))) c ^= 0x20;
  std::size_t count = known && r_.Byte() % 8 ? row.param_count : r_.Byte() % 5;
  velmira_variant args[4];
  for (std::size_t i = 0; i < count; ++i) {
    const bool object = known && i < static_cast<std::size_t>(row.param_count) &&
                        row.params[i].type == VELMIRA_TYPE_OBJECT;
    args[i] = object || r_.Byte() % 4 == 0
                  ? velmira_variant{VELMIRA_OBJECT, 0, {.object = pool_[r_.Byte() % kPool]}}
                  : AnyVariant();
  }
  std::int32_t kind = known && r_.Byte() % 8 ? row.kind : r_.Byte() % 4;
  if (r_.Byte() % 16 == 0) kind = r_.Raw<std::int32_t>();
  const std::uint8_t how = r_.Byte();
  if (how % 16 == 0) count = SIZE_MAX / (1 + r_.Byte() % 4);  // no array holds that many
  // Objects set into the library's own elements, and library elements set into a client
  // element's links by hand, could close a cycle nothing releases; so could a tree element's
  // new key. Such sets are made reads.
  if ((kind == VELMIRA_PROPERTY_LET || kind == VELMIRA_PROPERTY_SET) &&
      strcasecmp(member.c_str(), "Key") == 0 && IsTreeElement(target)) {
    kind = VELMIRA_PROPERTY_GET;
  }
  if (kind == VELMIRA_PROPERTY_LET || kind == VELMIRA_PROPERTY_SET) {
    const bool into_library = IsLibraryElement(target);
    for (std::size_t i = 0; i < count && i < 4; ++i) {
      if (args[i].kind == VELMIRA_OBJECT &&
          (into_library || IsLibraryElement(args[i].value.object)))
        args[i].kind = VELMIRA_NULL;
    }
  }
  velmira_variant result{VELMIRA_INT32, 0, {}};
  velmira_error e{};
  velmira_status s;
  const velmira_variant* a = how % 16 == 1 ? nullptr : args;
  if (how / 16 % 4 == 0) {
    std::int32_t id = known ? row.dispatch_id : r_.Raw<std::int8_t>();
    if (r_.Byte() % 4 == 0) velmira_get_dispatch_id(target, member.c_str(), &id, &ignored);
    s = velmira_invoke_id(target, id, kind, a, count, &result, &e);
  } else if (how / 16 % 4 == 1) {
    const std::string through =
        known && r_.Byte() % 2 ? std::string(iface) : Name(kInterfaces, std::size(kInterfaces));
    const std::int32_t id = known ? row.dispatch_id : r_.Byte() % 8;
    s = velmira_invoke_through(target, through.c_str(), r_.Byte() % 2 ? member.c_str() : nullptr,
                               id, kind, a, count, &result, &e);
  } else if (r_.Byte() % 8) {
    s = velmira_invoke(target, member.c_str(), kind, a, count, &result, &e);
  } else {  // no result wanted
    s = velmira_invoke(target, member.c_str(), kind, a, count, nullptr, &e);
    result = velmira_variant{};
  }
  Check(s, e, "invoke");
  if (s != VELMIRA_OK && result.kind != VELMIRA_EMPTY) Die("a failed call left a result", member);
  if (result.kind == VELMIRA_OBJECT && result.value.object != 0)  // an owned result: into the pool
    Keep(VELMIRA_OK, std::exchange(result, velmira_variant{}).value.object);
  velmira_variant_clear(&result);
}

void Harness::Variants() {
  velmira_error e{};
  velmira_variant target{VELMIRA_INT32, 0, {.int32 = 7}};
  velmira_status s;
  if (r_.Byte() % 2) {
    const std::size_t length = r_.Byte() % 2 ? r_.Byte() % sizeof text_ : HugeLength(r_);
    s = Check(velmira_variant_set_text(&target, r_.Byte() % 8 ? text_ : nullptr, length, &e), e,
              "set text");
  } else {
    const velmira_variant source = AnyVariant();
    s = Check(velmira_variant_copy(&target, &source, &e), e, "copy");
  }
  if (s != VELMIRA_OK && (target.kind != VELMIRA_INT32 || target.value.int32 != 7))
    Die("a refused set or copy changed the variant", "");
  velmira_variant_clear(&target);
}

void Harness::Catalogue() {
  velmira_error e{};
  velmira_class_info info{};
  velmira_member_info member{};
  const char *enumeration = nullptr, *name = nullptr;
  std::int32_t value = 0;
  void* context = nullptr;
  velmira_guid id{};
  const std::size_t index = r_.Byte() % 2 ? r_.Byte() : r_.Raw<std::size_t>();
  const std::string iface = Name(kInterfaces + 4, std::size(kInterfaces) - 4);
  const std::uint8_t how = r_.Byte() % 6;
  if (how == 0) Check(velmira_class_at(index, &info, &e), e, "class at");
  if (how == 1) Check(velmira_class_of(AnyHandle(), &info, &e), e, "class of");
  if (how == 2) Check(velmira_member_at(iface.c_str(), index, &member, &e), e, "member at");
  if (how == 2) velmira_member_count(iface.c_str());
  if (how == 3) Check(velmira_enum_constant(index, &enumeration, &name, &value, &e), e, "enum");
  if (how == 4) Check(velmira_element_context(AnyHandle(), &context, &e), e, "element context");
  if (how == 5) {
    const std::string text = Name({"{01234567-89ab-cdef-0123-456789abcdef}"});
    Check(velmira_guid_parse(text.c_str(), &id, &e), e, "guid parse");
    velmira_is(AnyHandle(), AnyHandle());
  }
}

void Harness::NewElement(std::size_t slot) {
  auto* element = new ClientElement{this, r_.Byte(), {}, {}, false};
  velmira_handle h = 0;
  velmira_error e{};
  const std::string iface = slot < kPool ? kInterfaces[r_.Byte() % 5] : Name(kInterfaces, 6);
  element->tree = strcasecmp(iface.c_str(), "ITreeNode") == 0;
  elements_.push_back(element);
  if (Check(velmira_create_element(iface.c_str(), &kCallbacks, element, &h, &e), e, "element") ==
      VELMIRA_OK) {
    Hold(h, +1);
    Put(slot < kPool ? slot : r_.Byte() % kPool, h);
  } else {
    element->released = true;  // never made: no callback will see it
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
      continue;
    }
    velmira_handle h = 0;
    velmira_error e{};
    const char* name = class_names_[pick % class_names_.size()].c_str();
    if (Check(velmira_create_object(name, &h, &e), e, "create") != VELMIRA_OK) Die("create", name);
    Hold(h, +1);
    Put(i, h);
  }
  for (int step = 0; step < 96 && r_.n > 0; ++step) Step();
  // Give back everything the client holds: the pool, the elements' links and keys, the locks.
  tearing_down_ = true;
  for (std::size_t i = 0; i < kPool; ++i) Put(i, 0);
  for (ClientElement* element : elements_)
    if (!element->released) DropElement(*element);
  for (; locks_ > 0; --locks_) {
    velmira_handle f = 0;
    velmira_guid id{};
    velmira_class_id(class_names_[0].c_str(), &id, nullptr);
    velmira_get_class_object(&id, &f, nullptr);
    velmira_factory_lock(f, 0, nullptr);
    velmira_release(f, nullptr);
  }
  if (!held_.empty()) Die("the harness lost count of handle", std::to_string(held_.begin()->first));
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
