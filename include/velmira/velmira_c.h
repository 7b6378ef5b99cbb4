/* The library's stable C interface: create objects by class name, call their members by name or
 * dispatch identifier with an array of C variants, and let C (or any language with a C foreign
 * function interface) implement the element interfaces with a table of callbacks.
 *
 *   velmira_error err;
 *   velmira_handle stack, node;
 *   velmira_create_object("Velmira.Stack", &stack, &err);
 *   velmira_create_object("Velmira.StackNode", &node, &err);
 *   velmira_variant arg = {0};  arg.kind = VELMIRA_OBJECT;  arg.value.object = node;
 *   velmira_invoke(stack, "Push", VELMIRA_METHOD, &arg, 1, NULL, &err);
 *   velmira_release(node, &err);  velmira_release(stack, &err);
 *
 * Plain C99, usable through dlopen/dlsym: every function is exported with C linkage from the
 * shared library and never lets a C++ exception out.
 *
 * Handles. An object is known to C by an opaque 64-bit handle; 0 is Nothing. The same object
 * always comes out as the same handle while any handle reference to it is held. Every handle the
 * library gives out (a create, an object result, an object inside a result variant) carries one
 * reference, given back with velmira_release; velmira_retain adds one. Every function checks the
 * handles it is given: a handle whose references have all been released, or one that was never
 * issued, is refused with VELMIRA_INVALID_HANDLE (never a crash).
 *
 * Errors. Functions return a velmira_status and, when it is not VELMIRA_OK, fill the error
 * record the caller passes as the last argument (NULL when the caller does not want it) with an
 * error number and a message. An error raised by the library (438 unknown member, 13 type
 * mismatch, 429 class that cannot be created, ...) or by a client element comes out as
 * VELMIRA_ERROR with its own number and message. No thread-local state is kept.
 *
 * Threads. Objects are apartment-threaded: use an object only from the thread that created it.
 * The handle table itself is safe to use from several threads.
 *
 * Entry points. Of the standard entry points of an in-process component server this platform
 * offers DllGetClassObject and DllCanUnloadNow (at the end of this file). There is no component
 * registry here, so registration has no meaning: DllRegisterServer and DllUnregisterServer do
 * not exist. Clients find classes by qualified name or class identifier through this interface.
 */
#ifndef VELMIRA_VELMIRA_C_H
#define VELMIRA_VELMIRA_C_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#  define VELMIRA_C_API __declspec(dllexport)
#else
#  define VELMIRA_C_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Handles, statuses, errors ---------------------------------------------------------- */

/** An object of the library or a client element; 0 is Nothing. */
typedef uint64_t velmira_handle;

typedef int32_t velmira_status;
enum {
  VELMIRA_OK = 0,
  /** The library or a client element raised an error: see number and message. */
  VELMIRA_ERROR = 1,
  /** A handle that was released or never issued (error number 5). */
  VELMIRA_INVALID_HANDLE = 2,
  /** A null pointer where one is required, an unknown variant kind or call kind (number 5). */
  VELMIRA_INVALID_ARGUMENT = 3,
  /** Memory ran out (number 7). */
  VELMIRA_OUT_OF_MEMORY = 4,
  /** Anything else that went wrong inside the library (number 51). */
  VELMIRA_INTERNAL_ERROR = 5
};

/** Longest message kept, terminating NUL included; longer ones are cut at a character boundary. */
#define VELMIRA_MESSAGE_SIZE 512

/** What went wrong: the error number and its message (UTF-8, NUL-terminated). */
typedef struct velmira_error {
  int32_t number;
  char message[VELMIRA_MESSAGE_SIZE];
} velmira_error;

/** Takes one more reference on a handle. Retaining 0 does nothing. */
VELMIRA_C_API velmira_status velmira_retain(velmira_handle object, velmira_error* error);
/** Gives one reference back; the last one lets the object go. Releasing 0 does nothing. */
VELMIRA_C_API velmira_status velmira_release(velmira_handle object, velmira_error* error);
/** True (1) when both handles denote the same object; 0 otherwise (unchecked handles are 0). */
VELMIRA_C_API int velmira_is(velmira_handle a, velmira_handle b);

/* ---- Variants --------------------------------------------------------------------------- */

