// The library classes behind Python elements: one per set of interfaces and kind of links, made
// from the element building blocks (native links) or from adapters that call the Python object's
// methods, one adapter per interface so that the `NextItem`s of different interfaces coexist.
#include <array>
#include <type_traits>
#include <utility>

#include "element.h"
#include "errors.h"
#include "values.h"
#include "velmira/elements/links.h"

namespace velmira::python {
namespace {

PyObject* Interned(const char* name) { return PyUnicode_InternFromString(name); }

/// Calls the Python element's method `name` with Index (and a value); a new reference.
PyObject* CallMethod(const PyBacked& backed, PyObject* name, std::int32_t index,
                     PyObject* value = nullptr) {
  PyObject* self = backed.Self();
  PyObject* number = PyLong_FromLong(index);
  if (!number) ThrowPython();
  PyObject* args[] = {self, number, value};
  PyObject* result = PyObject_VectorcallMethod(
      name, args, (value ? 3 : 2) | PY_VECTORCALL_ARGUMENTS_OFFSET, nullptr);
  Py_DECREF(number);
  if (!result) ThrowPython();
  return result;
}

/// The element's key: the one stored natively, or its Python `Key(Index)` method.
Variant PythonKey(const PyBacked& backed, std::int32_t index) {
  if (backed.has_native_key) return backed.native_key;
  static PyObject* const name = Interned("Key");
  PyObject* result = CallMethod(backed, name, index);
  Variant key;
  const bool ok = ToVariant(result, key);
  Py_DECREF(result);
  if (!ok) ThrowPython();
  return key;
}

/// A link read from a Python method: an element implementing `I`, or Nothing (None or Empty).
template <class I>
Ref<I> PythonLink(const PyBacked& backed, PyObject* name, std::int32_t index, const char* iface) {
  PyObject* result = CallMethod(backed, name, index);
  if (result == Py_None || result == Shared().empty) {
    Py_DECREF(result);
    return Nothing;
  }
  Object* object = NativeOf(result);
  I* link = object ? dynamic_cast<I*>(object) : nullptr;
  if (!link) {
    const std::string got = TypeName(result);
    Py_DECREF(result);
    ThrowError(kErrTypeMismatch, std::string(PyUnicode_AsUTF8(name)) + " must return an " + iface +
                                     " or Nothing, got " + got);
  }
  Py_DECREF(result);
  return Ref<I>(link);
}

template <class I>
void SetPythonLink(const PyBacked& backed, PyObject* name, std::int32_t index, const Ref<I>& v) {
  PyObject* value = FromObject(v);
  if (!value) ThrowPython();
  PyObject* result = nullptr;
  try {
    result = CallMethod(backed, name, index, value);
  } catch (...) {
    Py_DECREF(value);
    throw;
  }
  Py_DECREF(value);
  Py_DECREF(result);
}

// One adapter per interface, each calling the Python methods of its links.
#define VELMIRA_PY_LINK(I, Name)                                     \
  Ref<I> Name(std::int32_t Index) override {                         \
    static PyObject* const name = Interned(#Name);                   \
    return PythonLink<I>(*this, name, Index, #I);                    \
  }                                                                  \
  void Set##Name(std::int32_t Index, const Ref<I>& Value) override { \
    static PyObject* const name = Interned("Set" #Name);             \
    SetPythonLink<I>(*this, name, Index, Value);                     \
  }
#define VELMIRA_PY_KEY \
  Variant Key(std::int32_t Index) override { return PythonKey(*this, Index); }

struct CallStack : IStackNode, virtual PyBacked {
  VELMIRA_PY_LINK(IStackNode, NextItem)
};
struct CallQueue : IQueueNode, virtual PyBacked {
  VELMIRA_PY_LINK(IQueueNode, NextItem)
};
struct CallPQueue : IPQueueNode, virtual PyBacked {
  VELMIRA_PY_KEY
  VELMIRA_PY_LINK(IPQueueNode, NextItem)
};
struct CallList : IListNode, virtual PyBacked {
  VELMIRA_PY_LINK(IListNode, NextItem)
  VELMIRA_PY_LINK(IListNode, PrevItem)
  VELMIRA_PY_LINK(IListNode, Tag)
};
struct CallTree : ITreeNode, virtual PyBacked {
  VELMIRA_PY_KEY
  VELMIRA_PY_LINK(ITreeNode, Left)
  VELMIRA_PY_LINK(ITreeNode, Right)
};
#undef VELMIRA_PY_KEY
#undef VELMIRA_PY_LINK

/// Stands in for an interface the class does not implement.
template <unsigned Bit>
struct Absent {};

template <unsigned Mask, unsigned Bit, class Part>
using Maybe = std::conditional_t<(Mask & Bit) != 0, Part, Absent<Bit>>;

template <unsigned Mask>
class CallbackElement final : public Maybe<Mask, kStackBit, CallStack>,
                              public Maybe<Mask, kQueueBit, CallQueue>,
                              public Maybe<Mask, kPQueueBit, CallPQueue>,
                              public Maybe<Mask, kListBit, CallList>,
                              public Maybe<Mask, kTreeBit, CallTree>,
                              public virtual PyBacked {
 public:
  CallbackElement() { this->callback = true; }
};

template <unsigned Mask>
class LinkedElement final : public Maybe<Mask, kStackBit, StackLinks<>>,
                            public Maybe<Mask, kQueueBit, QueueLinks<>>,
                            public Maybe<Mask, kPQueueBit, PQueueLinks<>>,
                            public Maybe<Mask, kListBit, ListLinks<>>,
                            public Maybe<Mask, kTreeBit, TreeLinks<>>,
                            public virtual PyBacked {
 public:
  /// The key of both keyed interfaces: the class's own Python `Key(Index)`.
  Variant Key(std::int32_t Index) { return PythonKey(*this, Index); }
};

using Maker = Ref<Object> (*)();

template <unsigned Mask>
Ref<Object> MakeCallback() {
  return New<CallbackElement<Mask>>();
}
template <unsigned Mask>
Ref<Object> MakeLinked() {
  return New<LinkedElement<Mask>>();
}

template <std::size_t... M>
constexpr std::array<Maker, sizeof...(M)> Table(bool callback, std::index_sequence<M...>) {
  return callback ? std::array<Maker, sizeof...(M)>{&MakeCallback<M>...}
                  : std::array<Maker, sizeof...(M)>{&MakeLinked<M>...};
}

constexpr auto kCallbackMakers = Table(true, std::make_index_sequence<32>());
constexpr auto kLinkedMakers = Table(false, std::make_index_sequence<32>());

}  // namespace

Ref<Object> MakeElement(unsigned mask, bool callback) {
  return (callback ? kCallbackMakers : kLinkedMakers)[mask & 31u]();
}

}  // namespace velmira::python
