#pragma once

#include "iqstatus.h"
#include "samplearray.h"

#include <QDateTime>
#include <QString>
#include <QVariantMap>
#include <cstdint>

// The view the plot window is asked to show.
enum class DisplayMode : int32_t { Spectrum = 0, IvsQ = 1, Phase = 2 };

// The one in-memory form of I/Q data: two parallel float arrays plus the numbers that
// describe them and the file-side description the load/save workflow needs.
// Copying a record is shallow: the copy shares the sample arrays (see SampleArray).
struct IqBuffer
{
    QString iFileName;  // I file, or the one file of a one-file type
    QString qFileName;  // Q file of a two-file type; empty for one-file types
    QString directory;  // folder last used in a file dialog for this record
    int32_t typeIndex = 0;
    int32_t fileMode = 0;
    DisplayMode displayMode = DisplayMode::Spectrum;
    int64_t sampleCount = 0;  // I/Q pairs; after a chunked copy, the whole file's count
    SampleArray iData;
    SampleArray qData;
    float refLevel = 0.0f;
    float iMin = 0.0f;
    float iMax = 0.0f;
    float qMin = 0.0f;
    float qMax = 0.0f;
    int32_t iqSource = 0;  // 0 = file (Load tab), 1 = instrument (Trace tab)
    int64_t chunkCount = 0;
    int64_t lastChunkSize = 0;
    double sampleRate = 0.0;
    double centerFrequency = 0.0;
    // What the instrument or the file said about the samples, carried with them so that every
    // writer and view tells the same story. Unknown facts stay unset: a writer leaves out a field
    // it cannot fill truthfully rather than writing 0.
    bool centerFrequencyKnown = false;  // centerFrequency came from the instrument or the file
    QDateTime captureTime;              // UTC time the capture (or the file's first capture) began
    QString instrument;                 // the instrument's "*IDN?" reply, trimmed
    QVariantMap extra;                  // other facts the file carried, under the file's own keys
    double powerSum = 0.0;
    double peakMagnitude = 0.0;

    // Samples that every consumer may read: never more than both arrays hold, even when
    // sampleCount describes a larger file (chunked conversion).
    int64_t heldCount() const noexcept;
};

// Allocates count floats for I, then for Q, and stores them; the previous arrays are released
// first. 0 on success; -7 when I cannot be had (nothing stored); -8 when Q cannot be had (the new
// I array stays stored). sampleCount is not changed.
IqStatus allocateSamples(IqBuffer &r, int64_t count);

// Releases both arrays; afterwards both are null. Harmless on an empty record.
void releaseSamples(IqBuffer &r);
