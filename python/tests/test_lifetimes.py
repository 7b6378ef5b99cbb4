"""Lifetimes across the boundary: cycles through the library are collected, a Python element
lives while only the library holds it, and an exception raised at any call into a Python element
passes out of the container unchanged, leaving nothing behind."""
import gc
import weakref

import pytest
from conftest import KINDS, LINKS, callback_class
from test_velmira import SCENARIOS

import velmira

New = velmira.CreateObject


def add(container, element):
    (container.Push if hasattr(container, "Push") else container.Add)(element)


def collected(objects):
    """Empties the list `objects` (which holds the caller's only references) and collects: True
    when every object in it and every library object is gone."""
    alive = [weakref.ref(o) for o in objects]
    objects.clear()
    gc.collect()
    return all(a() is None for a in alive) and velmira.CanUnloadNow()


@pytest.mark.parametrize("kind", ["sample", *KINDS])
@pytest.mark.parametrize("name", SCENARIOS)
def test_a_cycle_through_a_container_is_collected(name, kind):
    interface = SCENARIOS[name][0]
    container, jobs = New(name), [KINDS.get(kind, KINDS["linked"])(interface)(k) for k in "bac"]
    for job in jobs:
        job.owner = container
        if kind == "sample":  # the cycle runs through a sample element's field
            node = New("Velmira." + interface[1:])
            node.SetKey(0, job.key)
            node.Value = job
            job = node
        add(container, job)
    del container, job
    if kind == "sample":
        del node
    assert collected(jobs)


@pytest.mark.parametrize("kind", KINDS)
def test_a_cycle_through_a_sample_elements_value_is_collected(kind):
    node, jobs = New("Velmira.TreeNode"), [KINDS[kind]("IQueueNode", "ITreeNode")("k")]
    jobs[0].node, node.Value = node, jobs[0]
    del node
    assert collected(jobs)


def test_a_python_element_lives_while_only_the_library_holds_it():
    q = New("Velmira.Queue")
    q.Add(KINDS["linked"]("IQueueNode")("orphan"))
    gc.collect()
    e = [q.First]
    taken = q.NextItem() is e[0]
    assert e[0].key == "orphan" and taken and q.IsEmpty
    del q
    assert collected(e)


class Refusal(Exception):
    pass


def failing_class(interface, at, raised):
    """A callback element class whose members raise `raised` at call number `at`."""
    base, calls = callback_class(interface), [0]
    names = ["Key"] + [n for link in LINKS[interface] for n in (link, "Set" + link)]

    def wrap(original):
        def member(self, *args):
            calls[0] += 1
            if calls[0] == at:
                raise raised
            return original(self, *args)
        return member
    return type("Failing", (base,), {n: wrap(getattr(base, n)) for n in names}), calls


@pytest.mark.parametrize("name", SCENARIOS)
def test_an_exception_at_any_call_into_an_element_passes_out_unchanged(name):
    interface, scenario = SCENARIOS[name]
    at, everything = 0, []
    while True:
        at += 1
        raised = velmira.Error(31337, "refused") if at % 2 else Refusal(at)
        cls, calls = failing_class(interface, at, raised)
        container, made = New(name), []

        def make(*keys):
            made.extend(cls(k) for k in keys)
            return made[-len(keys):]
        try:
            scenario(container, make)
            finished = calls[0] < at
        except (Refusal, velmira.Error) as caught:
            assert caught is raised
            finished = False
        # Whatever the container still holds, its links lead only to the scenario's elements.
        linked = {id(v) for e in made for v in e.links.values()
                  if isinstance(v, velmira._native.ElementBase)}
        assert linked <= {id(e) for e in made}
        calls[0] = max(calls[0], at)  # no failure in the clean-up
        container.Clear()
        del container, raised, cls  # the traceback holds the failing call's frame
        everything += made
        made.clear()
        if finished:
            break
    assert at > 10 and collected(everything), "left behind after a failure"
