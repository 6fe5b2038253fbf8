#!/usr/bin/env python3
"""Every text the code marks with QT_TRANSLATE_NOOP("context", "...") is in radmon_en.ts
under its context: a marked text in a file lupdate does not read would otherwise show in
Japanese in the English interface, and no other test would notice."""
import re
import subprocess
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parents[2])
LITERAL = r'"(?:[^"\\]|\\.)*"'
MARK = re.compile(r'QT_TRANSLATE_NOOP\(\s*"([^"]+)"\s*,\s*((?:' + LITERAL + r'\s*)+)\)')
ESCAPES = {'n': '\n', 't': '\t', '"': '"', '\\': '\\'}


def text_of(literals):
    joined = ''.join(m[1:-1] for m in re.findall(LITERAL, literals))
    return re.sub(r'\\(.)', lambda e: ESCAPES.get(e.group(1), e.group(0)), joined)


try:
    tracked = subprocess.run(['git', 'ls-files', '*.cpp', '*.h'], cwd=root, check=True,
                             capture_output=True, text=True).stdout.split()
except (OSError, subprocess.CalledProcessError):
    tracked = [str(p.relative_to(root)) for p in root.rglob('*') if p.suffix in ('.cpp', '.h')]
sources = [f for f in tracked if '/tests/' not in f and not f.startswith(('build', 'fuzz/'))]

known = set()
for context in ET.parse(root / 'translations' / 'radmon_en.ts').getroot().iter('context'):
    name = context.findtext('name')
    for message in context.iter('message'):
        known.add((name, message.findtext('source')))

marked = 0
missing = []
for f in sources:
    for m in MARK.finditer((root / f).read_text(encoding='utf-8')):
        marked += 1
        if (m.group(1), text_of(m.group(2))) not in known:
            missing.append(f'{f}: [{m.group(1)}] {text_of(m.group(2))!r}')

if marked < 100:
    sys.exit(f'marked-texts: only {marked} marked texts found; the pattern no longer fits')
for line in missing:
    print(line)
if missing:
    sys.exit(f'marked-texts: {len(missing)} of {marked} marked texts are not in radmon_en.ts '
             '(is the file among those lupdate reads in translations/CMakeLists.txt?)')
print(f'marked-texts: all {marked} marked texts are in radmon_en.ts')