/** The kinds a variant can have, in the order of the library's Variant kinds. */
typedef enum velmira_kind {
  VELMIRA_EMPTY = 0,
  VELMIRA_NULL = 1,
  VELMIRA_BOOLEAN = 2,  /* value.boolean: -1 true, 0 false (any non-zero reads as true) */
  VELMIRA_INT16 = 3,    /* value.int16 */
  VELMIRA_INT32 = 4,    /* value.int32 */
  VELMIRA_SINGLE = 5,   /* value.single */
  VELMIRA_DOUBLE = 6,   /* value.dbl */
  VELMIRA_CURRENCY = 7, /* value.currency: the amount times 10,000 */
  VELMIRA_DATE = 8,     /* value.date: days since 1899-12-30, the fraction the time of day */
  VELMIRA_STRING = 9,   /* value.text: UTF-8 bytes and their count, NUL not needed */
  VELMIRA_OBJECT = 10   /* value.object: a handle, 0 for Nothing */
} velmira_kind;

/** Set on variants whose text or handle the variant owns: velmira_variant_clear frees them. */
#define VELMIRA_VARIANT_OWNED 1u

/** A value of any kind. Zero-initialised, it is Empty.
 *
 * Ownership. Every variant the library gives out (a call's result, a copy) is marked
 * VELMIRA_VARIANT_OWNED: its text was allocated for it and its handle carries a reference, and
 * velmira_variant_clear gives both back. Variants the caller builds with flags 0 only borrow:
 * the library reads them and never frees them. */
typedef struct velmira_variant {
  int32_t kind;   /* a velmira_kind */
  uint32_t flags; /* VELMIRA_VARIANT_OWNED or 0 */
  union {
    int16_t boolean;
    int16_t int16;
    int32_t int32;
    float single;
    double dbl;
    int64_t currency;
    double date;
    struct {
      const char* data; /* NUL-terminated when the library made it */
      size_t length;
    } text;
    velmira_handle object;
  } value;
} velmira_variant;

/** Frees what the variant owns (nothing unless VELMIRA_VARIANT_OWNED) and makes it Empty.
 *  Clearing NULL or an Empty variant does nothing. */
VELMIRA_C_API void velmira_variant_clear(velmira_variant* variant);
/** Makes `target` an owned copy of `source` (text copied, handle retained), clearing what
 *  `target` held first. */
VELMIRA_C_API velmira_status velmira_variant_copy(velmira_variant* target,
                                                  const velmira_variant* source,
                                                  velmira_error* error);
/** Makes `target` an owned text variant holding a copy of `length` bytes of `text`. */
VELMIRA_C_API velmira_status velmira_variant_set_text(velmira_variant* target, const char* text,
                                                      size_t length, velmira_error* error);

/* ---- Creating objects, class factories, unloading --------------------------------------- */

/** A class, interface or library identifier. */
typedef struct velmira_guid {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
} velmira_guid;

/** A new object of a creatable class ("Velmira.Stack"; letters in any case). Error 429 for a
 *  name the library does not know, a class clients cannot create, or a private class. */
VELMIRA_C_API velmira_status velmira_create_object(const char* qualified_name,
                                                   velmira_handle* object, velmira_error* error);
/** The same by class identifier. */
VELMIRA_C_API velmira_status velmira_create_object_by_id(const velmira_guid* class_id,
                                                         velmira_handle* object,
                                                         velmira_error* error);
/** The class identifier of a class named by its qualified name (any class, even private). */
VELMIRA_C_API velmira_status velmira_class_id(const char* qualified_name, velmira_guid* class_id,
                                              velmira_error* error);
/** Reads "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx", braces optional. */
VELMIRA_C_API velmira_status velmira_guid_parse(const char* text, velmira_guid* id,
                                                velmira_error* error);

/** The class factory of a creatable class; error 429 otherwise. */
VELMIRA_C_API velmira_status velmira_get_class_object(const velmira_guid* class_id,
                                                      velmira_handle* factory,
                                                      velmira_error* error);
/** Locks (non-zero) or unlocks (0) a factory: a locked factory stays alive, and the library
 *  cannot be unloaded, until it is unlocked as often as it was locked. */
VELMIRA_C_API velmira_status velmira_factory_lock(velmira_handle factory, int lock,
                                                  velmira_error* error);
/** A new object of the factory's class. */
VELMIRA_C_API velmira_status velmira_factory_create(velmira_handle factory, velmira_handle* object,
                                                    velmira_error* error);
/** 1 when no object of the library is alive and no factory is locked, else 0. */
VELMIRA_C_API int velmira_can_unload_now(void);

/* ---- Late-bound calls -------------------------------------------------------------------- */

/** How a member is called. */
typedef enum velmira_call_kind {
  VELMIRA_PROPERTY_GET = 0,
  VELMIRA_PROPERTY_LET = 1, /* assigns a value */
  VELMIRA_PROPERTY_SET = 2, /* assigns an object reference */
  VELMIRA_METHOD = 3
} velmira_call_kind;

