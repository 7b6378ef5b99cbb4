// Python elements: Python objects that containers hold. Each has a library object made for it
// (`PyBacked`) that implements the element interfaces its class names, either with native links
// (the classes built on velmira.StackLinks ... TreeLinks) or by calling the Python object's own
// methods (velmira.Element with `implements=`).
#pragma once

#include "state.h"
#include "velmira/core/object.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira::python {

/// The library object behind a Python element.
class PyBacked : public virtual Object {
 public:
  /// The Python element; a strong reference while set (see ownership.h). Cleared only by the
  /// collector, when the element is garbage.
  PyObject* py = nullptr;
  /// Links are the Python object's methods (otherwise they live here).
  bool callback = false;
  /// The Python element holds a reference to this object.
  bool held = false;
  /// A key stored here (`NativeKey`): when set, `Key(Index)` answers it for every slot without
  /// calling Python. Never an object reference.
  Variant native_key;
  bool has_native_key = false;

  /// The Python element; raises error 91 once the collector has cleared it.
  PyObject* Self() const;

 protected:
  PyBacked() = default;
  ~PyBacked() override = default;
};

/// Bits of the interfaces an element implements.
enum InterfaceBit : unsigned {
  kStackBit = 1,
  kQueueBit = 2,
  kPQueueBit = 4,
  kListBit = 8,
  kTreeBit = 16,
};

/// A new library object implementing the interfaces of `mask` (not 0), with native links or
/// calling the Python element's methods.
Ref<Object> MakeElement(unsigned mask, bool callback);

struct ElementObject {
  PyObject_HEAD PyObject* dict;
  PyObject* weakrefs;
  Ref<Object> ref;
  PyBacked* backed;
};

extern PyTypeObject ElementType;

bool InitElementType();

}  // namespace velmira::python
