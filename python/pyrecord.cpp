#include "pyrecord.h"

#include "pyerrors.h"

#include <QDateTime>

#include <complex>

namespace py = pybind11;

namespace {

// Every numpy array of a record shares the memory of the one complex array: a float32 view
// every second float, starting at I or at Q.
py::array floatView(const py::array &iq, int offset)
{
    const py::ssize_t n = iq.shape(0);
    const py::ssize_t stride = iq.strides(0);
    auto *base = static_cast<char *>(const_cast<void *>(iq.data())) + offset * sizeof(float);
    py::array view(py::dtype::of<float>(), {n}, {stride}, base, iq);
    if (!iq.writeable())
        view.attr("setflags")(py::arg("write") = false);
    return view;
}

py::object utcDateTime(const QDateTime &time)
{
    if (!time.isValid())
        return py::none();
    py::module_ datetime = py::module_::import("datetime");
    py::object utc = datetime.attr("timezone").attr("utc");
    return datetime.attr("datetime")
            .attr("fromtimestamp")(double(time.toMSecsSinceEpoch()) / 1000.0, utc);
}

QDateTime fromUtcDateTime(const py::object &time)
{
    if (time.is_none())
        return QDateTime();
    py::module_ datetime = py::module_::import("datetime");
    if (!py::isinstance(time, datetime.attr("datetime")))
        throw py::type_error("capture_time must be a datetime.datetime or None");
    py::object aware = time;
    if (time.attr("tzinfo").is_none())  // a naive time is taken as UTC, as files keep it
        aware = time.attr("replace")(py::arg("tzinfo") = datetime.attr("timezone").attr("utc"));
    const double seconds = aware.attr("timestamp")().cast<double>();
    return QDateTime::fromMSecsSinceEpoch(qint64(std::llround(seconds * 1000.0)), Qt::UTC);
}

const char *kRecordDoc
        = "An I/Q record: the samples and what the file or the instrument said about them.\n\n"
          "iq: complex64 array of the samples (a view of the memory the reader filled);\n"
          "i, q: float32 views of its real and imaginary parts (no copies);\n"
          "sample_rate (Hz), center_frequency (Hz, None when unknown), ref_level (dBm),\n"
          "capture_time (UTC datetime or None), instrument (the *IDN? reply or None),\n"
          "meta (dict of everything else the file carried, under the file's own keys).";

}  // namespace

py::array PyRecord::i() const
{
    return floatView(iq, 0);
}

py::array PyRecord::q() const
{
    return floatView(iq, 1);
}

py::array complexArrayOver(const SampleArray &samples, int64_t count)
{
    auto *owner = new SampleArray(samples);
    py::capsule capsule(owner, [](void *p) { delete static_cast<SampleArray *>(p); });
    return py::array(py::dtype::of<std::complex<float>>(), {py::ssize_t(count)},
                     {py::ssize_t(sizeof(std::complex<float>))},
                     reinterpret_cast<std::complex<float> *>(samples.data()), capsule);
}

py::object toPython(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::UnknownType: return py::none();
    case QMetaType::Bool: return py::bool_(value.toBool());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: return py::int_(value.toLongLong());
    case QMetaType::Float:
    case QMetaType::Double: return py::float_(value.toDouble());
    case QMetaType::QDateTime: return utcDateTime(value.toDateTime().toUTC());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return py::bytes(bytes.constData(), size_t(bytes.size()));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        py::list list;
        for (const QVariant &item : value.toList())
            list.append(toPython(item));
        return std::move(list);
    }
    case QMetaType::QVariantMap: {
        py::dict dict;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            dict[toPython(it.key())] = toPython(it.value());
        return std::move(dict);
    }
    default: return toPython(value.toString());
    }
}

QVariant fromPython(const py::handle &value)
{
    if (value.is_none())
        return QVariant();
    if (py::isinstance<py::bool_>(value))
        return value.cast<bool>();
    if (py::isinstance<py::int_>(value))
        return QVariant(qlonglong(value.cast<long long>()));
    if (py::isinstance<py::float_>(value))
        return value.cast<double>();
    if (py::isinstance<py::str>(value))
        return QString::fromStdString(value.cast<std::string>());
    if (py::isinstance<py::dict>(value)) {
        QVariantMap map;
        for (const auto &item : py::reinterpret_borrow<py::dict>(value))
            map.insert(QString::fromStdString(py::str(item.first).cast<std::string>()),
                       fromPython(item.second));
        return map;
    }
    if (py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value)) {
        QVariantList list;
        for (const auto &item : value)
            list << fromPython(item);
        return list;
    }
    return QString::fromStdString(py::str(value).cast<std::string>());
}

