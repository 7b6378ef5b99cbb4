// Method and property descriptors of proxy classes.
#include "members.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "errors.h"
#include "proxy.h"
#include "values.h"
#include "velmira/catalogue/catalogue.h"
#include "velmira/dispatch/invoke.h"

namespace velmira::python {
namespace {

struct MemberObject {
  PyObject_HEAD PyObject* dict;  // __name__, __doc__, __signature__, set by the package
  vectorcallfunc vectorcall;
  ResolvedMember get;  // the read, or the method
  ResolvedMember let;  // assigning a value
  ResolvedMember set;  // assigning an object reference
  bool assigns;        // a Set... method: its last argument is the new value
};

/// Arguments converted for one call; a few live in place.
class Arguments {
 public:
  Variant* Data() { return values_.data(); }
  std::size_t Size() const { return size_; }
  bool Resize(std::size_t n) {
    if (n > values_.size()) {
      RaiseError(kErrWrongArgumentCount,
                 "Wrong number of arguments or invalid property "
                 "assignment: too many arguments");
      return false;
    }
    size_ = n;
    return true;
  }

 private:
  std::array<Variant, 8> values_;
  std::size_t size_ = 0;
};

bool IsObjectLike(PyObject* value) { return value == Py_None || NativeOf(value) != nullptr; }

/// The article and name of what a parameter expects, for messages ("an ITreeNode").
std::string Expected(const ParamInfo& param) {
  std::string name;
  switch (param.type.kind) {
    case ValueType::Boolean:
      return "a Boolean";
    case ValueType::Int32:
      return "a 32-bit integer";
    case ValueType::String:
      return "a string";
    case ValueType::Enum:
      return "a " + std::string(param.type.name) + " constant";
    case ValueType::Object:
      name = param.type.name;
      return (name.find_first_of("AEIOU") == 0 ? "an " : "a ") + name;
    default:
      return "a value";
  }
}

/// Whether a Python value has a Variant form at all.
bool Convertible(PyObject* value) {
  const State& s = Shared();
  return IsObjectLike(value) || PyLong_Check(value) || PyFloat_Check(value) ||
         PyUnicode_Check(value) || value == s.empty || value == s.null ||
         PyObject_IsInstance(value, s.decimal_type) == 1 ||
         PyObject_IsInstance(value, s.date_type) == 1;
}

/// Whether a Python value fits a parameter well enough to be passed on.
bool Fits(const ParamInfo& param, PyObject* value) {
  switch (param.type.kind) {
    case ValueType::Object: {
      if (value == Py_None) return true;
      Object* object = NativeOf(value);
      const InterfaceInfo* iface = FindInterface(param.type.name);
      return object && (!iface || iface->IsImplementedBy(Ref<Object>(object)));
    }
    case ValueType::Boolean:
    case ValueType::Int32:
    case ValueType::Enum:
      return !IsObjectLike(value) && value != Shared().null && Convertible(value);
    default:
      return Convertible(value);
  }
}

/// Replaces a type mismatch by one that names what the member expected and what it was given.
PyObject* RaiseMismatch(const MemberInfo& row, PyObject* const* args, std::size_t n) {
  const auto params = row.Params();
  for (std::size_t i = 0; i < n && i < params.size(); ++i) {
    if (params[i].param_array || Fits(params[i], args[i])) continue;
    PyErr_Clear();
    return RaiseError(kErrTypeMismatch, "Type mismatch: " + std::string(row.name) + " expects " +
                                            Expected(params[i]) + ", got " + TypeName(args[i]));
  }
  return nullptr;
}

/// Places positional and keyword arguments in parameter order; optional parameters left out
/// before a keyword take their defaults. A keyword naming an argument given by position, or a
/// parameter the member does not have, is an error.
bool Arrange(const MemberInfo& row, PyObject* const* args, std::size_t nargs, PyObject* kwnames,
             std::vector<PyObject*>& placed) {
  placed.assign(args, args + nargs);
  if (!kwnames) return true;
  const auto params = row.Params();
  const Py_ssize_t nkw = PyTuple_GET_SIZE(kwnames);
  for (Py_ssize_t k = 0; k < nkw; ++k) {
    const char* name = PyUnicode_AsUTF8(PyTuple_GET_ITEM(kwnames, k));
    if (!name) return false;
    std::size_t index = params.size();
    for (std::size_t i = 0; i < params.size(); ++i) {
      if (NamesMatch(params[i].name, name)) index = i;
    }
    if (index == params.size()) {
      RaiseError(kErrWrongArgumentCount,
                 "Wrong number of arguments or invalid property "
                 "assignment: " +
                     std::string(row.name) + " has no parameter " + name);
      return false;
    }
    if (placed.size() <= index) placed.resize(index + 1, nullptr);
    if (placed[index]) {
      RaiseError(kErrWrongArgumentCount,
                 "Wrong number of arguments or invalid property "
                 "assignment: " +
                     std::string(row.name) + " got " + std::string(params[index].name) + " twice");
      return false;
    }
    placed[index] = args[nargs + k];
  }
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (placed[i]) continue;
    if (!params[i].optional) {
      RaiseError(kErrArgumentNotOptional, "Argument not optional: " + std::string(row.name) +
                                              " needs " + std::string(params[i].name));
      return false;
    }
  }
  return true;
}

PyObject* CallRow(const ResolvedMember& member, PyObject* self, PyObject* const* args,
                  std::size_t n, const std::vector<PyObject*>* placed) {
  if (!member.row) {
    return RaiseError(kErrMemberNotFound, "Object doesn't support this property or method");
  }
  if (!PyObject_TypeCheck(self, &ProxyType)) {
    return RaiseError(kErrTypeMismatch,
                      std::string("Type mismatch: ") + std::string(member.row->name) +
                          " is called on a library object, got " + TypeName(self));
  }
  Arguments values;
  if (!values.Resize(n)) return nullptr;
  const auto params = member.row->Params();
  for (std::size_t i = 0; i < n; ++i) {
    PyObject* arg = placed ? (*placed)[i] : args[i];
    if (!arg) {
      values.Data()[i] = Variant(params[i].default_value);
    } else if (!ToVariant(arg, values.Data()[i])) {
      if (PyErr_ExceptionMatches(PyExc_TypeError)) {
        RaiseMismatch(*member.row, placed ? placed->data() : args, n);
      }
      return nullptr;
    }
  }
  try {
    const Variant result = Call(member, reinterpret_cast<ProxyObject*>(self)->ref,
                                std::span<const Variant>(values.Data(), n));
    return FromVariant(result);
  } catch (const PythonRaised& e) {
    e.Restore();
    return nullptr;
  } catch (const Error& e) {
    if (e.Number() == kErrTypeMismatch &&
        RaiseMismatch(*member.row, placed ? placed->data() : args, n) == nullptr &&
        PyErr_Occurred()) {
      return nullptr;
    }
    return RaiseCaught();
  } catch (...) {
    return RaiseCaught();
  }
}

/// The row a Set... method calls: a reference assignment for objects when the property has
/// one, a value assignment otherwise.
const ResolvedMember& AssignRow(const MemberObject* m, PyObject* value) {
  if (m->set.row && (!m->let.row || IsObjectLike(value))) return m->set;
  return m->let;
}

PyObject* MethodCall(PyObject* callable, PyObject* const* args, std::size_t nargsf,
                     PyObject* kwnames) {
  auto* m = reinterpret_cast<MemberObject*>(callable);
  const std::size_t nargs = PyVectorcall_NARGS(nargsf);
  if (nargs == 0) {
    return RaiseError(kErrArgumentNotOptional, "Argument not optional: the object is missing");
  }
  PyObject* self = args[0];
  const std::size_t nkw = kwnames ? static_cast<std::size_t>(PyTuple_GET_SIZE(kwnames)) : 0;
  // A Set... method's new value is its last argument, however given.
  const ResolvedMember& member =
      m->assigns ? AssignRow(m, nargs + nkw > 1 ? args[nargs + nkw - 1] : Py_None) : m->get;
  if (!kwnames || !member.row) return CallRow(member, self, args + 1, nargs - 1, nullptr);
  std::vector<PyObject*> placed;
  if (!Arrange(*member.row, args + 1, nargs - 1, kwnames, placed)) return nullptr;
  return CallRow(member, self, nullptr, placed.size(), &placed);
}

PyObject* MethodGet(PyObject* self, PyObject* obj, PyObject*) {
  if (!obj || obj == Py_None) return Py_NewRef(self);
  return PyMethod_New(self, obj);
}

int ParseResolve(PyObject* args, ResolvedMember* rows[], const CallKind kinds[], int count,
                 bool* assigns) {
  const char *iface_name, *name;
  int form = 0;
  if (!PyArg_ParseTuple(args, "ssi", &iface_name, &name, &form)) return -1;
  *assigns = form != 0;
  const InterfaceInfo* iface = FindInterface(iface_name);
  if (!iface) {
    RaiseError(kErrMemberNotFound, std::string("no interface ") + iface_name);
    return -1;
  }
  int found = 0;
  for (int i = 0; i < count; ++i) {
    if (iface->Find(name, kinds[i])) {
      *rows[i] = Resolve(*iface, name, kinds[i]);
      ++found;
    }
  }
  if (found == 0) {
    RaiseError(kErrMemberNotFound, std::string("no member ") + name + " on " + iface_name);
    return -1;
  }
  return 0;
}

/// Method(interface, name, form): form 0 calls the method (or the read taking arguments),
/// form 1 assigns (SetKey).
int MethodInit(PyObject* op, PyObject* args, PyObject*) {
  auto* m = reinterpret_cast<MemberObject*>(op);
  ResolvedMember* rows[] = {&m->get, &m->let, &m->set};
  const CallKind kinds[] = {CallKind::Method, CallKind::PropertyLet, CallKind::PropertySet};
  m->vectorcall = MethodCall;
  return ParseResolve(args, rows, kinds, 3, &m->assigns);
}

/// Property(interface, name, 0): the read and the assignments of a property without arguments.
int PropertyInit(PyObject* op, PyObject* args, PyObject*) {
  auto* m = reinterpret_cast<MemberObject*>(op);
  ResolvedMember* rows[] = {&m->get, &m->let, &m->set};
  const CallKind kinds[] = {CallKind::PropertyGet, CallKind::PropertyLet, CallKind::PropertySet};
  return ParseResolve(args, rows, kinds, 3, &m->assigns);
}

PyObject* PropertyGet(PyObject* self, PyObject* obj, PyObject*) {
  auto* m = reinterpret_cast<MemberObject*>(self);
  if (!obj || obj == Py_None) return Py_NewRef(self);
  if (!m->get.row) {
    return RaiseError(kErrMemberNotFound,
                      "Object doesn't support this property or method: "
                      "the property cannot be read");
  }
  return CallRow(m->get, obj, nullptr, 0, nullptr);
}

int PropertySet(PyObject* self, PyObject* obj, PyObject* value) {
  auto* m = reinterpret_cast<MemberObject*>(self);
  if (!value || (!m->let.row && !m->set.row)) {
    RaiseError(kErrMemberNotFound,
               "Object doesn't support this property or method: "
               "the property cannot be assigned");
    return -1;
  }
  PyObject* result = CallRow(AssignRow(m, value), obj, &value, 1, nullptr);
  if (!result) return -1;
  Py_DECREF(result);
  return 0;
}

int Traverse(PyObject* op, visitproc visit, void* arg) {
  Py_VISIT(reinterpret_cast<MemberObject*>(op)->dict);
  return 0;
}

int Clear(PyObject* op) {
  Py_CLEAR(reinterpret_cast<MemberObject*>(op)->dict);
  return 0;
}

void Dealloc(PyObject* op) {
  PyObject_GC_UnTrack(op);
  Clear(op);
  Py_TYPE(op)->tp_free(op);
}

void Common(PyTypeObject& type, const char* name) {
  SetGcSlots(type, name, sizeof(MemberObject), PyType_GenericNew, Dealloc, Traverse, Clear);
  type.tp_dictoffset = offsetof(MemberObject, dict);
}

}  // namespace

