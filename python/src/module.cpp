// The module `velmira._native`: its types and functions, which the package's Python modules
// build the public names on.
#include <string>

#include "element.h"
#include "errors.h"
#include "iterate.h"
#include "members.h"
#include "proxy.h"
#include "values.h"
#include "velmira/catalogue/catalogue.h"
#include "velmira/catalogue/class_factory.h"
#include "velmira/core/debug_output.h"
#include "velmira/core/error.h"
#include "velmira/core/error_numbers.h"

namespace velmira::python {
namespace {

PyObject* Text(std::string_view s) {
  return PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "replace");
}

/// _setup(make_error, Empty, Null, Decimal, date, to_scaled, from_scaled, to_serial,
/// from_serial, make_proxy_class): the package's helpers, kept for the interpreter's life.
PyObject* Setup(PyObject*, PyObject* args) {
  State& s = Shared();
  PyObject** slots[] = {&s.make_error,  &s.empty,           &s.null,        &s.decimal_type,
                        &s.date_type,   &s.to_scaled,       &s.from_scaled, &s.to_serial,
                        &s.from_serial, &s.make_proxy_class};
  constexpr Py_ssize_t kCount = sizeof slots / sizeof slots[0];
  if (!PyTuple_Check(args) || PyTuple_GET_SIZE(args) != kCount) {
    PyErr_SetString(PyExc_TypeError, "_setup takes the package's ten helpers");
    return nullptr;
  }
  for (Py_ssize_t i = 0; i < kCount; ++i) {
    Py_XSETREF(*slots[i], Py_NewRef(PyTuple_GET_ITEM(args, i)));
  }
  Py_RETURN_NONE;
}

PyObject* CreateObjectPy(PyObject*, PyObject* name) {
  if (!PyUnicode_Check(name)) {
    return RaiseError(kErrTypeMismatch, std::string("Type mismatch: CreateObject expects a "
                                                    "class name, got ") +
                                            TypeName(name));
  }
  Variant text;
  if (!ToVariant(name, text)) return nullptr;
  return Guarded([&] { return FromObject(CreateObject(text.Text())); });
}

PyObject* CanUnloadNowPy(PyObject*, PyObject*) { return PyBool_FromLong(CanUnloadNow()); }

PyObject* LiveObjects(PyObject*, PyObject*) { return PyLong_FromLongLong(LiveObjectCount()); }

/// Forwards each write of the debug output channel to the receiver, one str per line without
/// its line end. The receiver's own errors are dropped: the channel never fails its writer.
void Forward(std::string_view line) {
  PyObject* receiver = Shared().debug_receiver;
  if (!receiver) return;
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  PyObject *type, *value, *tb;
  PyErr_Fetch(&type, &value, &tb);
  Py_INCREF(receiver);
  if (PyObject* text = Text(line)) {
    PyObject* result = PyObject_CallOneArg(receiver, text);
    Py_XDECREF(result);
    Py_DECREF(text);
  }
  Py_DECREF(receiver);
  PyErr_Clear();
  PyErr_Restore(type, value, tb);
}

PyObject* SetDebugOutputPy(PyObject*, PyObject* receiver) {
  if (receiver != Py_None && !PyCallable_Check(receiver)) {
    return RaiseError(kErrTypeMismatch, std::string("Type mismatch: SetDebugOutput expects a "
                                                    "callable or None, got ") +
                                            TypeName(receiver));
  }
  return Guarded([&] {
    if (receiver == Py_None) {
      SetDebugOutput(nullptr);
      Py_CLEAR(Shared().debug_receiver);
    } else {
      Py_XSETREF(Shared().debug_receiver, Py_NewRef(receiver));
      SetDebugOutput(Forward);
    }
    Py_RETURN_NONE;
  });
}

PyObject* LibraryPy(PyObject*, PyObject*) {
  const LibraryInfo& info = Library();
  return Py_BuildValue("{s:N,s:N,s:(ii),s:k,s:N}", "name", Text(info.name), "description",
                       Text(info.description), "version", info.major_version, info.minor_version,
                       "locale", static_cast<unsigned long>(info.locale), "file_version",
                       Text(info.file_version));
}

/// Every class: (name, qualified name, instancing, description, interface names).
PyObject* ClassesPy(PyObject*, PyObject*) {
  PyObject* list = PyList_New(0);
  for (const ClassInfo& c : Classes()) {
    PyObject* ifaces = PyList_New(0);
    for (const InterfaceInfo* i : c.Interfaces()) {
      PyObject* name = Text(i->name);
      PyList_Append(ifaces, name);
      Py_DECREF(name);
    }
    PyObject* row = Py_BuildValue("(NNiNN)", Text(c.name), Text(c.qualified_name),
                                  static_cast<int>(c.instancing), Text(c.description), ifaces);
    PyList_Append(list, row);
    Py_DECREF(row);
  }
  return list;
}

/// An interface's rows: (dispatch id, name, kind, result type, description,
/// [(parameter, type, optional, default, param array)]).
PyObject* MembersPy(PyObject*, PyObject* name) {
  const char* iface_name = PyUnicode_AsUTF8(name);
  if (!iface_name) return nullptr;
  const InterfaceInfo* iface = FindInterface(iface_name);
  if (!iface)
    return RaiseError(kErrTypeMismatch, std::string("Type mismatch: no interface ") + iface_name);
  PyObject* list = PyList_New(0);
  for (const MemberInfo& m : iface->members) {
    PyObject* params = PyList_New(0);
    for (const ParamInfo& p : m.Params()) {
      PyObject* row = Py_BuildValue("(NNiii)", Text(p.name), Text(p.type.name), p.optional,
                                    p.default_value, p.param_array);
      PyList_Append(params, row);
      Py_DECREF(row);
    }
    PyObject* row = Py_BuildValue("(iNiNNN)", m.dispatch_id, Text(m.name), static_cast<int>(m.kind),
                                  Text(m.result.name), Text(m.description), params);
    PyList_Append(list, row);
    Py_DECREF(row);
  }
  return list;
}

PyObject* EnumerationsPy(PyObject*, PyObject*) {
  PyObject* list = PyList_New(0);
  for (const EnumInfo& e : Enumerations()) {
    for (const EnumConstant& c : e.constants) {
      PyObject* row = Py_BuildValue("(NNi)", Text(e.name), Text(c.name), c.value);
      PyList_Append(list, row);
      Py_DECREF(row);
    }
  }
  return list;
}

PyObject* ClassOfPy(PyObject*, PyObject* obj) {
  Object* object = NativeOf(obj);
  const ClassInfo* info = object ? ClassOf(Ref<Object>(object)) : nullptr;
  if (!info) Py_RETURN_NONE;
  return Text(info->qualified_name);
}

PyObject* DefaultMember(PyObject*, PyObject* args) {
  PyObject *proxy, *key;
  if (!PyArg_UnpackTuple(args, "default_member", 2, 2, &proxy, &key)) return nullptr;
  return CallDefault(proxy, key);
}

/// error_text(number, particulars): the library's message for an error number, alone or
/// followed by the particulars.
PyObject* ErrorTextPy(PyObject*, PyObject* args) {
  int number = 0;
  const char* particulars = "";
  Py_ssize_t size = 0;
  if (!PyArg_ParseTuple(args, "i|s#", &number, &particulars, &size)) return nullptr;
  return Guarded([&] {
    const std::string text = ErrorText(number, std::string_view(particulars, size));
    return Text(text);
  });
}

/// The error numbers by their names ("TypeMismatch": 13), from the library's one list.
PyObject* ErrorNumbers() {
  PyObject* numbers = PyDict_New();
  if (!numbers) return nullptr;
#define VELMIRA_ADD_ERROR_NUMBER(Name, Number, Message)             \
  if (PyObject* value = PyLong_FromLong(Number)) {                  \
    const int failed = PyDict_SetItemString(numbers, #Name, value); \
    Py_DECREF(value);                                               \
    if (failed) return Py_DECREF(numbers), nullptr;                 \
  } else {                                                          \
    return Py_DECREF(numbers), nullptr;                             \
  }
  VELMIRA_ERRORS(VELMIRA_ADD_ERROR_NUMBER)
#undef VELMIRA_ADD_ERROR_NUMBER
  return numbers;
}

PyMethodDef kFunctions[] = {
    {"error_text", ErrorTextPy, METH_VARARGS,
     "The library's message for an error number, with particulars."},
    {"_setup", Setup, METH_VARARGS, "Hands the package's helpers to the extension."},
    {"CreateObject", CreateObjectPy, METH_O,
     "CreateObject(name, /)\n--\n\nA new object of a creatable class (\"Velmira.Stack\")."},
    {"CanUnloadNow", CanUnloadNowPy, METH_NOARGS,
     "CanUnloadNow()\n--\n\nTrue when no library object is alive and no lock is held."},
    {"live_objects", LiveObjects, METH_NOARGS, "The number of library objects alive."},
    {"SetDebugOutput", SetDebugOutputPy, METH_O,
     "SetDebugOutput(receiver, /)\n--\n\nSends each line of the debug output channel to "
     "receiver (a callable taking a str); None restores standard error."},
    {"Library", LibraryPy, METH_NOARGS, "The library record."},
    {"classes", ClassesPy, METH_NOARGS, "Every class of the catalogue."},
    {"members", MembersPy, METH_O, "The member rows of an interface."},
    {"enumerations", EnumerationsPy, METH_NOARGS, "The enumeration constants."},
    {"class_of", ClassOfPy, METH_O, "The qualified class name of a library object."},
    {"elements", Elements, METH_O, "The elements of a container, in its walking order."},
    {"default_member", DefaultMember, METH_VARARGS, "Calls the default member."},
    {nullptr, nullptr, 0, nullptr}};

PyModuleDef kModule = {PyModuleDef_HEAD_INIT,
                       "velmira._native",
                       "The library, natively: proxies, elements and values.",
                       -1,
                       kFunctions,
                       nullptr,
                       nullptr,
                       nullptr,
                       nullptr};

bool AddType(PyObject* module, const char* name, PyTypeObject* type) {
  return PyModule_AddObjectRef(module, name, reinterpret_cast<PyObject*>(type)) == 0;
}

}  // namespace
}  // namespace velmira::python

PyMODINIT_FUNC PyInit__native() {
  using namespace velmira::python;
  if (!InitProxyType() || !InitElementType() || !InitMemberTypes()) {
    return nullptr;
  }
  PyObject* module = PyModule_Create(&kModule);
  if (!module) return nullptr;
  PyObject* numbers = ErrorNumbers();
  const bool numbers_added =
      numbers && PyModule_AddObjectRef(module, "error_numbers", numbers) == 0;
  Py_XDECREF(numbers);
  if (!numbers_added || !AddType(module, "Object", &ProxyType) ||
      !AddType(module, "ElementBase", &ElementType) || !AddType(module, "Method", &MethodType) ||
      !AddType(module, "Property", &PropertyType)) {
    Py_DECREF(module);
    return nullptr;
  }
  return module;
}
