"""Velmira from Python: the library's objects by class name, their members as attributes.

    import velmira
    s = velmira.CreateObject("Velmira.Stack")
    s.Push(velmira.CreateObject("Velmira.StackNode"))
    s.Index = 0                   # property let
    node.Key(0); node.SetKey(0, "apple")   # a property that takes arguments
    tree["apple"]                 # the default member (Tree's Item)

    class Job(velmira.Element, implements="IQueueNode"):
        def __init__(self): self.next = {}
        def NextItem(self, Index): return self.next.get(Index)
        def SetNextItem(self, Index, Value): self.next[Index] = Value

Values: bool, int (32-bit), float, str, decimal.Decimal (currency), datetime (date), None
(Nothing), velmira.Empty, velmira.Null, proxies and Element instances (objects). Errors raised
by the library come out as velmira.Error with .number; an exception raised by a Python element's
member comes out of the container call that called it as the same exception object.
"""
import atexit
import ctypes
import datetime
import decimal
import inspect
import itertools
import threading
import weakref

from . import _capi
from ._capi import lib

__all__ = ["CreateObject", "Element", "Empty", "Error", "Nothing", "Null", "SetDebugOutput",
           "CanUnloadNow", "Library"]


class Error(Exception):
    """An error of the library or of an element, with its error number."""

    def __init__(self, number, message):
        super().__init__(message)
        self.number = number
        self.message = message

    def __str__(self):
        return f"{self.message} (error {self.number})"


class MemberNotFound(Error, AttributeError):
    """Error 438: the object has no such member."""


class _Special:
    __slots__ = ("_name",)

    def __init__(self, name):
        self._name = name

    def __repr__(self):
        return f"velmira.{self._name}"

    def __bool__(self):
        return False


Empty = _Special("Empty")
Null = _Special("Null")
Nothing = None

_EPOCH = datetime.datetime(1899, 12, 30)
_DAY = datetime.timedelta(days=1)
_INT64 = 2 ** 63
_closing = False
_pending = threading.local()  # the exception a Python element raised, on its way out


def _raise_for(status, err):
    message = err.message.decode("utf-8", "replace")
    original = getattr(_pending, "exception", None)
    _pending.exception = None
    if original is not None and status == _capi.ERROR and _fault_of(original)[0] == err.number:
        raise original
    raise Error(err.number, message)


def _check(status, err):
    if status != _capi.OK:
        _raise_for(status, err)


# ---- Values --------------------------------------------------------------------------------

def _to_c(value, out, keep, temporaries):
    """Fills the C variant `out` from a Python value. Text buffers go to `keep`; handles made for
    the call (a Python element's first one) go to `temporaries`, released after it."""
    if value is None:
        out.kind = _capi.OBJECT
    elif isinstance(value, (Object, Element)):
        out.kind = _capi.OBJECT
        out.value.object = _handle_of(value, temporaries)
    elif isinstance(value, bool):
        out.kind, out.value.boolean = _capi.BOOLEAN, -1 if value else 0
    elif isinstance(value, int):
        if not -2 ** 31 <= value < 2 ** 31:
            raise Error(6, f"Overflow: {value} does not fit in 32 bits")
        out.kind, out.value.int32 = _capi.INT32, value
    elif isinstance(value, float):
        out.kind, out.value.dbl = _capi.DOUBLE, value
    elif isinstance(value, str):
        data = value.encode("utf-8", "surrogateescape")
        keep.append(data)
        out.kind = _capi.STRING
        out.value.text.data = ctypes.cast(ctypes.c_char_p(data), ctypes.c_void_p)
        out.value.text.length = len(data)
    elif isinstance(value, decimal.Decimal):
        scaled = int((value * 10000).to_integral_value(decimal.ROUND_HALF_EVEN))
        if not -_INT64 <= scaled < _INT64:
            raise Error(6, f"Overflow: {value} is out of the currency range")
        out.kind, out.value.currency = _capi.CURRENCY, scaled
    elif isinstance(value, (datetime.datetime, datetime.date)):
        if not isinstance(value, datetime.datetime):
            value = datetime.datetime(value.year, value.month, value.day)
        out.kind, out.value.date = _capi.DATE, (value.replace(tzinfo=None) - _EPOCH) / _DAY
    elif value is Empty:
        out.kind = _capi.EMPTY
    elif value is Null:
        out.kind = _capi.NULL
    else:
        raise Error(13, f"Type mismatch: a {type(value).__name__} cannot be passed to the library")


