// The Python base type of every Python element: it makes the element's library object when the
// Python object is made, and tells the collector about the pair.
#include "element.h"

#include <cstddef>

#include "errors.h"
#include "ownership.h"
#include "proxy.h"
#include "values.h"

namespace velmira::python {
namespace {

/// The interfaces and kind of links a class was given by the package (`_velmira_mask`,
/// `_velmira_callback`); false with an exception set when it has none.
bool ClassShape(PyTypeObject* type, unsigned& mask, bool& callback) {
  PyObject* cls = reinterpret_cast<PyObject*>(type);
  PyObject* m = PyObject_GetAttrString(cls, "_velmira_mask");
  if (!m) return false;
  mask = static_cast<unsigned>(PyLong_AsUnsignedLong(m));
  Py_DECREF(m);
  if (PyErr_Occurred()) return false;
  PyObject* c = PyObject_GetAttrString(cls, "_velmira_callback");
  if (!c) return false;
  callback = PyObject_IsTrue(c) == 1;
  Py_DECREF(c);
  if (mask == 0) {
    RaiseError(kErrTypeMismatch,
               std::string("Type mismatch: ") + type->tp_name + " implements no element interface");
    return false;
  }
  return true;
}

PyObject* New(PyTypeObject* type, PyObject*, PyObject*) {
  unsigned mask = 0;
  bool callback = false;
  if (!ClassShape(type, mask, callback)) return nullptr;
  PyObject* op = type->tp_alloc(type, 0);
  if (!op) return nullptr;
  auto* self = reinterpret_cast<ElementObject*>(op);
  try {
    self->ref = MakeElement(mask, callback);
    self->backed = dynamic_cast<PyBacked*>(self->ref.get());
    Identity::Add(self->ref.get(), op);
  } catch (...) {
    Py_DECREF(op);
    return RaiseCaught();
  }
  self->backed->held = true;
  self->backed->py = Py_NewRef(op);  // the library object's reference to its element
  return op;
}

/// Breaks the pair: the library object lets go of its Python element.
void Detach(ElementObject* self) {
  PyBacked* backed = self->backed;
  if (!backed || !backed->py) return;
  Identity::Remove(self->ref.get());
  backed->py = nullptr;
  Py_DECREF(reinterpret_cast<PyObject*>(self));
}

int Traverse(PyObject* op, visitproc visit, void* arg) {
  auto* self = reinterpret_cast<ElementObject*>(op);
  Py_VISIT(self->dict);
  // Held by nothing but this element, the library object is part of it.
  if (self->backed && self->backed->py == op && detail::IsSoleReference(self->ref.get()))
    Py_VISIT(op);
  return 0;
}

int Clear(PyObject* op) {
  auto* self = reinterpret_cast<ElementObject*>(op);
  Py_CLEAR(self->dict);
  Detach(self);
  return 0;
}

void Dealloc(PyObject* op) {
  auto* self = reinterpret_cast<ElementObject*>(op);
  PyObject_GC_UnTrack(op);
  if (self->weakrefs) PyObject_ClearWeakRefs(op);
  Py_CLEAR(self->dict);
  if (self->backed) self->backed->held = false;
  self->backed = nullptr;
  PyObject *type, *value, *tb;
  PyErr_Fetch(&type, &value, &tb);
  self->ref.reset();
  PyErr_Restore(type, value, tb);
  Py_TYPE(op)->tp_free(op);
}

PyObject* GetNativeKey(PyObject* op, void*) {
  const PyBacked* backed = reinterpret_cast<ElementObject*>(op)->backed;
  if (!backed || !backed->has_native_key) return Py_NewRef(Shared().empty);
  return FromVariant(backed->native_key);
}

int SetNativeKey(PyObject* op, PyObject* value, void*) {
  PyBacked* backed = reinterpret_cast<ElementObject*>(op)->backed;
  if (!backed) return 0;
  if (!value) {
    backed->has_native_key = false;
    backed->native_key = Variant();
    return 0;
  }
  Variant key;
  if (!ToVariant(value, key)) return -1;
  if (key.Kind() == VariantKind::Object) {
    RaiseError(kErrTypeMismatch,
               std::string("Type mismatch: NativeKey expects a value, got ") + TypeName(value));
    return -1;
  }
  backed->native_key = std::move(key);
  backed->has_native_key = true;
  return 0;
}

PyGetSetDef kGetSet[] = {
    {"NativeKey", GetNativeKey, SetNativeKey,
     "A key kept in the library object: once set, it is the element's key for every slot and "
     "the library reads it without calling Key. Delete it to call Key again.",
     nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr}};

}  // namespace

PyObject* PyBacked::Self() const {
  if (!py) ThrowError(kErrObjectNotSet, "the Python element was collected");
  return py;
}

PyTypeObject ElementType{};

bool InitElementType() {
  SetGcSlots(ElementType, "velmira._native.ElementBase", sizeof(ElementObject), New, Dealloc,
             Traverse, Clear);
  ElementType.tp_flags |= Py_TPFLAGS_BASETYPE;
  ElementType.tp_doc = "The base of Python elements: their library object and its links.";
  ElementType.tp_dictoffset = offsetof(ElementObject, dict);
  ElementType.tp_weaklistoffset = offsetof(ElementObject, weakrefs);
  ElementType.tp_getset = kGetSet;
  return ReadyType(ElementType);
}

}  // namespace velmira::python
