# Type stubs of the velmira package. The classes below the functions are written from the class
# catalogue at build time (python/packaging/velmira_stubs.cpp); this head is
# python/packaging/velmira_head.pyi.
from typing import Any, Callable, Final, Iterator, Literal, TypeAlias, overload

# A value the library stores or compares: bool, int (32-bit), float, str, decimal.Decimal
# (currency), datetime (date), None (Nothing), Empty, Null, or an object.
Variant: TypeAlias = Any

class Error(Exception):
    """An error of the library or of an element, with its error number."""
    number: int
    message: str
    def __init__(self, number: int, message: str) -> None: ...

class InvalidArgument(Error, ValueError):
    """Error 5: a value the library cannot take (a lone surrogate, a NaN amount)."""

class Overflow(Error, OverflowError):
    """Error 6: a number out of the range it is taken in."""

class TypeMismatch(Error, TypeError):
    """Error 13: a value of the wrong kind, or an object without the interface expected."""

class MemberNotFound(Error, AttributeError):
    """Error 438: the object has no such member."""

class _Special:
    def __bool__(self) -> bool: ...

Empty: Final[_Special]
Null: Final[_Special]
Nothing: Final[None]

def CanUnloadNow() -> bool:
    """True when no object of the library is alive and no factory is locked."""
def Library() -> dict[str, Any]:
    """The library record: name, description, version, locale, file version."""
def SetDebugOutput(receiver: Callable[[str], object] | None) -> None:
    """Sends every line of the debug output channel to `receiver`; None restores standard error."""

class _ElementBase:
    NativeKey: Variant
    """A key kept in the library object: once set, it is the element's key for every slot and the
    library reads it without calling Key. Delete it to call Key again."""

class Element(_ElementBase):
    """Base of Python classes that implement element interfaces through their own methods:
    `class Job(velmira.Element, implements=("IQueueNode", "ITreeNode"))`."""
    def __init_subclass__(cls, implements: str | tuple[str, ...] = ..., **kwargs: Any) -> None: ...

class StackLinks(_ElementBase):
    """Base class holding a Stack's links in the library object."""
    def __init__(self) -> None: ...

class QueueLinks(_ElementBase):
    """Base class holding a Queue's links in the library object."""
    def __init__(self) -> None: ...

class PQueueLinks(_ElementBase):
    """Base class holding a PQueue's links in the library object; the subclass defines Key or sets NativeKey."""
    def __init__(self) -> None: ...
    def Key(self, Index: int) -> Variant: ...

class ListLinks(_ElementBase):
    """Base class holding a List's links in the library object."""
    def __init__(self) -> None: ...

class TreeLinks(_ElementBase):
    """Base class holding a Tree's links in the library object; the subclass defines Key or sets NativeKey."""
    def __init__(self) -> None: ...
    def Key(self, Index: int) -> Variant: ...
