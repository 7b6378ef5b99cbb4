"""The library's errors in Python: velmira.Error with its number, and the subclasses that also
derive from the built-in exception of the same meaning."""

from . import _native

__all__ = ["Error", "InvalidArgument", "Overflow", "TypeMismatch", "MemberNotFound"]

NUMBERS = _native.error_numbers  # the library's error numbers by name: NUMBERS["TypeMismatch"]


class Error(Exception):
    """An error of the library or of an element, with its error number."""

    def __init__(self, number, message):
        super().__init__(number, message)
        self.number = number
        self.message = message

    def __str__(self):
        return f"{self.message} (error {self.number})"


class InvalidArgument(Error, ValueError):
    """Error 5: a value the library cannot take (a lone surrogate, a NaN amount)."""


class Overflow(Error, OverflowError):
    """Error 6: a number out of the range it is taken in."""


class TypeMismatch(Error, TypeError):
    """Error 13: a value of the wrong kind, or an object without the interface expected."""


class MemberNotFound(Error, AttributeError):
    """Error 438: the object has no such member."""


_BY_NUMBER = {NUMBERS[cls.__name__]: cls
              for cls in (InvalidArgument, Overflow, TypeMismatch, MemberNotFound)}


def make_error(number, message):
    """The exception the extension raises for a library error."""
    return _BY_NUMBER.get(number, Error)(number, message)


def raise_error(name, particulars):
    """Raises the library's error `name` ("TypeMismatch") with its own message and particulars."""
    number = NUMBERS[name]
    raise make_error(number, _native.error_text(number, particulars))
