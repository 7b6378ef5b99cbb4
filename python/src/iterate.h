// `for x in container`: the package's walk over a container's or an enumerator's elements.
#pragma once

#include "state.h"

namespace velmira::python {

/// A Python iterator over the elements of the proxy `target`.
PyObject* Iterate(PyObject* module, PyObject* target);

bool InitIterate();

}  // namespace velmira::python
