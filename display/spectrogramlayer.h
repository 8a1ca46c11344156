#pragma once

#include "spectrogram.h"

#include <cstdint>
#include <utility>
#include <vector>

// A computed spectrogram placed in time and frequency: rows along the time axis (seconds
// from the record's first sample), columns along the frequency axis (Hz, the centre
// frequency included). Frame f is drawn over the hop around its centre,
// (f·hop + N/2)/fs ± hop/(2·fs); bin b over its width around fc + (b - N/2)·fs/N.
struct SpectrogramLayer
{
    SpectrogramShape shape;
    int fftSize = 0;
    int hop = 0;
    double sampleRate = 0.0;
    double centreFrequency = 0.0;
    std::vector<float> levels;  // shape.rows × shape.columns

    bool empty() const { return shape.empty() || levels.empty(); }
    double timeBegin() const;
    double timeEnd() const;
    double frequencyBegin() const;
    double frequencyEnd() const;
    // The level of the cell at (t, f), NaN outside the layer.
    double levelAt(double t, double f) const;

    // Frame whose slot holds t, bin whose width holds f (unclamped).
    int64_t frameAt(double t) const;
    int64_t binAt(double f) const;
};

// The request that covers the time and frequency ranges at about rows × columns cells (the
// screen's resolution) for a record of count samples.
SpectrogramRequest spectrogramRequestFor(const SpectrogramSettings &settings, int64_t count,
                                         double sampleRate, double centreFrequency, double t0,
                                         double t1, double f0, double f1, int rows, int columns);

// A level range that shows the levels well: from about the tenth percentile (the noise
// floor) to the peak, rounded out to 5 dB and at most 150 dB wide. Cells at the floor of no
// energy are left out; without any cell the range is -120 … 0 dB.
std::pair<double, double> autoLevelRange(const std::vector<float> &levels);
