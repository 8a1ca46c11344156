"""trovik beside numpy and scipy doing the same work, alternating in one process; prints the
median time of each and the median of the per-pair ratios (numpy time / trovik time, so above
1 means trovik is faster).

    /usr/bin/python3 bench/python/python_bench.py --build build/release/python [--runs 7]

Cases: load of a 50 M-sample IQW (numpy.fromfile), load of a 50 M-sample SigMF ci16
(numpy.fromfile + astype to complex64), save to IQW (ndarray.tofile + fsync; trovik's save is
atomic and syncs too), peak memory of a load (fresh process, getrusage), and the spectrogram
of 50 M samples (scipy.signal.spectrogram with the same periodic Hann window and FFT size)."""
import argparse
import json
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np


def timed(function):
    start = time.perf_counter()
    result = function()
    return time.perf_counter() - start, result


def pairs(name, ours, theirs, runs, goal):
    ours()  # warm the page cache and the allocator for both
    theirs()
    ours_times, their_times, ratios = [], [], []
    for _ in range(runs):
        a, _ = timed(ours)
        b, _ = timed(theirs)
        ours_times.append(a)
        their_times.append(b)
        ratios.append(b / a)
    row = {"case": name, "trovik_s": statistics.median(ours_times),
           "reference_s": statistics.median(their_times), "ratio": statistics.median(ratios),
           "goal": goal}
    print(json.dumps(row), flush=True)
    return row


PEAK = r"""
import json, sys
sys.path.insert(0, sys.argv[1])
import numpy as np, trovik
def peak():
    # The process's own high-water mark: ru_maxrss is carried over from the parent through
    # fork and exec, so a large parent would hide the load.
    with open("/proc/self/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) * 1024
before = peak()
record = trovik.load(sys.argv[2], sys.argv[3], verify=False)
after = peak()
print(json.dumps({"grown": after - before, "arrays": record.iq.nbytes}))
"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, help="the build tree's python folder")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--samples", type=int, default=50_000_000)
    parser.add_argument("--only", default="")
    args = parser.parse_args()
    sys.path.insert(0, os.path.abspath(args.build))
    import scipy.signal
    import trovik

    n = args.samples
    work = tempfile.mkdtemp(prefix="trovik-python-bench-")
    rng = np.random.default_rng(1)
    x = (rng.standard_normal(n, np.float32) + 1j * rng.standard_normal(n, np.float32)).astype(
        np.complex64)
    iqw = os.path.join(work, "big.iqw")
    x.tofile(iqw)
    ci16 = os.path.join(work, "big.sigmf")
    (x * 1000).view(np.float32).astype(np.int16).tofile(ci16 + "-data")
    with open(ci16 + "-meta", "w") as meta:
        json.dump({"global": {"core:datatype": "ci16_le", "core:version": "1.0.0",
                              "core:sample_rate": 1e6},
                   "captures": [{"core:sample_start": 0}], "annotations": []}, meta)
    out = os.path.join(work, "out.iqw")
    rows = []

    def want(case):
        return not args.only or args.only in case

    if want("load-iqw"):
        rows.append(pairs("load-iqw", lambda: trovik.load(iqw, "iqw-pairs"),
                          lambda: np.fromfile(iqw, np.complex64), args.runs, 1.0))
    if want("load-sigmf-ci16"):
        rows.append(pairs(
            "load-sigmf-ci16", lambda: trovik.load(ci16 + "-meta", "sigmf"),
            lambda: np.fromfile(ci16 + "-data", "<i2").astype(np.float32).view(np.complex64),
            args.runs, 1.0))

    def numpy_save():
        with open(out, "wb") as f:
            x.tofile(f)
            f.flush()
            os.fsync(f.fileno())

    if want("save-iqw"):
        rows.append(pairs("save-iqw", lambda: trovik.save(out, x, "iqw-pairs"), numpy_save,
                          args.runs, 0.9))
    if want("peak"):
        for name, path, kind in (("peak-load-iqw", iqw, "iqw-pairs"),
                                 ("peak-load-sigmf-ci16", ci16 + "-meta", "sigmf")):
            run = subprocess.run([sys.executable, "-c", PEAK, os.path.abspath(args.build), path,
                                  kind], capture_output=True, text=True, check=True)
            measured = json.loads(run.stdout)
            row = {"case": name, "peak_over_arrays": measured["grown"] / measured["arrays"],
                   "goal": "<= 1.1"}
            print(json.dumps(row), flush=True)
            rows.append(row)
    if want("spectrogram"):
        del_runs = max(3, args.runs // 2)
        rows.append(pairs(
            "spectrogram-1024", lambda: trovik.spectrogram(x, 1e6, fft=1024),
            lambda: scipy.signal.spectrogram(x, fs=1e6, window="hann", nperseg=1024,
                                             noverlap=0, nfft=1024, detrend=False,
                                             return_onesided=False, scaling="spectrum",
                                             mode="psd"),
            del_runs, 3.0))
    for name in os.listdir(work):
        os.remove(os.path.join(work, name))
    os.rmdir(work)
    return rows


if __name__ == "__main__":
    main()
