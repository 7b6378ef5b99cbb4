// Raising library errors in Python and carrying Python exceptions through the library.
#include "errors.h"

#include <string>

namespace velmira::python {
namespace {

/// The number and text an exception stands for inside the library: a `velmira.Error`'s own,
/// otherwise 440 (the element failed) and "Type: text".
std::pair<int, std::string> Describe(PyObject* value) {
  int number = kErrClientFailed;
  if (PyObject* n = PyObject_GetAttrString(value, "number")) {
    if (PyLong_Check(n)) number = static_cast<int>(PyLong_AsLong(n));
    Py_DECREF(n);
  }
  PyErr_Clear();
  std::string text = Py_TYPE(value)->tp_name;
  if (PyObject* s = PyObject_Str(value)) {
    if (const char* utf8 = PyUnicode_AsUTF8(s)) text.append(": ").append(utf8);
    Py_DECREF(s);
  }
  PyErr_Clear();
  return {number, text};
}

}  // namespace

PyObject* RaiseError(int number, std::string_view message) {
  PyObject* text =
      PyUnicode_DecodeUTF8(message.data(), static_cast<Py_ssize_t>(message.size()), "replace");
  if (!text) return nullptr;
  PyObject* error = PyObject_CallFunction(Shared().make_error, "iN", number, text);
  if (error) {
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error)), error);
    Py_DECREF(error);
  }
  return nullptr;
}

PythonRaised::PythonRaised(int number, std::string message, PyObject* type, PyObject* value,
                           PyObject* tb)
    : Error(number, message), type_(type), value_(value), traceback_(tb) {}

PythonRaised::PythonRaised(const PythonRaised& other)
    : Error(other), type_(other.type_), value_(other.value_), traceback_(other.traceback_) {
  Py_XINCREF(type_);
  Py_XINCREF(value_);
  Py_XINCREF(traceback_);
}

PythonRaised::~PythonRaised() {
  Py_XDECREF(type_);
  Py_XDECREF(value_);
  Py_XDECREF(traceback_);
}

void PythonRaised::Restore() const {
  Py_XINCREF(type_);
  Py_XINCREF(value_);
  Py_XINCREF(traceback_);
  PyErr_Restore(type_, value_, traceback_);
}

void ThrowPython() {
  PyObject *type, *value, *tb;
  PyErr_Fetch(&type, &value, &tb);
  PyErr_NormalizeException(&type, &value, &tb);
  if (tb && value) PyException_SetTraceback(value, tb);
  auto [number, text] = value ? Describe(value) : std::pair<int, std::string>{440, "?"};
  PythonRaised raised(number, text, type, value, tb);
  throw raised;
}

PyObject* RaiseCaught() noexcept {
  try {
    throw;
  } catch (const PythonRaised& e) {
    e.Restore();
  } catch (const Error& e) {
    RaiseError(e.Number(), e.what());
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& e) {
    RaiseError(kErrInternal, std::string("Internal error: ") + e.what());
  } catch (...) {
    RaiseError(kErrInternal, "Internal error");
  }
  return nullptr;
}

}  // namespace velmira::python
