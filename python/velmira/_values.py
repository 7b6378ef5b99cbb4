"""Values that have no Python twin (Empty, Null), and the conversions of amounts and dates that
the extension asks the package for."""
import datetime
import decimal

from ._errors import InvalidArgument, Overflow

__all__ = ["Empty", "Null", "Nothing"]


class _Special:
    __slots__ = ("_name",)

    def __init__(self, name):
        self._name = name

    def __repr__(self):
        return f"velmira.{self._name}"

    def __bool__(self):
        return False

    def __reduce__(self):
        return self._name


Empty = _Special("Empty")  # a value never assigned
Null = _Special("Null")  # no valid value: compares false with everything
Nothing = None  # the empty object reference

_EPOCH = datetime.datetime(1899, 12, 30)
_DAY = datetime.timedelta(days=1)
_INT64 = 2 ** 63


def to_scaled(amount):
    """A Decimal as a currency value: ten-thousandths, rounded half to even."""
    if amount.is_nan():
        raise InvalidArgument(5, f"Invalid argument: {amount} is not an amount")
    if amount.is_infinite():
        raise Overflow(6, f"Overflow: {amount} is out of the currency range")
    with decimal.localcontext() as context:
        context.prec = max(context.prec, len(amount.as_tuple().digits) + 8)
        scaled = int((amount * 10000).to_integral_value(decimal.ROUND_HALF_EVEN))
    if not -_INT64 <= scaled < _INT64:
        raise Overflow(6, f"Overflow: {amount} is out of the currency range")
    return scaled


def from_scaled(scaled):
    return decimal.Decimal(scaled).scaleb(-4)


def to_serial(moment):
    """A date or datetime (any time zone dropped) as days since 1899-12-30."""
    if not isinstance(moment, datetime.datetime):
        moment = datetime.datetime(moment.year, moment.month, moment.day)
    return (moment.replace(tzinfo=None) - _EPOCH) / _DAY


def from_serial(serial):
    """A date serial as a datetime, to the millisecond: a serial number of days is a double,
    which holds no finer time of day in the years up to 9999."""
    try:
        return _EPOCH + datetime.timedelta(milliseconds=round(serial * 86400e3))
    except (OverflowError, ValueError):
        raise Overflow(6, f"Overflow: the date {serial} is out of Python's range") from None
