// `for x in container`: the package's walk over a container's elements.
#pragma once

#include "state.h"

namespace velmira::python {

/// A new Python list of the elements of the container the proxy `target` stands for.
PyObject* Elements(PyObject* module, PyObject* target);

}  // namespace velmira::python
