"""Python values through every conversion, from a seeded random driver: a Variant field (round
trip), a 32-bit integer, a Boolean and an object parameter. A value either comes back as the
model says or is refused with velmira.Error (also the built-in exception of its number); no
other exception ever escapes."""
import datetime
import decimal
import math
import random

import pytest
from conftest import linked_class

import velmira

New = velmira.CreateObject
BUILTIN = {5: ValueError, 6: OverflowError, 13: TypeError}
INT32 = range(-2 ** 31, 2 ** 31)
REFUSED = object()  # the model's answer for a value the conversion refuses


def random_value(rng, objects):
    kind = rng.randrange(10)
    if kind == 0:
        return rng.choice([0, 1, -1, 2 ** 31 - 1, -2 ** 31, 2 ** 31, -2 ** 31 - 1,
                           rng.randrange(-2 ** 40, 2 ** 40), rng.randrange(-99, 99)])
    if kind == 1:
        return rng.choice([math.nan, math.inf, -math.inf, -0.0, 2.5, 3.5,
                           rng.uniform(-3e9, 3e9), rng.uniform(-1, 1)])
    if kind == 2:
        pool = [0, 0x41, 0xE9, 0x2603, 0xD800, 0xDFFF, 0x1F600, rng.randrange(0x110000)]
        return "".join(chr(rng.choice(pool)) for _ in range(rng.randrange(20)))
    if kind == 3:
        digits = rng.randrange(10 ** rng.randrange(1, 25))
        return rng.choice([decimal.Decimal(digits).scaleb(-rng.randrange(8)) * rng.choice([1, -1]),
                           decimal.Decimal("NaN"), decimal.Decimal("-Infinity"),
                           decimal.Decimal("sNaN"), decimal.Decimal("922337203685477.5808")])
    if kind == 4:
        moment = datetime.datetime(rng.randrange(1, 10000), rng.randrange(1, 13),
                                   rng.randrange(1, 29), rng.randrange(24), rng.randrange(60),
                                   rng.randrange(60))
        return rng.choice([moment, moment.date()])
    if kind == 5:
        return rng.choice([True, False, None, velmira.Empty, velmira.Null])
    if kind == 6:
        return rng.choice(objects)
    return rng.choice([[1], {}, object(), b"x", 1j, (), set()])


def as_field(v):
    """What a Variant field gives back."""
    if isinstance(v, (bool, velmira._native.ElementBase, velmira._native.Object)) or \
            v in (None, velmira.Empty, velmira.Null):
        return v
    if isinstance(v, int):
        return v if v in INT32 else REFUSED
    if isinstance(v, float):
        return v
    if isinstance(v, str):
        return REFUSED if any(0xD800 <= ord(c) <= 0xDFFF for c in v) else v
    if isinstance(v, decimal.Decimal):
        if not v.is_finite():
            return REFUSED
        q = v.quantize(decimal.Decimal("0.0001"), decimal.ROUND_HALF_EVEN,
                       decimal.Context(prec=60))
        return q if abs(q) <= decimal.Decimal("922337203685477.5807") else REFUSED
    if isinstance(v, datetime.datetime):
        return v
    if isinstance(v, datetime.date):
        return datetime.datetime(v.year, v.month, v.day)
    return REFUSED


def as_int32(v):
    """What a 32-bit parameter takes; None where the model leaves the answer open (text, amounts
    and dates are coerced by the library's own rules, tested in C++)."""
    if isinstance(v, bool):
        return -1 if v else 0
    if isinstance(v, int):
        return v if v in INT32 else REFUSED
    if isinstance(v, float):
        return round(v) if math.isfinite(v) and round(v) in INT32 else REFUSED
    if v is velmira.Empty:
        return 0
    if isinstance(v, (str, decimal.Decimal, datetime.date)):
        return None
    return REFUSED


def as_boolean(v):
    """What a Boolean parameter takes: numbers by being non-zero; None where left open."""
    if isinstance(v, int) and not isinstance(v, bool) and v not in INT32:
        return REFUSED
    if isinstance(v, (int, float)):
        return None if isinstance(v, float) and math.isnan(v) else bool(v)
    if v is velmira.Empty:
        return False
    return None if isinstance(v, (str, decimal.Decimal, datetime.date)) else REFUSED


def check(expected, attempt, same=lambda a, b: a == b and type(a) is type(b)):
    try:
        got = attempt()
    except velmira.Error as e:
        assert expected is REFUSED or expected is None, f"refused {e}"
        assert isinstance(e, BUILTIN.get(e.number, velmira.Error))
        return
    assert expected is not REFUSED, f"took it, giving {got!r}"
    assert expected is None or same(got, expected), (got, expected)


def same_field(got, expected):
    if isinstance(expected, float) and math.isnan(expected):
        return math.isnan(got)
    if isinstance(expected, (int, float, str, decimal.Decimal, datetime.date)):
        return got == expected and type(got) is type(expected)
    return got is expected  # None, Empty, Null and objects keep their identity


@pytest.mark.parametrize("seed", range(4))
def test_random_values_through_every_conversion(seed):
    rng = random.Random(seed)
    Elem = linked_class("IStackNode")
    objects = [New("Velmira.QueueNode"), New("Velmira.StackNode"), Elem(), New("Velmira.Tree")]
    field, stack, debugger = New("Velmira.ListNode"), New("Velmira.Stack"), New("Velmira.Debugger")
    for _ in range(400):
        v = random_value(rng, objects)

        def through_field():
            field.Value = v
            return field.Value

        def through_index():
            stack.Index = v
            return stack.Index

        def through_boolean():
            debugger.ShowIndent = v
            return debugger.ShowIndent

        def through_object():
            stack.Push(v)
            return stack.Pop()
        check(as_field(v), through_field, same_field)
        check(as_int32(v), through_index)
        check(as_boolean(v), through_boolean)
        check(v if v is None or isinstance(v, (Elem, type(objects[1]))) else REFUSED,
              through_object, lambda a, b: a is b)
    field.Value = None
