"""trovik.load / save / append / copy: every save type read back, the errors the CLI gives,
and a copy stopped by Ctrl-C."""
import os
import signal
import threading

import numpy as np
import pytest

import trovik
from conftest import tone

SAVE = trovik.types()["save"]
LOAD = trovik.types()["load"]
LOAD_INDEX = {row["key"]: row["index"] for row in LOAD}
# Types whose files hold the float32 samples themselves: they come back bit for bit.
EXACT = {"iqw-pairs", "iqw-blocks", "sigmf", "matlab-binary-single", "matlab-binary-mixed",
         "loomwave", "spw-binary-mixed", "wv-float"}
# What a file of the type keeps of a value: codes of a few bits, symbols, or printed digits.
COARSE = {"hex10": 0.02, "dab-q6": None, "wav-single": 1e-3, "wav-mixed": 1e-3,
          "hex16": 1e-3, "hex17": 1e-3, "recordia-raw": 1e-3, "wv": 1e-3}


def save_and_load(tmp_path, row, data):
    name = tmp_path / ("record" + row["extensions"][0])
    q_name = tmp_path / ("record_q" + row["extensions"][-1]) if row["files"] == 2 else None
    trovik.save(name, data, type=row["key"], q_path=q_name, sample_rate=2e6)
    return trovik.load(name, type=LOAD_INDEX[row["key"]], q_path=q_name, sample_rate=2e6)


def test_the_lists_are_the_programs():
    assert len(LOAD) == 34 and len(SAVE) == 27
    assert [row["index"] for row in SAVE] == list(range(27))
    assert all(row["key"] in LOAD_INDEX for row in SAVE)
    assert trovik.types().save[0].key == SAVE[0]["key"]


@pytest.mark.parametrize("row", SAVE, ids=[row["key"] for row in SAVE])
def test_every_save_type_comes_back_through_load(tmp_path, row):
    sent = tone(2048)
    back = save_and_load(tmp_path, row, sent)
    assert back.iq.dtype == np.complex64 and back.i.dtype == np.float32
    assert len(back) == len(sent)
    if row["key"] in EXACT:
        np.testing.assert_array_equal(back.iq, sent)
        return
    if row["key"] == "dab-q6":  # symbols: the quadrant survives
        assert np.mean(np.sign(back.i) == np.sign(sent.real)) > 0.95
        return
    # Formats that scale to their full range give codes back: compare the shape.
    scale = np.vdot(back.iq, sent).real / np.vdot(back.iq, back.iq).real
    error = np.max(np.abs(scale * back.iq - sent)) / np.max(np.abs(sent))
    assert error < COARSE.get(row["key"], 1e-5), error


def test_the_views_share_the_records_memory(tmp_path):
    back = save_and_load(tmp_path, SAVE[LOAD_INDEX["iqw-pairs"]], tone(100))
    assert np.shares_memory(back.i, back.iq) and np.shares_memory(back.q, back.iq)
    assert not back.iq.flags.owndata and back.iq.base is not None
    back.i[3] = 7.0
    assert back.iq[3].real == 7.0


@pytest.mark.parametrize("form", ["complex128", "pair", "pair64", "record", "strided"])
def test_every_form_of_samples_saves_the_same_file(tmp_path, form):
    sent = tone(1000)
    data = {"complex128": sent.astype(np.complex128),
            "pair": (sent.real.copy(), sent.imag.copy()),
            "pair64": (sent.real.astype(np.float64), sent.imag.astype(np.float64)),
            "record": trovik.Record(sent, sample_rate=2e6),
            "strided": np.repeat(sent, 2)[::2]}[form]
    trovik.save(tmp_path / "a.iqw", sent, type="iqw-pairs")
    trovik.save(tmp_path / "b.iqw", data, type="iqw-pairs")
    assert (tmp_path / "a.iqw").read_bytes() == (tmp_path / "b.iqw").read_bytes()
    assert (tmp_path / "b.iqw").read_bytes() == sent.tobytes()


def test_numpy_reads_what_save_wrote_and_load_reads_what_numpy_wrote(tmp_path):
    sent = tone(4096)
    trovik.save(tmp_path / "t.iqw", sent, type="iqw-pairs")
    np.testing.assert_array_equal(np.fromfile(tmp_path / "t.iqw", np.complex64), sent)
    blocks = np.concatenate([sent.real, sent.imag]).astype(np.float32)
    blocks.tofile(tmp_path / "b.iqw")
    np.testing.assert_array_equal(trovik.load(tmp_path / "b.iqw", "iqw-blocks").iq, sent)


def test_sigmf_keeps_the_facts(tmp_path):
    record = trovik.Record(tone(500), sample_rate=3.5e6, center_frequency=915e6)
    trovik.save(tmp_path / "r.sigmf-meta", record, type="sigmf")
    back = trovik.load(tmp_path / "r.sigmf-meta", type="sigmf")
    assert back.sample_rate == 3.5e6 and back.center_frequency == 915e6
    np.testing.assert_array_equal(back.iq, record.iq)


