/* The C interface from plain C99, against its header only: handles, creation, factories,
 * unloading, late-bound calls with every variant kind, an element implemented through callbacks
 * and the debug output callback. Prints "N passed, N failed" and fails when any check did. */
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

/* Calls and expects success; the result is returned (owned by the caller). */
static velmira_variant Call(velmira_handle target, const char* member, int32_t kind,
                            const velmira_variant* args, size_t count) {
  velmira_variant result;
  velmira_status s = velmira_invoke(target, member, kind, args, count, &result, &err);
  if (s != VELMIRA_OK) fprintf(stderr, "%s: %d %s\n", member, err.number, err.message);
  CHECK(s == VELMIRA_OK);
  return result;
}

static void TestHandles(void) {
  velmira_handle s = Create("Velmira.Stack"), other = Create("Velmira.Stack");
  velmira_variant top = Call(s, "IsEmpty", VELMIRA_PROPERTY_GET, NULL, 0);
  CHECK(top.kind == VELMIRA_BOOLEAN && top.value.boolean == -1);
  CHECK(velmira_retain(s, &err) == VELMIRA_OK);
  CHECK(velmira_is(s, s) && !velmira_is(s, other));
  CHECK(velmira_release(s, &err) == VELMIRA_OK && velmira_release(s, &err) == VELMIRA_OK);
  /* Released, forged in the index, forged in the generation: each refused, none a crash. */
  velmira_handle bad[3];
  bad[0] = s;
  bad[1] = (other & 0xFFFFFFFF00000000ull) | 0xFFFFFu;
  bad[2] = other ^ (1ull << 40);
  for (int i = 0; i < 3; ++i) {
    velmira_variant r;
    CHECK(velmira_invoke(bad[i], "IsEmpty", VELMIRA_PROPERTY_GET, NULL, 0, &r, &err) ==
          VELMIRA_INVALID_HANDLE);
    CHECK(r.kind == VELMIRA_EMPTY && err.number == 5 && strstr(err.message, "Invalid handle"));
    CHECK(velmira_release(bad[i], &err) == VELMIRA_INVALID_HANDLE);
    velmira_variant arg = Obj(bad[i]);
    CHECK(velmira_invoke(other, "Push", VELMIRA_METHOD, &arg, 1, NULL, &err) ==
          VELMIRA_INVALID_HANDLE);
  }
  CHECK(velmira_release(0, &err) == VELMIRA_OK);
  CHECK(velmira_release(other, &err) == VELMIRA_OK);
}

static void TestCreation(void) {
  velmira_guid id;
  velmira_handle h = 1, factory = 0;
  CHECK(velmira_class_id("velmira.queue", &id, &err) == VELMIRA_OK);
  CHECK(velmira_create_object_by_id(&id, &h, &err) == VELMIRA_OK && h != 0);
  velmira_class_info info;
  CHECK(velmira_class_of(h, &info, &err) == VELMIRA_OK &&
        strcmp(info.qualified_name, "Velmira.Queue") == 0);
  velmira_release(h, &err);
  const char* refused[] = {"Velmira.Nope", "Velmira.ListEnum", "Velmira.IndexTreeNode"};
  for (int i = 0; i < 3; ++i) {
    CHECK(velmira_create_object(refused[i], &h, &err) == VELMIRA_ERROR);
    CHECK(h == 0 && err.number == 429 && strstr(err.message, refused[i]));
  }
  CHECK(velmira_create_object(NULL, &h, &err) == VELMIRA_INVALID_ARGUMENT);

  CHECK(DllGetClassObject(&id, NULL, &factory) == VELMIRA_S_OK && factory != 0);
  CHECK(velmira_factory_lock(factory, 1, &err) == VELMIRA_OK);
  CHECK(velmira_factory_create(factory, &h, &err) == VELMIRA_OK);
  velmira_release(h, &err);
  CHECK(!velmira_can_unload_now() && DllCanUnloadNow() == VELMIRA_S_FALSE);
  CHECK(velmira_factory_lock(factory, 0, &err) == VELMIRA_OK);
  velmira_release(factory, &err);
  CHECK(velmira_factory_lock(factory, 0, &err) == VELMIRA_INVALID_HANDLE);
  velmira_handle stack = Create("Velmira.Stack");
  CHECK(velmira_factory_lock(stack, 1, &err) == VELMIRA_ERROR && err.number == 13);
  velmira_release(stack, &err);
  CHECK(velmira_class_id("Velmira.ListEnum", &id, &err) == VELMIRA_OK);
  CHECK(DllGetClassObject(&id, NULL, &factory) == VELMIRA_CLASS_E_CLASSNOTAVAILABLE);
  CHECK(velmira_guid_parse("{not-a-guid}", &id, &err) == VELMIRA_INVALID_ARGUMENT);
  const velmira_library_info* lib = velmira_library();
  CHECK(strcmp(lib->description, "Commonly used objects and data structures") == 0 &&
        lib->major_version == 1 && lib->minor_version == 1 && lib->locale == 0x409);
}

