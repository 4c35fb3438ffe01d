#!/usr/bin/env python3
"""Folder-level include graph of a C++ source tree, and the cycles in it.

usage: folder-cycles.py [SRC_DIR] [--allow A->B ...]    (default: src)

Each first-level folder of SRC_DIR is a node; `#include "other/File.h"` from a file of folder A
is an edge A -> other. Prints the edges with how many includes carry them, then every cycle
(strongly connected group of folders) with the includes that close it. Exits 1 when a cycle
exists, 0 otherwise, so it can run in a test or in CI. An edge named with --allow is printed but
left out of the search for cycles: a known one that is being taken apart, so that the check
still catches every new cycle meanwhile.
"""
import os, re, sys
from collections import defaultdict

args, allowed = sys.argv[1:], set()
while "--allow" in args:
    i = args.index("--allow")
    if i + 1 >= len(args) or "->" not in args[i + 1]:
        sys.exit("--allow takes an edge, such as labels->app")
    allowed.add(tuple(args[i + 1].split("->", 1)))
    del args[i:i + 2]
src = args[0] if args else "src"
folders = sorted(d for d in os.listdir(src) if os.path.isdir(os.path.join(src, d)))
inc = re.compile(r'^\s*#\s*include\s+"([^/"]+)/[^"]+"')
edges = defaultdict(list)  # (a, b) -> ["file:line", ...]
for a in folders:
    for root, _, files in os.walk(os.path.join(src, a)):
        for f in files:
            if not f.endswith((".h", ".hpp", ".cpp", ".cc")):
                continue
            p = os.path.join(root, f)
            for n, line in enumerate(open(p, encoding="utf-8", errors="replace"), 1):
                m = inc.match(line)
                if m and m.group(1) in folders and m.group(1) != a:
                    edges[(a, m.group(1))].append(f"{os.path.relpath(p, src)}:{n}")

# Tarjan's strongly connected components
graph = defaultdict(set)
for a, b in edges:
    if (a, b) not in allowed:
        graph[a].add(b)
index, low, stack, on, comps, counter = {}, {}, [], set(), [], [0]
def visit(v):
    index[v] = low[v] = counter[0]; counter[0] += 1; stack.append(v); on.add(v)
    for w in graph[v]:
        if w not in index:
            visit(w); low[v] = min(low[v], low[w])
        elif w in on:
            low[v] = min(low[v], index[w])
    if low[v] == index[v]:
        comp = []
        while True:
            w = stack.pop(); on.discard(w); comp.append(w)
            if w == v: break
        comps.append(sorted(comp))
for v in folders:
    if v not in index:
        visit(v)

print("folder edges (includes):")
for (a, b), where in sorted(edges.items()):
    print(f"  {a} -> {b}  ({len(where)})" + ("  allowed" if (a, b) in allowed else ""))
cycles = [c for c in comps if len(c) > 1]
if not cycles:
    print("no cycles: the folders form layers" + (" (but for the allowed edges)" if allowed else ""))
    sys.exit(0)
for c in cycles:
    print("cycle among: " + ", ".join(c))
    for (a, b), where in sorted(edges.items()):
        if a in c and b in c and (a, b) not in allowed:
            print(f"  {a} -> {b}: " + ", ".join(where[:6]) + (" ..." if len(where) > 6 else ""))
sys.exit(1)
