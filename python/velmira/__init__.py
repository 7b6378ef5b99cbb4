"""Velmira from Python: the library's objects by class name, their members as attributes, and
Python objects as elements of its containers.

    import velmira
    s = velmira.CreateObject("Velmira.Stack")
    s.Push(velmira.CreateObject("Velmira.StackNode"))
    node.Key(0); node.SetKey(0, "apple")   # a property that takes arguments
    tree["apple"]                          # the default member (Tree's Item)
    for element in s: ...                  # every container and enumerator walks

    class Job(velmira.QueueLinks, velmira.ListLinks, velmira.TreeLinks):
        def Key(self, Index): return self.name

Values: bool, int (32-bit), float, str, decimal.Decimal (currency), datetime and date (dates),
None (Nothing), velmira.Empty, velmira.Null, library objects and Python elements. Library errors
are velmira.Error with .number; an exception raised by a Python element's method comes out of the
container call that called it as the same exception object.
"""
import datetime
import decimal

from . import _native
from ._elements import Element, ListLinks, PQueueLinks, QueueLinks, StackLinks, TreeLinks
from ._errors import Error, InvalidArgument, MemberNotFound, Overflow, TypeMismatch, make_error
from ._library import CanUnloadNow, CreateObject, Library, SetDebugOutput, enumeration_constants
from ._values import Empty, Nothing, Null, from_scaled, from_serial, to_scaled, to_serial

_native._setup(make_error, Empty, Null, decimal.Decimal, datetime.datetime, datetime.date,
               to_scaled, from_scaled, to_serial, from_serial, None)
from ._proxies import make_proxy_class  # noqa: E402  (reads the catalogue through _native)

_native._setup(make_error, Empty, Null, decimal.Decimal, datetime.datetime, datetime.date,
               to_scaled, from_scaled, to_serial, from_serial, make_proxy_class)
globals().update(enumeration_constants())

__all__ = ["CanUnloadNow", "CreateObject", "Element", "Empty", "Error", "InvalidArgument",
           "Library", "ListLinks", "MemberNotFound", "Nothing", "Null", "Overflow",
           "PQueueLinks", "QueueLinks", "SetDebugOutput", "StackLinks", "TreeLinks",
           "TypeMismatch", *enumeration_constants()]