/** The dispatch identifier of `member` on the object's own interface (0 for the default
 *  member, asked for with ""); error 438 when the interface has no such member. */
VELMIRA_C_API velmira_status velmira_get_dispatch_id(velmira_handle object, const char* member,
                                                     int32_t* dispatch_id, velmira_error* error);

/** Calls `member` (any letter case; "" for the default member) of the object's own interface.
 *  `args` are read only. `result` (may be NULL) receives an owned variant, Empty when the
 *  member returns nothing; on failure it is Empty. */
VELMIRA_C_API velmira_status velmira_invoke(velmira_handle object, const char* member, int32_t kind,
                                            const velmira_variant* args, size_t arg_count,
                                            velmira_variant* result, velmira_error* error);
/** The same by dispatch identifier. */
VELMIRA_C_API velmira_status velmira_invoke_id(velmira_handle object, int32_t dispatch_id,
                                               int32_t kind, const velmira_variant* args,
                                               size_t arg_count, velmira_variant* result,
                                               velmira_error* error);
/** The same through another interface the object implements ("Tree" or "_Tree" for a
 *  SplayTree; error 13 when it does not implement it). `member` NULL calls by `dispatch_id`. */
VELMIRA_C_API velmira_status velmira_invoke_through(velmira_handle object,
                                                    const char* interface_name, const char* member,
                                                    int32_t dispatch_id, int32_t kind,
                                                    const velmira_variant* args, size_t arg_count,
                                                    velmira_variant* result, velmira_error* error);

/* ---- The catalogue ------------------------------------------------------------------------ */

/** The library record. All texts are NUL-terminated and live as long as the library. */
typedef struct velmira_library_info {
  const char* name;        /* "Velmira" */
  const char* description; /* "Commonly used objects and data structures" */
  velmira_guid id;
  uint16_t major_version;
  uint16_t minor_version;
  uint32_t locale;          /* 0x409 */
  const char* file_version; /* "0.00.0021" */
} velmira_library_info;
VELMIRA_C_API const velmira_library_info* velmira_library(void);

typedef enum velmira_instancing {
  VELMIRA_CREATABLE = 0,
  VELMIRA_NOT_CREATABLE = 1,
  VELMIRA_PRIVATE = 2
} velmira_instancing;

/** One class: its names, instancing, identifier, description and interfaces. */
typedef struct velmira_class_info {
  const char* name;           /* "SplayTree" */
  const char* qualified_name; /* "Velmira.SplayTree" */
  int32_t instancing;         /* a velmira_instancing */
  velmira_guid class_id;
  const char* description;
  /* Its own interface first ("_SplayTree"), then the others ("_Tree"). */
  const char* interfaces[4];
  int32_t interface_count;
} velmira_class_info;
/** The number of classes, and each in catalogue order; `index` out of range is refused. */
VELMIRA_C_API size_t velmira_class_count(void);
VELMIRA_C_API velmira_status velmira_class_at(size_t index, velmira_class_info* info,
                                              velmira_error* error);
/** The class the object is an instance of (for a client element: its element interface). */
VELMIRA_C_API velmira_status velmira_class_of(velmira_handle object, velmira_class_info* info,
                                              velmira_error* error);

/** Parameter and result kinds. */
typedef enum velmira_value_type {
  VELMIRA_TYPE_NONE = 0,
  VELMIRA_TYPE_BOOLEAN = 1,
  VELMIRA_TYPE_INT32 = 2,
  VELMIRA_TYPE_STRING = 3,
  VELMIRA_TYPE_VARIANT = 4,
  VELMIRA_TYPE_OBJECT = 5,
  VELMIRA_TYPE_ENUM = 6
} velmira_value_type;

typedef struct velmira_param_info {
  const char* name;
  int32_t type;          /* a velmira_value_type */
  const char* type_name; /* "IStackNode", "TreeEnumEnum", "Int32", ... */
  int32_t optional;      /* 1 when it may be left out; it then takes default_value */
  int32_t default_value;
  int32_t param_array; /* 1 when it takes every remaining argument */
} velmira_param_info;

/** One accessor or method. A property's get, let and set are separate rows with one name. */
typedef struct velmira_member_info {
  int32_t dispatch_id;
  const char* name;
  int32_t kind; /* a velmira_call_kind */
  int32_t result_type;
  const char* result_type_name;
  const char* description; /* "" when it has none */
  int32_t param_count;
  velmira_param_info params[2];
} velmira_member_info;
/** The number of rows of an interface ("_Stack", "Stack", "IStackNode"; any letter case), or
 *  -1 when there is no such interface. */
