"""The Python package's speed as ratios to Python's own containers, measured in one run:
push+pop on a Stack of a library StackNode, of a StackLinks subclass and of a callback element
(links kept in Python attributes) against a list's append+pop, and the per-word cost of a word
count in a SplayTree of TreeLinks elements against collections.Counter, with the key from the
class's Key method and kept natively (NativeKey).

    python3 bench/python_speed.py [--quick] [PACKAGE_DIR]

PACKAGE_DIR holds the built package (<build>/python); by default build/bench/python, then
build/default/python, then whatever `import velmira` finds. Times are processor time, the best
of several repeats: on a shared machine it is the steadier measure. The ratios are what to
compare between machines and runs; the nanoseconds only say which machine this was.
"""
import argparse
import collections
import gc
import re
import sys
import time
import timeit
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


def import_velmira(package_dir):
    candidates = [Path(package_dir)] if package_dir else [ROOT / "build/bench/python",
                                                          ROOT / "build/default/python"]
    for folder in candidates:
        if (folder / "velmira").is_dir():
            sys.path.insert(0, str(folder))
            break
    import velmira
    return velmira


def best_time(function, number, repeat):
    """Seconds per call of `function`, the best of `repeat` runs of `number` calls."""
    timer = timeit.Timer(function, timer=time.process_time)
    return min(timer.repeat(number=number, repeat=repeat)) / number


def stack_cases(velmira):
    class Plate(velmira.StackLinks):
        pass

    class CallbackPlate(velmira.Element, implements="IStackNode"):
        def __init__(self):
            self.next = {}

        def NextItem(self, Index):
            return self.next.get(Index)

        def SetNextItem(self, Index, Value):
            self.next[Index] = Value

    stack = velmira.CreateObject("Velmira.Stack")
    items = []
    push, pop = stack.Push, stack.Pop

    def pair(element):
        def once():
            push(element)
            pop()
        return once

    def list_once(element=velmira.CreateObject("Velmira.StackNode")):
        items.append(element)
        items.pop()

    return list_once, [
        ("push+pop of a library StackNode", pair(velmira.CreateObject("Velmira.StackNode")), 2, 5),
        ("push+pop of a StackLinks subclass", pair(Plate()), 2, 5),
        ("push+pop of a callback element", pair(CallbackPlate()), 10, 30),
    ]


def word_classes(velmira):
    """A word with its key from its Key method, and one with its key kept natively."""
    class Word(velmira.TreeLinks):
        def __init__(self, text):
            super().__init__()
            self.text, self.count = text, 1

        def Key(self, Index):
            return self.text

    class NativeWord(velmira.TreeLinks):
        def __init__(self, text):
            super().__init__()
            self.text, self.count = text, 1
            self.NativeKey = text  # the library reads it without calling Python

    return [("Key method", Word), ("NativeKey", NativeWord)]


def word_count_case(velmira, words, word_class):
    def with_velmira():
        tree = velmira.CreateObject("Velmira.SplayTree")
        for w in words:
            hit = tree[w]
            if hit is None:
                tree.Add(word_class(w))
            else:
                hit.count += 1
        return tree

    def with_counter():
        return collections.Counter(words)

    # Both count the same: the check that the measured code does the job.
    tree, counter = with_velmira(), with_counter()
    assert {w.text: w.count for w in tree} == counter, "the two word counts differ"
    return with_counter, with_velmira


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("package_dir", nargs="?")
    parser.add_argument("--quick", action="store_true", help="fewer and shorter repeats")
    args = parser.parse_args()
    velmira = import_velmira(args.package_dir)
    repeat, scale = (3, 0.2) if args.quick else (7, 1.0)
    print(f"velmira from {Path(velmira.__file__).parent}; Python {sys.version.split()[0]}")
    print("| operation | velmira | yardstick | ratio | aim | at most |")
    print("|---|---|---|---|---|---|")

    for row in stack_rows(velmira, int(200_000 * scale), repeat):
        print(row)
    text = (ROOT / "data/sample.txt").read_text(encoding="utf-8")
    words = re.findall(r"[\w']+", text.lower())
    for row in word_count_rows(velmira, words[:10_000] if args.quick else words, repeat):
        print(row)
    gc.collect()
    if not velmira.CanUnloadNow():
        print("note: library objects outlived the measurements")


def stack_rows(velmira, number, repeat):
    list_once, cases = stack_cases(velmira)
    rows = []
    for label, once, aim, limit in cases:
        yard = best_time(list_once, number, repeat)
        cost = best_time(once, number, repeat)
        rows.append(f"| {label} | {cost * 1e9:.0f} ns | {yard * 1e9:.0f} ns (list append+pop) | "
                    f"{cost / yard:.1f}x | {aim}x | {limit}x |")
    return rows


def word_count_rows(velmira, words, repeat):
    rows = []
    for label, word_class in word_classes(velmira):
        with_counter, with_velmira = word_count_case(velmira, words, word_class)
        yard = best_time(with_counter, 1, repeat) / len(words)
        cost = best_time(with_velmira, 1, repeat) / len(words)
        rows.append(f"| word count, SplayTree of TreeLinks, {label} ({len(words)} words) | "
                    f"{cost * 1e9:.0f} ns/word | {yard * 1e9:.0f} ns/word (collections.Counter) | "
                    f"{cost / yard:.1f}x | 10x | |")
    return rows


if __name__ == "__main__":
    main()
