#!/usr/bin/env python3
"""Checks every #include of the program's sources against the layers.

Usage: include_graph.py SOURCE-ROOT

Includes run one way only, so that no library of the build can need one
above it:
  platform/   only platform/
  framework/  framework/ and platform/
  skin/       skin/, framework/ and platform/
  a subsystem (actions/, tweaks/, dialogs/, prockill/, resx/) itself,
              framework/, platform/ and skin/
  app/        anything: it composes the subsystems
A subsystem may use skin/, the look every window wears, which itself stands
only on framework/ and platform/; no subsystem uses another one. So the
libraries, one per folder, never form a cycle.

The engine libraries (the sources an engine.cmake lists, and every header
they reach) are plain C++: no Qt, so the command-line tools and the fuzz
targets link them alone.

Every forbidden edge is printed as FILE:LINE: and the run fails.
"""
import os
import re
import sys

SUBSYSTEMS = ("actions", "tweaks", "dialogs", "prockill", "resx")
LAYERS = ("platform", "framework", "skin") + SUBSYSTEMS + ("app",)
ALLOWED = {
    "platform": {"platform"},
    "framework": {"framework", "platform"},
    "skin": {"skin", "framework", "platform"},
    "app": set(LAYERS),
}
for _subsystem in SUBSYSTEMS:
    ALLOWED[_subsystem] = {_subsystem, "framework", "platform", "skin"}

SOURCE_SUFFIXES = (".cpp", ".h")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# <QString>, <QtCore>, <QtWidgets/QWidget>, and the lower-case <qglobal.h>
QT_HEADER = re.compile(r"^(Q[A-Z]\w*|Qt\w*(/.*)?|q\w+\.h)$")
ENGINE_SOURCE = re.compile(r"\$\{OVLIX_ROOT\}/([\w/.+-]+\.cpp)")


def includes(path):
    """(line number, kind, name) of every #include of the file, kind '"' or '<'."""
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                yield number, m.group(1), m.group(2)


def resolve(root, including, name):
    """The file a quoted include names, relative to the root: the includer's
    folder first, as the compiler looks, then the root."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including), name))
    if os.path.exists(os.path.join(root, beside)) or "/" not in name:
        return beside  # also a generated file beside the source (a .moc)
    return os.path.normpath(name)


def layer_of(relative):
    return relative.split(os.sep, 1)[0] if os.sep in relative else ""


def layer_sources(root):
    for layer in LAYERS:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for file in sorted(files):
                if file.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(folder, file), root)


def forbidden_edges(root):
    for source in layer_sources(root):
        layer = layer_of(source)
        for number, kind, name in includes(os.path.join(root, source)):
            if kind != '"':
                continue
            target = layer_of(resolve(root, source, name))
            if target not in ALLOWED[layer]:
                yield f"{source}:{number}: {layer}/ may not include {name}"


def engine_lists(root):
    for layer in LAYERS:
        listing = os.path.join(root, layer, "engine.cmake")
        if os.path.exists(listing):
            yield os.path.relpath(listing, root)


def qt_in_engines(root):
    for listing in engine_lists(root):
        with open(os.path.join(root, listing), encoding="utf-8") as f:
            sources = ENGINE_SOURCE.findall(f.read())
        if not sources:
            yield f"{listing}:1: lists no source as ${{OVLIX_ROOT}}/FOLDER/FILE.cpp"
        for source in sources:
            if not os.path.exists(os.path.join(root, source)):
                yield f"{listing}:1: {source} does not exist"
                continue
            # the source and every project header it reaches
            seen, todo = set(), [os.path.normpath(source)]
            while todo:
                file = todo.pop()
                if file in seen or not os.path.exists(os.path.join(root, file)):
                    continue
                seen.add(file)
                for number, kind, name in includes(os.path.join(root, file)):
                    if kind == '"':
                        todo.append(resolve(root, file, name))
                    elif QT_HEADER.match(name):
                        yield f"{file}:{number}: includes <{name}>, reached from {source} of {listing}, a library without Qt"


def problems(root):
    return sorted(set(forbidden_edges(root)) | set(qt_in_engines(root)))


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    found = problems(argv[1])
    for problem in found:
        print(problem)
    print(f"{len(found)} forbidden include(s)" if found else "the includes keep to the layers")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
