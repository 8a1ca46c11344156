// trovik.spectrum and trovik.spectrogram: the plot window's and the spectrogram window's
// computations on any samples.
#include "pyviews.h"

#include "appsettings.h"
#include "displaycurve.h"
#include "pysamples.h"
#include "spectrogram.h"

#include <pybind11/numpy.h>

#include <cmath>
#include <cstring>
#include <new>

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
        status = computeDisplayCurve(record, AppSettings(), mode, curve);
    }
    if (status != DisplayStatus::Ok)
        throw std::bad_alloc();
    return py::make_tuple(py::array_t<double>(py::ssize_t(curve.x.size()), curve.x.data()),
                          py::array_t<double>(py::ssize_t(curve.y.size()), curve.y.data()));
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
    IqBuffer record;
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
    if (!samples.intoPlanar(record))
        throw std::bad_alloc();
    float *out = levels.mutable_data();
    SpectrogramStatus status;
    {
        py::gil_scoped_release release;
        status = computeSpectrogram(record.iData.data(), record.qData.data(), samples.count(),
                                    request, [&](int row, const float *values) {
                                        std::memcpy(out + size_t(row) * size_t(columns), values,
                                                    size_t(columns) * sizeof(float));
                                        return true;
                                    });
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
