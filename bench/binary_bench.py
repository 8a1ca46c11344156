#!/usr/bin/python3
"""Load/save benchmark of the binary formats beside cat and numpy/scipy, page cache warm.

    /usr/bin/python3 bench/binary_bench.py BUILD_DIR [SAMPLES] [WORK_DIR]

Every figure is the best of five runs, each in a fresh process. Prints a Markdown table.
Our saves (except MAT, written by matio under a temporary name) go through an atomic replace
that syncs the file to disk before renaming it, so the peer save is timed both plain and
followed by fsync.
"""
import os, subprocess, sys, time

build, n = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 50_000_000
work = sys.argv[3] if len(sys.argv) > 3 else '/tmp/trovik-binary-bench'
os.makedirs(work, exist_ok=True)
tool = os.path.join(build, 'bench', 'binary_bench')
PY = '/usr/bin/python3'

def ours(*args):
    out = subprocess.run([tool, *args], check=True, capture_output=True, text=True).stdout
    return dict(kv.split('=') for kv in out.split())

def best(fn, runs=5):
    return min((fn() for _ in range(runs)), key=lambda r: r[0])

def fresh(path, fn):
    # Every save creates its file anew: replacing a 400 MB file would time freeing its pages.
    def run():
        if os.path.exists(path):
            os.remove(path)
        return fn()
    return run

def cat(path):
    t0 = time.perf_counter()
    subprocess.run(f'cat {path} > /dev/null', shell=True, check=True)
    return (time.perf_counter() - t0,)

def py(code):
    # The snippet prints its own elapsed time and peak RSS (kB), interpreter start excluded.
    out = subprocess.run([PY, '-c', 'import resource, time, sys, os\nimport numpy as np\n' + code],
                         check=True, capture_output=True, text=True).stdout.split()
    return float(out[0]), int(out[1])

RSS = 'print(time.perf_counter() - t0, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss)'

def spw_offset(path):
    with open(path, 'rb') as f:
        head = f.read(4096)
    return head.index(b'$DATA BINARY\n') + 13

NP_SAVE = ("a=np.ones({count}, np.{dtype}); t0=time.perf_counter(); fh=open('{f}.np', 'wb'); a.tofile(fh)\n"
           "fh.flush()\nif {sync}: os.fsync(fh.fileno())\n")
FORMATS = {
    # name: (file name, numpy/scipy load, numpy/scipy save of the same bytes)
    'iqw-pairs': ('p.iqw', "t0=time.perf_counter(); a=np.fromfile('{f}', '<f4')\n", NP_SAVE),
    'iqw-blocks': ('b.iqw', "t0=time.perf_counter(); a=np.fromfile('{f}', '<f4')\n", NP_SAVE),
    'ibn': ('a.ibn', "t0=time.perf_counter(); a=np.fromfile('{f}', '<f4', offset=40)\n", NP_SAVE),
    'spw': ('a.sig', "t0=time.perf_counter(); a=np.fromfile('{f}', '<f8', offset={off})\n", NP_SAVE),
    'mat': ('a.mat', "import scipy.io as sio\nt0=time.perf_counter(); m=sio.loadmat('{f}')\n",
            "import scipy.io as sio\ni=np.ones({n}, np.float32); q=np.ones({n}, np.float32)\n"
            "t0=time.perf_counter(); fh=open('{f}.np', 'wb'); sio.savemat(fh, {{'I': i, 'Q': q}})\nfh.flush()\nif {sync}: os.fsync(fh.fileno())\n"),
}

arrays_mb = 8 * n / 1e6
print(f'| Format | File MB | cat s | Load s | peer load s | Load vs peer | Save s | peer save s | Save vs peer '
      f'| peer save + fsync s | Save vs peer + fsync | Load MB/s | Peak RSS of load MB | RSS / arrays ({arrays_mb:.0f} MB) |')
print('|---|---|---|---|---|---|---|---|---|---|---|---|---|---|')
for name, (fname, load_code, save_code) in FORMATS.items():
    path = os.path.join(work, fname)
    save = best(fresh(path, lambda: (float(ours('save', name, path, str(n))['seconds']),)))
    size_mb = os.path.getsize(path) / 1e6
    cat(path)
    c = best(lambda: cat(path))
    load = best(lambda: (lambda r: (float(r['seconds']), int(r['maxrss_kb'])))(ours('load', name, path)))
    off = spw_offset(path) if name == 'spw' else 0
    pl = best(lambda: py(load_code.format(f=path, off=off) + RSS))
    fmt = dict(f=path, n=n, count=2 * n, dtype='float64' if name == 'spw' else 'float32')
    ps = best(fresh(path + '.np', lambda: py(save_code.format(sync=False, **fmt) + RSS)))
    pf = best(fresh(path + '.np', lambda: py(save_code.format(sync=True, **fmt) + RSS)))
    rss_mb = load[1] * 1024 / 1e6
    print(f'| {name} | {size_mb:.0f} | {c[0]:.3f} | {load[0]:.3f} | {pl[0]:.3f} | {pl[0] / load[0]:.2f}x '
          f'| {save[0]:.3f} | {ps[0]:.3f} | {ps[0] / save[0]:.2f}x | {pf[0]:.3f} | {pf[0] / save[0]:.2f}x '
          f'| {size_mb / load[0]:.0f} | {rss_mb:.0f} '
          f'| {rss_mb / arrays_mb:.2f} |', flush=True)
    for p in (path, path + '.np'):
        if os.path.exists(p):
            os.remove(p)