def test_append_adds_a_cyclic_guard_then_the_samples(tmp_path):
    first, added = tone(300), tone(200, cycles=5)
    trovik.save(tmp_path / "a.iqw", first, type="iqw-pairs")
    trovik.append(tmp_path / "a.iqw", added, type="iqw-pairs", guard=50)
    back = trovik.load(tmp_path / "a.iqw", type="iqw-pairs").iq
    np.testing.assert_array_equal(back, np.concatenate([first, added[-50:], added]))


FILE_ERRORS = [
    # (what is on disk, call, status, headline)
    ("nothing", lambda p: trovik.load(p / "none.iqw", "iqw-pairs"), -1, "File Load Error."),
    ("bad wav", lambda p: trovik.load(p / "bad.wav", "wav-mixed"), -4, "File Load Error."),
    ("no folder", lambda p: trovik.save(p / "no" / "x.iqw", np.zeros(4, np.complex64),
                                        "iqw-pairs"), -1, "File Save Error."),
    ("no folder, whole-file writer", lambda p: trovik.save(
        p / "no" / "x.asc", np.zeros(4, np.complex64), "matlab-ascii-mixed"), -1,
     "File Save Error."),
    ("copy of nothing", lambda p: trovik.copy(p / "none.wav", p / "o.wv", "wv",
                                              src_type="wav-mixed"), -1, "File Load Error."),
]


@pytest.mark.parametrize("case", FILE_ERRORS, ids=[c[0] for c in FILE_ERRORS])
def test_file_errors_carry_status_path_and_the_clis_line(tmp_path, case):
    (tmp_path / "bad.wav").write_bytes(b"RIFX" + bytes(60))
    _, call, status, headline = case
    with pytest.raises(trovik.FileError) as caught:
        call(tmp_path)
    error = caught.value
    assert error.status == status
    assert error.path.startswith(str(tmp_path))
    assert str(error).startswith(headline + " " + error.path)
    assert str(error).endswith(")") and f"(status {status}: " in str(error)
    assert isinstance(error, OSError)


# Text types are loaded and saved whole: a copy neither reads nor writes them.
NOT_COPY_TARGET = next(row["key"] for row in SAVE if not row["copy_target"])

ARGUMENT_ERRORS = [
    (ValueError, "fits several", lambda p: trovik.save(p / "x.iqw", np.zeros(4, np.complex64))),
    (ValueError, "unknown save type", lambda p: trovik.save(p / "x.iqw", np.zeros(4, np.complex64),
                                                             "no-such-type")),
    (ValueError, "no load type has the index", lambda p: trovik.load(p / "x.iqw", 99)),
    (ValueError, "no load type has the extension", lambda p: trovik.load(p / "x.zzz")),
    (ValueError, "one-file type", lambda p: trovik.load(p / "x.iqw", "iqw-pairs", q_path="q")),
    (ValueError, "one-dimensional", lambda p: trovik.save(p / "x.iqw", np.zeros((2, 2), np.complex64),
                                                          "iqw-pairs")),
    (ValueError, "i has 3 samples and q 4", lambda p: trovik.save(
        p / "x.iqw", (np.zeros(3), np.zeros(4)), "iqw-pairs")),
    (TypeError, "must be complex", lambda p: trovik.save(p / "x.iqw", np.zeros(4), "iqw-pairs")),
    (TypeError, "must be a complex array", lambda p: trovik.save(p / "x.iqw", "abc", "iqw-pairs")),
    (TypeError, "path", lambda p: trovik.load(3.5, "iqw-pairs")),
    (ValueError, "guard must be", lambda p: trovik.append(p / "x.iqw", np.zeros(4, np.complex64),
                                                           "iqw-pairs", guard=-1)),
    (ValueError, "copy takes as target only", lambda p: trovik.copy(
        p / "a.wav", p / "b.asc", NOT_COPY_TARGET, src_type="wav-mixed")),
]


@pytest.mark.parametrize("case", ARGUMENT_ERRORS, ids=[c[1] for c in ARGUMENT_ERRORS])
def test_bad_arguments_raise_with_a_clear_text(tmp_path, case):
    kind, text, call = case
    with pytest.raises(kind, match=text):
        call(tmp_path)


def test_a_failed_save_leaves_the_file_as_it_was(tmp_path):
    target = tmp_path / "keep.iqw"
    target.write_bytes(b"old")
    with pytest.raises(TypeError):
        trovik.save(target, np.zeros(4), "iqw-pairs")
    os.chmod(tmp_path, 0o500)
    try:
        if os.access(tmp_path, os.W_OK):
            pytest.skip("running with the right to write anywhere")
        with pytest.raises(trovik.FileError):
            trovik.save(target, tone(10), "iqw-pairs")
    finally:
        os.chmod(tmp_path, 0o700)
    assert target.read_bytes() == b"old"


