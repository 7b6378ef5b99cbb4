"""The library from Python: what the package adds over the C interface. Proxies for every creatable
class, Python-defined elements in every container, values and errors crossing the boundary,
lifetimes, and the debug output. What the members do is the C++ tests' business."""
import datetime
import decimal
import gc
import pydoc
import weakref

import pytest
from conftest import LINKS, element_class

import velmira
from velmira import _capi

New = velmira.CreateObject
SAMPLES = ["Velmira." + interface[1:] for interface in LINKS]  # the sample element classes


# ---- Every creatable class, as a scenario through Python ------------------------------------

def drain(container, take):
    return [n.Key(0) for n in iter(lambda: getattr(container, take)(), None)]


def stack(s, make):
    for n in make("a", "b", "c"):
        s.Push(n)
    assert s.Top.Key(0) == "c" and drain(s, "Pop") == ["c", "b", "a"] and s.IsEmpty


def queue(q, make):
    nodes = make("a", "b", "c")
    for n in nodes:
        q.Add(n)
    q.Remove(nodes[1])
    assert drain(q, "NextItem") == ["a", "c"]


def pqueue(q, make):
    for n in make(2, 9, 2.5, 9):
        q.Add(n)
    assert drain(q, "NextItem") == [9, 9, 2.5, 2]


def list_(lst, make):
    a, b, c = make("a", "b", "c")
    lst.Add(a)
    lst.Add(c)
    lst.AddBefore(b, c)
    walk = lst.NewEnum()
    walk.Order = velmira.eListEnumReverseOrder
    assert [n.Key(0) for n in walk] == ["c", "b", "a"] and lst.Item(2) is b and lst.NextItem(a) is b


def tree(t, make):
    nodes = make("pear", "apple", "fig")
    for n in nodes:
        t.Add(n)
    t.Remove("fig")
    assert [n.Key(0) for n in t.NewEnum()] == ["apple", "pear"] and t["apple"] is nodes[1]
    assert t.Exists("pear") and not t.Exists("fig")


SCENARIOS = {"Velmira.Stack": ("IStackNode", stack), "Velmira.Queue": ("IQueueNode", queue),
             "Velmira.PQueue": ("IPQueueNode", pqueue), "Velmira.List": ("IListNode", list_),
             "Velmira.Tree": ("ITreeNode", tree), "Velmira.SplayTree": ("ITreeNode", tree)}


def test_scenarios_cover_every_creatable_class():
    creatable = set()
    for i in range(_capi.lib.velmira_class_count()):
        info = _capi.ClassInfo()
        _capi.lib.velmira_class_at(i, info, None)
        if info.instancing == _capi.CREATABLE:
            creatable.add(info.qualified_name.decode())
    assert creatable == set(SCENARIOS) | set(SAMPLES) | {"Velmira.Debugger", "Velmira.NoDebugger"}


@pytest.mark.parametrize("name", SCENARIOS)
def test_python_elements_in_every_container(name):
    interface, scenario = SCENARIOS[name]
    cls = element_class(interface)
    scenario(New(name), lambda *keys: [cls(k) for k in keys])


@pytest.mark.parametrize("name", ["Velmira.Debugger", "Velmira.NoDebugger"])
def test_debuggers(name, warnings):
    d = New(name)
    d.ShowIndent = False
    d.Enter("Main")
    d.Output("total", 42, velmira.Null)
    d.Leave("Main")
    assert d.ShowIndent is False and (warnings != []) == (name == "Velmira.Debugger")


@pytest.mark.parametrize("name", SAMPLES)
def test_sample_element_fields_and_keys_per_slot(name):
    n = New(name)
    n.SetKey(0, "zero")
    n.SetKey(-3, 7)
    n.Tag = n  # an object goes through the set accessor
    assert (n.Key(0), n.Key(-3), n.Key(1), n.Tag) == ("zero", 7, velmira.Empty, n)
    n.Tag = None


# ---- Values ---------------------------------------------------------------------------------

@pytest.mark.parametrize("value", [
    True, False, 0, -2 ** 31, 2 ** 31 - 1, 2.5, "", "h\u00e9llo \u2603 \x00 end",
    decimal.Decimal("-922337203685477.5808"), decimal.Decimal("1.2345"),
    datetime.datetime(2024, 2, 29, 13, 45, 30), velmira.Empty, velmira.Null, None])
def test_values_round_trip_through_a_variant_field(value):
    n = New("Velmira.QueueNode")
    n.Value = value
    got = n.Value
    assert got == value and type(got) is type(value)


def test_objects_come_back_as_the_same_proxy_or_element():
    n, other = New("Velmira.ListNode"), element_class("IStackNode")()
    n.Data, n.Flags = other, n
    assert n.Data is other and n.Flags is n
    n.Flags = n.Data = None


