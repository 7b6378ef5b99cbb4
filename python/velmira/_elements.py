"""Python elements: Python classes whose objects containers hold.

Native links (fast; the links live in the library object made for each instance):

    class Job(velmira.QueueLinks, velmira.ListLinks, velmira.TreeLinks):
        def __init__(self, name):
            super().__init__()
            self.name = name            # ordinary attributes, as any Python object
        def Key(self, Index):           # the key trees and priority queues order by
            return self.name

Links as the class's own methods (the library calls them; whatever they raise passes out of the
container call unchanged):

    class Job(velmira.Element, implements=("IQueueNode", "ITreeNode")):
        def NextItem(self, Index): ...
        def SetNextItem(self, Index, Value): ...
        def Key(self, Index): ...
        def Left(self, Index): ...      # and SetLeft, Right, SetRight
"""
from . import _native
from ._errors import raise_error

__all__ = ["Element", "StackLinks", "QueueLinks", "PQueueLinks", "ListLinks", "TreeLinks"]

INTERFACES = {"IStackNode": 1, "IQueueNode": 2, "IPQueueNode": 4, "IListNode": 8, "ITreeNode": 16}
_LINKS = {"IStackNode": ["NextItem"], "IQueueNode": ["NextItem"], "IPQueueNode": ["NextItem"],
          "IListNode": ["NextItem", "PrevItem", "Tag"], "ITreeNode": ["Left", "Right"]}
_KEYED = {"IPQueueNode", "ITreeNode"}


def _needed(interface):
    names = [n for link in _LINKS[interface] for n in (link, "Set" + link)]
    return names + (["Key"] if interface in _KEYED else [])


class _Links(_native.ElementBase):
    """What the links base classes share: the interfaces of every links base a class derives
    from make one library object."""

    _velmira_mask = 0
    _velmira_callback = False

    def __init_subclass__(cls, **kwargs):
        super().__init_subclass__(**kwargs)
        mask = 0
        for base in cls.__mro__:
            mask |= base.__dict__.get("_velmira_bit", 0)
        if any(base.__dict__.get("_velmira_callback") for base in cls.__mro__):
            raise_error("TypeMismatch", f"{cls.__name__} mixes links base classes with "
                                        "velmira.Element")
        cls._velmira_mask = mask


def _links_class(name, interface, doc):
    return type(name, (_Links,), {"_velmira_bit": INTERFACES[interface], "__doc__": doc,
                                  "__module__": "velmira", "__slots__": ()})


StackLinks = _links_class("StackLinks", "IStackNode", "Makes a class a Stack element.")
QueueLinks = _links_class("QueueLinks", "IQueueNode", "Makes a class a Queue element.")
PQueueLinks = _links_class("PQueueLinks", "IPQueueNode",
                           "Makes a class a PQueue element; the class defines Key(self, Index).")
ListLinks = _links_class("ListLinks", "IListNode", "Makes a class a List element.")
TreeLinks = _links_class("TreeLinks", "ITreeNode",
                         "Makes a class a Tree and SplayTree element; the class defines "
                         "Key(self, Index).")


class Element(_native.ElementBase):
    """Base class of Python classes that implement element interfaces with their own methods:
    each get accessor of an interface is a method of its name taking Index, each set accessor a
    method named Set... taking Index and the new value. `implements` names one interface or a
    tuple of them; one library object implements them all."""

    _velmira_mask = 0
    _velmira_callback = True

    def __init_subclass__(cls, implements=None, **kwargs):
        super().__init_subclass__(**kwargs)
        if any(issubclass(base, _Links) for base in cls.__mro__):
            raise_error("TypeMismatch", f"{cls.__name__} mixes links base classes with "
                                        "velmira.Element")
        if implements is None:
            return
        names = (implements,) if isinstance(implements, str) else tuple(implements)
        canonicals = [next((i for i in INTERFACES if i.lower() == str(n).lower()), n)
                      for n in names]
        for name in canonicals:
            if name not in INTERFACES:
                raise_error("TypeMismatch",
                            f"{name} is not an element interface ({', '.join(INTERFACES)})")
        mask = 0
        for canonical in canonicals:
            missing = [n for n in _needed(canonical) if not callable(getattr(cls, n, None))]
            if missing:
                raise TypeError(f"{cls.__name__} implements {canonical} but lacks "
                                f"{', '.join(missing)}")
            mask |= INTERFACES[canonical]
        cls._velmira_mask = mask
