// trovik.spectrum and trovik.spectrogram: the plot window's and the spectrogram window's
// computations on any samples.
#include "pyviews.h"

#include "displaycurve.h"
#include "pysamples.h"
#include "spectrogram.h"

#include <pybind11/numpy.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

namespace py = pybind11;

namespace {

double rateOf(const SamplesIn &samples, const py::object &sampleRate)
{
    double rate = 0.0;
    if (!sampleRate.is_none())
        rate = sampleRate.cast<double>();
    else if (samples.record())
        rate = samples.record()->sampleRate;
    else
        throw py::type_error("sample_rate is required for samples that are not a Record");
    if (!(rate > 0.0) || !std::isfinite(rate))
        throw py::value_error("sample_rate must be a finite number above 0");
    return rate;
}

DisplayMode viewMode(const std::string &view)
{
    if (view == "spectrum")
        return DisplayMode::Spectrum;
    if (view == "phase")
        return DisplayMode::Phase;
    if (view == "iq")
        return DisplayMode::IvsQ;
    throw py::value_error("unknown view '" + view + "' (spectrum, phase or iq)");
}

py::tuple spectrum(const py::object &data, const py::object &sampleRate, const std::string &view)
{
    const DisplayMode mode = viewMode(view);
    const SamplesIn samples(data, "data");
    IqBuffer record;
    record.sampleRate = rateOf(samples, sampleRate);
    record.displayMode = mode;
    if (!samples.intoPlanar(record))
        throw std::bad_alloc();
    DisplayCurve curve;
    DisplayStatus status;
    {
        py::gil_scoped_release release;
        status = computeDisplayCurve(record, mode, curve);
    }
    if (status != DisplayStatus::Ok)
        throw std::bad_alloc();
    return py::make_tuple(py::array_t<double>(py::ssize_t(curve.x.size()), curve.x.data()),
                          py::array_t<double>(py::ssize_t(curve.y.size()), curve.y.data()));
}

// Frames per block: a block's samples (256 frames of at most 65536 samples) stay in the cache
// while its frames are transformed.
constexpr int64_t kBlockFrames = 256;

// I and Q of n interleaved frames into two arrays (a constant stride the compiler vectorises).
void splitInterleaved(const float *in, int64_t n, float *i, float *q)
{
    for (int64_t k = 0; k < n; ++k) {
        i[k] = in[2 * k];
        q[k] = in[2 * k + 1];
    }
}

// The whole record's rows, one per frame, computed block by block by computeSpectrogram on
// as many threads as there are cores. Interleaved samples are split per block into buffers
// that stay in the cache, so no planar copy of the record is made; planar samples are read
// where they lie.
SpectrogramStatus spectrogramInBlocks(const ConstFrameSpan &in, int64_t frames,
                                      const SpectrogramRequest &request, float *out)
{
    const int fft = request.settings.fftSize;
    const int64_t hop = request.settings.hop();
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::atomic<int64_t> nextBlock{0};
    std::atomic<int> failure{int(SpectrogramStatus::Ok)};
    const auto work = [&] {
        std::vector<float> iBlock, qBlock;
        try {
            if (in.stride != 1) {
                iBlock.resize(size_t((kBlockFrames - 1) * hop + fft));
                qBlock.resize(iBlock.size());
            }
        } catch (const std::bad_alloc &) {
            failure = int(SpectrogramStatus::NoMemory);
            return;
        }
        for (;;) {
            const int64_t first = nextBlock.fetch_add(1) * kBlockFrames;
            if (first >= frames || failure != int(SpectrogramStatus::Ok))
                return;
            const int64_t count = std::min(kBlockFrames, frames - first);
            const int64_t samples = (count - 1) * hop + fft;
            const ConstFrameSpan at = in.from(first * hop);
            const float *i = at.i, *q = at.q;
            if (in.stride != 1) {
                splitInterleaved(at.i, samples, iBlock.data(), qBlock.data());
                i = iBlock.data();
                q = qBlock.data();
            }
            SpectrogramRequest block = request;
            block.firstFrame = 0;
            block.frameCount = count;
            const size_t columns = size_t(fft);
            const SpectrogramStatus status
                    = computeSpectrogram(i, q, samples, block, [&](int row, const float *levels) {
                          std::memcpy(out + size_t(first + row) * columns, levels,
                                      columns * sizeof(float));
                          return true;
                      });
            if (status != SpectrogramStatus::Ok)
                failure = int(status);
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads && int64_t(t) * kBlockFrames < frames; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
    return SpectrogramStatus(failure.load());
}

py::tuple spectrogram(const py::object &data, const py::object &sampleRate, int64_t fft,
                      int64_t overlap)
{
    if (fft < kMinSpectrogramFft || fft > kMaxSpectrogramFft || (fft & (fft - 1)) != 0)
        throw py::value_error(
                "fft must be a power of two from " + std::to_string(kMinSpectrogramFft) + " to "
                + std::to_string(kMaxSpectrogramFft) + ", not " + std::to_string(fft));
    if (overlap < 0 || overlap >= fft)
        throw py::value_error("overlap must be from 0 to fft - 1, not " + std::to_string(overlap));
    const SamplesIn samples(data, "data");
    const double rate = rateOf(samples, sampleRate);
    SpectrogramRequest request;
    request.settings.fftSize = int(fft);
    request.settings.overlap = int(overlap);
    const SpectrogramShape shape = spectrogramShape(samples.count(), request);
    const py::ssize_t rows = shape.empty() ? 0 : shape.rows;
    const py::ssize_t columns = shape.empty() ? py::ssize_t(fft) : shape.columns;
    py::array_t<float> levels({rows, columns});
    py::array_t<double> times(rows);
    py::array_t<double> freqs(columns);
    const int hop = request.settings.hop();
    for (py::ssize_t r = 0; r < rows; ++r)
        times.mutable_at(r) = (double(shape.rowFrame(int(r))) * hop + double(fft) / 2.0) / rate;
    for (py::ssize_t c = 0; c < columns; ++c) {
        const int bin = shape.empty() ? int(c) : shape.columnBin(int(c));
        freqs.mutable_at(c) = double(bin - fft / 2) * rate / double(fft);
    }
    if (rows == 0)
        return py::make_tuple(times, freqs, levels);
    SpectrogramStatus status;
    {
        py::gil_scoped_release release;
        status = spectrogramInBlocks(samples.span(), shape.frameCount, request,
                                     levels.mutable_data());
    }
    if (status == SpectrogramStatus::NoMemory)
        throw std::bad_alloc();
    if (status != SpectrogramStatus::Ok)
        throw py::value_error("the spectrogram settings are not valid");
    return py::make_tuple(times, freqs, levels);
}

}  // namespace

void registerViews(py::module_ &m)
{
    m.def("spectrum", &spectrum, py::arg("data"), py::arg("sample_rate") = py::none(),
          py::arg("view") = "spectrum",
          "spectrum(data, sample_rate, view='spectrum') -> (x, y)\n\n"
          "The curve the plot window draws for data (complex array, (i, q) pair or Record; a\n"
          "Record brings its own sample_rate):\n"
          "  'spectrum'  x: baseband frequency in Hz, y: 20*log10(|X|/max) in dB (peak at 0)\n"
          "  'phase'     x: baseband frequency in Hz, y: atan2(Im, Re) in degrees\n"
          "  'iq'        x: I, y: Q\n"
          "Spectrum and phase use the first 2**k samples (at most 1,048,576). float64 arrays.");
    m.def("spectrogram", &spectrogram, py::arg("data"), py::arg("sample_rate") = py::none(),
          py::arg("fft") = 1024, py::arg("overlap") = 0,
          "spectrogram(data, sample_rate, fft=1024, overlap=0) -> (times, freqs, levels)\n\n"
          "The spectrogram window's computation over the whole record: frame r starts at\n"
          "sample r*(fft-overlap) and is multiplied by the periodic Hann window; times are\n"
          "the frames' centres in s, freqs the bins (k - fft/2)*rate/fft in Hz (rising), and\n"
          "levels[r, k] = 10*log10(|X[k]|^2 / (sum of the window)^2) in dB as float32 (a\n"
          "tone of amplitude A reads 20*log10(A); a bin without energy -300). fft is a power\n"
          "of two from 64 to 65536.");
}
