"""Shared fixtures: the package from this source tree, captured warnings, and a leak check after
every test (no library object may outlive its test)."""
import gc
import sys
import types
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
import velmira  # noqa: E402


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


class Links:
    """What every test element shares: a key, links per (member, Index), a release count."""

    def __init__(self, key=velmira.Empty):
        self.key, self.links, self.releases = key, {}, 0

    def velmira_released(self):
        self.releases += 1

    def Key(self, Index):
        return self.key


def element_class(interface):
    """A Python element class of `interface` keeping every link per Index."""

    def define(namespace):
        for link in LINKS[interface]:
            namespace[link] = lambda self, Index, _l=link: self.links.get((_l, Index))
            namespace["Set" + link] = (
                lambda self, Index, Value, _l=link: self.links.__setitem__((_l, Index), Value))

    return types.new_class("Py" + interface[1:], (Links, velmira.Element),
                           {"implements": interface}, define)
