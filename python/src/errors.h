// Errors across the boundary. Library errors become `velmira.Error` (or a subclass chosen by the
// package for the number); an exception raised by a Python element's method crosses the library
// as `PythonRaised` and comes out of the container call as the very same exception object.
#pragma once

#include <new>
#include <string_view>

#include "state.h"
#include "velmira/core/error.h"

namespace velmira::python {

/// Sets `velmira.Error` (number, message) as the current Python exception; returns null.
PyObject* RaiseError(int number, std::string_view message);

/// Throws the current Python exception into the library as `PythonRaised`.
[[noreturn]] void ThrowPython();

/// A Python exception on its way through the library. Holds the exception (type, value and
/// traceback); copies share it.
class PythonRaised : public Error {
 public:
  PythonRaised(const PythonRaised& other);
  PythonRaised& operator=(const PythonRaised&) = delete;
  ~PythonRaised() override;
  /// Makes it the current Python exception again.
  void Restore() const;

 private:
  friend void ThrowPython();  // NOLINT: declared above
  PythonRaised(int number, std::string message, PyObject* type, PyObject* value, PyObject* tb);
  PyObject* type_;
  PyObject* value_;
  PyObject* traceback_;
};

/// Turns the exception being handled into the current Python exception; returns null.
PyObject* RaiseCaught() noexcept;

/// Runs `body` (returning a new reference or null), turning any C++ exception into a Python one.
template <class Body>
PyObject* Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return RaiseCaught();
  }
}

}  // namespace velmira::python
