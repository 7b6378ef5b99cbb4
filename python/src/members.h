// The members of proxy classes: `Method` (methods, and properties that take arguments, as
// `node.Key(0)` and `node.SetKey(0, v)`) and `Property` (properties without arguments). Each
// resolves its member once, when the package builds the class; a call converts its arguments
// and calls the library with no search.
#pragma once

#include "state.h"

namespace velmira::python {

extern PyTypeObject MethodType;
extern PyTypeObject PropertyType;

bool InitMemberTypes();

/// Calls the default member (Tree's Item) of a proxy's object with one argument.
PyObject* CallDefault(PyObject* proxy, PyObject* key);

}  // namespace velmira::python
