"""The library's errors in Python: velmira.Error with its number, and the subclasses that also
derive from the built-in exception of the same meaning."""

__all__ = ["Error", "InvalidArgument", "Overflow", "TypeMismatch", "MemberNotFound"]


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


_BY_NUMBER = {5: InvalidArgument, 6: Overflow, 13: TypeMismatch, 438: MemberNotFound}


def make_error(number, message):
    """The exception the extension raises for a library error."""
    return _BY_NUMBER.get(number, Error)(number, message)
