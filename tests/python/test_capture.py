"""trovik.capture against the simulated instrument (scpisim) through Pontil and kxvisa: the
record trovik-cli capture saves, the same notices, the same failure text, Ctrl-C."""
import os
import signal
import subprocess
import tempfile
import threading
import time
import warnings

import numpy as np
import pytest

import trovik

SCPISIM = os.environ.get("TROVIK_SCPISIM", "")
TROVIK_CLI = os.environ.get("TROVIK_CLI", "")
pytestmark = pytest.mark.skipif(not os.access(SCPISIM, os.X_OK), reason="scpisim not built")

# Only the kxvisa beside the built libpontil.so serves: nothing of the system's.
EMPTY = tempfile.mkdtemp()
os.environ["PONTIL_ROOT"] = EMPTY
os.environ["PONTIL_LIBRARY_PATH"] = EMPTY


def start_simulator(*options):
    sim = subprocess.Popen([SCPISIM, "--socket-port", "0", "--no-vxi11", "--options", "Q52",
                            *options], stdout=subprocess.PIPE, text=True)
    line = sim.stdout.readline()
    assert line.startswith("READY"), line
    port = line.split("socket=")[1].split()[0]
    return sim, f"TCPIP::127.0.0.1::{port}::SOCKET"


@pytest.fixture(scope="module")
def resource():
    sim, name = start_simulator()
    yield name
    sim.terminate()
    sim.wait()
    sim.stdout.close()


def overrides(resource, **more):
    keys = {"Analyzer/Type": 1, "Analyzer/VISA Resource String": resource,
            "Analyzer/Sample Count": 1000}
    keys.update(more)
    return keys


def quiet_capture(*args, **keys):
    """trovik.capture without its notices (the settings file is new, values get clamped)."""
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return trovik.capture(*args, **keys)


def cli_capture(keys, settings, out):
    command = [TROVIK_CLI, "capture", "--settings", str(settings), "--to", "iqw-pairs",
               "--out", str(out)]
    for key, value in keys.items():
        command += ["--set", f"{key}={value}"]
    return subprocess.run(command, capture_output=True, text=True, timeout=60)


def test_capture_returns_the_tone_with_the_instruments_facts(resource):
    record = quiet_capture(**overrides(resource))
    assert len(record) == 1000 and record.iq.dtype == np.complex64
    n = np.arange(1000) % 1024
    expected = (0.5 * np.exp(2j * np.pi * 37 * n / 1024)).astype(np.complex64)
    np.testing.assert_allclose(record.iq, expected, atol=1e-6)
    assert record.instrument.startswith("Vantorp,SCPISIM")
    assert record.sample_rate > 0 and record.capture_time is not None


@pytest.mark.skipif(not os.access(TROVIK_CLI, os.X_OK), reason="trovik-cli not built")
def test_capture_is_trovik_cli_captures_record_and_notices(resource, tmp_path):
    keys = overrides(resource)
    settings, out = tmp_path / "Trovik.ini", tmp_path / "cli.iqw"
    cli = cli_capture(keys, settings, out)
    assert cli.returncode == 0, cli.stderr
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        record = trovik.capture(settings, **keys)
    told = [line.removeprefix("trovik-cli: ") for line in cli.stderr.splitlines()
            if line.startswith("trovik-cli: ") and "warning" not in line]
    assert [str(w.message) for w in caught] == told
    assert any(line.startswith("no settings file") for line in told)
    np.testing.assert_array_equal(np.fromfile(out, np.complex64), record.iq)


def test_a_mapping_of_overrides_is_taken_too(resource):
    record = quiet_capture(overrides(resource, **{"Analyzer/Sample Count": 500}))
    assert len(record) == 500


@pytest.mark.skipif(not os.access(TROVIK_CLI, os.X_OK), reason="trovik-cli not built")
def test_a_failed_init_raises_the_clis_message_and_detail(tmp_path):
    keys = overrides("TCPIP::127.0.0.1::1::SOCKET")
    cli = cli_capture(keys, tmp_path / "none.ini", tmp_path / "x.iqw")
    assert cli.returncode != 0
    with pytest.raises(trovik.CaptureError) as caught:
        quiet_capture(**keys)
    error = caught.value
    assert error.reason == "InitFailed" and isinstance(error.status, int)
    assert any("connection refused" in line for line in error.detail)
    start = cli.stderr.index("trovik-cli: Initialization error")
    assert "trovik-cli: " + str(error) + "\n" == cli.stderr[start:]


@pytest.mark.parametrize("keys,kind,text", [
    ({"Analyzer/NoSuchKey": 1}, ValueError, "the keys of Analyzer are"),
    ({"Nowhere/Type": 1}, ValueError, "the groups are"),
    ({"Analyzer/Type": "one"}, ValueError, "Analyzer/Type: 'one' is not an integer"),
    ({"Analyzer/Type": [1]}, TypeError, "must be a bool, int, float or str"),
])
def test_overrides_meet_the_clis_checks(keys, kind, text):
    with pytest.raises(kind, match=text):
        trovik.capture(**keys)


def test_ctrl_c_cancels_a_capture_that_waits_for_its_data():
    sim, name = start_simulator("--block-delay", "60000")
    main = threading.main_thread().ident

    def interrupt():
        time.sleep(1.5)
        signal.pthread_kill(main, signal.SIGINT)

    sender = threading.Thread(target=interrupt)
    try:
        started = time.monotonic()
        sender.start()
        with pytest.raises(KeyboardInterrupt):
            quiet_capture(**overrides(name))
        assert time.monotonic() - started < 10
    finally:
        sender.join()
        sim.terminate()
        sim.wait()
        sim.stdout.close()
