#include "spectrogram.h"

#include "complexbuffer.h"
#include "fftplan.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

bool SpectrogramSettings::valid() const
{
    const bool powerOfTwo = fftSize > 0 && (fftSize & (fftSize - 1)) == 0;
    return powerOfTwo && fftSize >= kMinSpectrogramFft && fftSize <= kMaxSpectrogramFft
           && overlap >= 0 && overlap < fftSize;
}

int64_t spectrogramFrames(int64_t count, const SpectrogramSettings &s)
{
    if (!s.valid() || count < s.fftSize)
        return 0;
    return (count - s.fftSize) / s.hop() + 1;
}

int64_t SpectrogramShape::rowFrame(int row) const
{
    return firstFrame + int64_t((__int128(row) * frameCount) / rows);
}

int SpectrogramShape::columnBin(int column) const
{
    return firstBin + int((int64_t(column) * binCount) / columns);
}

SpectrogramShape spectrogramShape(int64_t count, const SpectrogramRequest &request)
{
    SpectrogramShape s;
    const SpectrogramSettings &set = request.settings;
    const int64_t frames = spectrogramFrames(count, set);
    if (frames == 0)
        return s;
    s.firstFrame = std::clamp<int64_t>(request.firstFrame, 0, frames - 1);
    const int64_t left = frames - s.firstFrame;
    s.frameCount = request.frameCount < 0 ? left : std::min(request.frameCount, left);
    s.firstBin = std::clamp(request.firstBin, 0, set.fftSize - 1);
    const int binsLeft = set.fftSize - s.firstBin;
    s.binCount = request.binCount <= 0 ? binsLeft : std::min(request.binCount, binsLeft);
    s.rows = int(request.rows <= 0 ? std::min<int64_t>(s.frameCount, INT32_MAX)
                                   : std::min<int64_t>(request.rows, s.frameCount));
    s.columns = request.columns <= 0 ? s.binCount : std::min(request.columns, s.binCount);
    if (s.frameCount == 0)
        s.rows = 0;
    return s;
}

float powerToDb(double power)
{
    // 10·log10(p) as (10/ln 10)·ln(p): the same level to far below a float's resolution, and
    // the natural logarithm costs half as much, which tells in a spectrogram's millions of bins.
    constexpr double kDbPerNeper = 4.3429448190325182765;  // 10 / ln 10
    return power > 1e-30 ? float(kDbPerNeper * std::log(power)) : float(kSpectrogramFloorDb);
}

namespace {

// The frame's windowed samples, transformed, as power per bin in rising frequency.
class FramePower
{
public:
    bool init(int n)
    {
        m_n = n;
        m_plan = FftPlan::forSize(size_t(n));
        m_buffer = ComplexBuffer::allocate(size_t(n));
        if (!m_plan || m_buffer.isNull())
            return false;
        m_window.resize(size_t(n));
        double sum = 0.0;
        for (int k = 0; k < n; ++k) {
            m_window[size_t(k)] = 0.5 - 0.5 * std::cos(2.0 * M_PI * k / n);
            sum += m_window[size_t(k)];
        }
        m_scale = 1.0 / (sum * sum);
        return true;
    }

    void transform(const float *i, const float *q)
    {
        for (int k = 0; k < m_n; ++k)
            m_buffer[size_t(k)]
                    = std::complex<double>(i[k] * m_window[size_t(k)], q[k] * m_window[size_t(k)]);
        m_plan->execute(m_buffer);
    }

    // The plan has the positive exponent: the usual transform's line k is its line (N-k) mod N,
    // and bin b (rising frequency) is line (b - N/2) mod N of the usual one, i.e. (N/2 - b) mod N.
    double power(int bin) const
    {
        return std::norm(m_buffer[size_t((m_n + m_n / 2 - bin) % m_n)]) * m_scale;
    }

    // The levels of bins first .. first + count - 1, one per bin: what the cells give when
    // each holds one frame and one bin, without their bookkeeping (the common, long case).
    void levels(int first, int count, float *out) const
    {
        const int half = m_n / 2;
        for (int c = 0; c < count; ++c) {
            const int bin = first + c;
            const int line = bin <= half ? half - bin : m_n + half - bin;
            out[c] = powerToDb(std::norm(m_buffer[size_t(line)]) * m_scale);
        }
    }

private:
    int m_n = 0;
    std::shared_ptr<const FftPlan> m_plan;
    ComplexBuffer m_buffer;
    std::vector<double> m_window;
    double m_scale = 1.0;
};

double combine(CellReduction r, double acc, double v)
{
    return r == CellReduction::Peak ? std::max(acc, v) : acc + v;
}

}  // namespace

SpectrogramStatus computeSpectrogram(const float *i, const float *q, int64_t count,
                                     const SpectrogramRequest &request,
                                     const SpectrogramRowSink &sink, SpectrogramProgress *progress)
{
    const SpectrogramSettings &set = request.settings;
    if (!set.valid() || count < 0)
        return SpectrogramStatus::BadSettings;
    const SpectrogramShape shape = spectrogramShape(count, request);
    if (shape.empty())
        return SpectrogramStatus::Ok;
    try {
        FramePower frame;
        if (!frame.init(set.fftSize))
            return SpectrogramStatus::NoMemory;
        const CellReduction red = set.reduction;
        std::vector<double> cells(size_t(shape.columns));
        std::vector<float> levels(size_t(shape.columns));
        const bool direct = shape.rows == shape.frameCount && shape.columns == shape.binCount;
        for (int row = 0; direct && row < shape.rows; ++row) {
            if (progress && progress->cancel.load(std::memory_order_relaxed))
                return SpectrogramStatus::Cancelled;
            const int64_t start = (shape.firstFrame + row) * set.hop();
            frame.transform(i + start, q + start);
            frame.levels(shape.firstBin, shape.columns, levels.data());
            if (progress)
                progress->framesDone.fetch_add(1, std::memory_order_relaxed);
            if (!sink(row, levels.data()))
                return SpectrogramStatus::Stopped;
        }
        for (int row = 0; !direct && row < shape.rows; ++row) {
            const int64_t f0 = shape.rowFrame(row), f1 = shape.rowFrame(row + 1);
            std::fill(cells.begin(), cells.end(), 0.0);
            for (int64_t f = f0; f < f1; ++f) {
                if (progress && progress->cancel.load(std::memory_order_relaxed))
                    return SpectrogramStatus::Cancelled;
                const int64_t start = f * set.hop();
                frame.transform(i + start, q + start);
                for (int c = 0; c < shape.columns; ++c) {
                    const int b0 = shape.columnBin(c), b1 = shape.columnBin(c + 1);
                    double cell = 0.0;
                    for (int b = b0; b < b1; ++b)
                        cell = combine(red, cell, frame.power(b));
                    if (red == CellReduction::Mean)
                        cell /= (b1 - b0);
                    cells[size_t(c)] = combine(red, cells[size_t(c)], cell);
                }
                if (progress)
                    progress->framesDone.fetch_add(1, std::memory_order_relaxed);
            }
            const double frames = double(f1 - f0);
            for (int c = 0; c < shape.columns; ++c)
                levels[size_t(c)] = powerToDb(red == CellReduction::Mean ? cells[size_t(c)] / frames
                                                                         : cells[size_t(c)]);
            if (!sink(row, levels.data()))
                return SpectrogramStatus::Stopped;
        }
    } catch (const std::bad_alloc &) {
        return SpectrogramStatus::NoMemory;
    }
    return SpectrogramStatus::Ok;
}
