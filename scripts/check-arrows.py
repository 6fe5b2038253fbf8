#!/usr/bin/env python3
"""Checks that the programs' folders depend only downwards.

Each program has a folder of its own: ratemon/, dayplot/, and each of tools/'s programs.
A production file (not under a tests/ folder) of one program must not include a header
that lives in another program's folder, and no CMakeLists.txt of a program may link a
library that another program's folder defines: what two programs share lives outside
them (common/, web/, mqtt/, tubesim/, ...), and those shared libraries include and link
nothing of a program. Headers are included by bare name, so a name is resolved to the
folder that holds it in `git ls-files` (every file under the folder outside git).

Usage: check-arrows.py [SOURCE_DIR]; lists every wrong arrow and exits 1 if there is one.
"""
import pathlib
import re
import subprocess
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
LIBRARY = re.compile(r'\badd_library\(\s*([A-Za-z0-9_.-]+)')
LINK = re.compile(r'\btarget_link_libraries\(([^)]*)\)', re.DOTALL)
KEYWORDS = {'PUBLIC', 'PRIVATE', 'INTERFACE'}


def program_of(path):
    """The program folder a path belongs to, or None for the shared folders."""
    parts = path.split('/')
    if parts[0] in ('ratemon', 'dayplot'):
        return parts[0]
    if parts[0] == 'tools' and len(parts) > 2:
        return 'tools/' + parts[1]
    return None


# Beside the production code: the tests, benchmarks and fuzzers cross the programs freely.
NOT_PRODUCTION = {'bench', 'fuzz', 'reliability', 'testsupport', 'tests'}


def is_production(path):
    return not NOT_PRODUCTION.intersection(path.split('/')[:-1])


def source_files(root):
    try:
        listed = subprocess.run(['git', 'ls-files'], cwd=root, check=True, capture_output=True,
                                text=True).stdout.split('\n')
    except (OSError, subprocess.CalledProcessError):
        listed = [str(p.relative_to(root)) for p in root.rglob('*')
                  if not any(part.startswith(('.', 'build')) for part in p.relative_to(root).parts)]
    return [f for f in listed if f and (root / f).is_file()]


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else '.').resolve()
    files = source_files(root)
    headers = {}
    for f in files:
        if f.endswith('.h') and is_production(f):
            headers.setdefault(f.rsplit('/', 1)[-1], set()).add(f.rsplit('/', 1)[0])

    faults = []
    for f in files:
        program = program_of(f)
        if not is_production(f) or not f.endswith(('.h', '.cpp')):
            continue
        text = (root / f).read_text(encoding='utf-8')
        for name in INCLUDE.findall(text):
            for folder in sorted(headers.get(name.rsplit('/', 1)[-1], ())):
                other = program_of(folder + '/x')
                if other is not None and other != program:
                    faults.append(f'{f}: includes {name} of {folder}/')

    defined = {}
    cmake_files = [f for f in files if f.endswith('CMakeLists.txt')]
    for f in cmake_files:
        for library in LIBRARY.findall((root / f).read_text(encoding='utf-8')):
            defined[library] = f.rsplit('/', 1)[0] if '/' in f else ''
    for f in cmake_files:
        program = program_of(f)
        if not is_production(f):
            continue
        for block in LINK.findall((root / f).read_text(encoding='utf-8')):
            words = block.split()
            for library in words[1:]:
                if library in KEYWORDS or library not in defined:
                    continue
                other = program_of(defined[library] + '/x')
                if other is not None and other != program:
                    faults.append(f'{f}: {words[0]} links {library} of {defined[library]}/')

    for fault in sorted(faults):
        print(fault)
    if faults:
        print(f'check-arrows: {len(faults)} arrows from one program into another')
        return 1
    print('check-arrows: every program stands only on shared libraries')
    return 0


if __name__ == '__main__':
    sys.exit(main())
