"""Checks that the type stubs describe the package as it is: every name the package exports is
in the stub, and each library class's stub has exactly the public members, iteration, len()
and indexing of its runtime proxy class.

    PYTHONPATH=<build>/python python3 python/packaging/check_stubs.py
"""
import ast
import sys
from pathlib import Path

import velmira

stub = ast.parse((Path(velmira.__file__).parent / "__init__.pyi").read_text())
top, classes = set(), {}
for node in stub.body:
    if isinstance(node, (ast.FunctionDef, ast.ClassDef)):
        top.add(node.name)
    elif isinstance(node, ast.AnnAssign):
        top.add(node.target.id)
    if isinstance(node, ast.ClassDef):
        classes[node.name] = {f.name for f in node.body if isinstance(f, ast.FunctionDef)}

faults = [f"velmira.{name} is not in the stub" for name in velmira.__all__ if name not in top]
SPECIAL = {"__iter__", "__len__", "__getitem__"}
objects = [velmira.CreateObject(f"Velmira.{name}") for name in
           ("StackNode", "QueueNode", "PQueueNode", "ListNode", "TreeNode", "Stack", "Queue",
            "PQueue", "List", "Tree", "SplayTree", "Debugger", "NoDebugger")]
objects += [objects[8].NewEnum(), objects[9].NewEnum()]
for obj in objects:
    cls = type(obj)
    runtime = {a for a in dir(cls) if not a.startswith("_")}
    runtime |= {a for a in SPECIAL if hasattr(cls, a)}
    stubbed = {a for a in classes.get(cls.__name__, ()) if not a.startswith("_") or a in SPECIAL}
    if runtime != stubbed:
        faults.append(f"{cls.__name__}: only at run time {sorted(runtime - stubbed)}, "
                      f"only in the stub {sorted(stubbed - runtime)}")
print("\n".join(faults) or f"stubs match the package ({len(objects)} classes checked)")
sys.exit(1 if faults else 0)
