#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

// Sizes of one transform the spectrogram offers: 64 … 65536, powers of two.
constexpr int kMinSpectrogramFft = 64;
constexpr int kMaxSpectrogramFft = 65536;
// Level of a cell without power: 10·log10(1e-30). Far below anything a float record with a
// Hann window can show (its rounding floor lies near -190 dB), so it marks "no energy".
constexpr double kSpectrogramFloorDb = -300.0;

// How frames (rows) or bins (columns) that share one cell are combined: the mean power,
// which keeps a steady signal's level, or the peak, which keeps a short burst visible.
enum class CellReduction { Mean, Peak };

struct SpectrogramSettings
{
    int fftSize = 1024;
    int overlap = 0;  // samples shared by consecutive frames, 0 … fftSize-1
    CellReduction reduction = CellReduction::Mean;

    int hop() const { return fftSize - overlap; }
    bool valid() const;
};

// Frames of fftSize samples, hop() apart, that fit wholly in count samples.
int64_t spectrogramFrames(int64_t count, const SpectrogramSettings &s);

// Which frames and bins to compute and onto how many rows and columns. Bins are in rising
// frequency: bin b is (b - fftSize/2)·fs/fftSize Hz from the centre frequency.
struct SpectrogramRequest
{
    SpectrogramSettings settings;
    int64_t firstFrame = 0;
    int64_t frameCount = -1;  // -1: to the last frame
    int firstBin = 0;
    int binCount = 0;  // 0: to the last bin
    int rows = 0;      // 0: one row per frame
    int columns = 0;   // 0: one column per bin
};

// A request made concrete for a record: every count within the record and above zero
// (or the shape is empty).
struct SpectrogramShape
{
    int64_t firstFrame = 0, frameCount = 0;
    int firstBin = 0, binCount = 0;
    int rows = 0, columns = 0;

    bool empty() const { return rows == 0 || columns == 0; }
    // The frames that fall into a row: [rowFrame(r), rowFrame(r + 1)).
    int64_t rowFrame(int row) const;
    int columnBin(int column) const;
};
SpectrogramShape spectrogramShape(int64_t count, const SpectrogramRequest &request);

// Shared with a worker thread: frames done so far, and a flag that stops the work.
struct SpectrogramProgress
{
    std::atomic<int64_t> framesDone{0};
    std::atomic<bool> cancel{false};
};

enum class SpectrogramStatus { Ok, BadSettings, NoMemory, Cancelled, Stopped };

// Receives each row in order: columns levels in dB. Returning false stops the work
// (status Stopped), e.g. when a file cannot be written.
using SpectrogramRowSink = std::function<bool(int row, const float *levels)>;

// Computes the spectrogram of the count I/Q samples: each frame is multiplied by the
// periodic Hann window w[n] = 0.5 - 0.5·cos(2πn/N) and transformed with the usual negative
// exponent; a bin's power is |X[k]|² / (Σw)², so a tone of amplitude A reads 20·log10(A) dB;
// a cell's level is 10·log10 of its combined power. Memory: one frame and one row, whatever
// the record's length. progress may be null.
SpectrogramStatus computeSpectrogram(const float *i, const float *q, int64_t count,
                                     const SpectrogramRequest &request,
                                     const SpectrogramRowSink &sink,
                                     SpectrogramProgress *progress = nullptr);

// 10·log10(power), at kSpectrogramFloorDb for power without energy.
float powerToDb(double power);
