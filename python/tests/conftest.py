"""Shared fixtures: captured warnings, a leak check after every test (no library object may
outlive its test), and element classes of both kinds for every interface."""
import gc
import types

import pytest

import velmira


@pytest.fixture(autouse=True)
def no_leaks():
    yield
    gc.collect()
    assert velmira.CanUnloadNow(), "a library object outlived its test"


@pytest.fixture
def warnings():
    lines = []
    velmira.SetDebugOutput(lines.append)
    yield lines
    velmira.SetDebugOutput(None)


LINKS = {"IStackNode": ["NextItem"], "IQueueNode": ["NextItem"], "IPQueueNode": ["NextItem"],
         "IListNode": ["NextItem", "PrevItem", "Tag"], "ITreeNode": ["Left", "Right"]}
LINK_BASES = {"IStackNode": velmira.StackLinks, "IQueueNode": velmira.QueueLinks,
              "IPQueueNode": velmira.PQueueLinks, "IListNode": velmira.ListLinks,
              "ITreeNode": velmira.TreeLinks}


class Keyed:
    """What every test element shares: a key, and its links per (member, Index) when it keeps
    them itself."""

    def __init__(self, key=velmira.Empty):
        super().__init__()
        self.key, self.links = key, {}

    def Key(self, Index):
        return self.key


def callback_class(*interfaces):
    """A velmira.Element class of `interfaces` keeping every link per Index in a dict."""

    def define(namespace):
        for link in {link for i in interfaces for link in LINKS[i]}:
            namespace[link] = lambda self, Index, _l=link: self.links.get((_l, Index))
            namespace["Set" + link] = (
                lambda self, Index, Value, _l=link: self.links.__setitem__((_l, Index), Value))

    return types.new_class("Py" + "".join(i[1:] for i in interfaces), (Keyed, velmira.Element),
                           {"implements": interfaces}, define)


def linked_class(*interfaces):
    """A class on the links base classes of `interfaces`."""
    return types.new_class("Linked", (Keyed, *(LINK_BASES[i] for i in interfaces)))


def native_key_class(*interfaces):
    """A class on the links base classes whose key is kept natively: it has no Key method."""
    base = linked_class(*interfaces)

    def __init__(self, key=velmira.Empty):
        base.__init__(self, key)
        self.NativeKey = key
    return type("Native", (base,), {"__init__": __init__, "Key": None})


KINDS = {"callback": callback_class, "linked": linked_class, "native": native_key_class}