def _from_c(v, owned):
    """The Python value of a C variant. `owned`: the variant's references are ours to take."""
    kind = v.kind
    if kind == _capi.OBJECT:
        return _object_for(v.value.object, owned)
    if kind == _capi.STRING:
        text = ctypes.string_at(v.value.text.data, v.value.text.length)
        if owned:
            lib.velmira_variant_clear(ctypes.byref(v))
        return text.decode("utf-8", "surrogateescape")
    if kind in (_capi.INT32, _capi.INT16):
        return v.value.int32 if kind == _capi.INT32 else v.value.int16
    if kind in (_capi.DOUBLE, _capi.SINGLE):
        return v.value.dbl if kind == _capi.DOUBLE else v.value.single
    if kind == _capi.BOOLEAN:
        return v.value.boolean != 0
    if kind == _capi.CURRENCY:
        return decimal.Decimal(v.value.currency).scaleb(-4)
    if kind == _capi.DATE:
        return _EPOCH + datetime.timedelta(microseconds=round(v.value.date * 86400e6))
    return Null if kind == _capi.NULL else Empty


# ---- Objects -------------------------------------------------------------------------------

_proxies = weakref.WeakValueDictionary()  # handle -> the one proxy of that object
_elements = {}  # handle -> Python element, while its library object lives
_by_context = {}  # context number -> Python element, while its library object lives
_contexts = itertools.count(1)


def _object_for(h, owned):
    """The Python object for handle `h`: a Python element as itself, a library object as its one
    proxy. An owned handle's reference is taken by a new proxy or given back."""
    if h == 0:
        return None
    found = _elements.get(h) or _proxies.get(h)
    if found is not None:
        if owned:
            lib.velmira_release(h, None)
        return found
    err = _capi.CError()
    if not owned:
        _check(lib.velmira_retain(h, ctypes.byref(err)), err)
    info = _capi.ClassInfo()
    status = lib.velmira_class_of(h, ctypes.byref(info), ctypes.byref(err))
    if status != _capi.OK:
        lib.velmira_release(h, None)
        _raise_for(status, err)
    proxy = object.__new__(_proxy_class(info))
    object.__setattr__(proxy, "_handle", h)
    _proxies[h] = proxy
    return proxy


def _handle_of(value, temporaries):
    if isinstance(value, Object):
        return value._handle
    h = value.__dict__.get("_velmira_handle", 0)
    if h:
        return h
    # The element's first library object: it lives while the library holds it and keeps the
    # Python object alive meanwhile (through _by_context).
    context = next(_contexts)
    created = _capi.handle()
    err = _capi.CError()
    _by_context[context] = value
    status = lib.velmira_create_element(type(value)._velmira_interface.encode(),
                                        ctypes.byref(_callbacks), context,
                                        ctypes.byref(created), ctypes.byref(err))
    if status != _capi.OK:
        del _by_context[context]
        _raise_for(status, err)
    value.__dict__["_velmira_handle"] = created.value
    _elements[created.value] = value
    temporaries.append(created.value)
    return created.value


