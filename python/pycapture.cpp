// trovik.capture: Init and Trace from a settings file with overrides, exactly as
// trovik-cli capture runs them, returning the record instead of saving it.
#include "pycapture.h"

#include "capturesettings.h"
#include "instrumentcontrol.h"
#include "interruptpoll.h"
#include "progresstracker.h"
#include "pyerrors.h"
#include "pyrecord.h"
#include "visasession.h"

#include <pybind11/stl.h>

namespace py = pybind11;

namespace {

// The capture's progress, whose cancel is a Ctrl-C in Python.
class InterruptibleProgress : public ProgressTracker
{
public:
    explicit InterruptibleProgress(InterruptPoll &poll)
        : poll(poll)
    {}
    bool cancelled() const override { return ProgressTracker::cancelled() || poll.poll(); }

private:
    InterruptPoll &poll;
};

void warn(const QString &line)
{
    py::module_::import("warnings")
            .attr("warn")(toPython(line), py::module_::import("builtins").attr("UserWarning"), 2);
}

// The value as the user would type it after --set KEY=, so it meets the same checks.
QString overrideText(const std::string &key, const py::handle &value)
{
    if (py::isinstance<py::bool_>(value))
        return value.cast<bool>() ? QStringLiteral("true") : QStringLiteral("false");
    if (py::isinstance<py::int_>(value) || py::isinstance<py::str>(value))
        return QString::fromStdString(py::str(value).cast<std::string>());
    if (py::isinstance<py::float_>(value))
        return QString::fromStdString(py::repr(value).cast<std::string>());
    throw py::type_error("the override " + key + " must be a bool, int, float or str, not "
                         + std::string(py::str(value.get_type().attr("__name__"))));
}

void addOverrides(const py::handle &mapping, std::vector<SettingOverride> &overrides)
{
    for (const auto &item : py::reinterpret_borrow<py::dict>(mapping)) {
        if (!py::isinstance<py::str>(item.first))
            throw py::type_error("settings keys are str, as 'Analyzer/Type'");
        const std::string key = item.first.cast<std::string>();
        SettingOverride checked{nullptr, {}};
        QString error;
        if (checkSettingOverride(QString::fromStdString(key), overrideText(key, item.second),
                                 checked, error)
            != SettingOverrideError::None)
            throw py::value_error(error.toStdString());
        overrides.push_back(checked);
    }
}

// A cancel comes from Ctrl-C (or another signal whose handler raised): that is raised, once
// the instrument has been restored.
void stopIfCancelled(InterruptPoll &poll, AcquisitionStatus status)
{
    poll.rethrow();
    if (status == AcquisitionStatus::Cancelled) {
        PyErr_SetNone(PyExc_KeyboardInterrupt);
        throw py::error_already_set();
    }
}

PyRecord captured(const IqBuffer &record)
{
    const int64_t count = record.heldCount();
    SampleArray samples = SampleArray::allocate(2 * count);
    if (samples.isNull())
        throwCaptureError(AcquisitionStatus::NoMemory, {});
    {
        py::gil_scoped_release release;
        float *out = samples.data();
        for (int64_t k = 0; k < count; ++k) {
            out[2 * k] = record.iData[k];
            out[2 * k + 1] = record.qData[k];
        }
    }
    return recordFrom(record, complexArrayOver(samples, count));
}

PyRecord capture(const py::object &settings, const py::kwargs &kwargs)
{
    QString path;
    std::vector<SettingOverride> overrides;
    if (!settings.is_none()) {
        if (py::isinstance(settings, py::module_::import("collections.abc").attr("Mapping")))
            addOverrides(py::dict(settings), overrides);
        else
            path = pathText(settings, "settings");
    }
    addOverrides(kwargs, overrides);

    AppSettings appSettings;
    IqBuffer record;
    QString error;
    QStringList notices;
    const CaptureNotice notice = [&notices](const QString &line) { notices << line; };
    const bool read = readCaptureSettings(path, overrides, appSettings, error, notice);
    for (const QString &line : notices)
        warn(line);
    notices.clear();
    if (!read)
        throw py::value_error(error.toStdString());
    prepareCaptureRecord(appSettings, record);

    if (!selectVisaLibrary())
        throwCaptureError(AcquisitionStatus::InitFailed,
                          QStringLiteral("VISA driver not installed."), {});
    VisaConnection visa;
    if (visa.open() < VI_SUCCESS)
        throwCaptureError(AcquisitionStatus::InitFailed,
                          QStringLiteral("Please install VISA Runtime driver."), {});
    InstrumentOptions found;
    InstrumentControl control(visa, appSettings, found);
    InterruptPoll poll;
    InterruptibleProgress progress(poll);
    const AppSettings beforeInit = appSettings;
    AcquisitionStatus status;
    {
        py::gil_scoped_release release;
        status = control.init(record, progress);
    }
    stopIfCancelled(poll, status);
    noticeInitClamps(beforeInit, appSettings, notice);
    for (const QString &line : notices)
        warn(line);
    if (status != AcquisitionStatus::Success)
        throwCaptureError(status, control.detailLines(status));
    {
        py::gil_scoped_release release;
        status = control.trace(record, progress);
    }
    stopIfCancelled(poll, status);
    if (status != AcquisitionStatus::Success)
        throwCaptureError(status, control.detailLines(status));
    for (const QString &line : control.detail().warnings)
        warn(line);
    if (record.instrument.isEmpty())
        record.instrument = appSettings.idnReply.trimmed();
    return captured(record);
}

}  // namespace

void registerCapture(py::module_ &m)
{
    m.def("capture", &capture, py::arg("settings") = py::none(),
          "capture(settings=None, **overrides) -> Record\n\n"
          "Runs Init and Trace against the instrument exactly as `trovik-cli capture` does:\n"
          "settings is a settings file (Trovik.ini format; None or a missing file gives the\n"
          "defaults) or a mapping of overrides; each override names a settings key, e.g.\n"
          "trovik.capture('Trovik.ini', **{'Analyzer/Type': 1,\n"
          "    'Analyzer/VISA Resource String': 'TCPIP::127.0.0.1::5025::SOCKET'}).\n"
          "An unknown key or a value of the wrong type raises ValueError; a value moved to fit\n"
          "the limits, and a short read, give a UserWarning. Ctrl-C cancels the capture, restores\n"
          "the instrument and raises KeyboardInterrupt. A failure raises CaptureError with the\n"
          "window's message and what happened beneath it.");
}
