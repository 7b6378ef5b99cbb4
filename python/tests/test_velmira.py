"""The library from Python: every creatable class, Python-defined elements in every container,
errors and warnings crossing the boundary, lifetimes, and refused input."""
import datetime
import decimal
import gc
import pydoc
import weakref

import pytest
from conftest import element_class

import velmira
from velmira import _capi

New = velmira.CreateObject


def keyed(cls, *keys):
    """Sample elements ("Velmira.TreeNode") or Python elements (a class) with Key(0) set."""
    if isinstance(cls, str):
        made = []
        for k in keys:
            made.append(New(cls))
            made[-1].SetKey(0, k)
        return made
    return [cls(k) for k in keys]


# ---- Every creatable class, as a scenario through Python ------------------------------------

def drain(container, take):
    return [n.Key(0) for n in iter(lambda: getattr(container, take)(), None)]


def stack(make):
    s = New("Velmira.Stack")
    for n in make("Velmira.StackNode", "a", "b", "c"):
        s.Push(n)
    assert s.Top.Key(0) == "c"
    return drain(s, "Pop") == ["c", "b", "a"] and s.IsEmpty


def queue(make):
    q = New("Velmira.Queue")
    nodes = make("Velmira.QueueNode", "a", "b", "c")
    for n in nodes:
        q.Add(n)
    q.Remove(nodes[1])
    return drain(q, "NextItem") == ["a", "c"]


def pqueue(make):
    q = New("Velmira.PQueue")
    for n in make("Velmira.PQueueNode", 2, 9, 2.5, 9):
        q.Add(n)
    return drain(q, "NextItem") == [9, 9, 2.5, 2]


def list_(make):
    lst = New("Velmira.List")
    a, b, c = make("Velmira.ListNode", "a", "b", "c")
    lst.Add(a)
    lst.Add(c)
    lst.AddBefore(b, c)
    walk = lst.NewEnum()
    walk.Order = velmira.eListEnumReverseOrder
    return ([n.Key(0) for n in walk] == ["c", "b", "a"] and lst.Count == 3 and lst.Item(2) is b
            and lst.NextItem(a) is b)


def tree(name):
    def scenario(make):
        t = New(name)
        nodes = make("Velmira.TreeNode", "pear", "apple", "fig")
        for n in nodes:
            t.Add(n)
        t.Remove("fig")
        return ([n.Key(0) for n in t.NewEnum()] == ["apple", "pear"] and t["apple"] is nodes[1]
                and t.Exists("pear") and not t.Exists("fig"))
    return scenario


def debugger(name):
    def scenario(make, lines):
        d = New(name)
        d.ShowIndent = False
        d.Enter("Main")
        d.Output("total", 42, velmira.Null)
        d.Leave("Main")
        return d.ShowIndent is False and (lines != []) == (name == "Velmira.Debugger")
    return scenario


SCENARIOS = {"Velmira.Stack": stack, "Velmira.Queue": queue, "Velmira.PQueue": pqueue,
             "Velmira.List": list_, "Velmira.Tree": tree("Velmira.Tree"),
             "Velmira.SplayTree": tree("Velmira.SplayTree"),
             "Velmira.Debugger": debugger("Velmira.Debugger"),
             "Velmira.NoDebugger": debugger("Velmira.NoDebugger")}
ELEMENTS = {"Velmira.StackNode": stack, "Velmira.QueueNode": queue,
            "Velmira.PQueueNode": pqueue, "Velmira.ListNode": list_,
            "Velmira.TreeNode": tree("Velmira.SplayTree")}
PYTHON_ELEMENTS = {"Velmira.StackNode": "IStackNode", "Velmira.QueueNode": "IQueueNode",
                   "Velmira.PQueueNode": "IPQueueNode", "Velmira.ListNode": "IListNode",
                   "Velmira.TreeNode": "ITreeNode"}


def test_scenarios_cover_every_creatable_class():
    creatable = set()
    for i in range(_capi.lib.velmira_class_count()):
        info = _capi.ClassInfo()
        _capi.lib.velmira_class_at(i, info, None)
        if info.instancing == _capi.CREATABLE:
            creatable.add(info.qualified_name.decode())
    assert creatable == set(SCENARIOS) | set(ELEMENTS)