def _call(h, member, kind, args, through=None):
    count = len(args)
    c_args = (_capi.CVariant * count)()
    keep, temporaries = [], []
    result, err = _capi.CVariant(), _capi.CError()
    try:
        for i, a in enumerate(args):
            _to_c(a, c_args[i], keep, temporaries)
        if through is None:
            status = lib.velmira_invoke(h, member, kind, c_args, count, ctypes.byref(result),
                                        ctypes.byref(err))
        else:
            status = lib.velmira_invoke_through(h, through, member, 0, kind, c_args, count,
                                                ctypes.byref(result), ctypes.byref(err))
    finally:
        for t in temporaries:
            lib.velmira_release(t, None)
    if status != _capi.OK:
        _raise_for(status, err)
    _pending.exception = None
    return _from_c(result, True)


class Object:
    """A library object. Each object has one proxy, so `is` tells identity."""

    __slots__ = ("_handle", "__weakref__")
    _interface = None  # set on each class's proxy type
    _members = {}
    _default_through = None

    def __del__(self):
        if not _closing and getattr(self, "_handle", 0):
            lib.velmira_release(self._handle, None)

    def __repr__(self):
        return f"<{type(self).__qualname__} object, handle {self._handle:#x}>"

    def __getattr__(self, name):
        canonical = self._members.get(name.lower())
        if canonical is None or name.startswith("__"):
            raise self._not_supported(name)
        return getattr(self, canonical)

    def __setattr__(self, name, value):
        canonical = self._members.get(name.lower())
        attribute = getattr(type(self), canonical, None) if canonical else None
        if not isinstance(attribute, property) or attribute.fset is None:
            raise self._not_supported(name)
        attribute.__set__(self, value)

    def _not_supported(self, name):
        return MemberNotFound(438, "Object doesn't support this property or method: "
                                   f"{type(self).__name__}.{name}")

    def __getitem__(self, key):
        if self._default_through is None:
            raise MemberNotFound(438, f"{type(self).__name__} has no default member")
        return _call(self._handle, None, _capi.GET, (key,), self._default_through)


def _assign_kind(rows, value):
    if _capi.SET in rows and (value is None or isinstance(value, (Object, Element))
                              or _capi.LET not in rows):
        return _capi.SET
    return _capi.LET


def _arguments(row, args, kwargs):
    """Positional and keyword arguments in parameter order; optional ones left out take their
    defaults when a later one is given by keyword."""
    params = row.params[:row.param_count]
    if not kwargs:
        return args
    values = list(args)
    by_name = {p.name.decode().lower(): i for i, p in enumerate(params)}
    placed = {}
    for name, value in kwargs.items():
        if name.lower() not in by_name:
            raise Error(450, f"Wrong number of arguments: {row.name.decode()} has no "
                             f"parameter {name}")
        placed[by_name[name.lower()]] = value
    for i in range(len(values), max(placed) + 1):
        if i in placed:
            values.append(placed[i])
        elif params[i].optional:
            values.append(params[i].default_value)
        else:
            raise Error(449, f"Argument not optional: {row.name.decode()} needs "
                             f"{params[i].name.decode()}")
    return values


def _signature(row):
    params = [inspect.Parameter("self", inspect.Parameter.POSITIONAL_ONLY)]
    for p in row.params[:row.param_count]:
        kind = (inspect.Parameter.VAR_POSITIONAL if p.param_array
                else inspect.Parameter.POSITIONAL_OR_KEYWORD)
        default = p.default_value if p.optional else inspect.Parameter.empty
        params.append(inspect.Parameter(p.name.decode(), kind, default=default))
    return inspect.Signature(params)


