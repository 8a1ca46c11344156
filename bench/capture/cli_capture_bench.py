#!/usr/bin/python3
"""A whole `trovik-cli capture` of a large block to IQW, as a fresh process, beside a plain
client in a fresh process (a socket, recv_into a fresh numpy array, tofile, fsync), both
against the same scpisim. The two run alternately, one pair per round; the ratio of a round
is the plain client's time over ours (1.0: as fast; the goal is at least 0.5). Peak memory is
the capture process's maximum resident set over its two float32 sample arrays.

    /usr/bin/python3 bench/capture/cli_capture_bench.py --cli build/test/cli/trovik-cli \
        --scpisim build/test/tools/scpisim/scpisim --rounds 5
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

# Analyzer row "Yew": its sample count goes up to 461,373,440 pairs.
ROW = 15

PLAIN_CLIENT = r"""
import os, socket, sys
import numpy as np
port, pairs, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
s = socket.create_connection(("127.0.0.1", port))
def line():
    out = b""
    while not out.endswith(b"\n"):
        out += s.recv(1)
    return out
s.sendall(b"TRAC:IQ:SET NORM,10000000Hz,32000000Hz,IMMediate,POSitive,0,%d;*OPC?\n" % pairs)
line()
s.sendall(b"TRAC:IQ:DATA?\n")
head = s.recv(2, socket.MSG_WAITALL)
length = int(s.recv(int(head[1:2]), socket.MSG_WAITALL))
data = np.empty(length // 4, dtype=np.float32)
view = memoryview(data).cast("B")
got = 0
while got < length:
    n = s.recv_into(view[got:], length - got)
    if n == 0:
        sys.exit("connection closed")
    got += n
s.recv(1)
with open(path, "wb") as f:
    data.tofile(f)
    f.flush()
    os.fsync(f.fileno())
"""


def start_simulator(scpisim, pairs):
    sim = subprocess.Popen([scpisim, "--socket-port", "0", "--no-vxi11", "--points", str(pairs)],
                           stdout=subprocess.PIPE, text=True)
    ready = sim.stdout.readline()
    port = int(ready.split("socket=")[1].split()[0])
    return sim, port


def timed(command):
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    errors = child.stderr.read().decode(errors="replace")
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: %s\n%s" % (" ".join(command), errors))
    return seconds, usage.ru_maxrss * 1024


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--scpisim", required=True)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--pairs", type=int, default=50000000)
    parser.add_argument("--dir", default=tempfile.gettempdir())
    a = parser.parse_args()

    sim, port = start_simulator(a.scpisim, a.pairs)
    block = 8 * a.pairs
    arrays = 8 * a.pairs
    folder = tempfile.mkdtemp(dir=a.dir)
    ours_path = os.path.join(folder, "ours.iqw")
    plain_path = os.path.join(folder, "plain.iqw")
    ini = os.path.join(folder, "Trovik.ini")
    ours = [a.cli, "capture", "--settings", ini,
            "--set", "Analyzer/VISA Resource String=TCPIP::127.0.0.1::%d::SOCKET" % port,
            "--set", "Analyzer/Type=%d" % ROW, "--set", "Analyzer/Sample Count=%d" % a.pairs,
            "--to", "iqw-pairs", "--out", ours_path]
    plain = ["/usr/bin/python3", "-c", PLAIN_CLIENT, str(port), str(a.pairs), plain_path]
    rows = []
    try:
        # The simulator builds its block at the first query: that is its cost, not a client's.
        timed(plain)
        os.remove(plain_path)
        for r in range(a.rounds):
            t_ours, peak = timed(ours)
            if os.path.getsize(ours_path) != block:
                sys.exit("capture wrote %d bytes" % os.path.getsize(ours_path))
            os.remove(ours_path)
            t_plain, _ = timed(plain)
            os.remove(plain_path)
            rows.append((t_ours, t_plain, peak))
            print("round %d: trovik-cli %.2f s (%.0f MB/s), plain client %.2f s (%.0f MB/s), "
                  "ratio %.2f, peak %.0f MB = %.3fx the arrays, load %.1f" %
                  (r + 1, t_ours, block / t_ours / 1e6, t_plain, block / t_plain / 1e6,
                   t_plain / t_ours, peak / 1e6, peak / arrays, os.getloadavg()[0]), flush=True)
    finally:
        sim.terminate()
        sim.wait()
        for p in (ours_path, plain_path, ini):
            if os.path.exists(p):
                os.remove(p)
        os.rmdir(folder)
    ratios = [p / o for o, p, _ in rows]
    print("median ratio %.2f (goal >= 0.5), median trovik-cli %.2f s, median plain %.2f s, "
          "largest peak %.3fx the arrays (goal <= 1.1)" %
          (statistics.median(ratios), statistics.median(o for o, _, _ in rows),
           statistics.median(p for _, p, _ in rows), max(k for _, _, k in rows) / arrays))


if __name__ == "__main__":
    main()