PyTypeObject MethodType{};
PyTypeObject PropertyType{};

bool InitMemberTypes() {
  Common(MethodType, "velmira._native.Method");
  MethodType.tp_flags |= Py_TPFLAGS_HAVE_VECTORCALL | Py_TPFLAGS_METHOD_DESCRIPTOR;
  MethodType.tp_vectorcall_offset = offsetof(MemberObject, vectorcall);
  MethodType.tp_call = PyVectorcall_Call;
  MethodType.tp_descr_get = MethodGet;
  MethodType.tp_init = MethodInit;
  Common(PropertyType, "velmira._native.Property");
  PropertyType.tp_descr_get = PropertyGet;
  PropertyType.tp_descr_set = PropertySet;
  PropertyType.tp_init = PropertyInit;
  return ReadyType(MethodType) && ReadyType(PropertyType);
}

PyObject* CallDefault(PyObject* proxy, PyObject* key) {
  if (!PyObject_TypeCheck(proxy, &ProxyType)) return RaiseError(kErrTypeMismatch, "Type mismatch");
  try {
    const Ref<Object>& target = reinterpret_cast<ProxyObject*>(proxy)->ref;
    const ClassInfo* info = ClassOf(target);
    for (const InterfaceInfo* iface :
         info ? info->Interfaces() : std::vector<const InterfaceInfo*>{}) {
      if (!iface->Find(0, CallKind::PropertyGet)) continue;
      Variant k;
      if (!ToVariant(key, k)) return nullptr;
      return FromVariant(Call(Resolve(*iface, 0, CallKind::PropertyGet), target, {k}));
    }
    return RaiseError(kErrMemberNotFound, std::string("Object doesn't support this property or "
                                                      "method: ") +
                                              Py_TYPE(proxy)->tp_name + " has no default member");
  } catch (...) {
    return RaiseCaught();
  }
}

}  // namespace velmira::python
