"""trovik.spectrum and trovik.spectrogram against numpy and scipy."""
import threading

import numpy as np
import pytest
import scipy.signal

import trovik
from conftest import tone


@pytest.mark.parametrize("fft,overlap", [(64, 0), (1024, 0), (256, 128), (4096, 1000)])
def test_spectrogram_is_scipys_with_the_same_window(noise, fft, overlap):
    x = np.concatenate([noise, tone(20000, cycles=100)])
    times, freqs, levels = trovik.spectrogram(x, 4e6, fft=fft, overlap=overlap)
    f, t, power = scipy.signal.spectrogram(
        x, fs=4e6, window="hann", nperseg=fft, noverlap=overlap, nfft=fft, detrend=False,
        return_onesided=False, scaling="spectrum", mode="psd")
    expected = 10 * np.log10(np.maximum(np.fft.fftshift(power, axes=0).T, 1e-30))
    np.testing.assert_allclose(times, t)
    np.testing.assert_allclose(freqs, np.fft.fftshift(f))
    assert levels.shape == expected.shape and levels.dtype == np.float32
    # Bins 60 dB below the peak hold mostly float32 rounding noise, which differs between
    # transforms.
    shown = expected > expected.max() - 60
    assert shown.mean() > 0.1
    np.testing.assert_allclose(levels[shown], expected[shown], atol=2e-3)
    assert np.all(levels[~shown] < expected.max() - 55)


def test_a_tone_reads_at_its_level_and_frequency():
    x = tone(64 * 1024, cycles=128, amplitude=0.25)
    _, freqs, levels = trovik.spectrogram(x, 1.024e6, fft=1024)
    assert freqs[np.argmax(levels[3])] == pytest.approx(128e3)
    assert levels[3].max() == pytest.approx(20 * np.log10(0.25), abs=1e-3)
    freq, level = trovik.spectrum(trovik.Record(x[:8192], sample_rate=1.024e6))
    assert level.max() == 0.0
    assert freq[np.argmax(level)] == pytest.approx(128e3, abs=1.024e6 / 8191)


def test_spectrum_levels_are_numpys_transform_relative_to_the_peak(noise):
    x = noise[:4096]
    freq, level = trovik.spectrum(x, 1e6)
    reference = np.abs(np.fft.fft(x.astype(np.complex128)))
    expected = 20 * np.log10(reference / reference.max())
    assert len(freq) == len(level) == 4096
    assert freq[0] == pytest.approx(-0.5e6) and freq[-1] == pytest.approx(0.5e6)
    np.testing.assert_allclose(np.sort(level), np.sort(expected), atol=1e-6)


def test_phase_and_iq_views(noise):
    _, phase = trovik.spectrum(noise, 1e6, view="phase")
    assert phase.min() >= -180 and phase.max() <= 180
    i, q = trovik.spectrum((noise.real, noise.imag), 1e6, view="iq")
    np.testing.assert_array_equal(i, noise.real.astype(np.float64))
    np.testing.assert_array_equal(q, noise.imag.astype(np.float64))


@pytest.mark.parametrize("call,kind", [
    (lambda x: trovik.spectrum(x, 1e6, view="waterfall"), ValueError),
    (lambda x: trovik.spectrum(x), TypeError),
    (lambda x: trovik.spectrum(x, -1.0), ValueError),
    (lambda x: trovik.spectrogram(x, 1e6, fft=1000), ValueError),
    (lambda x: trovik.spectrogram(x, 1e6, fft=1024, overlap=1024), ValueError),
    (lambda x: trovik.spectrogram(x.real, 1e6), TypeError),
])
def test_bad_view_arguments(noise, call, kind):
    with pytest.raises(kind):
        call(noise)


def test_a_record_shorter_than_a_frame_has_no_rows():
    times, freqs, levels = trovik.spectrogram(tone(100), 1e6, fft=1024)
    assert levels.shape == (0, 1024) and len(times) == 0 and len(freqs) == 1024


def test_the_gil_is_released_while_the_transforms_run(noise):
    x = np.resize(noise, 8_000_000)
    done = threading.Event()
    ticks = 0

    def work():
        trovik.spectrogram(x, 1e6, fft=1024)
        done.set()

    worker = threading.Thread(target=work)
    worker.start()
    while not done.is_set():
        ticks += 1
    worker.join()
    assert ticks > 1000  # the interpreter kept running beside the computation
