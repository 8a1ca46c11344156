#pragma once

#include "iqbuffer.h"

#include <QIODevice>

// WAV layout, as written (one stereo file, or one mono file per channel):
//   0 "RIFF", 4 RIFF size = data size + 36, 8 "WAVE",
//   12 "fmt ", 16 format chunk size 16, 20 format tag 1 (PCM), 22 channels,
//   24 sample rate (Hz, truncated), 28 byte rate, 32 block align, 34 bits per sample 16,
//   36 "data", 40 data size = block align x sample count, 44 the samples: signed 16-bit
//   little-endian, I then Q per sample in a stereo file.
// Data beyond what a 32-bit RIFF size can hold are written as RF64 (see wavHeaderBytes);
// RF64 and BW64 files are read. As read, the RIFF chunks are walked to "fmt " and "data" (other
// chunks are skipped), 8- and 16-bit PCM are accepted, 8-bit samples are taken as signed bytes, and
// the sample count is the data size over the block size. A file that ends before its data size
// fails to load, unless the size is 0xFFFFFFFF (a streaming writer's placeholder) or exactly twice
// the bytes present (older files counted 8 bytes per 4-byte sample): then the samples present load.
// Values load as the integer codes, unscaled.

// (bits per sample / 8) x 256 + channels.
namespace WavKind {
constexpr int Mono8 = 257;
constexpr int Mono16 = 513;
constexpr int Stereo8 = 258;
constexpr int Stereo16 = 514;
}  // namespace WavKind

struct WavHeader
{
    int kind = 0;
    double sampleRate = 0.0;
    int64_t dataOffset = 0;  // first sample
    int64_t count = 0;       // samples (frames) present in the file
};

// Parses the header of the device (any position); -4 when it is not PCM WAV of a kind above,
// fail when it ends before the data chunk.
IqStatus parseWavHeader(QIODevice &device, WavHeader &header, IqStatus fail = IqStatus::FirstFile);

// True when count samples of the channel count are more than a 32-bit RIFF size can hold.
bool wavNeedsRf64(int64_t count, int channels);
// The header for count samples of the given channel count (16-bit PCM): the 44-byte RIFF
// header, or with rf64 the 80-byte RF64 header (EBU Tech 3306: "RF64", a ds64 chunk with the
// 64-bit RIFF size, data size and frame count, 0xFFFFFFFF in both 32-bit size fields).
QByteArray wavHeaderBytes(int64_t count, int channels, double sampleRate, bool rf64 = false);

struct FrameCodec;
// Both WAV types as frames: stereo (15) and one mono file per channel (14). The writers scale to
// the record's extremes, so they need its summary before the first frame.
const FrameCodec &wavFrameCodec();
