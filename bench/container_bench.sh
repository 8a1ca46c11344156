#!/usr/bin/env bash
# Container formats: load/save of 50 million samples (WAV, WV, raw recording) beside cat and
# numpy/scipy on the same files, then a chunked copy of a 300,000,000-sample raw recording
# to WV. Usage: bench/container_bench.sh BUILD_DIR [WORK_DIR]   (needs about 3 GB in WORK_DIR)
set -euo pipefail
BUILD=${1:?build dir}
WORK=${2:-/tmp/trovik_container_bench}
N=${N:-50000000}
BIG=${BIG:-300000000}
B=$BUILD/bench/container_bench
CLI=$BUILD/cli/trovik-cli
PY=/usr/bin/python3
mkdir -p "$WORK"
trap 'rm -rf "$WORK"' EXIT
peak() { /usr/bin/time -f "  -> wall %e s, peak RSS %M KB" "$@"; }

for f in wav wv raw; do
  ext=$f; [ $f = raw ] && ext=wvd
  peak $B save $f "$WORK/x.$ext" $N
  cat "$WORK/x.$ext" > /dev/null
  echo "cat x.$ext:"; peak cat "$WORK/x.$ext" > /dev/null
  peak $B load $f "$WORK/x.$ext"
done

cat > "$WORK/peer.py" <<'PYEOF'
import sys, time, numpy as np
from scipy.io import wavfile
w, n = sys.argv[1], int(sys.argv[2])
def t(label, fn, nbytes):   # best of three, like container_bench
    d = 1e9
    for _ in range(3):
        s = time.perf_counter(); fn(); d = min(d, time.perf_counter() - s)
    print(f"{label}: {d:.3f} s, {nbytes / 1e6 / d:.0f} MB/s")
def split(a):   # interleaved int16 pairs -> two float32 arrays, as our readers deliver
    return a[0::2].astype(np.float32), a[1::2].astype(np.float32)
size = lambda p: __import__('os').path.getsize(p)
t("numpy fromfile x.wvd (int16 only)", lambda: np.fromfile(w + '/x.wvd', '<i2'), size(w + '/x.wvd'))
t("numpy fromfile x.wvd + float32 I,Q", lambda: split(np.fromfile(w + '/x.wvd', '<i2')), size(w + '/x.wvd'))
def recorder(a):  # the raw recording's code mapping, as our raw reader delivers
    f = a.astype(np.float32); f -= (a < 0) * np.float32(65534.5 - 65536); return split(f / np.float32(32767))
t("numpy fromfile x.wvd + recorder mapping, float32 I,Q", lambda: recorder(np.fromfile(w + '/x.wvd', '<i2')), size(w + '/x.wvd'))
t("scipy wavfile.read x.wav (mmap=False)", lambda: wavfile.read(w + '/x.wav'), size(w + '/x.wav'))
t("scipy wavfile.read x.wav + float32 I,Q", lambda: split(wavfile.read(w + '/x.wav')[1].reshape(-1)), size(w + '/x.wav'))
k = np.arange(n)
i = np.sin(0.001 * k).astype(np.float32); q = np.cos(0.0013 * k).astype(np.float32)
def pack():
    a = np.empty(2 * n, np.int16); a[0::2] = np.trunc(i * 32767.95); a[1::2] = np.trunc(q * 32767.95); return a
codes = pack()
t("numpy tofile int16 pairs (already packed)", lambda: codes.tofile(w + '/np.bin'), 4 * n)
t("numpy pack float32 I,Q + tofile", lambda: pack().tofile(w + '/np.bin'), 4 * n)
t("scipy wavfile.write (already packed)", lambda: wavfile.write(w + '/sp.wav', 1000000, codes.reshape(-1, 2)), 4 * n)
PYEOF
echo "numpy / scipy:"
peak $PY "$WORK/peer.py" "$WORK" $N
rm -f "$WORK"/x.* "$WORK"/np.bin "$WORK"/sp.wav

echo "chunked copy, $BIG samples raw -> WV:"
$B rawfile "$WORK/big.wvd" $BIG
ls -l "$WORK/big.wvd"
cat "$WORK/big.wvd" > /dev/null
peak $CLI copy --from recordia-raw --in "$WORK/big.wvd" --to wv --out "$WORK/big.wv"
ls -l "$WORK/big.wv"