def _member_attributes(iface):
    """The Python attributes of an interface: properties, getters with arguments and their
    Set... twins, and methods, each documented with the catalogue's description."""
    rows = {}
    for row in _rows(iface):
        rows.setdefault(row.name.decode(), {})[row.kind] = row
    attributes = {}
    for name, kinds in rows.items():
        member = name.encode()
        any_row = next(iter(kinds.values()))
        doc = any_row.description.decode()
        get = kinds.get(_capi.GET)
        if get is not None and get.param_count == 0:
            def fget(self, _m=member):
                return _call(self._handle, _m, _capi.GET, ())

            def fset(self, value, _m=member, _k=kinds):
                _call(self._handle, _m, _assign_kind(_k, value), (value,))
            setter = fset if (_capi.LET in kinds or _capi.SET in kinds) else None
            attributes[name] = property(fget, setter, doc=doc)
            continue
        for kind, row in kinds.items():
            call_kind = _capi.GET if kind == _capi.GET else kind
            python_name = name if kind in (_capi.GET, _capi.METHOD) else "Set" + name
            if python_name in attributes:
                continue

            def function(self, *args, _m=member, _r=row, _k=call_kind, _all=kinds, **kwargs):
                if _k in (_capi.LET, _capi.SET):
                    _k = _assign_kind(_all, args[-1] if args else None)
                return _call(self._handle, _m, _k, _arguments(_r, args, kwargs))
            function.__name__ = python_name
            function.__doc__ = doc
            function.__signature__ = _signature(row)
            attributes[python_name] = function
    return attributes


_classes = {}


def _rows(iface):
    """The catalogue's rows of an interface, in slot order."""
    rows = []
    for i in range(max(lib.velmira_member_count(iface.encode()), 0)):
        row = _capi.MemberInfo()
        err = _capi.CError()
        _check(lib.velmira_member_at(iface.encode(), i, ctypes.byref(row), ctypes.byref(err)), err)
        rows.append(row)
    return rows


def _proxy_class(info):
    name = info.qualified_name.decode()
    cls = _classes.get(name)
    if cls is not None:
        return cls
    interfaces = [info.interfaces[i].decode() for i in range(info.interface_count)]
    attributes = _member_attributes(interfaces[0])
    lines = [f"{name}: {info.description.decode()}", ""]
    for member, attribute in attributes.items():
        lines.append(f"  {member}: {attribute.__doc__ or ''}".rstrip())
    namespace = dict(attributes, __doc__="\n".join(lines), __slots__=(), __module__="velmira")
    namespace["_members"] = {m.lower(): m for m in attributes}
    namespace["_interface"] = interfaces[0]
    for iface in interfaces:
        if any(row.dispatch_id == 0 for row in _rows(iface)):
            namespace["_default_through"] = iface.encode()
            break
    next_row = attributes.get("NextItem")
    if info.name.decode().endswith("Enum") and isinstance(next_row, property):
        namespace["__iter__"] = _enumerate
    cls = type(info.name.decode(), (Object,), namespace)
    _classes[name] = cls
    return cls


def _enumerate(self):
    while (item := self.NextItem) is not None:
        yield item


# ---- Python elements -----------------------------------------------------------------------

_ELEMENT_INTERFACES = ("IStackNode", "IQueueNode", "IPQueueNode", "IListNode", "ITreeNode")


class Element:
    """Base class of Python classes that implement an element interface:

        class Job(velmira.Element, implements="IQueueNode"):
            def NextItem(self, Index): ...
            def SetNextItem(self, Index, Value): ...

    Each get accessor of the interface is a method of its name taking Index; each set accessor a
    method named Set... taking Index and the new value. The library calls them when a container
    does; whatever they raise passes out of the container call. `velmira_released` is called
    each time the library lets go of the object it made for the element.
    """

    _velmira_interface = None

    def __init_subclass__(cls, implements=None, **kwargs):
        super().__init_subclass__(**kwargs)
        if implements is None:
            return
        canonical = next((i for i in _ELEMENT_INTERFACES if i.lower() == implements.lower()),
                         None)
        if canonical is None:
            raise Error(13, f"Type mismatch: {implements} is not an element interface")
        needed = {row.name.decode() if row.kind == _capi.GET else "Set" + row.name.decode()
                  for row in _rows(canonical)}
        missing = sorted(n for n in needed if not callable(getattr(cls, n, None)))
        if missing:
            raise TypeError(f"{cls.__name__} implements {canonical} but lacks "
                            f"{', '.join(missing)}")
        cls._velmira_interface = canonical

    def velmira_released(self):
        """Called when the library's object for this element goes away."""


