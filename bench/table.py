#!/usr/bin/env python3
"""Runs the benchmarks of a Release build and prints the README's table of figures.

    bench/table.py BUILD_DIR [--readme README.md]

With --readme the table between the README's "bench-table" markers is replaced in place.
The projects are made in /dev/shm where there is one: the figures are then the program's own
costs, not those of a disk whose inode allocator has been slowed by earlier runs.
"""
import json
import os
import pathlib
import re
import subprocess
import sys

# (binary, benchmark name, what it measures, size[, counter]). Figures are processor time, or the
# benchmark's counter where one is named (a worst case in ms, memory in MB); the page format's are
# throughput.
ROWS = [
    ("bench_form", "BM_StartUp/1000", "start-up to a shown window", "1,000 items"),
    ("bench_form", "BM_StartUp/10000", "start-up to a shown window", "10,000 items"),
    ("bench_form", "BM_ItemSwitch/10000", "item switch (write, restamp, load)", "10,000 items"),
    ("bench_form", "BM_SaveProject/10000", "Save Project", "10,000 items"),
    ("bench_form", "BM_SaveProjectOnePageChanged/10000", "Save Project, one page changed", "10,000 items"),
    ("bench_store", "BM_AbsorbChangesFromElsewhere/1000", "taking in 1,000 pages changed elsewhere", "10,000 items"),
    ("bench_form", "BM_IdleTick", "the idle 50 ms tick", ""),
    ("bench_form", "BM_CopyPage/1048576", "Ctrl+F4, a 1 MB page", ""),
    ("bench_items", "BM_AddItem/10000", "Add Item", "10,000 items"),
    ("bench_items", "BM_DeleteItem/10000", "Delete Item", "10,000 items"),
    ("bench_items", "BM_Drag/10000", "one drag in the list", "10,000 items"),
    ("bench_items", "BM_StampFloor/10000", "(the file system: setting the same files' times)", "10,000 items"),
    ("bench_rtf", "BM_ReadRtf/10485760", "reading a page", "10 MB"),
    ("bench_rtf", "BM_WriteRtf/10485760", "writing a page", "10 MB"),
    ("picture_bench", "BM_PictureOpen", "opening a page with a 5 MB picture", "10 MB"),
    ("picture_bench", "BM_PictureWrite", "writing that page back", "10 MB"),
    ("richedit_bench", "BM_TableBombIntoEditor", "a row of 6,000 cells over 3,000 rows, opened and laid out", "84 KB page"),
    ("bench_reminders", "BM_FirstCheck/10000", "reminder check, first", "10,000 pages"),
    ("bench_reminders", "BM_NextCheck/10000", "reminder check, nothing changed", "10,000 pages"),
    ("bench_toolbar", "BM_TypeCharacter", "a typed key until painted", "1 MB page"),
    ("bench_toolbar", "BM_PaintItemList/10000", "painting the item list", "10,000 items"),
    ("bench_links", "BM_FindWebLinks", "finding web addresses", "1 MB page"),
    ("bench_links", "BM_DisplayLinks", "Highlight Web Links until repainted", "1 MB page"),
    ("bench_search", "BM_BuildIndexFromNothing/10000", "search index built from nothing", "10,000 pages"),
    ("bench_search", "BM_BuildIndexFromNothing/100000", "search index built from nothing", "100,000 pages"),
    ("bench_search", "BM_SearchAsTyped<kNarrow>/10000", "a search per letter typed, mean", "10,000 pages"),
    ("bench_search", "BM_SearchAsTyped<kNarrow>/10000", "a search per letter typed, slowest", "10,000 pages",
     "worst_ms"),
    ("bench_search", "BM_SearchAsTyped<kNarrow>/100000", "a search per letter typed, mean", "100,000 pages"),
    ("bench_search", "BM_SearchAsTyped<kNarrow>/100000", "a search per letter typed, slowest", "100,000 pages",
     "worst_ms"),
    ("bench_search", "BM_SearchAsTyped<kBroad>/100000", "the same, words on every page, slowest", "100,000 pages",
     "worst_ms"),
    ("bench_search", "BM_SearchAfterOnePageChanged/10000", "a search after one page changed", "10,000 pages"),
    ("bench_search", "BM_SearchAfterOnePageChanged/100000", "a search after one page changed", "100,000 pages"),
    ("bench_search", "BM_WindowThreadWhileIndexing/10000", "longest gap of the window's thread while indexing",
     "10,000 pages", "worst_gap_ms"),
    ("bench_search", "BM_ResidentMemoryOfAnIndex/10000", "resident memory an open index adds", "10,000 pages",
     "added_MB"),
    ("bench_find", "BM_FindFirstOnAMegabytePage", "find in the page, first match", "1 MB page"),
    ("bench_find", "BM_FindNextOnAMegabytePage", "find next", "1 MB page"),
]

