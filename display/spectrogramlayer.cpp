#include "spectrogramlayer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The index i with first(i) <= k < first(i + 1) among count parts, from an estimate.
template<typename First>
int partHolding(int64_t k, int count, int64_t estimate, First first)
{
    int i = int(std::clamp<int64_t>(estimate, 0, count - 1));
    while (i + 1 < count && first(i + 1) <= k)
        ++i;
    while (i > 0 && first(i) > k)
        --i;
    return i;
}

}  // namespace

double SpectrogramLayer::timeBegin() const
{
    return (double(shape.firstFrame) * hop + fftSize / 2 - hop / 2.0) / sampleRate;
}

double SpectrogramLayer::timeEnd() const
{
    return (double(shape.firstFrame + shape.frameCount) * hop + fftSize / 2 - hop / 2.0)
           / sampleRate;
}

double SpectrogramLayer::frequencyBegin() const
{
    return centreFrequency + (shape.firstBin - fftSize / 2 - 0.5) * sampleRate / fftSize;
}

double SpectrogramLayer::frequencyEnd() const
{
    return centreFrequency
           + (shape.firstBin + shape.binCount - fftSize / 2 - 0.5) * sampleRate / fftSize;
}

int64_t SpectrogramLayer::frameAt(double t) const
{
    return int64_t(std::floor((t * sampleRate - fftSize / 2) / hop + 0.5));
}

int64_t SpectrogramLayer::binAt(double f) const
{
    return int64_t(std::floor((f - centreFrequency) * fftSize / sampleRate + fftSize / 2 + 0.5));
}

double SpectrogramLayer::levelAt(double t, double f) const
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    if (empty()
        || !(t >= timeBegin() && t < timeEnd() && f >= frequencyBegin() && f < frequencyEnd()))
        return nan;
    const int64_t frame
            = std::clamp(frameAt(t), shape.firstFrame, shape.firstFrame + shape.frameCount - 1);
    const int64_t bin
            = std::clamp<int64_t>(binAt(f), shape.firstBin, shape.firstBin + shape.binCount - 1);
    const int row = partHolding(frame, shape.rows,
                                (frame - shape.firstFrame) * shape.rows / shape.frameCount,
                                [&](int r) { return shape.rowFrame(r); });
    const int column = partHolding(bin, shape.columns,
                                   (bin - shape.firstBin) * shape.columns / shape.binCount,
                                   [&](int c) { return int64_t(shape.columnBin(c)); });
    return levels[size_t(row) * shape.columns + column];
}

SpectrogramRequest spectrogramRequestFor(const SpectrogramSettings &settings, int64_t count,
                                         double sampleRate, double centreFrequency, double t0,
                                         double t1, double f0, double f1, int rows, int columns)
{
    SpectrogramLayer geometry;
    geometry.fftSize = settings.fftSize;
    geometry.hop = settings.hop();
    geometry.sampleRate = sampleRate;
    geometry.centreFrequency = centreFrequency;
    const int64_t frames = spectrogramFrames(count, settings);
    SpectrogramRequest q;
    q.settings = settings;
    const int64_t a = std::clamp<int64_t>(geometry.frameAt(std::min(t0, t1)), 0,
                                          std::max<int64_t>(frames - 1, 0));
    const int64_t b = std::clamp<int64_t>(geometry.frameAt(std::max(t0, t1)), 0,
                                          std::max<int64_t>(frames - 1, 0));
    q.firstFrame = a;
    q.frameCount = b - a + 1;
    const int64_t lo
            = std::clamp<int64_t>(geometry.binAt(std::min(f0, f1)), 0, settings.fftSize - 1);
    const int64_t hi
            = std::clamp<int64_t>(geometry.binAt(std::max(f0, f1)), 0, settings.fftSize - 1);
    q.firstBin = int(lo);
    q.binCount = int(hi - lo + 1);
    q.rows = std::max(1, rows);
    q.columns = std::max(1, columns);
    return q;
}

std::pair<double, double> autoLevelRange(const std::vector<float> &levels)
{
    std::vector<float> v;
    v.reserve(levels.size());
    for (float x : levels)
        if (x > float(kSpectrogramFloorDb))
            v.push_back(x);
    if (v.empty())
        return {-120.0, 0.0};
    const float peak = *std::max_element(v.begin(), v.end());
    std::nth_element(v.begin(), v.begin() + v.size() / 10, v.end());
    const double high = std::ceil(peak / 5.0) * 5.0;
    const double low = std::max(std::floor(v[v.size() / 10] / 5.0) * 5.0, high - 150.0);
    return {low, std::max(high, low + 5.0)};
}
