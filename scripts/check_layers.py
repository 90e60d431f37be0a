#!/usr/bin/env python3
"""Fails when a source file includes a project header from a layer beside or
above its own.  Layers, bottom to top:

  common/, model/, lzh/      portable code (lzh/ stands alone)
  win/                       the window layer
  launcher/ groups/ backup/ settings/ components/   subsystems, side by side
  app/                       the composition root

tools/ take from the portable layer only.  Test code (any tests/ folder,
bench/) may also reach the composition root, which builds the whole launcher
for in-process tests, but never a sibling subsystem.
"""
import pathlib
import re
import sys

PORTABLE = {"common", "model"}
SUBSYSTEMS = {"launcher", "groups", "backup", "settings", "components"}
ALLOWED = {
    "common": {"common"},
    "model": {"common", "model"},
    "lzh": {"lzh"},
    "win": PORTABLE | {"win"},
    "app": PORTABLE | {"lzh", "win", "app"} | SUBSYSTEMS,
    "tools": PORTABLE | {"lzh", "tools"},
}
for s in SUBSYSTEMS:
    ALLOWED[s] = PORTABLE | {"win", s}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def allowed_for(parts):
    top = parts[0]
    if top not in ALLOWED:
        return None  # bench/, tests/ at the top, scripts: anything goes
    allowed = set(ALLOWED[top])
    if "tests" in parts[1:-1] or "fuzz" in parts[1:-1]:
        allowed |= {"app"} if top != "tools" else set()
    return allowed


def check(root):
    faults = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in {".h", ".cpp", ".rc"} or "build" in path.parts:
            continue
        rel = path.relative_to(root)
        allowed = allowed_for(rel.parts)
        if allowed is None:
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m or "/" not in m.group(1):
                continue
            target = m.group(1).split("/")[0]
            if (root / target).is_dir() and target not in allowed:
                faults.append(f"{rel}:{number}: includes {m.group(1)} ({rel.parts[0]}/ may not reach {target}/)")
    return faults


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent).resolve()
    faults = check(root)
    for f in faults:
        print(f)
    print(f"layer check: {len(faults)} wrong include(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