@pytest.mark.parametrize("name", SCENARIOS)
def test_container_scenario_with_sample_elements(name, warnings):
    scenario = SCENARIOS[name]
    args = (keyed, warnings) if name.endswith("Debugger") else (keyed,)
    assert scenario(*args)


@pytest.mark.parametrize("sample", ELEMENTS)
def test_python_elements_in_every_container(sample):
    cls = element_class(PYTHON_ELEMENTS[sample])
    assert ELEMENTS[sample](lambda _, *keys: keyed(cls, *keys))


def test_sample_element_fields_and_keys_per_slot():
    n = New("Velmira.TreeNode")
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


@pytest.mark.parametrize("value, number", [
    (2 ** 31, 6), (decimal.Decimal("1e20"), 6), (object(), 13), ([1], 13)])
def test_python_values_without_a_variant_kind_are_refused(value, number):
    with pytest.raises(velmira.Error) as caught:
        New("Velmira.StackNode").Value = value
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


def test_a_python_element_is_released_once_and_not_leaked():
    cls = element_class("IQueueNode")
    q, e = New("Velmira.Queue"), cls("job")
    q.Add(e)
    assert e.releases == 0 and q.First is e
    assert q.NextItem() is e and e.releases == 1 and q.IsEmpty
    alive = weakref.ref(e)
    del e
    gc.collect()
    assert alive() is None


def test_a_python_element_lives_while_only_the_library_holds_it():
    q = New("Velmira.Queue")
    q.Add(element_class("IQueueNode")("orphan"))
    gc.collect()
    assert q.NextItem().key == "orphan"


@pytest.mark.parametrize("container, add, text", [
    ("Velmira.Stack", "Push", "Stack: Warning, an attempt was made to Add Nothing"),
    ("Velmira.Queue", "Add", "Queue: Warning, an attempt was made to Add Nothing"),
    ("Velmira.SplayTree", "Add", "SplayTree: Warning, an attempt was made to Add Nothing"),
    ("Velmira.List", "Add", "List: Warning, an attempt was made to Add Nothing")])
def test_warnings_are_captured_line_by_line(container, add, text, warnings):
    c = New(container)
    getattr(c, add)(None)
    getattr(c, add)(None)
    assert warnings == [text, text]


# ---- Refused input --------------------------------------------------------------------------

@pytest.mark.parametrize("action, number", [
    (lambda s: s.Foo, 438), (lambda s: setattr(s, "IsEmpty", True), 438),
    (lambda s: setattr(s, "Colour", 1), 438), (lambda s: s.Push(5), 13),
    (lambda s: s.Push(New("Velmira.QueueNode")), 13), (lambda s: setattr(s, "Index", "x"), 13),
    (lambda s: s.Push(), 449), (lambda s: s.Pop(1), 450), (lambda s: s[0], 438),
    (lambda s: New("Velmira.ListEnum"), 429), (lambda s: New("Velmira.Nope"), 429)])
def test_bad_calls_raise_numbered_errors(action, number):
    with pytest.raises(velmira.Error) as caught:
        action(New("Velmira.Stack"))
    assert caught.value.number == number


def test_a_released_handle_is_refused():
    s = New("Velmira.Stack")
    stale = s._handle
    del s
    gc.collect()
    ghost = object.__new__(velmira._classes["Velmira.Stack"])
    object.__setattr__(ghost, "_handle", stale)
    with pytest.raises(velmira.Error) as caught:
        ghost.IsEmpty
    object.__setattr__(ghost, "_handle", 0)
    assert caught.value.number == 5 and "Invalid handle" in caught.value.message


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


def test_without_a_receiver_warnings_go_to_standard_error(capfd):
    velmira.SetDebugOutput(lambda line: None)
    velmira.SetDebugOutput(None)
    New("Velmira.Queue").Add(None)
    assert capfd.readouterr().err == "Queue: Warning, an attempt was made to Add Nothing\n"