PyRecord recordFrom(const IqBuffer &facts, py::array iq)
{
    PyRecord r;
    r.iq = std::move(iq);
    r.sampleRate = facts.sampleRate;
    r.refLevel = facts.refLevel;
    if (facts.centerFrequencyKnown)
        r.centerFrequency = py::float_(facts.centerFrequency);
    r.captureTime = utcDateTime(facts.captureTime.toUTC());
    if (!facts.instrument.isEmpty())
        r.instrument = toPython(facts.instrument);
    for (auto it = facts.extra.begin(); it != facts.extra.end(); ++it)
        r.meta[toPython(it.key())] = toPython(it.value());
    return r;
}

void factsInto(const PyRecord &record, IqBuffer &facts)
{
    facts.sampleRate = record.sampleRate;
    facts.refLevel = float(record.refLevel);
    facts.centerFrequencyKnown = !record.centerFrequency.is_none();
    facts.centerFrequency
            = facts.centerFrequencyKnown ? record.centerFrequency.cast<double>() : 0.0;
    facts.captureTime = fromUtcDateTime(record.captureTime);
    facts.instrument = record.instrument.is_none()
                               ? QString()
                               : QString::fromStdString(py::str(record.instrument));
    facts.extra = fromPython(record.meta).toMap();
}

void registerRecord(py::module_ &module)
{
    py::class_<PyRecord>(module, "Record", kRecordDoc)
            .def(py::init([](py::object iq, double sampleRate, py::object centerFrequency,
                             double refLevel, py::object captureTime, py::object instrument,
                             py::object meta) {
                     PyRecord r;
                     py::module_ numpy = py::module_::import("numpy");
                     r.iq = numpy.attr("ascontiguousarray")(iq, py::arg("dtype") = "complex64");
                     if (r.iq.ndim() != 1)
                         throw py::value_error("iq must be a one-dimensional array");
                     r.sampleRate = sampleRate;
                     r.centerFrequency = centerFrequency.is_none()
                                                 ? py::object(py::none())
                                                 : py::object(py::float_(centerFrequency));
                     r.refLevel = refLevel;
                     fromUtcDateTime(captureTime);  // checks the type
                     r.captureTime = captureTime;
                     r.instrument = instrument;
                     r.meta = meta.is_none() ? py::dict() : py::dict(meta);
                     return r;
                 }),
                 py::arg("iq"), py::arg("sample_rate") = 100e6,
                 py::arg("center_frequency") = py::none(), py::arg("ref_level") = 0.0,
                 py::arg("capture_time") = py::none(), py::arg("instrument") = py::none(),
                 py::arg("meta") = py::none(),
                 "Record(iq, sample_rate=1e8, center_frequency=None, ref_level=0.0, "
                 "capture_time=None, instrument=None, meta=None): a record to save, from any "
                 "complex array (kept without a copy when it is contiguous complex64).")
            .def_readonly("iq", &PyRecord::iq, "complex64 array of the samples")
            .def_property_readonly("i", &PyRecord::i, "float32 view of the real parts of iq")
            .def_property_readonly("q", &PyRecord::q, "float32 view of the imaginary parts of iq")
            .def_readwrite("sample_rate", &PyRecord::sampleRate, "sample rate in Hz")
            .def_readwrite("center_frequency", &PyRecord::centerFrequency,
                           "centre frequency in Hz, None when unknown")
            .def_readwrite("ref_level", &PyRecord::refLevel, "reference level in dBm")
            .def_readwrite("capture_time", &PyRecord::captureTime,
                           "UTC time the capture began, None when unknown")
            .def_readwrite("instrument", &PyRecord::instrument,
                           "the instrument's *IDN? reply, None when unknown")
            .def_readwrite("meta", &PyRecord::meta,
                           "everything else the file carried, under the file's own keys")
            .def("__len__", [](const PyRecord &r) { return r.iq.shape(0); })
            .def("__repr__", [](const PyRecord &r) {
                return py::str("<trovik.Record {} samples at {} Hz>")
                        .format(r.iq.shape(0), r.sampleRate);
            });
}