ENV = {"QT_QPA_PLATFORM": "offscreen", **os.environ}
if os.path.isdir("/dev/shm"):
    ENV["TMPDIR"] = "/dev/shm"

BEGIN = "<!-- bench-table -->"
END = "<!-- /bench-table -->"


def run(build: pathlib.Path, binary: str, names: list[str]) -> dict:
    program = build / "bench" / binary
    if not program.exists():
        sys.exit(f"{program} is missing: configure with -DQUILLORY_BENCH=ON -DCMAKE_BUILD_TYPE=Release and build")
    pattern = "^(" + "|".join(re.escape(n) for n in names) + ")(/iterations:[0-9]+)?$"
    out = subprocess.run([str(program), f"--benchmark_filter={pattern}", "--benchmark_format=json"],
                         check=True, capture_output=True, text=True,
                         env=ENV).stdout
    return {b["name"].split("/iterations:")[0]: b for b in json.loads(out)["benchmarks"]}


def figure(result: dict, rate: bool) -> str:
    if rate:
        return f"{result['bytes_per_second'] / 1e6:.0f} MB/s"
    seconds = result["cpu_time"] * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[result["time_unit"]]
    if seconds >= 0.1:
        return f"{seconds * 1e3:.0f} ms"
    if seconds >= 1e-3:
        return f"{seconds * 1e3:.1f} ms"
    return f"{seconds * 1e6:.2f} µs"


def table(build: pathlib.Path) -> str:
    results = {}
    for binary in dict.fromkeys(r[0] for r in ROWS):
        names = [r[1] for r in ROWS if r[0] == binary]
        for name, result in run(build, binary, names).items():
            results[(binary, name)] = result
    lines = ["| measured | size | figure |", "|---|---|---|"]
    for binary, name, what, size, *counter in ROWS:
        result = results.get((binary, name))
        if result and counter:
            value = result[counter[0]]
            shown = f"{value:.1f} MB" if counter[0].endswith("_MB") else f"{value:.1f} ms"
        else:
            shown = figure(result, binary == "bench_rtf") if result else "n/a"
        lines.append(f"| {what} | {size} | {shown} |")
    return "\n".join(lines)


def main() -> None:
    if len(sys.argv) not in (2, 4) or (len(sys.argv) == 4 and sys.argv[2] != "--readme"):
        sys.exit(__doc__)
    text = table(pathlib.Path(sys.argv[1]))
    if len(sys.argv) == 2:
        print(text)
        return
    readme = pathlib.Path(sys.argv[3])
    old = readme.read_text()
    if BEGIN not in old or END not in old:
        sys.exit(f"{readme} has no {BEGIN} ... {END} block")
    head, rest = old.split(BEGIN, 1)
    tail = rest.split(END, 1)[1]
    readme.write_text(f"{head}{BEGIN}\n{text}\n{END}{tail}")


if __name__ == "__main__":
    main()
