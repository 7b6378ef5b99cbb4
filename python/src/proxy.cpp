// The proxy base type: lifetime, identity, the garbage collector's view of what the library
// object holds, and the fallback for names a proxy class does not have.
#include "proxy.h"

#include <unordered_map>

#include "errors.h"
#include "ownership.h"
#include "velmira/catalogue/catalogue.h"

namespace velmira::python {
namespace {

std::unordered_map<const Object*, PyObject*>& Map() {
  static std::unordered_map<const Object*, PyObject*> map;
  return map;
}

/// The proxy class of each library class, made once by the package.
std::unordered_map<const ClassInfo*, PyObject*>& Classes() {
  static std::unordered_map<const ClassInfo*, PyObject*> classes;
  return classes;
}

PyObject* ClassFor(const Ref<Object>& object) {
  const ClassInfo* info = ClassOf(object);
  if (!info) return RaiseError(kErrMemberNotFound, "the object belongs to no class of the library");
  auto found = Classes().find(info);
  if (found != Classes().end()) return found->second;
  PyObject* cls =
      PyObject_CallFunction(Shared().make_proxy_class, "s#", info->qualified_name.data(),
                            static_cast<Py_ssize_t>(info->qualified_name.size()));
  if (!cls) return nullptr;
  Classes().emplace(info, cls);  // kept for the life of the interpreter
  return cls;
}

/// Drops the proxy's reference, keeping any exception being raised meanwhile: releasing a
/// container may call Python elements' methods.
void Release(ProxyObject* self) {
  if (!self->ref) return;
  Identity::Remove(self->ref.get());
  PyObject *type, *value, *tb;
  PyErr_Fetch(&type, &value, &tb);
  self->ref.reset();
  PyErr_Restore(type, value, tb);
}

void Dealloc(PyObject* op) {
  auto* self = reinterpret_cast<ProxyObject*>(op);
  PyObject_GC_UnTrack(op);
  Release(self);
  Py_TYPE(op)->tp_free(op);
}

int Traverse(PyObject* op, visitproc visit, void* arg) {
  auto* self = reinterpret_cast<ProxyObject*>(op);
  if (!self->ref) return 0;
  return VisitOwned(self->ref.get(), visit, arg);
}

int Clear(PyObject* op) {
  Release(reinterpret_cast<ProxyObject*>(op));
  return 0;
}

/// Assignments to names the class does not have, or in another letter case: the package's
/// `_velmira_missing_set` assigns the member of that name in any case, or raises error 438.
/// (Reads stay with Python's own lookup, which keeps method calls on its fast path.)
int SetAttr(PyObject* self, PyObject* name, PyObject* value) {
  if (PyObject_GenericSetAttr(self, name, value) == 0) return 0;
  if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return -1;
  PyErr_Clear();
  PyObject* result =
      PyObject_CallMethod(reinterpret_cast<PyObject*>(Py_TYPE(self)), "_velmira_missing_set", "OOO",
                          self, name, value ? value : Py_None);
  if (!result) return -1;
  Py_DECREF(result);
  return 0;
}

PyObject* New(PyTypeObject*, PyObject*, PyObject*) {
  return RaiseError(kErrCantCreateObject,
                    "Can't create object: library objects are made by velmira.CreateObject");
}

}  // namespace

PyTypeObject ProxyType{};

PyObject* Identity::Find(const Object* object) noexcept {
  auto found = Map().find(object);
  return found == Map().end() ? nullptr : found->second;
}
void Identity::Add(const Object* object, PyObject* python) { Map()[object] = python; }
void Identity::Remove(const Object* object) noexcept { Map().erase(object); }

PyObject* NewProxy(const Ref<Object>& object) {
  PyObject* cls = ClassFor(object);
  if (!cls) return nullptr;
  auto* type = reinterpret_cast<PyTypeObject*>(cls);
  PyObject* op = type->tp_alloc(type, 0);
  if (!op) return nullptr;
  try {
    Identity::Add(object.get(), op);
  } catch (...) {
    Py_DECREF(op);
    return RaiseCaught();
  }
  reinterpret_cast<ProxyObject*>(op)->ref = object;
  return op;
}

bool InitProxyType() {
  SetGcSlots(ProxyType, "velmira._native.Object", sizeof(ProxyObject), New, Dealloc, Traverse,
             Clear);
  ProxyType.tp_flags |= Py_TPFLAGS_BASETYPE;
  ProxyType.tp_doc = "A library object; its class gives its members.";
  ProxyType.tp_setattro = SetAttr;
  return ReadyType(ProxyType);
}

}  // namespace velmira::python
