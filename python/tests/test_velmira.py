"""The library from Python: what the package adds over the library. Proxies for every creatable
class, Python elements of both kinds in every container, identity, errors, help and the debug
output. What the members do is the C++ tests' business."""
import gc
import pydoc

import pytest
from conftest import KINDS, LINKS, callback_class

import velmira
from velmira import _native

New = velmira.CreateObject
SAMPLES = ["Velmira." + interface[1:] for interface in LINKS]


# ---- Every creatable class, as a scenario through Python ------------------------------------

def stack(s, make):
    a, b, c = make("a", "b", "c")
    for n in (a, b, c):
        s.Push(n)
    assert list(s) == [c, b, a] and s.Top is c and s.Pop() is c and list(s) == [b, a]


def queue(q, make):
    nodes = make("a", "b", "c")
    for n in nodes:
        q.Add(n)
    q.Remove(nodes[1])
    assert list(q) == [nodes[0], nodes[2]] and q.NextItem() is nodes[0]


def pqueue(q, make):
    a, b, c, d = make(2, 9, 2.5, 9)
    for n in (a, b, c, d):
        q.Add(n)
    assert list(q) == [b, d, c, a] and q.NextItem() is b


def list_(lst, make):
    a, b, c = make("a", "b", "c")
    lst.Add(a)
    lst.Add(c)
    lst.AddBefore(b, c)
    walk = lst.NewEnum()
    walk.Order = velmira.eListEnumReverseOrder
    assert list(walk) == [c, b, a] and list(lst) == [a, b, c] and len(lst) == 3
    assert lst.Item(2) is b and lst.NextItem(a) is b and "3 elements" in repr(lst)


def tree(t, make):
    nodes = make("pear", "apple", "fig")
    for n in nodes:
        t.Add(n)
    t.Remove("fig")
    assert list(t) == [nodes[1], nodes[0]] and t["apple"] is nodes[1]
    assert t.Exists("pear") and not t.Exists("fig") and list(t.NewEnum()) == list(t)


SCENARIOS = {"Velmira.Stack": ("IStackNode", stack), "Velmira.Queue": ("IQueueNode", queue),
             "Velmira.PQueue": ("IPQueueNode", pqueue), "Velmira.List": ("IListNode", list_),
             "Velmira.Tree": ("ITreeNode", tree), "Velmira.SplayTree": ("ITreeNode", tree)}


def test_scenarios_cover_every_creatable_class():
    creatable = {row[1] for row in _native.classes() if row[2] == 0}
    assert creatable == set(SCENARIOS) | set(SAMPLES) | {"Velmira.Debugger", "Velmira.NoDebugger"}


@pytest.mark.parametrize("kind", ["sample", *KINDS])
@pytest.mark.parametrize("name", SCENARIOS)
def test_elements_of_every_kind_in_every_container(name, kind):
    interface, scenario = SCENARIOS[name]

    def make(*keys):
        if kind == "sample":
            nodes = [New("Velmira." + interface[1:]) for _ in keys]
            for n, k in zip(nodes, keys):
                n.SetKey(0, k)
            return nodes
        cls = KINDS[kind](interface)
        return [cls(k) for k in keys]
    scenario(New(name), make)


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


# ---- Identity, several interfaces, several containers ---------------------------------------

def test_objects_come_back_as_themselves_even_when_falsy():
    class Falsy(velmira.StackLinks):
        def __len__(self):
            return 0
    n, s, f = New("Velmira.ListNode"), New("Velmira.Stack"), Falsy()
    n.Data, n.Flags = f, n
    s.Push(f)
    assert n.Data is f and n.Flags is n and s.Top is f and not f
    n.Flags = None


@pytest.mark.parametrize("kind", KINDS)
def test_one_python_object_in_a_queue_a_list_and_a_splay_tree(kind):
    Job = KINDS[kind]("IQueueNode", "IListNode", "ITreeNode")
    q, lst, t = New("Velmira.Queue"), New("Velmira.List"), New("Velmira.SplayTree")
    jobs = [Job(k) for k in ("b", "c", "a")]
    for j in jobs:
        q.Add(j), lst.Add(j), t.Add(j)
    jobs[0].note = "ordinary attributes stay"
    assert list(q) == list(lst) == jobs and list(t) == [jobs[2], jobs[0], jobs[1]]
    assert q.NextItem() is jobs[0] and lst.First is jobs[0] and t["b"].note.startswith("ord")
    with pytest.raises(velmira.TypeMismatch, match="Push expects an IStackNode, got "):
        New("Velmira.Stack").Push(jobs[0])


