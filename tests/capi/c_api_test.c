/* The C interface from plain C99, against its header only: what is specific to the boundary
 * (handles and their refusals, status codes and error numbers, variant marshalling and ownership,
 * factories, elements implemented through callbacks, the debug output callback). What the calls
 * do is the late-bound and catalogue tests' business. Prints "N passed, N failed". */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "velmira/velmira_c.h"

static int passed, failed;
#define CHECK(cond)                                                            \
  do {                                                                         \
    if (cond) {                                                                \
      ++passed;                                                                \
    } else {                                                                   \
      ++failed;                                                                \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
    }                                                                          \
  } while (0)

static velmira_error err;

/* True when `status` is `want` and the error number is `number`. */
static int Is(velmira_status status, velmira_status want, int32_t number) {
  if (status != want) fprintf(stderr, "status %d, expected %d\n", (int)status, (int)want);
  return status == want && err.number == number;
}

static velmira_handle Create(const char* name) {
  velmira_handle h = 0;
  CHECK(velmira_create_object(name, &h, &err) == VELMIRA_OK && h != 0);
  return h;
}

static velmira_variant Obj(velmira_handle h) {
  velmira_variant v = {VELMIRA_OBJECT, 0, {0}};
  v.value.object = h;
  return v;
}

static velmira_variant Int(int32_t i) {
  velmira_variant v = {VELMIRA_INT32, 0, {0}};
  v.value.int32 = i;
  return v;
}

/* A call with at most one argument: its status; its result is left in `result`. */
static velmira_variant result;
static velmira_status Invoke(velmira_handle target, const char* member, int32_t kind,
                             const velmira_variant* arg) {
  result = Int(1);
  return velmira_invoke(target, member, kind, arg, arg != NULL, &result, &err);
}

/* Calls and expects success; the result is returned (owned by the caller). */
static velmira_variant Call(velmira_handle target, const char* member, int32_t kind,
                            const velmira_variant* args, size_t count) {
  velmira_status s = velmira_invoke(target, member, kind, args, count, &result, &err);
  if (s != VELMIRA_OK) fprintf(stderr, "%s: %d %s\n", member, err.number, err.message);
  CHECK(s == VELMIRA_OK);
  return result;
}

static char captured[256];
static int writes;
static void Capture(void* context, const char* text, size_t length) {
  (void)context;
  ++writes;
  snprintf(captured, sizeof captured, "%.*s", (int)length, text);
}

static void TestHandlesAndRefusals(void) {
  velmira_handle s = Create("Velmira.Stack"), other = Create("Velmira.Stack");
  velmira_handle node = Create("Velmira.TreeNode");
  velmira_variant top = Call(s, "IsEmpty", VELMIRA_PROPERTY_GET, NULL, 0);
  CHECK(top.kind == VELMIRA_BOOLEAN && top.value.boolean == -1);
  CHECK(velmira_retain(s, &err) == VELMIRA_OK && velmira_is(s, s) && !velmira_is(s, other));
  CHECK(velmira_release(s, &err) == VELMIRA_OK && velmira_release(s, &err) == VELMIRA_OK);
  CHECK(velmira_release(0, &err) == VELMIRA_OK);
  /* Released, forged in the index, forged in the generation: each refused, none a crash. */
  const velmira_handle bad[] = {s, (other & ~0xFFFFFFFFull) | 0xFFFFFu, other ^ (1ull << 40)};
  for (int i = 0; i < 3; ++i) {
    velmira_variant arg = Obj(bad[i]);
    CHECK(Is(Invoke(bad[i], "IsEmpty", VELMIRA_PROPERTY_GET, NULL), VELMIRA_INVALID_HANDLE, 5) &&
          result.kind == VELMIRA_EMPTY && strstr(err.message, "Invalid handle"));
    CHECK(Is(Invoke(other, "Push", VELMIRA_METHOD, &arg), VELMIRA_INVALID_HANDLE, 5));
    CHECK(Is(velmira_release(bad[i], &err), VELMIRA_INVALID_HANDLE, 5));
  }
  /* Unknown member, wrong kind of value, unknown variant kind, unknown call kind. */
  const velmira_variant text = {VELMIRA_STRING, 0, {.text = {"x", 1}}}, odd = {99, 0, {0}};
  CHECK(Is(Invoke(other, "Nope", VELMIRA_METHOD, NULL), VELMIRA_ERROR, 438) &&
        strcmp(err.message, "Object doesn't support this property or method: Stack.Nope") == 0);
  CHECK(Is(Invoke(other, "Index", VELMIRA_PROPERTY_LET, &text), VELMIRA_ERROR, 13));
  CHECK(Invoke(node, "Value", VELMIRA_PROPERTY_LET, &odd) == VELMIRA_INVALID_ARGUMENT);
  CHECK(Invoke(node, "Value", 7, NULL) == VELMIRA_INVALID_ARGUMENT);
  /* A warning reaches the debug output callback as one write, without its line feed. */
  velmira_variant nothing = Obj(0);
  CHECK(velmira_set_debug_output(Capture, NULL, &err) == VELMIRA_OK);
  Call(other, "Push", VELMIRA_METHOD, &nothing, 1);
  CHECK(writes == 1 && strcmp(captured, "Stack: Warning, an attempt was made to Add Nothing") == 0);
  CHECK(velmira_set_debug_output(NULL, NULL, &err) == VELMIRA_OK);
  velmira_release(other, &err);
  velmira_release(node, &err);
}

