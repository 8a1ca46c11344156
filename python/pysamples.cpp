#include "pysamples.h"

#include <complex>
#include <string>

namespace py = pybind11;

namespace {

using Complex = std::complex<float>;

std::string kindMessage(const char *argument, const py::handle &data)
{
    return std::string(argument) + " must be a complex array, an (i, q) pair of real arrays or a "
           + "trovik.Record, not " + std::string(py::str(data.get_type().attr("__name__")));
}

void requireOneDimension(const py::array &a, const char *argument)
{
    if (a.ndim() != 1)
        throw py::value_error(std::string(argument) + " must be one-dimensional, not of shape "
                              + std::string(py::str(a.attr("shape"))));
}

// A real array as contiguous float32, converted only when it is not one already.
py::array realPart(const py::handle &part, const char *argument, const char *name)
{
    py::array a = py::array::ensure(part);
    if (!a)
        throw py::type_error(std::string(argument) + ": " + name + " must be an array of numbers");
    const char kind = a.dtype().kind();
    if (kind != 'f' && kind != 'i' && kind != 'u')
        throw py::type_error(std::string(argument) + ": " + name + " must hold real numbers, not "
                             + std::string(py::str(a.dtype())));
    requireOneDimension(a, argument);
    return py::array_t<float, py::array::c_style | py::array::forcecast>::ensure(a);
}

}  // namespace

SamplesIn::SamplesIn(const py::handle &data, const char *argument)
{
    if (py::isinstance<PyRecord>(data)) {
        given = data.cast<PyRecord>();
        complexData = given->iq;
    } else if (py::isinstance<py::tuple>(data) || py::isinstance<py::list>(data)) {
        if (py::len(data) != 2)
            throw py::value_error(std::string(argument) + ": an (i, q) pair has two arrays, not "
                                  + std::to_string(py::len(data)));
        py::sequence pair = py::reinterpret_borrow<py::sequence>(data);
        iData = realPart(pair[0], argument, "i");
        qData = realPart(pair[1], argument, "q");
        if (iData.shape(0) != qData.shape(0))
            throw py::value_error(std::string(argument) + ": i has "
                                  + std::to_string(iData.shape(0)) + " samples and q "
                                  + std::to_string(qData.shape(0)));
        frames = iData.shape(0);
        frameSpan = {static_cast<const float *>(iData.data()),
                     static_cast<const float *>(qData.data()), 1};
        return;
    } else {
        complexData = py::array::ensure(data);
        if (!complexData)
            throw py::type_error(kindMessage(argument, data));
    }
    const char kind = complexData.dtype().kind();
    if (kind != 'c' && kind != 'f' && kind != 'i' && kind != 'u')
        throw py::type_error(kindMessage(argument, data));
    if (kind != 'c')
        throw py::type_error(std::string(argument) + " must be complex (for real samples give an "
                             + "(i, q) pair), not " + std::string(py::str(complexData.dtype())));
    requireOneDimension(complexData, argument);
    complexData
            = py::array_t<Complex, py::array::c_style | py::array::forcecast>::ensure(complexData);
    frames = complexData.shape(0);
    const auto *base = static_cast<const float *>(complexData.data());
    frameSpan = {base, base + 1, 2};
}

bool SamplesIn::intoPlanar(IqBuffer &record) const
{
    record.sampleCount = frames;
    if (!interleaved()) {
        // The caller's arrays outlive every use of the record: nothing needs to own them.
        const std::shared_ptr<void> nobody(static_cast<void *>(nullptr), [](void *) {});
        record.iData = SampleArray::borrow(const_cast<float *>(frameSpan.i), frames, nobody);
        record.qData = SampleArray::borrow(const_cast<float *>(frameSpan.q), frames, nobody);
        return true;
    }
    py::gil_scoped_release release;
    if (allocateSamples(record, frames) != IqStatus::Ok)
        return false;
    float *i = record.iData.data();
    float *q = record.qData.data();
    const float *in = frameSpan.i;
    for (int64_t k = 0; k < frames; ++k) {
        i[k] = in[2 * k];
        q[k] = in[2 * k + 1];
    }
    return true;
}
