// Conversions between Python values and Variants.
#include "values.h"

#include <cmath>

#include "element.h"
#include "errors.h"
#include "proxy.h"

namespace velmira::python {
namespace {

/// Calls a helper of the package with one argument; a new reference or null.
PyObject* Helper(PyObject* helper, PyObject* argument) {
  return PyObject_CallOneArg(helper, argument);
}

bool FromInt(PyObject* value, Variant& out) {
  int overflow = 0;
  const long long n = PyLong_AsLongLongAndOverflow(value, &overflow);
  if (n == -1 && PyErr_Occurred()) return false;
  if (overflow == 0 && n >= INT32_MIN && n <= INT32_MAX) {
    out = Variant(static_cast<std::int32_t>(n));
    return true;
  }
  RaiseError(kErrOverflow,
             "Overflow: " + std::string(overflow ? "the integer" : std::to_string(n)) +
                 " does not fit in 32 bits");
  return false;
}

bool FromText(PyObject* value, Variant& out) {
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(value, &size);
  if (!data) {
    PyErr_Clear();
    RaiseError(kErrInvalidArgument,
               "Invalid argument: the text is not valid Unicode (it holds "
               "a lone surrogate)");
    return false;
  }
  out = Variant(std::string_view(data, static_cast<std::size_t>(size)));
  return true;
}

bool FromDecimal(PyObject* value, Variant& out) {
  PyObject* scaled = Helper(Shared().to_scaled, value);
  if (!scaled) return false;
  int overflow = 0;
  const long long n = PyLong_AsLongLongAndOverflow(scaled, &overflow);
  Py_DECREF(scaled);
  if (overflow) {
    RaiseError(kErrOverflow, "Overflow: the amount is out of the currency range");
    return false;
  }
  if (n == -1 && PyErr_Occurred()) return false;
  out = Variant::CurrencyFromScaled(n);
  return true;
}

bool FromDate(PyObject* value, Variant& out) {
  PyObject* serial = Helper(Shared().to_serial, value);
  if (!serial) return false;
  const double d = PyFloat_AsDouble(serial);
  Py_DECREF(serial);
  if (d == -1.0 && PyErr_Occurred()) return false;
  out = Variant::Date(d);
  return true;
}

}  // namespace

const char* TypeName(PyObject* value) noexcept { return Py_TYPE(value)->tp_name; }

Object* NativeOf(PyObject* value) noexcept {
  if (PyObject_TypeCheck(value, &ProxyType))
    return reinterpret_cast<ProxyObject*>(value)->ref.get();
  if (PyObject_TypeCheck(value, &ElementType)) {
    return reinterpret_cast<ElementObject*>(value)->ref.get();
  }
  return nullptr;
}

bool ToVariant(PyObject* value, Variant& out) {
  const State& s = Shared();
  if (value == Py_None) {
    out = Variant(Nothing);
  } else if (Object* object = NativeOf(value)) {
    out = Variant(Ref<Object>(object));
  } else if (PyBool_Check(value)) {
    out = Variant(value == Py_True);
  } else if (PyLong_Check(value)) {
    return FromInt(value, out);
  } else if (PyFloat_Check(value)) {
    out = Variant(PyFloat_AS_DOUBLE(value));
  } else if (PyUnicode_Check(value)) {
    return FromText(value, out);
  } else if (value == s.empty) {
    out = Variant();
  } else if (value == s.null) {
    out = Variant::Null();
  } else if (PyObject_IsInstance(value, s.decimal_type) == 1) {
    return FromDecimal(value, out);
  } else if (PyObject_IsInstance(value, s.date_type) == 1) {
    return FromDate(value, out);
  } else {
    if (PyErr_Occurred()) return false;
    RaiseError(kErrTypeMismatch, std::string("Type mismatch: a ") + TypeName(value) +
                                     " cannot be passed to the library");
    return false;
  }
  return true;
}

Variant ToVariantOrThrow(PyObject* value) {
  Variant v;
  if (!ToVariant(value, v)) ThrowPython();
  return v;
}

PyObject* FromVariant(const Variant& v) {
  const State& s = Shared();
  switch (v.Kind()) {
    case VariantKind::Empty:
      return Py_NewRef(s.empty);
    case VariantKind::Null:
      return Py_NewRef(s.null);
    case VariantKind::Boolean:
      return PyBool_FromLong(v.BoolValue());
    case VariantKind::Int16:
      return PyLong_FromLong(v.Int16Value());
    case VariantKind::Int32:
      return PyLong_FromLong(v.Int32Value());
    case VariantKind::Single:
      return PyFloat_FromDouble(v.SingleValue());
    case VariantKind::Double:
      return PyFloat_FromDouble(v.DoubleValue());
    case VariantKind::Currency: {
      PyObject* n = PyLong_FromLongLong(v.CurrencyScaled());
      if (!n) return nullptr;
      PyObject* result = Helper(s.from_scaled, n);
      Py_DECREF(n);
      return result;
    }
    case VariantKind::Date: {
      PyObject* d = PyFloat_FromDouble(v.DateValue());
      if (!d) return nullptr;
      PyObject* result = Helper(s.from_serial, d);
      Py_DECREF(d);
      return result;
    }
    case VariantKind::String: {
      const std::string_view text = v.Text();
      return PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace");
    }
    case VariantKind::Object:
      return FromObject(v.ObjectValue());
  }
  return RaiseError(kErrInternal, "Internal error: a value of an unknown kind");
}

PyObject* FromObject(const Ref<Object>& object) {
  if (!object) Py_RETURN_NONE;
  if (PyObject* known = Identity::Find(object.get())) return Py_NewRef(known);
  return NewProxy(object);
}

}  // namespace velmira::python
