// Python values and the library's `Variant`, both ways. Objects keep their identity: a library
// object comes back as its one proxy, a Python element as itself.
//
//   Variant v;
//   if (!ToVariant(py_value, v)) return nullptr;   // a velmira.Error is set
//   PyObject* back = FromVariant(v);                 // a new reference, or null
#pragma once

#include "state.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira::python {

/// The library object a Python object stands for (a proxy's or a Python element's), or null.
Object* NativeOf(PyObject* value) noexcept;

/// Converts `value`; false with a Python exception set when it has no Variant form:
/// bool, int (32-bit; wider ones that a double holds exactly become Double), float, str
/// (valid Unicode), decimal.Decimal (currency), datetime and date (dates), None (Nothing),
/// Empty, Null, proxies and elements.
bool ToVariant(PyObject* value, Variant& out);

/// `ToVariant` for code inside the library: raises the Python exception into it instead.
Variant ToVariantOrThrow(PyObject* value);

/// The Python value of `v`: a new reference, or null with an exception set.
PyObject* FromVariant(const Variant& v);

/// The Python object of a library object: None for Nothing, a Python element as itself, any
/// other object as its proxy. A new reference, or null with an exception set.
PyObject* FromObject(const Ref<Object>& object);

/// The name of a Python value's type, for messages ("str", "NoneType").
const char* TypeName(PyObject* value) noexcept;

}  // namespace velmira::python
