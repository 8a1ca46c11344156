#include "pyerrors.h"

#include <pybind11/stl.h>

namespace py = pybind11;

namespace {

PyObject *fileErrorType = nullptr;
PyObject *captureErrorType = nullptr;

const char *const kStatusNames[] = {"Success",    "Cancelled",      "NoMemory",      "VisaError",
                                    "Timeout",    "ConnectionLost", "BadBlock",      "FileError",
                                    "InitFailed", "MissingOption",  "NotInitialized"};
static_assert(sizeof kStatusNames / sizeof *kStatusNames == acquisitionStatusCount);

[[noreturn]] void raise(PyObject *type, const QString &message, const py::dict &attributes)
{
    py::object error = py::reinterpret_borrow<py::object>(type)(toPython(message));
    for (const auto &item : attributes)
        py::setattr(error, item.first, item.second);
    PyErr_SetObject(type, error.ptr());
    throw py::error_already_set();
}

}  // namespace

void registerErrors(py::module_ &module)
{
    fileErrorType = PyErr_NewExceptionWithDoc(
            "trovik.FileError",
            "A file could not be loaded, saved, appended to or copied.\n\n"
            "The message is trovik-cli's line: the headline, 'path: reason' and the status.\n"
            "Attributes: status (the file status, e.g. -1 for the first file, -4 for a bad WAV\n"
            "header, -10 cancelled, -11 out of memory), path (the file the failure concerns), "
            "headline, detail.",
            PyExc_OSError, nullptr);
    captureErrorType = PyErr_NewExceptionWithDoc(
            "trovik.CaptureError",
            "An Init or a Trace against the instrument failed.\n\n"
            "The message is the window's text, then what happened, one fact per line.\n"
            "Attributes: status (the acquisition status as a number), reason (its name),\n"
            "detail (the lines beneath the headline).",
            PyExc_RuntimeError, nullptr);
    module.add_object("FileError", py::handle(fileErrorType));
    module.add_object("CaptureError", py::handle(captureErrorType));
}

py::str toPython(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return py::str(utf8.constData(), size_t(utf8.size()));
}

QString pathText(const py::handle &path, const char *argument)
{
    py::object text;
    try {
        text = py::module_::import("os").attr("fspath")(path);
    } catch (py::error_already_set &) {
        throw py::type_error(std::string(argument) + " must be a str or an os.PathLike, not "
                             + std::string(py::str(path.get_type().attr("__name__"))));
    }
    if (!py::isinstance<py::str>(text))
        throw py::type_error(std::string(argument) + " must be a str path, not bytes");
    return QString::fromStdString(text.cast<std::string>());
}

void throwFileError(FileOperation operation, IqStatus status, const QString &fileName)
{
    const FileFailure noted = lastFileFailure();
    const FileFailureMessage message = fileFailureMessage(operation, status, fileName, noted);
    py::dict attributes;
    attributes["status"] = static_cast<int>(status);
    attributes["path"] = toPython(noted.path.isEmpty() ? fileName : noted.path);
    attributes["headline"] = toPython(message.headline);
    attributes["detail"] = toPython(message.detail);
    raise(fileErrorType, message.line(), attributes);
}

void throwCaptureError(AcquisitionStatus status, const QString &headline, const QStringList &detail)
{
    QString text = headline;
    py::list lines;
    for (const QString &line : detail) {
        text += QStringLiteral("\n  ") + line;
        lines.append(toPython(line));
    }
    py::dict attributes;
    attributes["status"] = int(status);
    attributes["reason"] = kStatusNames[int(status)];
    attributes["detail"] = lines;
    raise(captureErrorType, text, attributes);
}

void throwCaptureError(AcquisitionStatus status, const QStringList &detail)
{
    throwCaptureError(status, QString::fromLatin1(acquisitionMessage(status).text), detail);
}