static void TestCreationAndFactories(void) {
  velmira_guid id;
  velmira_handle h = 1, factory = 0;
  velmira_class_info info;
  CHECK(velmira_class_id("velmira.queue", &id, &err) == VELMIRA_OK);
  CHECK(velmira_create_object_by_id(&id, &h, &err) == VELMIRA_OK &&
        velmira_class_of(h, &info, &err) == VELMIRA_OK &&
        strcmp(info.qualified_name, "Velmira.Queue") == 0);
  velmira_release(h, &err);
  CHECK(Is(velmira_create_object("Velmira.ListEnum", &h, &err), VELMIRA_ERROR, 429));
  CHECK(h == 0 && strstr(err.message, "Velmira.ListEnum"));
  CHECK(velmira_create_object(NULL, &h, &err) == VELMIRA_INVALID_ARGUMENT);
  CHECK(DllGetClassObject(&id, NULL, &factory) == VELMIRA_S_OK && factory != 0);
  CHECK(velmira_factory_lock(factory, 1, &err) == VELMIRA_OK);
  CHECK(velmira_factory_create(factory, &h, &err) == VELMIRA_OK);
  velmira_release(h, &err);
  CHECK(!velmira_can_unload_now() && DllCanUnloadNow() == VELMIRA_S_FALSE);
  CHECK(velmira_factory_lock(factory, 0, &err) == VELMIRA_OK);
  velmira_release(factory, &err);
  CHECK(velmira_factory_lock(factory, 0, &err) == VELMIRA_INVALID_HANDLE);
  /* A lock is the library's: taken through one factory, given back through a later one. */
  CHECK(DllGetClassObject(&id, NULL, &factory) == VELMIRA_S_OK);
  CHECK(velmira_factory_lock(factory, 1, &err) == VELMIRA_OK);
  velmira_release(factory, &err);
  CHECK(DllCanUnloadNow() == VELMIRA_S_FALSE);
  CHECK(DllGetClassObject(&id, NULL, &factory) == VELMIRA_S_OK);
  CHECK(velmira_factory_lock(factory, 0, &err) == VELMIRA_OK);
  CHECK(velmira_factory_lock(factory, 0, &err) == VELMIRA_OK); /* none left: changes nothing */
  velmira_release(factory, &err);
  CHECK(DllCanUnloadNow() == VELMIRA_S_OK);
  velmira_handle stack = Create("Velmira.Stack");
  CHECK(Is(velmira_factory_lock(stack, 1, &err), VELMIRA_ERROR, 13));
  velmira_release(stack, &err);
  CHECK(velmira_class_id("Velmira.ListEnum", &id, &err) == VELMIRA_OK);
  CHECK(DllGetClassObject(&id, NULL, &factory) == VELMIRA_CLASS_E_CLASSNOTAVAILABLE);
  CHECK(velmira_guid_parse("{not-a-guid}", &id, &err) == VELMIRA_INVALID_ARGUMENT);
  const velmira_library_info* lib = velmira_library();
  CHECK(strcmp(lib->description, "Commonly used objects and data structures") == 0 &&
        lib->major_version == 1 && lib->minor_version == 1 && lib->locale == 0x409);
  /* The catalogue's records through C: names, the member rows, the enumeration constants. */
  size_t count = velmira_class_count();
  CHECK(count == 24 && velmira_class_at(count, &info, &err) == VELMIRA_INVALID_ARGUMENT);
  velmira_member_info m;
  CHECK(velmira_member_count("Nope") == -1 &&
        velmira_member_at("_tree", 4, &m, &err) == VELMIRA_OK);
  CHECK(m.dispatch_id == 0 && strcmp(m.name, "Item") == 0 && m.param_count == 1 &&
        m.result_type == VELMIRA_TYPE_OBJECT && strcmp(m.result_type_name, "ITreeNode") == 0);
  const char *enumeration, *name;
  int32_t value;
  CHECK(velmira_enum_constant(2, &enumeration, &name, &value, &err) == VELMIRA_OK);
  CHECK(strcmp(enumeration, "TreeEnumEnum") == 0 && strcmp(name, "eTreeEnumPreOrder") == 0 &&
        value == -2);
}

