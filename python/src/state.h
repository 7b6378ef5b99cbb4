// What the extension's parts share: the Python objects the package hands over at import (error
// factory, value helpers, Empty and Null).
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

namespace velmira::python {

struct State {
  // Set by the package (`_native._setup`) before anything else runs.
  PyObject* make_error = nullptr;        // (number, message) -> exception object
  PyObject* empty = nullptr;             // velmira.Empty
  PyObject* null = nullptr;              // velmira.Null
  PyObject* decimal_type = nullptr;      // decimal.Decimal
  PyObject* date_type = nullptr;         // datetime.date
  PyObject* to_scaled = nullptr;         // Decimal -> int, ten-thousandths (raises velmira.Error)
  PyObject* from_scaled = nullptr;       // int -> Decimal
  PyObject* to_serial = nullptr;         // date or datetime -> float serial
  PyObject* from_serial = nullptr;       // float serial -> datetime
  PyObject* make_proxy_class = nullptr;  // qualified class name -> proxy class
  PyObject* debug_receiver = nullptr;    // the callable SetDebugOutput installed, or null
};

State& Shared() noexcept;

/// Fills in the slots every type of the extension has: a collected object of `size` bytes made
/// by `make`, released by `dealloc`, whose references `traverse` shows and `clear` drops.
inline void SetGcSlots(PyTypeObject& type, const char* name, Py_ssize_t size, newfunc make,
                       destructor dealloc, traverseproc traverse, inquiry clear) {
  type.tp_name = name;
  type.tp_basicsize = size;
  type.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_HAVE_GC;
  type.tp_new = make;
  type.tp_dealloc = dealloc;
  type.tp_traverse = traverse;
  type.tp_clear = clear;
}

/// Readies a static type declared zero-initialised (`PyTypeObject T{};`), whose slots the caller
/// has filled in: it starts with one reference, as a statically initialised type does.
inline bool ReadyType(PyTypeObject& type) {
  Py_SET_REFCNT(reinterpret_cast<PyObject*>(&type), 1);
  return PyType_Ready(&type) == 0;
}

}  // namespace velmira::python
