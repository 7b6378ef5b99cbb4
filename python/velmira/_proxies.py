"""Proxy classes: one Python class per library class, made from the catalogue when the first
object of the class reaches Python. Properties without arguments are attributes; properties
with arguments are methods (`node.Key(0)`) with a Set... twin (`node.SetKey(0, v)`); each member
carries its signature and the catalogue's description, so help() shows them."""
import inspect

from . import _native
from ._errors import raise_error

GET, LET, SET, METHOD = range(4)
_CONTAINERS = {"Stack", "Queue", "PQueue", "List", "Tree", "SplayTree"}
_ENUMERATORS = {"ListEnum", "TreeEnum"}
_classes = {}


def _catalogue():
    return {row[1].lower(): row for row in _native.classes()}


_CATALOGUE = _catalogue()


def _signature(params, extra=None):
    items = [inspect.Parameter("self", inspect.Parameter.POSITIONAL_ONLY)]
    for name, _type, optional, default, param_array in params:
        kind = (inspect.Parameter.VAR_POSITIONAL if param_array
                else inspect.Parameter.POSITIONAL_OR_KEYWORD)
        items.append(inspect.Parameter(name, kind, default=default if optional
                                       else inspect.Parameter.empty))
    if extra:
        items.append(inspect.Parameter(extra, inspect.Parameter.POSITIONAL_OR_KEYWORD))
    return inspect.Signature(items)


def _describe(descriptor, name, doc, signature=None):
    descriptor.__name__ = descriptor.__qualname__ = name
    descriptor.__doc__ = doc
    if signature is not None:
        descriptor.__signature__ = signature
    return descriptor


def _rows_by_name(interfaces):
    """The own interface's rows grouped by name; a member without a description takes the one
    of the same member on another interface of the class (SplayTree's from Tree)."""
    described = {}
    for iface in interfaces[1:]:
        for row in _native.members(iface):
            described.setdefault(row[1].lower(), row[4])
    grouped = {}
    for row in _native.members(interfaces[0]):
        doc = row[4] or described.get(row[1].lower(), "")
        grouped.setdefault(row[1], {})[row[2]] = (row, doc)
    return grouped


def _attributes(iface, grouped):
    attributes = {}
    for name, kinds in grouped.items():
        get = kinds.get(GET) or kinds.get(METHOD)
        row, doc = get or next(iter(kinds.values()))
        params = row[5]
        if METHOD not in kinds and (not params or get is None):
            attributes[name] = _describe(_native.Property(iface, name, 0), name, doc)
            continue
        attributes[name] = _describe(_native.Method(iface, name, 0), name, doc, _signature(params))
        if LET in kinds or SET in kinds:
            assign = f"Set{name}"
            attributes[assign] = _describe(_native.Method(iface, name, 1), assign, doc,
                                           _signature(params, "Value"))
    return attributes


def _missing_set(self, name, value):
    canonical = type(self)._velmira_names.get(name.lower())
    if canonical is None or canonical == name:
        raise_error("MemberNotFound", f"{type(self).__name__}.{name}")
    setattr(self, canonical, value)


def _missing_get(self, name):
    """Runs only when Python's own look-up fails: a member named in another letter case, as the
    library's names ignore case, or error 438 (a MemberNotFound is also an AttributeError)."""
    canonical = type(self)._velmira_names.get(name.lower())
    if canonical is None or canonical == name:
        raise_error("MemberNotFound", f"{type(self).__name__}.{name}")
    return getattr(self, canonical)


def _repr(self):
    cls = type(self)
    state = ""
    if "Count" in cls._velmira_names.values():
        state = f", {self.Count} elements"
    elif "IsEmpty" in cls._velmira_names.values():
        state = ", empty" if self.IsEmpty else ", not empty"
    return f"<velmira.{cls.__name__} object at {id(self):#x}{state}>"


def _iterate(self):
    """The elements: a List first to last, trees in key order, a Stack from the top, queues
    from the head."""
    return iter(_native.elements(self))


def _walk(self):
    """The enumerator's elements, from where it stands, in its Order."""
    return iter(lambda: self.NextItem, None)


def _default_member(self, key):
    """The default member: `tree["apple"]` is `tree.Item("apple")`."""
    return _native.default_member(self, key)


def make_proxy_class(qualified_name):
    """The proxy class of a library class, made once."""
    cls = _classes.get(qualified_name.lower())
    if cls is not None:
        return cls
    name, qualified, _instancing, description, interfaces = _CATALOGUE[qualified_name.lower()]
    grouped = _rows_by_name(interfaces)
    attributes = _attributes(interfaces[0], grouped)
    lines = [f"{qualified}: {description}".rstrip(": "), ""]
    lines += [f"  {m}: {a.__doc__}".rstrip(": ") for m, a in attributes.items()]
    namespace = dict(attributes, __doc__="\n".join(lines), __slots__=(), __module__="velmira",
                     __repr__=_repr, __getattr__=_missing_get, _velmira_missing_set=_missing_set,
                     _velmira_names={m.lower(): m for m in attributes})
    if name in _CONTAINERS:
        namespace["__iter__"] = _iterate
    elif name in _ENUMERATORS:
        namespace["__iter__"] = _walk
    if "Count" in attributes:
        namespace["__len__"] = lambda self: self.Count
    if any(row[0] == 0 for iface in interfaces for row in _native.members(iface)):
        namespace["__getitem__"] = _default_member
    cls = type(name, (_native.Object,), namespace)
    cls.__qualname__ = name
    _classes[qualified_name.lower()] = cls
    return cls
