#!/usr/bin/env python3
"""Turns a Google Benchmark JSON file of velmira_bench into docs/performance.md and PNG charts.

    python3 scripts/bench_report.py build/bench/results.json docs [--note "quick run"]

Leads with ratios against yardsticks measured in the same run (absolute numbers on a shared
machine are noisy, ratios much less), then growth curves per container and the ratio bars.
Medians of the repetitions are used where there are several; CPU time throughout.
"""
import argparse
import datetime
import json
import os
import platform
import re
import statistics
import subprocess

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402


def load(path):
    with open(path) as f:
        data = json.load(f)
    runs = {}
    global COUNTERS
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b.get("run_name", b["name"])
        if name.startswith("BM_"):
            name = re.sub(r"/\d+$", "", name)  # fixed-size benchmarks: the size is not a curve
        # Per-element figures (nanoseconds) where the benchmark reports them, else CPU time per
        # iteration.
        if "ns_per_element" in b:
            value = b["ns_per_element"]
        else:
            scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
            value = b["cpu_time"] * scale
        runs.setdefault(name, []).append(value)
        COUNTERS[name] = b
    return data["context"], {k: statistics.median(v) for k, v in runs.items()}


# The last JSON record read for each benchmark, for the counters other than time.
COUNTERS = {}


def bytes_table():
    rows = [(n[len("Bytes_"):].split("/")[0], b) for n, b in sorted(COUNTERS.items())
            if n.startswith("Bytes_") and "bytes_per_element" in b]
    if not rows:
        return []
    lines = ["| element | heap bytes per element | sizeof |", "|---|---|---|"]
    for name, b in rows:
        lines.append(f"| {name} | {b['bytes_per_element']:.0f} | {b['sizeof_element']:.0f} |")
    return lines


def words_table(results):
    rows = [(n, b) for n, b in sorted(COUNTERS.items()) if n.startswith("Words_")]
    if not rows:
        return []
    lines = ["| way | ns per occurrence | distinct words | occurrences |", "|---|---|---|---|"]
    for name, b in rows:
        lines.append(f"| {name[len('Words_'):]} | {results[name]:.1f} | "
                     f"{b.get('distinct', 0):.0f} | {b.get('total', 0):.0f} |")
    return lines


# Late-bound push+pop of a sample element on a stack (bench/registry_benchmark.cpp), each way
# against the direct C++ call of the same run: (way, benchmark).
LATE_BOUND = [
    ("direct C++ call", "BM_PushPop_Direct"),
    ("late-bound by name", "BM_PushPop_LateBoundByName"),
    ("late-bound by dispatch identifier", "BM_PushPop_LateBoundById"),
    ("resolved once (`Resolve`), then `Call`", "BM_PushPop_LateBoundResolved"),
]
# The same benchmarks before the dispatcher indexed its rows by identifier and found classes by
# their type record (commit 3b6eaea; one run, medians of five repetitions, CPU ns).
LATE_BOUND_BEFORE = {
    "BM_PushPop_Direct": 3.41,
    "BM_PushPop_LateBoundByName": 105.0,
    "BM_PushPop_LateBoundById": 95.1,
    "BM_PushPop_LateBoundResolved": 56.8,
}
LATE_BOUND_AIM = ("BM_PushPop_LateBoundById", 30.0)


def late_bound_table(results):
    direct = results.get("BM_PushPop_Direct")
    before_direct = LATE_BOUND_BEFORE["BM_PushPop_Direct"]
    if not direct:
        return []
    lines = ["| way | before | before, to direct | now | now, to direct |",
             "|---|---|---|---|---|"]
    for way, bench in LATE_BOUND:
        if bench not in results:
            continue
        before = LATE_BOUND_BEFORE.get(bench)
        before_cells = (f"{fmt(before)} | {before / before_direct:.1f}x" if before is not None
                        else "n/a | n/a")
        lines.append(f"| {way} | {before_cells} | {fmt(results[bench])} | "
                     f"{results[bench] / direct:.1f}x |")
    return lines


def late_bound_section(results):
    lines = late_bound_table(results)
    if not lines:
        return []
    aim_bench, aim_ns = LATE_BOUND_AIM
    now = f" ({fmt(results[aim_bench])} in this run)." if aim_bench in results else "."
    return ["## Late-bound calls", "",
            "A push and a pop of a `StackNode` on a `Stack` (`bench/registry_benchmark.cpp`): "
            "called directly, late-bound by name (each call looks the member up), by dispatch "
            "identifier (each call finds the target's class and the member's row by index), and "
            "resolved once and then called, as a proxy does. Before: the dispatcher as it was at "
            "commit 3b6eaea, one run, medians of five repetitions, ratios to the direct call of "
            f"that run. Aim: {aim_ns:.0f} ns or less by identifier{now}", "",
            *lines,
            "",
            "What made the difference (docs/design.md, \"A call by identifier searches "
            "nothing\"): the class of the target found by its type record instead of by comparing "
            "type names class after class, the row by an index built at compile time, the target "
            "and a sample-element argument reached without a `dynamic_cast`, and arguments that "
            "already have their parameters' kinds passed on without copies.", ""]


