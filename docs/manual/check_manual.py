#!/usr/bin/python3
"""Checks the built user manual: a complete PDF of several pages whose text holds every chapter."""
import re
import sys

pdf_path, text_path = sys.argv[1], sys.argv[2]
with open(pdf_path, 'rb') as f:
    pdf = f.read()
assert pdf.startswith(b'%PDF-'), 'not a PDF'
assert pdf.rstrip().endswith(b'%%EOF'), 'PDF is cut short'
pages = len(re.findall(rb'/Type\s*/Page\b(?!s)', pdf))
assert pages >= 10, 'only %d pages' % pages

with open(text_path, encoding='utf-8') as f:
    text = f.read()
for heading in ('Trovik user manual', 'The main window', 'Load IQ Data tab', 'Trace IQ Data tab',
                'Save IQ Data group', 'The plot window', 'The spectrogram window', 'File types', 'Waveform container types',
                'The generator link', 'The command-line tool', 'Support information'):
    assert heading in text, 'missing: ' + heading
for name in ('Matlab ASCII single', 'ADS ASCII  TIMe dom. sgl', 'TDS 5000/6000/7000', 'Vantorp WV mixed (unscrambled)',
             'GetSymbolRate', 'listening on 127.0.0.1:', '*** Global Setup ***'):
    assert name in text, 'missing: ' + name
print('manual: %d pages, %d characters of text' % (pages, len(text)))
