// Proxies: the Python objects that stand for library objects. Each library object has at most one
// proxy at a time (found through `Identity`), so `is` tells identity; a proxy holds a reference
// to its object, and its class (made by the package from the catalogue) carries the members.
#pragma once

#include "state.h"
#include "velmira/core/ref.h"

namespace velmira::python {

struct ProxyObject {
  PyObject_HEAD Ref<Object> ref;
};

extern PyTypeObject ProxyType;

/// Which Python object stands for a library object: its proxy, or for a Python element's
/// library object the element itself. Entries are borrowed: each owner removes its own.
class Identity {
 public:
  static PyObject* Find(const Object* object) noexcept;
  static void Add(const Object* object, PyObject* python);
  static void Remove(const Object* object) noexcept;
};

/// A new proxy for `object`, of the proxy class of its library class.
PyObject* NewProxy(const Ref<Object>& object);

/// Readies the proxy type; false with an exception set on failure.
bool InitProxyType();

}  // namespace velmira::python