# (section, what, benchmark, yardstick, aim as a ratio or None)
RATIOS = [
    ("Debugger", "Enter+Leave, output off", "BM_DebuggerEnterLeaveOutputOff",
     "BM_ProfilerClockTwoReadings", None),
    ("Debugger", "nested Enter+Leave, output off", "BM_DebuggerNestedEnterLeaveOutputOff",
     "BM_ProfilerClockTwoReadings", None),
    ("Debugger", "debugger's clock, two readings", "BM_DebuggerClockTwoReadings",
     "BM_ProfilerClockTwoReadings", None),
    ("Sample element", "get, two slots alternating", "BM_SampleNodeGetAlternatingSlots",
     "BM_SampleNodeGetSlotUsedLast", None),
    ("Sample element", "set, two slots alternating", "BM_SampleNodeSetAlternatingSlots",
     "BM_SampleNodeSetSlotUsedLast", None),
    ("Sample element", "get, slot used last", "BM_SampleNodeGetSlotUsedLast", "BM_BareNodeGet",
     None),
    ("Stack", "push+pop", "BM_StackPushPop_Velmira", "BM_StackPushPop_Floor", 1.2),
    ("Stack", "push+pop vs std::list", "BM_StackPushPop_Velmira", "BM_StackPushPop_StdList", None),
    ("Stack", "push+pop vs Boost slist", "BM_StackPushPop_Velmira", "BM_StackPushPop_BoostSlist",
     None),
    ("Queue", "add+next", "BM_QueueAddNext_Velmira", "BM_QueueAddNext_Floor", 1.2),
    ("PQueue", "add+next", "BM_PQueueAddNext_Velmira", "BM_PQueueAddNext_Floor", 1.2),
]
for key, label in (("std::int32_t", "int keys"), ("std::string", "text keys")):
    for kind, floor, boost in (("SplayTree", "FloorSplayTree", "BoostSplaySet"),
                               ("Tree", "FloorTree", "BoostSet")):
        for phase, phase_label in (("Insert", "insert"), ("LookUpEach", "look up each"),
                                   ("LookUpSkewed", "skewed"), ("Remove", "remove")):
            bench = f"BM_{phase}<Velmira{kind}<{key}>>"
            section = f"{kind}, {label}"
            RATIOS.append((section, f"{phase_label} vs floor", bench,
                           f"BM_{phase}<{floor}<{key}>>", 1.2))
            RATIOS.append((section, f"{phase_label} vs Boost", bench,
                           f"BM_{phase}<{boost}<{key}>>", None))
            RATIOS.append((section, f"{phase_label} vs std::map", bench,
                           f"BM_{phase}<StdMapContestant<{key}>>", None))

# Over the building blocks against Boost.Intrusive with equivalent hooks, the growth benchmarks
# at one size: (work, Velmira, Boost, Boost's container, aim, at most). The sample elements'
# rows follow, without targets.
BOOST_TABLE = [
    ("Stack push+pop (`StackLinks<>`), 100,000", "Growth_Stack_Blocks/100000",
     "Growth_Stack_BoostSlist/100000", "slist", 1.5, 2.5),
    ("List add at the end, then remove each (`ListLinks<>`), 100,000",
     "Growth_List_Blocks/100000", "Growth_List_BoostList/100000", "list", 5, 15),
    ("SplayTree look-up, 1,000 keys (`TreeLinks<>`)", "Growth_SplayTree_Blocks_LookUp/1000",
     "Growth_SplayTree_BoostSplaySet_LookUp/1000", "splay_set", 3, 6),
    ("SplayTree look-up, 100,000 keys", "Growth_SplayTree_Blocks_LookUp/100000",
     "Growth_SplayTree_BoostSplaySet_LookUp/100000", "splay_set", 1.2, 2),
    ("Tree look-up, 1,000 keys (`TreeLinks<>`)", "Growth_Tree_Blocks_LookUp/1000",
     "Growth_Tree_BoostBsSet_LookUp/1000", "bs_set", 3, 6),
    ("Tree look-up, 100,000 keys", "Growth_Tree_Blocks_LookUp/100000",
     "Growth_Tree_BoostBsSet_LookUp/100000", "bs_set", 1.2, 2),
    ("Stack push+pop (`StackNode`), 100,000", "Growth_Stack_Sample/100000",
     "Growth_Stack_BoostSlist/100000", "slist", None, None),
    ("List add+remove (`ListNode`), 100,000", "Growth_List_Sample/100000",
     "Growth_List_BoostList/100000", "list", None, None),
    ("SplayTree look-up, 1,000 keys (`TreeNode`)", "Growth_SplayTree_Sample_LookUp/1000",
     "Growth_SplayTree_BoostSplaySet_LookUp/1000", "splay_set", None, None),
    ("SplayTree look-up, 100,000 keys (`TreeNode`)", "Growth_SplayTree_Sample_LookUp/100000",
     "Growth_SplayTree_BoostSplaySet_LookUp/100000", "splay_set", None, None),
]