@pytest.mark.parametrize("kind", KINDS)
def test_one_element_in_two_containers_with_different_index(kind):
    cls = KINDS[kind]("IStackNode")
    shared, first, second = cls("shared"), cls("first"), cls("second")
    s0, s1 = New("Velmira.Stack"), New("Velmira.Stack")
    s1.Index = 1
    for s, other in ((s0, first), (s1, second)):
        s.Push(other)
        s.Push(shared)
    assert list(s0) == [shared, first] and list(s1) == [shared, second]
    assert s0.Pop() is shared and list(s1) == [shared, second]
    s1.Clear()


def test_links_stored_by_hand_into_a_cycle_are_walked_once():
    """`for` over a container whose elements' own links were closed into a cycle by hand yields
    each element once, and Clear still ends and resets every link."""
    stack_node, tree_node = callback_class("IStackNode"), callback_class("ITreeNode")
    s, (a, b, c) = New("Velmira.Stack"), (stack_node(), stack_node(), stack_node())
    for n in (a, b, c):
        s.Push(n)
    a.links[("NextItem", 0)] = c  # c -> b -> a -> c
    assert list(s) == [c, b, a]
    s.Clear()
    assert list(s) == [] and all(n.links[("NextItem", 0)] is None for n in (a, b, c))
    t, nodes = New("Velmira.SplayTree"), [tree_node(key) for key in (2, 1, 3)]
    for n in nodes:
        t.Add(n)  # 3 comes to the root
    nodes[1].links[("Left", 0)] = nodes[2]
    nodes[2].links[("Right", 0)] = nodes[2]
    assert [n.key for n in t] == [1, 2, 3]
    t.Clear()
    assert list(t) == []


def test_element_classes_are_checked_when_defined():
    with pytest.raises(TypeError, match="SetNextItem"):
        class Half(velmira.Element, implements="IStackNode"):
            def NextItem(self, Index):
                return None
    with pytest.raises(velmira.Error) as caught:
        class Unknown(velmira.Element, implements=("IQueueNode", "IFooNode")):
            pass
    assert caught.value.number == 13
    with pytest.raises(velmira.TypeMismatch):
        class Mixed(velmira.StackLinks, velmira.Element):
            pass


# ---- Errors, keywords, help -----------------------------------------------------------------

@pytest.mark.parametrize("action, number, text", [
    (lambda s: setattr(s, "Index", 2 ** 31), 6, "Overflow"),
    (lambda s: setattr(s, "Index", object()), 13, "Index expects a 32-bit integer, got object"),
    (lambda s: s.Push("x"), 13, "Push expects an IStackNode, got str"),
    (lambda s: s.Push(New("Velmira.QueueNode")), 13, "Push expects an IStackNode, got Queue"),
    (lambda s: setattr(s, "IsEmpty", True), 438, ""),
    (lambda s: setattr(s, "Colour", 1), 438, "Colour"),
    (lambda s: s.Colour, 438, "Stack.Colour"),
    (lambda s: s.Push(), 449, ""), (lambda s: s.Push(None, None), 450, ""),
    (lambda s: s.Push(None, Node=None), 450, "Node twice"),
    (lambda s: s.Push(Nod=None), 450, "no parameter Nod"),
    (lambda s: New("Velmira.Nope"), 429, "")])
def test_bad_calls_raise_numbered_errors_saying_what_was_expected(action, number, text):
    with pytest.raises(velmira.Error) as caught:
        action(New("Velmira.Stack"))
    assert caught.value.number == number and text in str(caught.value)
    assert str(caught.value).endswith(f"(error {number})")


def test_keywords_defaults_and_any_letter_case():
    q, n = New("Velmira.Queue"), New("Velmira.QueueNode")
    q.Add(n)
    q.Remove(Node=n, index=0)
    q.index = 3
    assert q.isempty and q.Index == 3 and not hasattr(q, "Colour")
    with pytest.raises(velmira.Error) as caught:
        q.Remove(Index=1)
    assert caught.value.number == 449


def test_help_shows_signatures_and_descriptions():
    text = pydoc.render_doc(New("Velmira.SplayTree"), renderer=pydoc.plaintext)
    assert "adjusts itself so that frequently accessed items" in text
    assert "Exists(self, /, Key)" in text and "True if an item with the given key" in text
    assert "SetKey(self, /, Index, Value)" in pydoc.render_doc(New("Velmira.TreeNode"),
                                                              renderer=pydoc.plaintext)


# ---- The debug output -----------------------------------------------------------------------

def test_warnings_come_line_by_line_and_without_a_receiver_go_to_standard_error(warnings, capfd):
    queue = New("Velmira.Queue")
    queue.Add(None)
    queue.Add(None)
    assert warnings == ["Queue: Warning, an attempt was made to Add Nothing"] * 2
    velmira.SetDebugOutput(None)
    queue.Add(None)
    assert capfd.readouterr().err == "Queue: Warning, an attempt was made to Add Nothing\n"
