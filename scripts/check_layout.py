#!/usr/bin/env python3
"""Checks the layout rules of ARCHITECTURE.md against a configured build.

    scripts/check_layout.py BUILD_DIR

Reads BUILD_DIR/build.ninja for the sources that each program target compiles, then checks:
- no folder holds sources of both harvelo_core and harvelo_ui;
- no file in a core folder includes a header from a window folder (one with harvelo_ui sources);
- no product folder holds more than 20 .cpp files, and no product file has more than 450 lines;
- ARCHITECTURE.md names every top-level folder of product sources.
Prints each breach and exits 1 when there is one.
"""
import os
import re
import sys
from collections import defaultdict

PRODUCT_TARGETS = ("harvelo_core", "harvelo_ui", "harvelo_skinbase", "harvelo", "harvelo-cli")
MAX_SOURCES = 20
MAX_LINES = 450
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def target_sources(build_dir, source_dir):
    """{target: {source path relative to the source folder}} for the product targets."""
    rule = re.compile(r"^build \S+\.o: CXX_COMPILER__(\S+)_[A-Za-z]* (\S+)")
    sources = defaultdict(set)
    with open(os.path.join(build_dir, "build.ninja"), encoding="utf-8") as ninja:
        for line in ninja:
            m = rule.match(line)
            if not m or m.group(1) not in PRODUCT_TARGETS:
                continue
            full = os.path.abspath(m.group(2))
            if full.startswith(build_dir + os.sep):  # generated, not a source of ours
                continue
            sources[m.group(1)].add(os.path.relpath(full, source_dir))
    return sources


def folder_files(source_dir, folder):
    full = os.path.join(source_dir, folder)
    return [f for f in os.listdir(full) if f.endswith((".cpp", ".h"))]


def check(build_dir, source_dir):
    sources = target_sources(build_dir, source_dir)
    folders = {t: {os.path.dirname(p) for p in paths} for t, paths in sources.items()}
    core, ui = folders.get("harvelo_core", set()), folders.get("harvelo_ui", set())
    breaches = []
    if not core or not ui:
        breaches.append("no harvelo_core or harvelo_ui sources found in build.ninja")
    for folder in sorted(core & ui):
        breaches.append(f"{folder}/ holds both harvelo_core and harvelo_ui sources")
    for folder in sorted(core):
        for name in folder_files(source_dir, folder):
            path = os.path.join(folder, name)
            with open(os.path.join(source_dir, path), encoding="utf-8") as f:
                for header in INCLUDE.findall(f.read()):
                    if os.path.dirname(header) in ui:
                        breaches.append(f"{path} (core) includes the window header {header}")
    product = set().union(*folders.values()) if folders else set()
    for folder in sorted(product):
        names = folder_files(source_dir, folder)
        cpps = [n for n in names if n.endswith(".cpp")]
        if len(cpps) > MAX_SOURCES:
            breaches.append(f"{folder}/ holds {len(cpps)} .cpp files (at most {MAX_SOURCES})")
        for name in names:
            with open(os.path.join(source_dir, folder, name), encoding="utf-8") as f:
                lines = sum(1 for _ in f)
            if lines > MAX_LINES:
                breaches.append(f"{folder}/{name} has {lines} lines (at most {MAX_LINES})")
    with open(os.path.join(source_dir, "ARCHITECTURE.md"), encoding="utf-8") as f:
        architecture = f.read()
    for top in sorted({p.split("/")[0] for p in product if p}):
        if f"`{top}/" not in architecture:
            breaches.append(f"ARCHITECTURE.md does not name {top}/")
    return breaches, {t: len(p) for t, p in sources.items()}


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    source_dir = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    breaches, counts = check(os.path.abspath(sys.argv[1]), source_dir)
    for breach in breaches:
        print("layout:", breach)
    print("layout: sources per target:", ", ".join(f"{t} {n}" for t, n in sorted(counts.items())))
    print("layout:", "ok" if not breaches else f"{len(breaches)} breach(es)")
    sys.exit(1 if breaches else 0)


if __name__ == "__main__":
    main()