def boost_table(results):
    lines = ["| work | Velmira (ns per element) | Boost.Intrusive | ratio | aim | at most |",
             "|---|---|---|---|---|---|"]
    for what, ours, theirs, container, aim, most in BOOST_TABLE:
        if ours not in results or theirs not in results or results[theirs] <= 0:
            continue
        r = results[ours] / results[theirs]
        missed = " (missed)" if most is not None and r > most else ""
        lines.append(f"| {what} | {results[ours]:.1f} | {container} {results[theirs]:.1f} | "
                     f"{r:.1f}x{missed} | {'' if aim is None else f'{aim}x'} | "
                     f"{'' if most is None else f'{most}x'} |")
    return lines


def machine_line(context):
    cpu = "unknown CPU"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    load = context.get("load_avg", [])
    load_text = ", ".join(f"{x:.1f}" for x in load) if load else "n/a"
    return (f"{os.cpu_count()} logical CPUs (nproc), {cpu}, "
            f"{context.get('mhz_per_cpu', '?')} MHz, {platform.system()} {platform.release()}; "
            f"load average at the start {load_text}")


def fmt(ns):
    if ns is None:
        return "n/a"
    if ns >= 1e6:
        return f"{ns / 1e6:.2f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.2f} us"
    return f"{ns:.1f} ns"


def ratio_rows(results):
    rows = []
    for section, what, bench, yard, aim in RATIOS:
        if bench in results and yard in results and results[yard] > 0:
            r = results[bench] / results[yard]
            rows.append((section, what, results[bench], yard, results[yard], r, aim))
    return rows


def ratio_chart(rows, path):
    floor_rows = [r for r in rows if r[6] is not None or "Debugger" in r[0]
                  or "Sample" in r[0]]
    labels = [f"{r[0]}: {r[1]}" for r in floor_rows]
    values = [r[5] for r in floor_rows]
    fig, ax = plt.subplots(figsize=(10, 0.32 * len(labels) + 1.5))
    colors = ["tab:red" if (r[6] is not None and r[5] > r[6]) else "tab:blue" for r in floor_rows]
    ax.barh(range(len(values)), values, color=colors)
    ax.set_yticks(range(len(values)))
    ax.set_yticklabels(labels, fontsize=8)
    ax.invert_yaxis()
    ax.axvline(1.0, color="black", linewidth=0.8)
    ax.axvline(1.2, color="tab:red", linewidth=0.8, linestyle="--", label="aim 1.2x floor")
    ax.set_xlabel("ratio to the yardstick of the same run (lower is better)")
    ax.set_title("Velmira against its floors and yardsticks")
    ax.legend(loc="lower right", fontsize=8)
    fig.tight_layout()
    fig.savefig(path, dpi=110)
    plt.close(fig)


GROWTH = re.compile(r"^Growth_([A-Za-z]+)_([A-Za-z]+)_?([A-Za-z]*)/(\d+)$")


def growth_series(results):
    series = {}  # (container, op) -> contestant -> [(n, ns)]
    for name, value in results.items():
        m = GROWTH.match(name)
        if not m:
            continue
        container, contestant, op, n = m.group(1), m.group(2), m.group(3) or "", int(m.group(4))
        series.setdefault((container, op), {}).setdefault(contestant, []).append((n, value))
    for per in series.values():
        for points in per.values():
            points.sort()
    return series


def growth_charts(series, outdir):
    charts = []
    groups = {}
    for (container, op), per in series.items():
        groups.setdefault(container, []).append((op, per))
    for container, ops in sorted(groups.items()):
        ops.sort()
        fig, axes = plt.subplots(1, len(ops), figsize=(5 * len(ops), 3.8), squeeze=False)
        for ax, (op, per) in zip(axes[0], ops):
            for contestant, points in sorted(per.items()):
                ax.plot([p[0] for p in points], [p[1] for p in points], marker="o",
                        label=contestant, linewidth=2 if contestant == "Velmira" else 1)
            ax.set_xscale("log")
            ax.set_yscale("log")
            ax.set_xlabel("elements N")
            ax.set_ylabel("ns per element (CPU)")
            ax.set_title(f"{container} {op}".strip())
            ax.grid(True, which="both", linewidth=0.3)
            ax.legend(fontsize=8)
        fig.tight_layout()
        file = f"growth_{container.lower()}.png"
        fig.savefig(os.path.join(outdir, file), dpi=100)
        plt.close(fig)
        charts.append((container, file))
    return charts


