#pragma once

#include "iqbuffer.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

// trovik.Record: the samples as one complex64 array and what the file or the instrument said
// about them. The array's memory belongs to whoever filled it (a capsule holding the sample
// array as its base), so i and q are float32 views of it, never copies.
struct PyRecord
{
    pybind11::array iq;
    double sampleRate = 0.0;
    pybind11::object centerFrequency = pybind11::none();
    double refLevel = 0.0;
    pybind11::object captureTime = pybind11::none();
    pybind11::object instrument = pybind11::none();
    pybind11::dict meta;

    pybind11::array i() const;
    pybind11::array q() const;
};

void registerRecord(pybind11::module_ &module);

// A complex64 array of count frames over interleaved floats that samples owns (2 * count
// floats); the array's base is a capsule holding samples.
pybind11::array complexArrayOver(const SampleArray &samples, int64_t count);

// The record's facts (rate, level, centre frequency, capture time, instrument, extra) around iq.
PyRecord recordFrom(const IqBuffer &facts, pybind11::array iq);
// The Record's facts written into a core record, for a save.
void factsInto(const PyRecord &record, IqBuffer &facts);

// QVariant <-> Python, for the extra facts a file carries.
pybind11::object toPython(const QVariant &value);
QVariant fromPython(const pybind11::handle &value);
