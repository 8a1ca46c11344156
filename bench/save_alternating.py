#!/usr/bin/python3
"""One format's save, ours against a peer, run by run in turn; medians and the median ratio.

    /usr/bin/python3 bench/save_alternating.py BUILD_DIR FORMAT [SAMPLES] [RUNS] [OTHER_BUILD_DIR]

FORMAT is a binary_bench name (iqw-pairs iqw-blocks ibn spw mat). The peer writes the same
bytes' worth from numpy (tofile, or scipy.io.savemat for mat) and then fsyncs, since our saves
sync the file to disk before they replace the destination. With OTHER_BUILD_DIR its
binary_bench (an earlier build, say) takes a third turn in every round. Each run is a fresh
process writing a fresh file; the time is the save alone, as each process measures it.
"""
import os, statistics, subprocess, sys

build, fmt = sys.argv[1], sys.argv[2]
n = int(sys.argv[3]) if len(sys.argv) > 3 else 50_000_000
runs = int(sys.argv[4]) if len(sys.argv) > 4 else 9
other = sys.argv[5] if len(sys.argv) > 5 else None
work = '/tmp/trovik-save-alternating'
os.makedirs(work, exist_ok=True)
path = os.path.join(work, 'x.' + fmt)

def ours(tool_build):
    if os.path.exists(path):
        os.remove(path)
    out = subprocess.run([os.path.join(tool_build, 'bench', 'binary_bench'), 'save', fmt, path,
                          str(n)], check=True, capture_output=True, text=True).stdout
    return float(dict(kv.split('=') for kv in out.split())['seconds'])

if fmt == 'mat':
    PEER = ("import scipy.io as sio\ni=np.ones({n}, np.float32); q=np.ones({n}, np.float32)\n"
            "t0=time.perf_counter(); fh=open('{f}', 'wb'); sio.savemat(fh, {{'I': i, 'Q': q}})\n")
else:
    dtype = 'float64' if fmt == 'spw' else 'float32'
    PEER = ("a=np.ones(2 * {n}, np.%s); t0=time.perf_counter(); fh=open('{f}', 'wb'); a.tofile(fh)\n"
            % dtype)

def peer():
    f = path + '.np'
    if os.path.exists(f):
        os.remove(f)
    code = ('import os, time\nimport numpy as np\n' + PEER.format(n=n, f=f)
            + 'fh.flush(); os.fsync(fh.fileno()); print(time.perf_counter() - t0)\n')
    return float(subprocess.run(['/usr/bin/python3', '-c', code], check=True,
                                capture_output=True, text=True).stdout)

times = {'ours': [], 'peer': [], 'other': []}
for r in range(runs):
    # The order turns each round, so neither side always follows the other's flush.
    turns = [('ours', lambda: ours(build)), ('peer', peer)]
    if other:
        turns.append(('other', lambda: ours(other)))
    for name, run in turns[r % len(turns):] + turns[:r % len(turns)]:
        times[name].append(run())
for p in (path, path + '.np'):
    if os.path.exists(p):
        os.remove(p)

def line(name):
    t = times[name]
    return f'{name}: median {statistics.median(t):.3f} s (min {min(t):.3f}, max {max(t):.3f})'

print(f'{fmt}, {n} samples, {runs} rounds')
print(line('ours'))
print(line('peer'))
print('peer / ours, median of the rounds: %.2fx'
      % statistics.median(p / o for p, o in zip(times['peer'], times['ours'])))
if other:
    print(line('other'))
    print('other / ours, median of the rounds: %.2fx'
          % statistics.median(a / o for a, o in zip(times['other'], times['ours'])))