def growth_table(series):
    lines = []
    for (container, op), per in sorted(series.items()):
        sizes = sorted({n for points in per.values() for n, _ in points})
        lines.append(f"\n**{container} {op}** (ns per element)\n")
        lines.append("| contestant | " + " | ".join(f"N={n:,}" for n in sizes) + " |")
        lines.append("|---" * (len(sizes) + 1) + "|")
        for contestant, points in sorted(per.items()):
            at = dict(points)
            lines.append(f"| {contestant} | " +
                         " | ".join(f"{at[n]:.1f}" if n in at else "" for n in sizes) + " |")
    return lines


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("json")
    parser.add_argument("docs")
    parser.add_argument("--note", default="")
    parser.add_argument("--table", action="store_true",
                        help="print the table against Boost.Intrusive only; write no files")
    args = parser.parse_args()
    context, results = load(args.json)
    if args.table:
        print(f"Machine: {machine_line(context)}. {args.note}")
        print("\n".join(boost_table(results)))
        return
    os.makedirs(os.path.join(args.docs, "performance"), exist_ok=True)
    rows = ratio_rows(results)
    ratio_chart(rows, os.path.join(args.docs, "performance", "ratios.png"))
    charts = growth_charts(growth_series(results), os.path.join(args.docs, "performance"))
    try:
        commit = subprocess.run(["git", "rev-parse", "--short", "HEAD"], capture_output=True,
                                text=True, check=False).stdout.strip()
    except OSError:
        commit = "?"

    out = ["# Performance", ""]
    out.append("Written by `scripts/bench.sh` from one run of `velmira_bench` (Release). "
               "Ratios first: each Velmira figure divided by a yardstick measured in the same "
               "run, so the machine's speed and load largely cancel out. Figures are CPU time, "
               "medians where the run repeated them.")
    out.append("")
    out.append(f"- Machine: {machine_line(context)}.")
    out.append(f"- Run: {context.get('date', '?')}, commit {commit}"
               f"{', ' + args.note if args.note else ''}. The machine may have been shared with "
               "other work; absolute numbers are only indicative.")
    out.append("")
    out.append("## Ratios to the yardsticks")
    out.append("")
    out.append("![ratios](performance/ratios.png)")
    out.append("")
    out.append("| area | what | Velmira | yardstick | yardstick time | ratio | aim |")
    out.append("|---|---|---|---|---|---|---|")
    for section, what, value, yard, yard_value, r, aim in rows:
        mark = "" if aim is None else (f"<= {aim}x" + (" (missed)" if r > aim else ""))
        out.append(f"| {section} | {what} | {fmt(value)} | `{yard}` | {fmt(yard_value)} | "
                   f"{r:.2f}x | {mark} |")
    out.append("")
    out.append("The floors (`bench/tree_floor.h`, `bench/stack_benchmark.cpp`, "
               "`bench/queue_benchmark.cpp`) make exactly the element calls the container must "
               "make and nothing else, over the same elements: the least any implementation of "
               "the interface can cost.")
    out.append("")
    out.append("## Over the building blocks, against Boost.Intrusive")
    out.append("")
    out.append("The library's own elements (`StackLinks<>`, `ListLinks<>`, `TreeLinks<>` with an "
               "int key, and the sample elements below them) beside Boost.Intrusive's containers "
               "over equivalent hooks (default, safe-mode), int keys, from the growth curves.")
    out.append("")
    out.extend(boost_table(results))
    out.append("")
    out.append("Heap bytes per element (allocator overhead included; a sample element with its "
               "slot table and one slot's record), from `bench/bytes_benchmark.cpp`:")
    out.append("")
    out.extend(bytes_table())
    out.append("")
    out.append("## Counting words")
    out.append("")
    out.append("The words of `data/sample.txt` counted in a `SplayTree` (`bench/words_benchmark.cpp`"
               "): each occurrence looked up in the tree, or tallied in a hash table first and "
               "each distinct word put in the tree once, as `velmira-words` does.")
    out.append("")
    out.extend(words_table(results))
    out.append("")
    out.extend(late_bound_section(results))
    out.append("## How the cost grows")
    out.append("")
    out.append("Cost per element against the number of elements, log-log, each container "
               "beside its peers (`bench/growth_benchmark.cpp`).")
    for container, file in charts:
        out.append("")
        out.append(f"![{container}](performance/{file})")
    out.extend(growth_table(growth_series(results)))
    out.append("")
    with open(os.path.join(args.docs, "performance.md"), "w") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main()
