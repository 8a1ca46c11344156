"""No copies: a loaded record's arrays are the memory the reader filled, and a save reads
the caller's array where it lies. Peak memory is measured in a fresh process."""
import json
import os
import subprocess
import sys

import numpy as np
import pytest

import trovik
from conftest import BUILD_PYTHON, tone

COUNT = 20_000_000  # 160 MB of complex64: far above the buffers of a read or write (some MB)

PROBE = r"""
import json, sys
sys.path.insert(0, sys.argv[1])
import numpy as np, trovik
def peak():
    # The process's own high-water mark. getrusage's ru_maxrss would do, but Linux carries
    # it over from the parent through fork and exec, so a large parent hides the load.
    with open("/proc/self/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) * 1024
what, path, kind = sys.argv[2:5]
if what == "load":
    before = peak()
    record = trovik.load(path, kind, verify=False)
    print(json.dumps({"grown": peak() - before, "arrays": record.iq.nbytes}))
else:
    x = np.empty(int(sys.argv[5]), np.complex64)
    x.real, x.imag = 0.5, -0.25
    pair = (x.real.copy(), x.imag.copy()) if what == "save-pair" else None
    before = peak()
    trovik.save(path, pair if pair else x, kind)
    print(json.dumps({"grown": peak() - before, "arrays": x.nbytes}))
"""


def probe(*arguments):
    run = subprocess.run([sys.executable, "-c", PROBE, BUILD_PYTHON, *map(str, arguments)],
                         capture_output=True, text=True, timeout=120, check=True)
    return json.loads(run.stdout)


@pytest.fixture(scope="module")
def files(tmp_path_factory):
    folder = tmp_path_factory.mktemp("memory")
    x = tone(COUNT)
    x.tofile(folder / "big.iqw")
    trovik.save(folder / "big.sigmf-meta", x, type="sigmf")
    trovik.save(folder / "big.asc", x[:200_000], type="matlab-ascii-mixed")
    return folder


@pytest.mark.parametrize("name,kind", [("big.iqw", "iqw-pairs"), ("big.sigmf-meta", "sigmf")])
def test_a_load_needs_no_more_than_its_arrays(files, name, kind):
    measured = probe("load", files / name, kind)
    assert measured["arrays"] == COUNT * 8
    assert measured["grown"] <= 1.1 * measured["arrays"], measured


@pytest.mark.parametrize("what", ["save", "save-pair"])
def test_a_streaming_save_reads_the_callers_array_in_place(files, what):
    measured = probe(what, files / "out.iqw", "iqw-pairs", COUNT)
    assert measured["grown"] <= 0.1 * measured["arrays"], measured


def test_the_arrays_base_is_the_memory_the_reader_filled(files):
    record = trovik.load(files / "big.iqw", "iqw-pairs")
    owner = record.iq.base
    assert type(owner).__name__ == "PyCapsule"
    assert record.i.base is record.iq or record.i.base is owner
    assert not record.iq.flags.owndata

@pytest.mark.parametrize("name,kind", [("big.iqw", "iqw-pairs"), ("big.sigmf-meta", "sigmf")])
def test_a_large_file_read_in_parts_is_whole(files, name, kind):
    # Large enough to be read in parts on several cores: every part lands in its place.
    np.testing.assert_array_equal(trovik.load(files / name, kind).iq, tone(COUNT))


def test_a_text_load_interleaves_into_one_array(files):
    record = trovik.load(files / "big.asc", "matlab-ascii-mixed")
    assert len(record) == 200_000 and record.iq.flags.c_contiguous
    assert np.shares_memory(record.i, record.iq)