/* Every kind through a sample element's Variant field, and back unchanged. */
static void TestVariantKinds(void) {
  velmira_handle node = Create("Velmira.TreeNode"), other = Create("Velmira.Stack");
  velmira_variant v[11];
  memset(v, 0, sizeof v);
  for (int k = 0; k < 11; ++k) v[k].kind = k;
  v[VELMIRA_BOOLEAN].value.boolean = -1;
  v[VELMIRA_INT16].value.int16 = -12345;
  v[VELMIRA_INT32].value.int32 = 2000000000;
  v[VELMIRA_SINGLE].value.single = 1.5f;
  v[VELMIRA_DOUBLE].value.dbl = -2.25;
  v[VELMIRA_CURRENCY].value.currency = 922337203685477LL; /* 92,233,720,368.5477 */
  v[VELMIRA_DATE].value.date = 45000.75;
  v[VELMIRA_STRING].value.text.data = "caf\xc3\xa9\0and more";
  v[VELMIRA_STRING].value.text.length = 14;
  v[VELMIRA_OBJECT].value.object = other;
  for (int k = 0; k < 11; ++k) {
    velmira_variant set = v[k];
    Call(node, "Value", k == VELMIRA_OBJECT ? VELMIRA_PROPERTY_SET : VELMIRA_PROPERTY_LET, &set, 1);
    velmira_variant got = Call(node, "Value", VELMIRA_PROPERTY_GET, NULL, 0);
    CHECK(got.kind == k);
    switch (k) {
      case VELMIRA_STRING:
        CHECK(got.flags == VELMIRA_VARIANT_OWNED && got.value.text.length == 14 &&
              memcmp(got.value.text.data, v[k].value.text.data, 14) == 0 &&
              got.value.text.data[14] == '\0');
        break;
      case VELMIRA_OBJECT:
        CHECK(got.value.object == other && got.flags == VELMIRA_VARIANT_OWNED);
        break;
      default:
        CHECK(memcmp(&got.value, &v[k].value, sizeof got.value) == 0);
    }
    velmira_variant copy = {0};
    CHECK(velmira_variant_copy(&copy, &got, &err) == VELMIRA_OK);
    velmira_variant_clear(&got);
    velmira_variant_clear(&copy);
    CHECK(copy.kind == VELMIRA_EMPTY);
  }
  /* Boolean true read back from a Boolean property is -1 whatever non-zero went in. */
  velmira_handle debug = Create("Velmira.Debugger");
  velmira_variant yes = {VELMIRA_BOOLEAN, 0, {0}};
  yes.value.boolean = 1;
  Call(debug, "ShowIndent", VELMIRA_PROPERTY_LET, &yes, 1);
  velmira_variant got = Call(debug, "ShowIndent", VELMIRA_PROPERTY_GET, NULL, 0);
  CHECK(got.kind == VELMIRA_BOOLEAN && got.value.boolean == -1);
  /* Refusals: unknown member, wrong kind of value, unknown variant kind, unknown call kind. */
  velmira_variant text = {VELMIRA_STRING, 0, {0}}, odd = {99, 0, {0}};
  text.value.text.data = "x";
  text.value.text.length = 1;
  CHECK(velmira_invoke(other, "Nope", VELMIRA_METHOD, NULL, 0, NULL, &err) == VELMIRA_ERROR &&
        err.number == 438 && strstr(err.message, "Nope"));
  CHECK(velmira_invoke(other, "Index", VELMIRA_PROPERTY_LET, &text, 1, NULL, &err) ==
            VELMIRA_ERROR &&
        err.number == 13);
  CHECK(velmira_invoke(node, "Value", VELMIRA_PROPERTY_LET, &odd, 1, NULL, &err) ==
        VELMIRA_INVALID_ARGUMENT);
  CHECK(velmira_invoke(node, "Value", 7, NULL, 0, NULL, &err) == VELMIRA_INVALID_ARGUMENT);
  /* Dispatch identifiers, and the default member through the Tree interface. */
  int32_t id = -1;
  velmira_handle tree = Create("Velmira.SplayTree");
  CHECK(velmira_get_dispatch_id(other, "push", &id, &err) == VELMIRA_OK && id == 4);
  velmira_variant key = Int(7);
  Call(node, "Key", VELMIRA_PROPERTY_LET, (velmira_variant[]){Int(0), key}, 2);
  velmira_variant arg = Obj(node);
  CHECK(velmira_invoke_id(tree, 4, VELMIRA_METHOD, &arg, 1, NULL, &err) == VELMIRA_OK);
  velmira_variant hit;
  CHECK(velmira_invoke_through(tree, "Tree", NULL, 0, VELMIRA_PROPERTY_GET, &key, 1, &hit, &err) ==
        VELMIRA_OK);
  CHECK(hit.kind == VELMIRA_OBJECT && hit.value.object == node);
  velmira_variant_clear(&hit);
  velmira_handle all[] = {node, other, debug, tree};
  for (int i = 0; i < 4; ++i) velmira_release(all[i], &err);
}

