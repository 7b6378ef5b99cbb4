"""Counts the words of a text in a SplayTree of Python objects and reports them, in key order,
through a Debugger.

    python3 examples/words.py [file]        # the text of the file, or a sample sentence

Each word is a `Word`, a Python class with native tree links (`velmira.TreeLinks`): the tree
keeps its links and the word's key in the library object behind each Word, and never calls back
into Python while it counts. It runs with the package installed (`python3 -m pip install --no-index .`) or from the
build tree (build/default/python).
"""
import re
import sys
from pathlib import Path

try:
    import velmira
except ImportError:  # not installed: the package the default build leaves in the build tree
    sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "build/default/python"))
    import velmira


class Word(velmira.TreeLinks):
    """A word and the number of times it was seen; the tree orders words by their text.

    The key is kept in the library object (NativeKey), so the tree compares words without
    calling back into Python. A `Key(self, Index)` method returning the text does the same job,
    at about three times the cost per word (bench/python_speed.py)."""

    def __init__(self, text):
        super().__init__()
        self.text, self.count = text, 1
        self.NativeKey = text


def count_words(text):
    words = velmira.CreateObject("Velmira.SplayTree")
    for token in re.findall(r"[\w']+", text.lower()):
        word = words[token]  # the tree hands back our own Word object, or None
        if word is None:
            words.Add(Word(token))
        else:
            word.count += 1
    return words


def main():
    text = (Path(sys.argv[1]).read_text(encoding="utf-8") if len(sys.argv) > 1 else
            "the quick fox and the lazy dog and the cat")
    words = count_words(text)
    debug = velmira.CreateObject("Velmira.Debugger")
    velmira.SetDebugOutput(print)  # the debugger's lines to standard output
    debug.Enter("CountWords")
    for word in words:  # in key order
        debug.Output(f"{word.text}: {word.count}")
    debug.Leave("CountWords")
    velmira.SetDebugOutput(None)


if __name__ == "__main__":
    main()
