"""The cost of the Python boundary: one late-bound push and pop from Python, of a sample element
and of a Python-defined element, against a Python list's append and pop. The same through the C
interface from C is BM_CApiPushPop* in velmira_bench (bench/c_api_benchmark.cpp).

    python3 bench/python_boundary.py       # the library from the build tree or VELMIRA_LIBRARY
"""
import sys
import time
import timeit
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "python"))
import velmira  # noqa: E402


class Job(velmira.Element, implements="IStackNode"):
    def __init__(self):
        self.next = {}

    def NextItem(self, Index):
        return self.next.get(Index)

    def SetNextItem(self, Index, Value):
        self.next[Index] = Value


def measure(label, push, pop, rounds=200_000):
    def once():
        push()
        pop()
    # Processor time, not wall time: on a shared machine it is the steadier of the two.
    timer = timeit.Timer(once, timer=time.process_time)
    best = min(timer.repeat(number=rounds, repeat=5)) / rounds
    print(f"{label:<44} {best * 1e9:9.0f} ns CPU per push+pop")


def main():
    stack = velmira.CreateObject("Velmira.Stack")
    node, job = velmira.CreateObject("Velmira.StackNode"), Job()
    items = []
    measure("Python list append/pop", lambda: items.append(node), items.pop)
    measure("velmira Stack, sample StackNode", lambda: stack.Push(node), stack.Pop, 50_000)
    measure("velmira Stack, Python-defined element", lambda: stack.Push(job), stack.Pop, 20_000)


if __name__ == "__main__":
    main()