/* Every kind through a sample element's Variant field, and back unchanged. */
static void TestVariantKinds(void) {
  velmira_handle node = Create("Velmira.TreeNode"), other = Create("Velmira.Stack");
  /* clang-format off */
  const velmira_variant v[11] = {
      {VELMIRA_EMPTY, 0, {0}}, {VELMIRA_NULL, 0, {0}},
      {VELMIRA_BOOLEAN, 0, {.boolean = 1}}, /* any non-zero is true, and reads back as -1 */
      {VELMIRA_INT16, 0, {.int16 = -12345}}, {VELMIRA_INT32, 0, {.int32 = 2000000000}},
      {VELMIRA_SINGLE, 0, {.single = 1.5f}}, {VELMIRA_DOUBLE, 0, {.dbl = -2.25}},
      {VELMIRA_CURRENCY, 0, {.currency = 922337203685477LL}}, /* 92,233,720,368.5477 */
      {VELMIRA_DATE, 0, {.date = 45000.75}},
      {VELMIRA_STRING, 0, {.text = {"caf\xc3\xa9\0and more", 14}}}, Obj(other)};
  /* clang-format on */
  for (int k = 0; k < 11; ++k) {
    Call(node, "Value", k == VELMIRA_OBJECT ? VELMIRA_PROPERTY_SET : VELMIRA_PROPERTY_LET, v + k,
         1);
    velmira_variant got = Call(node, "Value", VELMIRA_PROPERTY_GET, NULL, 0), copy = {0};
    CHECK(got.kind == k);
    if (k == VELMIRA_STRING) {
      CHECK(got.flags == VELMIRA_VARIANT_OWNED && got.value.text.length == 14 &&
            memcmp(got.value.text.data, v[k].value.text.data, 14) == 0 &&
            got.value.text.data[14] == '\0');
    } else if (k == VELMIRA_OBJECT) {
      CHECK(got.value.object == other && got.flags == VELMIRA_VARIANT_OWNED);
    } else {
      CHECK(k == VELMIRA_BOOLEAN ? got.value.boolean == -1
                                 : memcmp(&got.value, &v[k].value, sizeof got.value) == 0);
    }
    CHECK(velmira_variant_copy(&copy, &got, &err) == VELMIRA_OK);
    velmira_variant_clear(&got);
    velmira_variant_clear(&copy);
    CHECK(copy.kind == VELMIRA_EMPTY);
  }
  /* Dispatch identifiers, and the default member through the Tree interface. */
  int32_t id = -1;
  velmira_handle tree = Create("Velmira.SplayTree");
  CHECK(velmira_get_dispatch_id(other, "push", &id, &err) == VELMIRA_OK && id == 4);
  velmira_variant key = Int(7), arg = Obj(node), hit;
  Call(node, "Key", VELMIRA_PROPERTY_LET, (velmira_variant[]){Int(0), key}, 2);
  CHECK(velmira_invoke_id(tree, 4, VELMIRA_METHOD, &arg, 1, NULL, &err) == VELMIRA_OK);
  CHECK(velmira_invoke_through(tree, "Tree", NULL, 0, VELMIRA_PROPERTY_GET, &key, 1, &hit, &err) ==
        VELMIRA_OK);
  CHECK(hit.kind == VELMIRA_OBJECT && hit.value.object == node);
  velmira_variant_clear(&hit);
  const velmira_handle all[] = {node, other, tree};
  for (int i = 0; i < 3; ++i) velmira_release(all[i], &err);
}