def big_wav(path, samples):
    trovik.save(path, tone(samples), type="wav-mixed", sample_rate=1e6)


def test_copy_streams_with_progress_and_converts(tmp_path):
    big_wav(tmp_path / "in.wav", 3_000_000)
    seen = []
    count = trovik.copy(tmp_path / "in.wav", tmp_path / "out.wv", "wv", seen.append,
                        src_type="wav-mixed", chunk=1_000_000)
    assert count == 3_000_000
    assert seen == sorted(seen) and seen[-1] == 1.0 and len(seen) >= 3
    direct = trovik.load(tmp_path / "in.wav", "wav-mixed")
    copied = trovik.load(tmp_path / "out.wv", "wv")
    assert len(copied) == len(direct) and copied.sample_rate == 1e6


def test_copy_reads_and_writes_two_file_types(tmp_path):
    sent = tone(5000)
    trovik.save(tmp_path / "in.mat", sent, "matlab-binary-single", q_path=tmp_path / "in_q.mat")
    trovik.copy(tmp_path / "in.mat", tmp_path / "out.wav", "wav-single",
                src_type="matlab-binary-single", src_q_path=tmp_path / "in_q.mat",
                q_path=tmp_path / "out_q.wav", sample_rate=1e6)
    trovik.save(tmp_path / "direct.wav", sent, "wav-single", q_path=tmp_path / "direct_q.wav",
                sample_rate=1e6)
    direct = trovik.load(tmp_path / "direct.wav", "wav-single", q_path=tmp_path / "direct_q.wav")
    copied = trovik.load(tmp_path / "out.wav", "wav-single", q_path=tmp_path / "out_q.wav")
    np.testing.assert_array_equal(copied.iq, direct.iq)


@pytest.mark.parametrize("stop", ["ctrl-c", "exception in progress"])
def test_a_stopped_copy_writes_nothing(tmp_path, stop):
    big_wav(tmp_path / "in.wav", 8_000_000)
    started = threading.Event()
    main = threading.main_thread().ident
    calls = []

    def progress(fraction):
        calls.append(fraction)
        if stop != "ctrl-c":
            raise RuntimeError("enough")
        started.set()

    def interrupt():
        started.wait(30)
        signal.pthread_kill(main, signal.SIGINT)

    sender = threading.Thread(target=interrupt)
    if stop == "ctrl-c":
        sender.start()
    interrupted = stop == "ctrl-c"
    with pytest.raises(KeyboardInterrupt if interrupted else RuntimeError,
                       match=None if interrupted else "enough"):
        trovik.copy(tmp_path / "in.wav", tmp_path / "out.wv", "wv", progress,
                    src_type="wav-mixed", chunk=1 << 20)
    if stop == "ctrl-c":
        sender.join()
    assert calls and calls[-1] < 1.0
    assert sorted(os.listdir(tmp_path)) == ["in.wav"]


def test_every_function_tells_its_use():
    for name in ["load", "save", "append", "copy", "capture", "spectrum", "spectrogram", "types"]:
        assert f"{name}(" in getattr(trovik, name).__doc__
    assert "complex64" in trovik.Record.__doc__
    stubs = os.path.join(os.path.dirname(trovik.__file__), "__init__.pyi")
    assert os.path.exists(stubs) and os.path.exists(os.path.join(os.path.dirname(stubs), "py.typed"))


CLI = os.environ.get("TROVIK_CLI", "")


@pytest.mark.skipif(not os.access(CLI, os.X_OK), reason="trovik-cli not built")
@pytest.mark.parametrize("row", SAVE, ids=[row["key"] for row in SAVE])
def test_save_writes_the_bytes_trovik_cli_convert_writes(tmp_path, row):
    import subprocess
    source = tmp_path / "in.iqw"
    tone(3000, amplitude=0.7).tofile(source)
    files = {}
    for who in ("cli", "py"):
        # The same names in two folders: an archive holds its members' names.
        (tmp_path / who).mkdir()
        names = [tmp_path / who / ("record" + row["extensions"][0])]
        if row["files"] == 2:
            names.append(tmp_path / who / ("record_q" + row["extensions"][-1]))
        files[who] = names
        q_name = names[1] if len(names) == 2 else None
        if who == "py":
            record = trovik.load(source, "iqw-pairs", sample_rate=2e6, ref_level=-10)
            trovik.save(names[0], record, row["key"], q_path=q_name)
            continue
        command = [CLI, "convert", "--from", "iqw-pairs", "--in", str(source), "--to", row["key"],
                   "--out", str(names[0]), "--rate", "2e6", "--ref-level", "-10"]
        subprocess.run(command + (["--out-q", str(q_name)] if q_name else []), check=True,
                       capture_output=True, timeout=60)
    for cli_file, py_file in zip(files["cli"], files["py"]):
        assert cli_file.read_bytes() == py_file.read_bytes()