/* An element whose links live in the C struct; slot 0 only. */
typedef struct CNode {
  int id;
  velmira_handle next;
  int releases;
  int fail_sets;
} CNode;

static velmira_status NodeInvoke(void* context, const char* member, int32_t dispatch_id,
                                 int32_t kind, const velmira_variant* args, size_t count,
                                 velmira_variant* result, velmira_error* error) {
  CNode* n = (CNode*)context;
  if (strcmp(member, "NextItem") != 0 || dispatch_id != 1 || args[0].kind != VELMIRA_INT32) {
    error->number = 438;
    strcpy(error->message, "unexpected member");
    return VELMIRA_ERROR;
  }
  if (kind == VELMIRA_PROPERTY_GET && count == 1) {
    result->kind = VELMIRA_OBJECT;
    result->value.object = n->next; /* borrowed: the library only reads it */
    return VELMIRA_OK;
  }
  if (n->fail_sets) {
    error->number = 31337;
    strcpy(error->message, "this node refuses links");
    return VELMIRA_ERROR;
  }
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
}

static void TestClientElements(void) {
  static const velmira_element_callbacks callbacks = {NodeInvoke, NodeRelease};
  CNode nodes[3] = {{1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 0, 0}};
  velmira_handle h[3], stack = Create("Velmira.Stack");
  for (int i = 0; i < 3; ++i) {
    CHECK(velmira_create_element("IStackNode", &callbacks, &nodes[i], &h[i], &err) == VELMIRA_OK);
    velmira_variant arg = Obj(h[i]);
    Call(stack, "Push", VELMIRA_METHOD, &arg, 1);
    velmira_release(h[i], &err); /* the stack holds it now */
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
  /* A failing member: its number and message come out of the container call unchanged. */
  CNode refuser = {4, 0, 0, 1}, plain = {5, 0, 0, 0};
  velmira_handle r, p;
  velmira_create_element("istacknode", &callbacks, &refuser, &r, &err);
  velmira_create_element("IStackNode", &callbacks, &plain, &p, &err);
  velmira_variant args[2] = {Obj(p), Obj(r)};
  Call(stack, "Push", VELMIRA_METHOD, &args[0], 1);
  CHECK(velmira_invoke(stack, "Push", VELMIRA_METHOD, &args[1], 1, NULL, &err) == VELMIRA_ERROR);
  CHECK(err.number == 31337 && strcmp(err.message, "this node refuses links") == 0);
  CHECK(velmira_create_element("IFoo", &callbacks, &plain, &r, &err) == VELMIRA_ERROR &&
        err.number == 13);
  velmira_release(stack, &err);
  velmira_release(p, &err);
  velmira_release(args[1].value.object, &err);
  CHECK(refuser.releases == 1 && plain.releases == 1);
  void* context;
  CHECK(velmira_element_context(p, &context, &err) == VELMIRA_INVALID_HANDLE);
}

/* A misbehaving element's get, one way per mode, and what the container call reports. */
enum { LONG_MESSAGE, NO_NUMBER, STALE_HANDLE, NOT_AN_OBJECT };
static velmira_handle stale;
static velmira_status BadGet(void* context, const char* member, int32_t dispatch_id, int32_t kind,
                             const velmira_variant* args, size_t count, velmira_variant* result,
                             velmira_error* error) {
  (void)member, (void)dispatch_id, (void)args, (void)count;
  if (kind != VELMIRA_PROPERTY_GET) return VELMIRA_OK;
  switch (*(int*)context) {
    case LONG_MESSAGE:
      error->number = 77;
      for (int i = 0; i < 256; ++i) memcpy(error->message + 2 * i, "\xc3\xa9", 2); /* no NUL */
      return VELMIRA_ERROR;
    case NO_NUMBER:
      error->number = 0;
      strcpy(error->message, "unnumbered");
      return VELMIRA_ERROR;
    case STALE_HANDLE:
      result->kind = VELMIRA_OBJECT;
      result->value.object = stale;
      return VELMIRA_OK;
    default:
      *result = Int(3);
      return VELMIRA_OK;
  }
}

static void TestMisbehavingElements(void) {
  static const velmira_element_callbacks callbacks = {BadGet, NULL};
  static const struct {
    int mode;
    int32_t number;
  } rows[] = {{LONG_MESSAGE, 77}, {NO_NUMBER, 440}, {STALE_HANDLE, 5}, {NOT_AN_OBJECT, 13}};
  velmira_handle released = Create("Velmira.Stack");
  velmira_release(released, &err);
  stale = released;
  for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
    int mode = rows[i].mode;
    velmira_handle stack = Create("Velmira.Stack"), e;
    CHECK(velmira_create_element("IStackNode", &callbacks, &mode, &e, &err) == VELMIRA_OK);
    velmira_variant arg = Obj(e); /* Push reads the element's link first */
    CHECK(velmira_invoke(stack, "Push", VELMIRA_METHOD, &arg, 1, NULL, &err) == VELMIRA_ERROR);
    CHECK(err.number == rows[i].number);
    if (mode == LONG_MESSAGE) { /* cut between characters, and terminated */
      size_t length = strlen(err.message);
      CHECK(length == 510 && memcmp(err.message + length - 2, "\xc3\xa9", 2) == 0);
    }
    velmira_release(stack, &err);
    velmira_release(e, &err);
  }
}