/* Text lengths no memory can hold, or that make a copy's size wrap, are refused before anything
 * is allocated: the variant keeps what it held and the error names the argument. */
static void TestTextLengths(void) {
  static const size_t lengths[] = {SIZE_MAX,      SIZE_MAX - 1,    SIZE_MAX - 8,
                                   SIZE_MAX - 16, (size_t)1 << 63, (size_t)1 << 44};
  velmira_handle node = Create("Velmira.TreeNode");
  for (size_t i = 0; i < sizeof lengths / sizeof lengths[0]; ++i) {
    velmira_variant kept = Int(7), text = {VELMIRA_STRING, 0, {.text = {"abc", lengths[i]}}};
    const velmira_status set = velmira_variant_set_text(&kept, "abc", lengths[i], &err);
    CHECK((set == VELMIRA_INVALID_ARGUMENT || set == VELMIRA_OUT_OF_MEMORY) &&
          strstr(err.message, "text") && kept.kind == VELMIRA_INT32 && kept.value.int32 == 7);
    const velmira_status copied = velmira_variant_copy(&kept, &text, &err);
    CHECK((copied == VELMIRA_INVALID_ARGUMENT || copied == VELMIRA_OUT_OF_MEMORY) &&
          strstr(err.message, "source") && kept.kind == VELMIRA_INT32);
    velmira_variant args[2] = {Int(0), text};
    const velmira_status let =
        velmira_invoke(node, "Key", VELMIRA_PROPERTY_LET, args, 2, NULL, &err);
    CHECK((let == VELMIRA_INVALID_ARGUMENT || let == VELMIRA_OUT_OF_MEMORY) &&
          strstr(err.message, "argument 2"));
  }
  velmira_variant key = Call(node, "Key", VELMIRA_PROPERTY_GET, (velmira_variant[]){Int(0)}, 1);
  CHECK(key.kind == VELMIRA_EMPTY); /* no refused call changed the key */
  CHECK(velmira_invoke(node, "Key", VELMIRA_PROPERTY_GET, &key, SIZE_MAX, NULL, &err) ==
        VELMIRA_INVALID_ARGUMENT);
  velmira_release(node, &err);
}

/* An element whose link lives in the C struct (slot 0 only), and which misbehaves as its mode
 * says: a failing set, or a get that fails or answers with something unusable. */
enum { PLAIN, REFUSE_SET, LONG_MESSAGE, NO_NUMBER, STALE_HANDLE, NOT_AN_OBJECT };
typedef struct CNode {
  int mode;
  velmira_handle next;
  int releases;
  velmira_handle poke;  /* retained and released again, if it can be, when this node goes */
  velmira_status poked; /* what that retain returned */
} CNode;
static velmira_handle stale;

static velmira_status Fail(velmira_error* error, int32_t number, const char* message) {
  error->number = number;
  strcpy(error->message, message);
  return VELMIRA_ERROR;
}

static velmira_status NodeInvoke(void* context, const char* member, int32_t dispatch_id,
                                 int32_t kind, const velmira_variant* args, size_t count,
                                 velmira_variant* result, velmira_error* error) {
  CNode* n = (CNode*)context;
  if (strcmp(member, "NextItem") != 0 || dispatch_id != 1 || args[0].kind != VELMIRA_INT32) {
    return Fail(error, 438, "unexpected member");
  }
  if (kind == VELMIRA_PROPERTY_GET && count == 1) {
    switch (n->mode) {
      case LONG_MESSAGE:
        error->number = 77;
        for (int i = 0; i < 256; ++i) memcpy(error->message + 2 * i, "\xc3\xa9", 2); /* no NUL */
        return VELMIRA_ERROR;
      case NO_NUMBER:
        return Fail(error, 0, "unnumbered");
      case NOT_AN_OBJECT:
        *result = Int(3);
        return VELMIRA_OK;
    }
    *result = Obj(n->mode == STALE_HANDLE ? stale : n->next); /* borrowed: only read */
    return VELMIRA_OK;
  }
  if (n->mode == REFUSE_SET) return Fail(error, 31337, "this node refuses links");
  velmira_retain(args[1].value.object, NULL);
  velmira_release(n->next, NULL);
  n->next = args[1].value.object;
  return VELMIRA_OK;
}

static void NodeRelease(void* context) {
  CNode* n = (CNode*)context;
  ++n->releases;
  velmira_release(n->next, NULL);
  n->next = 0;
  if (n->poke && (n->poked = velmira_retain(n->poke, NULL)) == VELMIRA_OK)
    velmira_release(n->poke, NULL);
}

