"""The library's C interface (velmira_c.h) declared for ctypes, and where the library is found.

The shared library is looked for, in order: the file named by the environment variable
VELMIRA_LIBRARY; a libvelmira.so beside this package; the source tree's build directories
(build/default, build/debug, build/bench).
"""
import ctypes
import os
from ctypes import (CFUNCTYPE, POINTER, Structure, Union, c_char, c_char_p, c_double, c_float,
                    c_int, c_int16, c_int32, c_int64, c_size_t, c_uint8, c_uint16, c_uint32,
                    c_uint64, c_void_p)
from pathlib import Path

OK, ERROR = 0, 1
EMPTY, NULL, BOOLEAN, INT16, INT32, SINGLE, DOUBLE, CURRENCY, DATE, STRING, OBJECT = range(11)
OWNED = 1
GET, LET, SET, METHOD = range(4)
TYPE_NONE, TYPE_BOOLEAN, TYPE_INT32, TYPE_STRING, TYPE_VARIANT, TYPE_OBJECT, TYPE_ENUM = range(7)
CREATABLE = 0

handle = c_uint64


class CError(Structure):
    _fields_ = [("number", c_int32), ("message", c_char * 512)]


class _Text(Structure):
    _fields_ = [("data", c_void_p), ("length", c_size_t)]


class _Value(Union):
    _fields_ = [("boolean", c_int16), ("int16", c_int16), ("int32", c_int32), ("single", c_float),
                ("dbl", c_double), ("currency", c_int64), ("date", c_double), ("text", _Text),
                ("object", c_uint64)]


class CVariant(Structure):
    _fields_ = [("kind", c_int32), ("flags", c_uint32), ("value", _Value)]


class CGuid(Structure):
    _fields_ = [("data1", c_uint32), ("data2", c_uint16), ("data3", c_uint16),
                ("data4", c_uint8 * 8)]


class LibraryInfo(Structure):
    _fields_ = [("name", c_char_p), ("description", c_char_p), ("id", CGuid),
                ("major_version", c_uint16), ("minor_version", c_uint16), ("locale", c_uint32),
                ("file_version", c_char_p)]


class ClassInfo(Structure):
    _fields_ = [("name", c_char_p), ("qualified_name", c_char_p), ("instancing", c_int32),
                ("class_id", CGuid), ("description", c_char_p), ("interfaces", c_char_p * 4),
                ("interface_count", c_int32)]


class ParamInfo(Structure):
    _fields_ = [("name", c_char_p), ("type", c_int32), ("type_name", c_char_p),
                ("optional", c_int32), ("default_value", c_int32), ("param_array", c_int32)]


class MemberInfo(Structure):
    _fields_ = [("dispatch_id", c_int32), ("name", c_char_p), ("kind", c_int32),
                ("result_type", c_int32), ("result_type_name", c_char_p),
                ("description", c_char_p), ("param_count", c_int32), ("params", ParamInfo * 2)]


INVOKE_CALLBACK = CFUNCTYPE(c_int32, c_void_p, c_char_p, c_int32, c_int32, POINTER(CVariant),
                            c_size_t, POINTER(CVariant), POINTER(CError))
RELEASE_CALLBACK = CFUNCTYPE(None, c_void_p)
OUTPUT_CALLBACK = CFUNCTYPE(None, c_void_p, c_void_p, c_size_t)


class ElementCallbacks(Structure):
    _fields_ = [("invoke", INVOKE_CALLBACK), ("release", RELEASE_CALLBACK)]


def _library_path():
    explicit = os.environ.get("VELMIRA_LIBRARY")
    if explicit:
        return explicit
    here = Path(__file__).resolve().parent
    candidates = sorted(here.glob("libvelmira.so*"))
    root = here.parent.parent
    candidates += [root / "build" / preset / "libvelmira.so"
                   for preset in ("default", "debug", "bench")]
    for path in candidates:
        if path.exists():
            return str(path)
    raise ImportError("velmira: the shared library libvelmira.so was not found beside the "
                      "package or in the build tree; set VELMIRA_LIBRARY to its path")


lib = ctypes.CDLL(_library_path())

_E = POINTER(CError)
_V = POINTER(CVariant)
_SIGNATURES = {
    "velmira_retain": (c_int32, [handle, _E]),
    "velmira_release": (c_int32, [handle, _E]),
    "velmira_is": (c_int, [handle, handle]),
    "velmira_variant_clear": (None, [_V]),
    "velmira_variant_set_text": (c_int32, [_V, c_void_p, c_size_t, _E]),
    "velmira_create_object": (c_int32, [c_char_p, POINTER(handle), _E]),
    "velmira_can_unload_now": (c_int, []),
    "velmira_get_dispatch_id": (c_int32, [handle, c_char_p, POINTER(c_int32), _E]),
    "velmira_invoke": (c_int32, [handle, c_char_p, c_int32, _V, c_size_t, _V, _E]),
    "velmira_invoke_through": (c_int32, [handle, c_char_p, c_char_p, c_int32, c_int32, _V,
                                         c_size_t, _V, _E]),
    "velmira_library": (POINTER(LibraryInfo), []),
    "velmira_class_count": (c_size_t, []),
    "velmira_class_at": (c_int32, [c_size_t, POINTER(ClassInfo), _E]),
    "velmira_class_of": (c_int32, [handle, POINTER(ClassInfo), _E]),
    "velmira_member_count": (c_int32, [c_char_p]),
    "velmira_member_at": (c_int32, [c_char_p, c_size_t, POINTER(MemberInfo), _E]),
    "velmira_enum_constant": (c_int32, [c_size_t, POINTER(c_char_p), POINTER(c_char_p),
                                        POINTER(c_int32), _E]),
    "velmira_create_element": (c_int32, [c_char_p, POINTER(ElementCallbacks), c_void_p,
                                         POINTER(handle), _E]),
    "velmira_set_debug_output": (c_int32, [OUTPUT_CALLBACK, c_void_p, _E]),
}
for _name, (_result, _args) in _SIGNATURES.items():
    _function = getattr(lib, _name)
    _function.restype = _result
    _function.argtypes = _args