def _fault_of(exception):
    if isinstance(exception, Error):
        return exception.number, exception.message
    return 440, f"{type(exception).__name__}: {exception}"


@_capi.INVOKE_CALLBACK
def _element_invoke(context, member, dispatch_id, kind, args, count, result, error):
    try:
        element = _by_context[context]
        values = [_from_c(args[i], False) for i in range(count)]
        name = member.decode()
        if kind == _capi.GET:
            _result_to_c(getattr(element, name)(*values), result.contents)
        else:
            getattr(element, "Set" + name)(*values)
        return _capi.OK
    except BaseException as exception:  # anything: it must not unwind through the library
        number, message = _fault_of(exception)
        _pending.exception = exception
        error.contents.number = number
        error.contents.message = message.encode("utf-8", "replace")[:511]
        return _capi.ERROR


def _result_to_c(value, out):
    if isinstance(value, str):
        data = value.encode("utf-8", "surrogateescape")
        err = _capi.CError()
        _check(lib.velmira_variant_set_text(ctypes.byref(out), data, len(data),
                                            ctypes.byref(err)), err)
        return
    temporaries = []
    _to_c(value, out, [], temporaries)
    if temporaries:  # a new library object for an element: its reference goes with the result
        out.flags = _capi.OWNED


@_capi.RELEASE_CALLBACK
def _element_release(context):
    element = _by_context.pop(context, None)
    if element is None:
        return
    _elements.pop(element.__dict__.pop("_velmira_handle", 0), None)
    try:
        element.velmira_released()
    except Exception:  # a release must not fail; the hook's errors are dropped
        pass


_callbacks = _capi.ElementCallbacks(_element_invoke, _element_release)


# ---- The library ---------------------------------------------------------------------------

def CreateObject(name):
    """A new object of a creatable class ("Velmira.Stack"), as its proxy."""
    h = _capi.handle()
    err = _capi.CError()
    _check(lib.velmira_create_object(name.encode(), ctypes.byref(h), ctypes.byref(err)), err)
    return _object_for(h.value, True)


def CanUnloadNow():
    """True when no object of the library is alive and no factory is locked."""
    return bool(lib.velmira_can_unload_now())


def Library():
    """The library record: name, description, version, locale, file version."""
    info = lib.velmira_library().contents
    return {"name": info.name.decode(), "description": info.description.decode(),
            "version": (info.major_version, info.minor_version), "locale": info.locale,
            "file_version": info.file_version.decode()}


_output = None  # the installed callback, kept alive while the library may call it


def SetDebugOutput(receiver):
    """Sends every write to the debug output channel to `receiver`, one str per line (without
    its line end); None restores the default (standard error)."""
    global _output
    if receiver is None:
        callback = _capi.OUTPUT_CALLBACK()
    else:
        def forward(context, text, length):
            line = ctypes.string_at(text, length).decode("utf-8", "replace") if length else ""
            try:
                receiver(line[:-1] if line.endswith("\n") else line)
            except Exception:  # the channel never fails its writer
                pass
        callback = _capi.OUTPUT_CALLBACK(forward)
    err = _capi.CError()
    _check(lib.velmira_set_debug_output(callback, None, ctypes.byref(err)), err)
    _output = callback if receiver is not None else None


def _enumeration_constants():
    names = {}
    for i in itertools.count():
        enumeration, name, value = ctypes.c_char_p(), ctypes.c_char_p(), ctypes.c_int32()
        if lib.velmira_enum_constant(i, ctypes.byref(enumeration), ctypes.byref(name),
                                     ctypes.byref(value), None) != _capi.OK:
            return names
        names[name.value.decode()] = value.value


globals().update(_enumeration_constants())


@atexit.register
def _close():
    # From here on the interpreter tears down; nothing is released any more, so the library never
    # calls back into a half-destroyed module.
    global _closing
    _closing = True
    if _output is not None:
        lib.velmira_set_debug_output(_capi.OUTPUT_CALLBACK(), None, None)