# Refused in Python (no variant kind, no such attribute, no default member) or by the library
# (a number where an element is wanted), each with its number.
@pytest.mark.parametrize("action, number", [
    (lambda s: setattr(s, "Index", 2 ** 31), 6), (lambda s: setattr(s, "Index", object()), 13),
    (lambda s: setattr(s, "Index", decimal.Decimal("1e20")), 6),
    (lambda s: setattr(s, "Index", [1]), 13), (lambda s: s.Foo, 438),
    (lambda s: setattr(s, "IsEmpty", True), 438), (lambda s: setattr(s, "Colour", 1), 438),
    (lambda s: s[0], 438), (lambda s: s.Push(5), 13)])
def test_bad_calls_raise_numbered_errors(action, number):
    with pytest.raises(velmira.Error) as caught:
        action(New("Velmira.Stack"))
    assert caught.value.number == number


# ---- Elements: slots, errors, lifetimes -----------------------------------------------------

def test_one_python_element_in_two_containers_with_different_index():
    cls = element_class("IStackNode")
    shared, first, second = cls("shared"), cls("first"), cls("second")
    s0, s1 = New("Velmira.Stack"), New("Velmira.Stack")
    s1.Index = 1
    for s, other in ((s0, first), (s1, second)):
        s.Push(other)
        s.Push(shared)
    assert shared.links == {("NextItem", 0): first, ("NextItem", 1): second}
    assert s0.Pop() is shared and shared.links[("NextItem", 0)] is None
    assert s1.Top is shared and s1.Pop() is shared and s1.Pop() is second and s0.Pop() is first


class Refusal(Exception):
    pass


@pytest.mark.parametrize("exception", [lambda: velmira.Error(31337, "this element refuses"),
                                       lambda: Refusal("no")])
@pytest.mark.parametrize("interface, member", [("IStackNode", "SetNextItem"),
                                               ("ITreeNode", "Key")])
def test_an_exception_in_a_python_member_passes_out_of_the_container(interface, member,
                                                                      exception):
    cls, raised = element_class(interface), exception()

    def fail(self, *args):
        raise raised
    failing = type("Failing", (cls,), {member: fail})
    container = New("Velmira.Stack" if interface == "IStackNode" else "Velmira.Tree")
    add = container.Push if interface == "IStackNode" else container.Add
    add(cls("first"))
    with pytest.raises(type(raised)) as caught:
        add(failing("second"))
    assert caught.value is raised
    if isinstance(raised, velmira.Error):
        assert (caught.value.number, caught.value.message) == (31337, "this element refuses")
    container.Clear()


def test_a_python_element_lives_while_only_the_library_holds_it_and_is_released_once():
    q = New("Velmira.Queue")
    q.Add(element_class("IQueueNode")("orphan"))
    gc.collect()
    e = q.First
    assert e.key == "orphan" and e.releases == 0
    assert q.NextItem() is e and e.releases == 1 and q.IsEmpty
    alive = weakref.ref(e)
    del e
    gc.collect()
    assert alive() is None


def test_element_classes_are_checked_when_defined():
    with pytest.raises(TypeError, match="SetNextItem"):
        class Half(velmira.Element, implements="IStackNode"):
            def NextItem(self, Index):
                return None
    with pytest.raises(velmira.Error):
        class Unknown(velmira.Element, implements="IFooNode"):
            pass


def test_keywords_defaults_and_help():
    q, n = New("Velmira.Queue"), New("Velmira.QueueNode")
    q.Add(n)
    q.Remove(Node=n, index=0)
    assert q.IsEmpty
    with pytest.raises(velmira.Error) as caught:
        q.Remove(Index=1)
    assert caught.value.number == 449
    text = pydoc.render_doc(New("Velmira.SplayTree"), renderer=pydoc.plaintext)
    assert "adjusts itself so that frequently accessed items" in text
    assert "Exists(self, /, Key)" in text


def test_python_and_sample_elements_mix_in_one_list():
    py = element_class("IListNode")
    a, b, c = py("a"), New("Velmira.ListNode"), py("c")
    lst = New("Velmira.List")
    for n in (a, b, c):
        lst.Add(n)
    lst.Remove(a)
    assert [n for n in lst.NewEnum()] == [b, c] and lst.PrevItem(c) is b and lst.First is b
    lst.AddAfter(a, c)
    assert lst.Last is a and lst.Count == 3
    lst.Clear()


# ---- The debug output -----------------------------------------------------------------------

def test_warnings_come_line_by_line_and_without_a_receiver_go_to_standard_error(warnings, capfd):
    queue = New("Velmira.Queue")
    queue.Add(None)
    queue.Add(None)
    assert warnings == ["Queue: Warning, an attempt was made to Add Nothing"] * 2
    velmira.SetDebugOutput(None)
    queue.Add(None)
    assert capfd.readouterr().err == "Queue: Warning, an attempt was made to Add Nothing\n"
