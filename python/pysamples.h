#pragma once

#include "framecodec.h"
#include "iqbuffer.h"
#include "pyrecord.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <optional>

// The samples a caller hands over: a complex array, an (i, q) pair of real arrays, or a
// Record. A C-contiguous complex64 array and float32 arrays are read where they lie; other
// dtypes and layouts are converted once (numpy needs that anyway). The arrays stay referenced
// here, so the spans and borrowed sample arrays are valid for as long as this object lives.
class SamplesIn
{
public:
    // argument names the parameter in messages ("data").
    SamplesIn(const pybind11::handle &data, const char *argument);

    int64_t count() const { return frames; }
    // The frames as the streaming writers take them: stride 2 over complex, 1 over a pair.
    ConstFrameSpan span() const { return frameSpan; }
    bool interleaved() const { return frameSpan.stride == 2; }
    // The Record handed over, whose facts go with the samples.
    const std::optional<PyRecord> &record() const { return given; }

    // Puts the samples into record's planar arrays: a pair without a copy (the arrays are
    // borrowed), complex samples split into new arrays (with the GIL released). False when
    // the memory cannot be had.
    bool intoPlanar(IqBuffer &record) const;

private:
    pybind11::array complexData;
    pybind11::array iData;
    pybind11::array qData;
    std::optional<PyRecord> given;
    ConstFrameSpan frameSpan;
    int64_t frames = 0;
};
