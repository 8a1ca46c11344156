#!/usr/bin/python3
"""SigMF save as whole processes: trovik-cli against numpy and against the reference library's way.

    /usr/bin/python3 bench/sigmf_bench.py TROVIK_CLI [SAMPLES] [PAIRS] [WORK_DIR]

Every process starts fresh and converts the same source, an IQW pairs file (float32 I, Q
interleaved, the bytes numpy reads as complex64), page cache warm:
  ours       trovik-cli convert --from iqw-pairs --in src.iqw --out ours.sigmf-meta
             (cf32_le data, core:sha512 hashed beside the write, both files fsynced)
  numpy      np.fromfile(src, '<c8'), tofile, json.dump of the metadata, both fsynced
  reference  the reference Python library's documented save, emulated (the library is not
             installed here): np.fromfile, tofile, then hashlib.sha512 over the written file in
             1 MiB chunks, then json.dump with the hash; without fsync, and without the
             library's own import time, both of which would only make it slower
Each round runs the three in a rotating order; a ratio is (other's wall time) / (ours) within a
round, and the table gives the median over rounds.
"""
import os, statistics, subprocess, sys, time

cli = sys.argv[1]
n = int(sys.argv[2]) if len(sys.argv) > 2 else 50_000_000
pairs = int(sys.argv[3]) if len(sys.argv) > 3 else 9
work = sys.argv[4] if len(sys.argv) > 4 else '/tmp/trovik-sigmf-bench'
os.makedirs(work, exist_ok=True)
src = os.path.join(work, 'src.iqw')

PY = '/usr/bin/python3'
NUMPY = r'''
import sys, os, json, numpy as np
src, base = sys.argv[1], sys.argv[2]
a = np.fromfile(src, '<c8')
with open(base + '.sigmf-data', 'wb') as f:
    a.tofile(f); f.flush(); os.fsync(f.fileno())
m = {'global': {'core:datatype': 'cf32_le', 'core:version': '1.0.0', 'core:sample_rate': 1e6},
     'captures': [{'core:sample_start': 0}], 'annotations': []}
with open(base + '.sigmf-meta', 'w') as f:
    json.dump(m, f, indent=4); f.flush(); os.fsync(f.fileno())
'''
REFERENCE = r'''
import sys, json, hashlib, numpy as np
src, base = sys.argv[1], sys.argv[2]
a = np.fromfile(src, '<c8')
a.tofile(base + '.sigmf-data')
h = hashlib.sha512()
with open(base + '.sigmf-data', 'rb') as f:
    for chunk in iter(lambda: f.read(1 << 20), b''):
        h.update(chunk)
m = {'global': {'core:datatype': 'cf32_le', 'core:version': '1.0.0', 'core:sample_rate': 1e6,
                'core:sha512': h.hexdigest()},
     'captures': [{'core:sample_start': 0}], 'annotations': []}
with open(base + '.sigmf-meta', 'w') as f:
    json.dump(m, f, indent=4)
'''

def clean(base):
    for ext in ('.sigmf-data', '.sigmf-meta'):
        if os.path.exists(base + ext):
            os.remove(base + ext)

def timed(cmd, base):
    clean(base)
    t0 = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    t = time.perf_counter() - t0
    clean(base)
    return t

runs = {
    'ours': lambda: timed([cli, 'convert', '--from', 'iqw-pairs', '--in', src, '--out',
                           os.path.join(work, 'ours.sigmf-meta')], os.path.join(work, 'ours')),
    'numpy': lambda: timed([PY, '-c', NUMPY, src, os.path.join(work, 'np')], os.path.join(work, 'np')),
    'reference': lambda: timed([PY, '-c', REFERENCE, src, os.path.join(work, 'ref')],
                               os.path.join(work, 'ref')),
}

subprocess.run([PY, '-c', f"import numpy as np; k = np.arange({n}, dtype=np.float32); "
                f"(np.sin(k * 0.001) + 1j * np.cos(k * 0.0013)).astype('<c8').tofile('{src}')"],
               check=True)
order = list(runs)
times = {k: [] for k in runs}
runs['ours']()  # page cache warm for the source and the program
for r in range(pairs):
    for k in order[r % 3:] + order[:r % 3]:
        times[k].append(runs[k]())
vs_numpy = [b / a for a, b in zip(times['ours'], times['numpy'])]
vs_ref = [b / a for a, b in zip(times['ours'], times['reference'])]
med = statistics.median
load = os.getloadavg()
print(f'| {n:,} | {8 * n / 1e6:.0f} | {pairs} | {med(times["ours"]):.3f} | {med(times["numpy"]):.3f} '
      f'| {med(times["reference"]):.3f} | {med(vs_numpy):.2f}x ({min(vs_numpy):.2f}-{max(vs_numpy):.2f}) '
      f'| {med(vs_ref):.2f}x ({min(vs_ref):.2f}-{max(vs_ref):.2f}) | {load[0]:.1f} |')
os.remove(src)
