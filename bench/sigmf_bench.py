#!/usr/bin/python3
"""SigMF load/save of our reader and writer beside numpy + json, in the same run.

    /usr/bin/python3 bench/sigmf_bench.py BUILD_DIR [SAMPLES] [WORK_DIR]

Best of five runs, each in a fresh process, page cache warm. The numpy load is json.load of
the metadata and np.fromfile of the data as complex64; the numpy save is tofile of a complex64
array and json.dump of the metadata, both fsynced as our atomic save does. Our save also hashes
the data (core:sha512), so the numpy save is timed a second time with hashlib.sha512 added.
"""
import os, subprocess, sys, time

build, n = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 50_000_000
work = sys.argv[3] if len(sys.argv) > 3 else '/tmp/trovik-sigmf-bench'
os.makedirs(work, exist_ok=True)
tool = os.path.join(build, 'bench', 'binary_bench')
meta, data = os.path.join(work, 'a.sigmf-meta'), os.path.join(work, 'a.sigmf-data')

def ours(*args):
    out = subprocess.run([tool, *args], check=True, capture_output=True, text=True).stdout
    r = dict(kv.split('=') for kv in out.split())
    return float(r['seconds']), int(r['maxrss_kb'])

def py(code):
    out = subprocess.run(['/usr/bin/python3', '-c',
                          'import resource, time, json, hashlib, os\nimport numpy as np\n' + code +
                          '\nprint(time.perf_counter() - t0, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss)'],
                         check=True, capture_output=True, text=True).stdout.split()
    return float(out[0]), int(out[1])

def best(fn, runs=5):
    return min((fn() for _ in range(runs)), key=lambda r: r[0])

def fresh(paths, fn):
    def run():
        for p in paths:
            if os.path.exists(p):
                os.remove(p)
        return fn()
    return run

NP_LOAD = f"t0=time.perf_counter(); m=json.load(open('{meta}')); a=np.fromfile('{data}', '<c8')"
NP_SAVE = ("a=np.ones({n}, np.complex64); t0=time.perf_counter(); fh=open('{d}.np', 'wb'); a.tofile(fh)\n"
           "h={h}\nfh.flush(); os.fsync(fh.fileno()); fh.close()\n"
           "m={{'global': {{'core:datatype': 'cf32_le', 'core:version': '1.0.0', 'core:sample_rate': 1e6, 'core:sha512': h}},"
           " 'captures': [{{'core:sample_start': 0}}], 'annotations': []}}\n"
           "mh=open('{m}.np', 'w'); json.dump(m, mh, indent=4); mh.flush(); os.fsync(mh.fileno()); mh.close()")

save = best(fresh([meta, data], lambda: ours('save', 'sigmf', meta, str(n))))
load = best(lambda: ours('load', 'sigmf', meta))
np_load = best(lambda: py(NP_LOAD))
outs = [data + '.np', meta + '.np']
np_save = best(fresh(outs, lambda: py(NP_SAVE.format(n=n, d=data, m=meta, h="''"))))
np_save_hash = best(fresh(outs, lambda: py(NP_SAVE.format(n=n, d=data, m=meta,
                                                          h="hashlib.sha512(a.tobytes()).hexdigest()"))))
arrays_mb = 8 * n / 1e6
size_mb = os.path.getsize(data) / 1e6
print(f'| Samples | Data MB | Load s | numpy load s | Load vs numpy | Save s | numpy save s | Save vs numpy '
      f'| numpy save + sha512 s | Save vs numpy + sha512 | Peak RSS of load MB | RSS / arrays ({arrays_mb:.0f} MB) |')
print('|---|---|---|---|---|---|---|---|---|---|---|---|')
print(f'| {n:,} | {size_mb:.0f} | {load[0]:.3f} | {np_load[0]:.3f} | {np_load[0] / load[0]:.2f}x | {save[0]:.3f} '
      f'| {np_save[0]:.3f} | {np_save[0] / save[0]:.2f}x | {np_save_hash[0]:.3f} | {np_save_hash[0] / save[0]:.2f}x '
      f'| {load[1] * 1024 / 1e6:.0f} | {load[1] * 1024 / 1e6 / arrays_mb:.2f} |')
print(f'numpy load peak RSS: {np_load[1] * 1024 / 1e6:.0f} MB')
for p in [meta, data] + outs:
    if os.path.exists(p):
        os.remove(p)
