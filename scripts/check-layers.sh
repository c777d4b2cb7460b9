#!/usr/bin/env bash
# Checks the module layers: every `#include "module/..."` in src/ must name the
# file's own module or one that src/layers.txt lets it use, and every module a
# line of the table names must sit on a line above it. Prints each offending
# include and exits 1 when there is any.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
exec python3 - "$here" <<'EOF'
import os, re, sys

root = sys.argv[1]
src = os.path.join(root, "src")
table = os.path.join(src, "layers.txt")
problems = []

layer_of = {}   # module -> layer index
allowed = []    # layer index -> modules it may use
with open(table, encoding="utf-8") as f:
    for n, line in enumerate(f, 1):
        line = line.split("#", 1)[0].split()
        if not line:
            continue
        layer = len(allowed)
        for m in line[0].split("+"):
            if m in layer_of:
                problems.append(f"src/layers.txt:{n}: {m} is listed twice")
            layer_of[m] = layer
        for d in line[1:]:
            if d not in layer_of:
                problems.append(f"src/layers.txt:{n}: {line[0]} uses {d}, which is not on a line above")
        allowed.append(set(line[1:]))


def module_of(rel):
    """Module of a path below src/ ("platform/sdl/x.cpp" -> "sdl", "main.cpp" -> "main")."""
    parts = rel.split("/")
    if len(parts) == 1:
        return os.path.splitext(parts[0])[0]
    if parts[0] == "platform" and len(parts) > 2 and parts[1] in ("sdl", "web"):
        return parts[1]
    return parts[0]


include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
for dirpath, _, files in os.walk(src):
    for name in sorted(files):
        if not name.endswith((".h", ".cpp")):
            continue
        path = os.path.join(dirpath, name)
        rel = os.path.relpath(path, src)
        own = module_of(rel)
        if own not in layer_of:
            problems.append(f"src/{rel}: module {own} is not in src/layers.txt")
            continue
        with open(path, encoding="utf-8", errors="replace") as f:
            for n, text in enumerate(f, 1):
                m = include.match(text)
                if not m or "/" not in m.group(1):
                    continue
                target = module_of(m.group(1))
                if target not in layer_of:
                    continue  # not a module of the game (a generated or outside header)
                if layer_of[target] == layer_of[own] or target in allowed[layer_of[own]]:
                    continue
                problems.append(f"src/{rel}:{n}: {own} may not use {target} (#include \"{m.group(1)}\")")

for p in problems:
    print(p)
if problems:
    print(f"check-layers: {len(problems)} problem(s) with the layers of src/layers.txt")
    sys.exit(1)
print(f"check-layers: {len(layer_of)} modules, includes follow src/layers.txt")
EOF