/* The catalogue through C: every class, the member tables, the enumeration constants. */
static void TestCatalogue(void) {
  size_t count = velmira_class_count(), creatable = 0;
  velmira_class_info info;
  for (size_t i = 0; i < count; ++i) {
    CHECK(velmira_class_at(i, &info, &err) == VELMIRA_OK);
    CHECK(strncmp(info.qualified_name, "Velmira.", 8) == 0 &&
          strcmp(info.qualified_name + 8, info.name) == 0 && info.interface_count >= 1);
    creatable += info.instancing == VELMIRA_CREATABLE;
  }
  CHECK(count == 24 && creatable == 13);
  CHECK(velmira_class_at(count, &info, &err) == VELMIRA_INVALID_ARGUMENT);
  velmira_member_info m;
  int found_default = 0;
  for (int32_t i = 0; i < velmira_member_count("Tree"); ++i) {
    CHECK(velmira_member_at("_tree", (size_t)i, &m, &err) == VELMIRA_OK);
    found_default += m.dispatch_id == 0 && strcmp(m.name, "Item") == 0 && m.param_count == 1 &&
                     m.result_type == VELMIRA_TYPE_OBJECT &&
                     strcmp(m.result_type_name, "ITreeNode") == 0;
  }
  CHECK(found_default == 1 && velmira_member_count("Nope") == -1);
  const char *enumeration, *name;
  int32_t value;
  CHECK(velmira_enum_constant(2, &enumeration, &name, &value, &err) == VELMIRA_OK);
  CHECK(strcmp(enumeration, "TreeEnumEnum") == 0 && strcmp(name, "eTreeEnumPreOrder") == 0 &&
        value == -2);
}

static char captured[256];
static int writes;
static void Capture(void* context, const char* text, size_t length) {
  (void)context;
  ++writes;
  snprintf(captured, sizeof captured, "%.*s", (int)length, text);
}

static void TestDebugOutput(void) {
  velmira_handle stack = Create("Velmira.Stack");
  velmira_variant nothing = Obj(0);
  CHECK(velmira_set_debug_output(Capture, NULL, &err) == VELMIRA_OK);
  Call(stack, "Push", VELMIRA_METHOD, &nothing, 1);
  CHECK(writes == 1 && strcmp(captured, "Stack: Warning, an attempt was made to Add Nothing") == 0);
  CHECK(velmira_set_debug_output(NULL, NULL, &err) == VELMIRA_OK);
  velmira_release(stack, &err);
}

int main(void) {
  TestHandles();
  TestCreation();
  TestVariantKinds();
  TestClientElements();
  TestDebugOutput();
  TestMisbehavingElements();
  TestCatalogue();
  CHECK(velmira_can_unload_now() && DllCanUnloadNow() == VELMIRA_S_OK);
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
