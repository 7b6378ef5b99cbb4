"""Counts the words of a text with a SplayTree of Python-defined elements and reports them
through a Debugger.

    python3 examples/words.py [file]        # the text of the file, or a sample sentence

The library is found beside the package, in the build tree, or through VELMIRA_LIBRARY.
"""
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "python"))
import velmira  # noqa: E402


class Word(velmira.Element, implements="ITreeNode"):
    """A word and its count; its tree links are kept per Index, as the interface asks."""

    def __init__(self, text):
        self.text, self.count, self.links = text, 1, {}

    def Key(self, Index):
        return self.text

    def Left(self, Index):
        return self.links.get(("Left", Index))

    def SetLeft(self, Index, Value):
        self.links[("Left", Index)] = Value

    def Right(self, Index):
        return self.links.get(("Right", Index))

    def SetRight(self, Index, Value):
        self.links[("Right", Index)] = Value


def count_words(text):
    words = velmira.CreateObject("Velmira.SplayTree")
    for token in re.findall(r"[\w']+", text.lower()):
        if words.Exists(token):
            words.Item(token).count += 1  # the tree hands back our own Word object
        else:
            words.Add(Word(token))
    return words


def main():
    text = (Path(sys.argv[1]).read_text() if len(sys.argv) > 1 else
            "the quick fox and the lazy dog and the cat")
    words = count_words(text)
    debug = velmira.CreateObject("Velmira.Debugger")
    velmira.SetDebugOutput(print)  # the debugger's lines to standard output
    debug.Enter("CountWords")
    for word in words.NewEnum():
        debug.Output(f"{word.text}: {word.count}")
    debug.Leave("CountWords")
    velmira.SetDebugOutput(None)


if __name__ == "__main__":
    main()
