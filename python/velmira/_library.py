"""The library's entry points: creating objects, the unload test, the library record and the
debug output channel."""
import atexit

from . import _native

__all__ = ["CreateObject", "CanUnloadNow", "Library", "SetDebugOutput"]

CreateObject = _native.CreateObject
CanUnloadNow = _native.CanUnloadNow
Library = _native.Library
SetDebugOutput = _native.SetDebugOutput


def enumeration_constants():
    """The published enumeration constants by name (eTreeEnumInOrder, ...)."""
    return {name: value for _enumeration, name, value in _native.enumerations()}


@atexit.register
def _close():
    # The interpreter is going away: warnings written after this go to standard error, never to
    # a receiver that may be half torn down.
    _native.SetDebugOutput(None)