VELMIRA_C_API int32_t velmira_member_count(const char* interface_name);
/** Row `index` of the interface, in slot order. */
VELMIRA_C_API velmira_status velmira_member_at(const char* interface_name, size_t index,
                                               velmira_member_info* info, velmira_error* error);

/** The published enumeration constants (`eTreeEnumInOrder` ...), `index` from 0 until it is
 *  refused. `enumeration` receives the enumeration's name ("TreeEnumEnum"). */
VELMIRA_C_API velmira_status velmira_enum_constant(size_t index, const char** enumeration,
                                                   const char** name, int32_t* value,
                                                   velmira_error* error);

/* ---- Client elements ---------------------------------------------------------------------- */

/** How a client implements an element interface. `invoke` is called for every member call on
 *  the element: `member` and `dispatch_id` name the member as the catalogue does ("NextItem",
 *  1), `kind` is VELMIRA_PROPERTY_GET or VELMIRA_PROPERTY_SET, and `args` hold the Index
 *  (VELMIRA_INT32) then, for a set, the new value (VELMIRA_OBJECT, 0 for Nothing). The
 *  arguments belong to the library for the duration of the call: copy one with
 *  velmira_variant_copy (or retain its handle) to keep it. A get stores its result in `result`
 *  (an object handle for a link, any kind for Key); the library reads it and then clears it, so
 *  an owned variant (velmira_variant_set_text, or a handle whose reference is handed over) is
 *  freed and a borrowed one is only read. A callback that fails returns a non-zero status and
 *  fills `error`: the container operation that called it stops and reports that error number
 *  and message unchanged (number 0 is reported as 440).
 *
 *  `release` is called exactly once, when the element object goes away; after it no callback
 *  sees `context` again. It may be NULL. */
typedef struct velmira_element_callbacks {
  velmira_status (*invoke)(void* context, const char* member, int32_t dispatch_id, int32_t kind,
                           const velmira_variant* args, size_t arg_count, velmira_variant* result,
                           velmira_error* error);
  void (*release)(void* context);
} velmira_element_callbacks;

/** A new element object implementing `interface_name` ("IStackNode", "IQueueNode",
 *  "IPQueueNode", "IListNode" or "ITreeNode"), whose members call `callbacks` with `context`.
 *  The callback table is copied. Error 13 for another interface name. */
VELMIRA_C_API velmira_status velmira_create_element(const char* interface_name,
                                                    const velmira_element_callbacks* callbacks,
                                                    void* context, velmira_handle* element,
                                                    velmira_error* error);
/** The context pointer of a client element (error 13 when the object is not one). */
VELMIRA_C_API velmira_status velmira_element_context(velmira_handle element, void** context,
                                                     velmira_error* error);

/* ---- Debug output ------------------------------------------------------------------------- */

/** Receives each write to the debug output channel: a warning line (no terminator) or a
 *  debugger line (ending in a line feed), as `length` bytes of UTF-8 text. */
typedef void (*velmira_output_callback)(void* context, const char* text, size_t length);
/** Sends the debug output channel to `callback`; NULL restores the default (standard error). */
VELMIRA_C_API velmira_status velmira_set_debug_output(velmira_output_callback callback,
                                                      void* context, velmira_error* error);

/* ---- Standard entry points ---------------------------------------------------------------- */

/** Result codes of the standard entry points. */
#define VELMIRA_S_OK 0
#define VELMIRA_S_FALSE 1
#define VELMIRA_E_INVALIDARG ((int32_t)0x80070057)
#define VELMIRA_E_NOINTERFACE ((int32_t)0x80004002)
#define VELMIRA_E_OUTOFMEMORY ((int32_t)0x8007000E)
#define VELMIRA_CLASS_E_CLASSNOTAVAILABLE ((int32_t)0x80040111)

/** The class factory of a creatable class as a handle in `*factory`: VELMIRA_S_OK, or
 *  VELMIRA_CLASS_E_CLASSNOTAVAILABLE for any other class identifier. A factory offers one
 *  interface only, so `interface_id` must be NULL (else VELMIRA_E_NOINTERFACE). */
VELMIRA_C_API int32_t DllGetClassObject(const velmira_guid* class_id,
                                        const velmira_guid* interface_id, velmira_handle* factory);
/** VELMIRA_S_OK when the library can be unloaded (no object alive, no factory locked), else
 *  VELMIRA_S_FALSE. */
VELMIRA_C_API int32_t DllCanUnloadNow(void);

#ifdef __cplusplus
}
#endif

#endif /* VELMIRA_VELMIRA_C_H */