static const velmira_element_callbacks callbacks = {NodeInvoke, NodeRelease};

static velmira_handle Element(CNode* node, const char* interface_name) {
  velmira_handle h = 0;
  CHECK(velmira_create_element(interface_name, &callbacks, node, &h, &err) == VELMIRA_OK);
  return h;
}

static void TestClientElements(void) {
  CNode nodes[3] = {{PLAIN, 0, 0, 0, 0}, {PLAIN, 0, 0, 0, 0}, {PLAIN, 0, 0, 0, 0}};
  velmira_handle stack = Create("Velmira.Stack");
  for (int i = 0; i < 3; ++i) {
    velmira_variant arg = Obj(Element(&nodes[i], i ? "IStackNode" : "istacknode"));
    Call(stack, "Push", VELMIRA_METHOD, &arg, 1);
    velmira_release(arg.value.object, &err); /* the stack holds it now */
  }
  CHECK(nodes[0].releases == 0);
  for (int i = 2; i >= 0; --i) {
    velmira_variant popped = Call(stack, "Pop", VELMIRA_METHOD, NULL, 0);
    void* context = NULL;
    CHECK(velmira_element_context(popped.value.object, &context, &err) == VELMIRA_OK);
    CHECK(context == &nodes[i]);
    velmira_variant_clear(&popped);
    CHECK(nodes[i].releases == 1);
  }
  velmira_release(stack, &err);
  /* A stack's teardown takes b then a off, and both wait to be destroyed; b, going first, asks
   * for a again by its handle: a is released already, and must not come back to be destroyed
   * twice. */
  CNode a = {PLAIN, 0, 0, 0, 0}, b = {PLAIN, 0, 0, 0, 0};
  stack = Create("Velmira.Stack");
  velmira_variant pushed[2] = {Obj(Element(&a, "IStackNode")), Obj(Element(&b, "IStackNode"))};
  b.poke = pushed[0].value.object;
  for (int i = 0; i < 2; ++i) {
    Call(stack, "Push", VELMIRA_METHOD, &pushed[i], 1);
    velmira_release(pushed[i].value.object, &err);
  }
  velmira_release(stack, &err);
  CHECK(b.poked == VELMIRA_INVALID_HANDLE && a.releases == 1 && b.releases == 1);
  CHECK(Is(velmira_create_element("IFoo", &callbacks, &nodes[0], &stack, &err), VELMIRA_ERROR, 13));
  /* A misbehaving member: the error number the container call that reached it reports. */
  static const int32_t numbers[] = {0, 31337, 77, 440, 5, 13}; /* by mode */
  stale = Create("Velmira.Stack");
  velmira_release(stale, &err);
  for (int mode = REFUSE_SET; mode <= NOT_AN_OBJECT; ++mode) {
    CNode plain = {PLAIN, 0, 0, 0, 0}, bad = {mode, 0, 0, 0, 0};
    velmira_variant args[2] = {Obj(Element(&plain, "IStackNode")),
                               Obj(Element(&bad, "IStackNode"))};
    stack = Create("Velmira.Stack");
    Call(stack, "Push", VELMIRA_METHOD, &args[0], 1);
    CHECK(Is(Invoke(stack, "Push", VELMIRA_METHOD, &args[1]), VELMIRA_ERROR, numbers[mode]));
    if (mode == REFUSE_SET) CHECK(strcmp(err.message, "this node refuses links") == 0);
    if (mode == LONG_MESSAGE) { /* cut between characters, and terminated */
      size_t length = strlen(err.message);
      CHECK(length == 510 && memcmp(err.message + length - 2, "\xc3\xa9", 2) == 0);
    }
    const velmira_handle all[] = {stack, args[0].value.object, args[1].value.object};
    for (int i = 0; i < 3; ++i) velmira_release(all[i], &err);
    void* context;
    CHECK(plain.releases == 1 && bad.releases == 1 &&
          velmira_element_context(all[2], &context, &err) == VELMIRA_INVALID_HANDLE);
  }
}

int main(void) {
  TestHandlesAndRefusals();
  TestCreationAndFactories();
  TestVariantKinds();
  TestTextLengths();
  TestClientElements();
  CHECK(velmira_can_unload_now() && DllCanUnloadNow() == VELMIRA_S_OK);
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
