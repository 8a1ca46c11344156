#!/usr/bin/python3
"""Checks that the facts the documents state are the program's own.

Usage: check_facts.py SOURCE_DIR TROVIK_CLI

- every count of file types ("loads 34 and saves 27", "34 load types ... 27 save types") in
  the README, the manual, the manual pages and the package description equals the number of
  load and save rows that `trovik-cli types` prints;
- the manual's WAV scaling formula is the one the writer uses;
- every button the README names in bold is a text of the main window's form.
"""
import pathlib
import re
import subprocess
import sys

root = pathlib.Path(sys.argv[1])
cli = sys.argv[2]
failures = []

types = subprocess.run([cli, 'types'], check=True, capture_output=True, text=True).stdout
loads = sum(1 for line in types.splitlines() if line.startswith('load '))
saves = sum(1 for line in types.splitlines() if line.startswith('save '))

# Every way the documents put the two counts side by side.
COUNT_PATTERNS = [
    r'loads\s+(\d+)\s+and\s+saves\s+(\d+)',
    r'(\d+)\s+load\s+types\s+and\s+writes\s+the\s+record\s+in\s+(\d+)\s+save\s+types',
    r'Load\s+list\s+has\s+(\d+)\s+types\s+and\s+the\s+Save\s+list\s+(\d+)',
    r'(\d+)\s*/\s*(\d+)\s+(?:load|file\s+types)',
    r'(\d+)\s+load\s*/\s*(\d+)\s+save',
]
documents = ([root / 'README.md', root / 'packaging' / 'cpack.cmake']
             + sorted((root / 'docs').glob('*.md')) + sorted((root / 'docs' / 'manual').glob('*.md'))
             + sorted((root / 'docs' / 'man').glob('*.1')))
found = 0
for doc in documents:
    text = doc.read_text(encoding='utf-8').replace('\\-', '-')
    for pattern in COUNT_PATTERNS:
        for m in re.finditer(pattern, text):
            found += 1
            if (int(m.group(1)), int(m.group(2))) != (loads, saves):
                failures.append('%s: "%s" but trovik-cli types lists %d load and %d save types'
                                % (doc.relative_to(root), ' '.join(m.group(0).split()), loads, saves))
if found < 4:
    failures.append('only %d statements of the type counts found: the patterns no longer match'
                    % found)

# WAV: the factor maps the largest magnitude of I and Q together to just under 32768.
manual = (root / 'docs' / 'manual' / '03-file-types.md').read_text(encoding='utf-8')
writer = (root / 'formats' / 'containers' / 'wavformat.cpp').read_text(encoding='utf-8')
if '65535.9 / (2.0 * m)' not in writer:
    failures.append('formats/containers/wavformat.cpp no longer scales by 65535.9 / (2·max|x|): '
                    'update the manual and this check together')
if 'f = 65535.9 / (2 · max|x|)' not in manual:
    failures.append('the manual does not give the WAV factor f = 65535.9 / (2 · max|x|)')

# Buttons the README asks the reader to press must be there under that name.
form = (root / 'app' / 'mainwindow.ui').read_text(encoding='utf-8')
texts = set(re.findall(r'<string>([^<]*)</string>', form))
readme = (root / 'README.md').read_text(encoding='utf-8')
for name in re.findall(r'\*\*([A-Z][^*]*)\*\*', readme):  # capitalised: a control, not emphasis
    if name not in texts:
        failures.append('README names the button "%s", the window has none' % name)

for f in failures:
    print(f)
print('%d statements of the counts (%d load, %d save) checked' % (found, loads, saves))
sys.exit(1 if failures else 0)
