// trovik.types, load, save, append and copy: the file side of the module, over the same type
// table, dispatchers, streaming codecs and chunked copy as the window and trovik-cli.
#include "pyfiles.h"

#include "chunkedcopy.h"
#include "dispatch.h"
#include "filetypes.h"
#include "framesave.h"
#include "interruptpoll.h"
#include "pyerrors.h"
#include "pyrecord.h"
#include "pysamples.h"
#include "sigmfverify.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <thread>
#include <vector>

namespace py = pybind11;

namespace {

// The Load tab's initial values, which a load starts from where the file carries none.
constexpr double kDefaultRate = 100000000.0;
constexpr double kDefaultRefLevel = 50.0;

py::dict typeRow(const FileTypeRow &row, int index)
{
    py::dict d;
    d["key"] = row.key;
    d["index"] = index;
    d["name"] = row.displayName;
    d["files"] = row.fileCount;
    py::list extensions;
    extensions.append(py::str(row.extension1).attr("lstrip")("*"));
    if (row.fileCount == 2)
        extensions.append(py::str(row.extension2).attr("lstrip")("*"));
    d["extensions"] = extensions;
    d["code"] = row.typeCode;
    d["append"] = row.can(RowAbility::Append);
    d["copy_source"] = row.can(RowAbility::CopySource);
    d["copy_target"] = row.can(RowAbility::CopyTarget);
    return d;
}

py::dict types()
{
    py::list load, save;
    for (int k = 0; k < FileTypeTable::loadCount(); ++k)
        load.append(typeRow(FileTypeTable::loadRow(k), k));
    for (int k = 0; k < FileTypeTable::saveCount(); ++k)
        save.append(typeRow(FileTypeTable::saveRow(k), k));
    py::dict d;
    d["load"] = load;
    d["save"] = save;
    return d;
}

// The list index the type argument names (a key or an index), or, when it is None, the one
// row whose extension the file has, as trovik-cli takes it.
int typeIndex(bool load, const py::object &type, const QString &file, const char *argument)
{
    const char *list = load ? "load" : "save";
    const int count = load ? FileTypeTable::loadCount() : FileTypeTable::saveCount();
    if (py::isinstance<py::bool_>(type))
        throw py::type_error(std::string(argument) + " must be a type key or a list index");
    if (py::isinstance<py::int_>(type)) {
        const long long index = type.cast<long long>();
        if (index < 0 || index >= count)
            throw py::value_error(std::string("no ") + list + " type has the index "
                                  + std::to_string(index) + " (see trovik.types())");
        return int(index);
    }
    if (!type.is_none()) {
        if (!py::isinstance<py::str>(type))
            throw py::type_error(std::string(argument) + " must be a type key or a list index");
        const QString text = QString::fromStdString(type.cast<std::string>());
        const int index = load ? FileTypeTable::findLoad(text) : FileTypeTable::findSave(text);
        if (index < 0)
            throw py::value_error(QStringLiteral("unknown %1 type '%2' (see trovik.types())")
                                          .arg(QLatin1String(list), text)
                                          .toStdString());
        return index;
    }
    const QList<int> rows
            = load ? FileTypeTable::loadRowsForFile(file) : FileTypeTable::saveRowsForFile(file);
    if (rows.size() == 1)
        return rows.front();
    if (rows.isEmpty())
        throw py::value_error(QStringLiteral("no %1 type has the extension of '%2': give %3= (see "
                                             "trovik.types())")
                                      .arg(QLatin1String(list), file, QLatin1String(argument))
                                      .toStdString());
    QStringList keys;
    for (int row : rows)
        keys << QLatin1String(load ? FileTypeTable::loadRow(row).key
                                   : FileTypeTable::saveRow(row).key);
    throw py::value_error(QStringLiteral("the extension of '%1' fits several %2 types (%3): give "
                                         "%4=")
                                  .arg(file, QLatin1String(list), keys.join(QStringLiteral(", ")),
                                       QLatin1String(argument))
                                  .toStdString());
}

// The Q file of a two-file row: the one given, or the one the row's rule derives; a one-file
// row takes none.
QString qFileFor(const FileTypeRow &row, bool load, const QString &iFile, const py::object &qPath)
{
    if (row.fileCount != 2) {
        if (!qPath.is_none())
            throw py::value_error(std::string("'") + row.key
                                  + "' is a one-file type: q_path is not used");
        return QString();
    }
    if (!qPath.is_none())
        return pathText(qPath, "q_path");
    const QString derived
            = load ? FileTypeTable::loadQName(row, iFile) : FileTypeTable::saveQName(row, iFile);
    if (derived.isEmpty())
        throw py::value_error(std::string("'") + row.key
                              + "' is a two-file type: q_path is required");
    return derived;
}

double optionalNumber(const py::object &value, double fallback, const char *argument)
{
    if (value.is_none())
        return fallback;
    if (!py::isinstance<py::int_>(value) && !py::isinstance<py::float_>(value)
        && !py::hasattr(value, "__float__"))
        throw py::type_error(std::string(argument) + " must be a number");
    return value.cast<double>();
}

// Below this many frames a second reader costs more than it brings.
constexpr int64_t kPartFrames = int64_t(1) << 22;

// Reads count frames into out. A large file is read in parts, one per core, each by a reader
// of its own (the readers take any position), so the copy out of the page cache and the
// conversion share the cores. The first reader has checked the file (a SigMF hash too): the
// others only read.
IqStatus readInParts(FrameReader &reader, const FrameCodec &codec, const IqBuffer &facts,
                     int typeCode, const FrameSpan &out, int64_t count)
{
    const int64_t parts = std::min<int64_t>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u),
                                            count / kPartFrames);
    if (parts <= 1)
        return count > 0 ? reader.read(0, count, out) : IqStatus::Ok;
    const auto partStart = [&](int64_t part) { return count * part / parts; };
    std::vector<IqStatus> statuses(static_cast<size_t>(parts), IqStatus::Ok);
    std::vector<FileFailure> failures(static_cast<size_t>(parts));
    std::vector<std::thread> helpers;
    for (int64_t part = 1; part < parts; ++part)
        helpers.emplace_back([&, part] {
            sigmfVerifyOptions().enabled = false;
            IqStatus &status = statuses[size_t(part)];
            std::unique_ptr<FrameReader> own
                    = codec.openReader(facts.iFileName, facts.qFileName, typeCode, status);
            if (own)
                status = own->read(partStart(part), partStart(part + 1) - partStart(part),
                                   out.from(partStart(part)));
            else if (status == IqStatus::Ok)
                status = IqStatus::FirstFile;
            if (status != IqStatus::Ok)
                failures[size_t(part)] = lastFileFailure();
        });
    statuses[0] = reader.read(0, partStart(1), out);
    for (std::thread &helper : helpers)
        helper.join();
    // The failure detail is kept per thread: a helper's is noted again on this one.
    for (size_t part = 0; part < statuses.size(); ++part) {
        if (statuses[part] == IqStatus::Ok)
            continue;
        if (part > 0)
            noteFileFailure(failures[part].path, failures[part].reason);
        return statuses[part];
    }
    return IqStatus::Ok;
}

// Reads straight into one interleaved complex buffer where the type streams: no copy.
bool loadStreaming(const FrameCodec &codec, IqBuffer &facts, int typeCode, SampleArray &samples,
                   int64_t &count, IqStatus &status)
{
    if (!codec.openReader)
        return false;
    py::gil_scoped_release release;
    std::unique_ptr<FrameReader> reader
            = codec.openReader(facts.iFileName, facts.qFileName, typeCode, status);
    if (!reader) {
        if (status == IqStatus::Ok)
            status = IqStatus::FirstFile;
        return true;
    }
    count = reader->frameCount();
    reader->describe(facts);
    samples = SampleArray::allocate(2 * count);
    if (samples.isNull()) {
        status = failFile(IqStatus::NoMemoryI, facts.iFileName,
                          QStringLiteral("no memory for %1 samples").arg(count));
        return true;
    }
    status = readInParts(*reader, codec, facts, typeCode,
                         FrameSpan{samples.data(), samples.data() + 1, 2}, count);
    return true;
}

// The whole-file readers fill planar arrays: one pass interleaves them.
IqStatus loadWhole(IqBuffer &facts, SampleArray &samples, int64_t &count)
{
    py::gil_scoped_release release;
    const IqStatus status = loadIqFile(facts);
    if (status != IqStatus::Ok)
        return status;
    count = facts.heldCount();
    samples = SampleArray::allocate(2 * count);
    if (samples.isNull()) {
        releaseSamples(facts);
        return failFile(IqStatus::NoMemoryI, facts.iFileName,
                        QStringLiteral("no memory for %1 samples").arg(count));
    }
    float *out = samples.data();
    const float *i = facts.iData.data();
    const float *q = facts.qData.data();
    for (int64_t k = 0; k < count; ++k) {
        out[2 * k] = i[k];
        out[2 * k + 1] = q[k];
    }
    releaseSamples(facts);
    return IqStatus::Ok;
}

PyRecord load(const py::object &path, const py::object &type, const py::object &qPath,
              const py::object &sampleRate, const py::object &refLevel, bool verify)
{
    IqBuffer facts;
    facts.iFileName = pathText(path, "path");
    facts.typeIndex = typeIndex(true, type, facts.iFileName, "type");
    const FileTypeRow &row = FileTypeTable::loadRow(facts.typeIndex);
    facts.qFileName = qFileFor(row, true, facts.iFileName, qPath);
    facts.sampleRate = optionalNumber(sampleRate, kDefaultRate, "sample_rate");
    facts.refLevel = float(optionalNumber(refLevel, kDefaultRefLevel, "ref_level"));
    facts.fileMode = 1;
    if (!typeHasReader(row.typeCode))
        throw py::value_error(std::string("load type '") + row.key
                              + "' has no reader in this build");
    sigmfVerifyOptions().enabled = verify;

    SampleArray samples;
    int64_t count = 0;
    IqStatus status = IqStatus::Ok;
    clearFileFailure();
    const FrameCodec *codec = frameCodecFor(row.typeCode);
    if (!codec || !loadStreaming(*codec, facts, row.typeCode, samples, count, status))
        status = loadWhole(facts, samples, count);
    sigmfVerifyOptions().enabled = true;
    if (status != IqStatus::Ok)
        throwFileError(FileOperation::Load, status, facts.iFileName);
    return recordFrom(facts, complexArrayOver(samples, count));
}

// The record a save names: type, files and the facts that go into headers.
struct SaveTarget
{
    IqBuffer target;
    const FileTypeRow *row = nullptr;
};

SaveTarget saveTarget(const py::object &path, const py::object &type, const py::object &qPath)
{
    SaveTarget t;
    t.target.iFileName = pathText(path, "path");
    t.target.typeIndex = typeIndex(false, type, t.target.iFileName, "type");
    t.row = &FileTypeTable::saveRow(t.target.typeIndex);
    t.target.qFileName = qFileFor(*t.row, false, t.target.iFileName, qPath);
    return t;
}

// Rate, level, centre frequency and the file facts: a Record's, replaced by what is given.
void takeFacts(const SamplesIn &samples, const py::object &sampleRate,
               const py::object &centerFrequency, const py::object &refLevel, IqBuffer &facts)
{
    if (samples.record())
        factsInto(*samples.record(), facts);
    else
        facts.sampleRate = kDefaultRate;
    facts.sampleRate = optionalNumber(sampleRate, facts.sampleRate, "sample_rate");
    facts.refLevel = float(optionalNumber(refLevel, facts.refLevel, "ref_level"));
    if (!centerFrequency.is_none()) {
        facts.centerFrequency = optionalNumber(centerFrequency, 0.0, "center_frequency");
        facts.centerFrequencyKnown = true;
    }
    if (!(facts.sampleRate > 0.0))
        throw py::value_error("sample_rate must be above 0");
}

// Writes from the caller's memory through the type's streaming writer; false where the type
// has none.
bool saveStreaming(const IqBuffer &facts, const SaveTarget &t, const SamplesIn &samples,
                   IqStatus &status)
{
    const FrameCodec *codec = frameCodecFor(t.row->typeCode);
    if (!codec || !codec->openWriter)
        return false;
    py::gil_scoped_release release;
    status = writeFramesFrom(*codec, t.row->typeCode, t.target.iFileName, t.target.qFileName,
                             facts, samples.span(), samples.count());
    return true;
}

void save(const py::object &path, const py::object &data, const py::object &type,
          const py::object &qPath, const py::object &sampleRate, const py::object &centerFrequency,
          const py::object &refLevel, bool append, int64_t guard)
{
    SaveTarget t = saveTarget(path, type, qPath);
    const SamplesIn samples(data, "data");
    IqBuffer source;
    takeFacts(samples, sampleRate, centerFrequency, refLevel, source);
    if (append && !t.row->can(RowAbility::Append))
        throw py::value_error(std::string("a file of the type '") + t.row->key
                              + "' cannot be appended to");
    if (guard < 0 || guard > INT32_MAX)
        throw py::value_error("guard must be from 0 to 2147483647");
    clearFileFailure();
    IqStatus status = IqStatus::Ok;
    if (!append && saveStreaming(source, t, samples, status)) {
        if (status != IqStatus::Ok)
            throwFileError(FileOperation::Save, status, t.target.iFileName);
        return;
    }
    if (!samples.intoPlanar(source))
        throwFileError(FileOperation::Save,
                       failFile(IqStatus::NoMemoryI, t.target.iFileName,
                                QStringLiteral("no memory to split %1 samples into I and Q")
                                        .arg(samples.count())),
                       t.target.iFileName);
    IqBuffer scratch;
    {
        py::gil_scoped_release release;
        clearFileFailure();
        status = saveIqFile(source, scratch, t.target, append, int32_t(guard));
    }
    if (status != IqStatus::Ok)
        throwFileError(FileOperation::Save, status, t.target.iFileName);
}

int64_t copy(const py::object &src, const py::object &dst, const py::object &type,
             const py::object &progress, const py::object &srcType, const py::object &srcQPath,
             const py::object &qPath, const py::object &sampleRate, const py::object &refLevel,
             int64_t chunk)
{
    IqBuffer record;
    record.iFileName = pathText(src, "src");
    const QString out = pathText(dst, "dst");
    const int fromIndex = typeIndex(true, srcType, record.iFileName, "src_type");
    const int toIndex = typeIndex(false, type, out, "type");
    if (!FileTypeTable::loadRow(fromIndex).can(RowAbility::CopySource))
        throw py::value_error(
                QStringLiteral("copy takes as source only %1; '%2' is not one of them (use "
                               "load and save)")
                        .arg(FileTypeTable::loadKeysWith(RowAbility::CopySource),
                             QLatin1String(FileTypeTable::loadRow(fromIndex).key))
                        .toStdString());
    if (!FileTypeTable::saveRow(toIndex).can(RowAbility::CopyTarget))
        throw py::value_error(
                QStringLiteral("copy takes as target only %1; '%2' is not one of them (use "
                               "load and save)")
                        .arg(FileTypeTable::saveKeysWith(RowAbility::CopyTarget),
                             QLatin1String(FileTypeTable::saveRow(toIndex).key))
                        .toStdString());
    if (chunk < 1)
        throw py::value_error("chunk must be at least 1 sample");
    if (!progress.is_none() && !PyCallable_Check(progress.ptr()))
        throw py::type_error("progress must be callable with the fraction done, or None");
    clearFileFailure();
    if (!QFileInfo(record.iFileName).isFile()) {
        const int error = QFileInfo::exists(record.iFileName) ? EISDIR : ENOENT;
        failFile(IqStatus::FirstFile, record.iFileName, systemErrorText(error));
        throwFileError(FileOperation::Copy, IqStatus::FirstFile, record.iFileName);
    }
    record.typeIndex = fromIndex;
    record.qFileName
            = qFileFor(FileTypeTable::loadRow(fromIndex), true, record.iFileName, srcQPath);
    const QString outQ = qFileFor(FileTypeTable::saveRow(toIndex), false, out, qPath);
    record.sampleRate = optionalNumber(sampleRate, 0.0, "sample_rate");
    record.refLevel = float(optionalNumber(refLevel, 0.0, "ref_level"));

    InterruptPoll poll;
    IqStatus status;
    {
        py::gil_scoped_release release;
        status = convertInChunks(
                record, out, outQ, FileTypeTable::saveRow(toIndex).typeCode, chunk,
                [&](int64_t done, int64_t total) {
                    poll.report(progress, total > 0 ? double(done) / double(total) : 1.0);
                },
                [&] { return poll.stopped() || poll.poll(); });
    }
    poll.rethrow();
    if (status != IqStatus::Ok)
        throwFileError(FileOperation::Copy, status, record.iFileName);
    return record.sampleCount;
}

}  // namespace

void registerFiles(py::module_ &m)
{
    m.def("types", &types,
          "types() -> dict\n\n"
          "The load and save lists: {'load': [...], 'save': [...]}, one dict per row with key,\n"
          "index, name, files (1 or 2), extensions, code and the abilities append,\n"
          "copy_source and copy_target. A key or an index names a type in load, save, append\n"
          "and copy.");
    m.def("load", &load, py::arg("path"), py::arg("type") = py::none(),
          py::arg("q_path") = py::none(), py::arg("sample_rate") = py::none(),
          py::arg("ref_level") = py::none(), py::kw_only(), py::arg("verify") = true,
          "load(path, type=None, q_path=None, sample_rate=None, ref_level=None, *, verify=True)"
          " -> Record\n\n"
          "Reads an I/Q file of any load type. type is a load-list key or index; left out, the\n"
          "one type the file's extension names. q_path is the Q file of a two-file type (an I\n"
          "file named *.i brings its *.q). sample_rate (default 1e8 Hz) and ref_level (default\n"
          "50 dBm) stand where the file carries none. verify=False skips a SigMF file's\n"
          "core:sha512 check. Where the type streams, the samples are read straight into the\n"
          "record's complex64 array. Raises FileError, ValueError, TypeError.");
    m.def(
            "save",
            [](const py::object &path, const py::object &data, const py::object &type,
               const py::object &qPath, const py::object &rate, const py::object &centre,
               const py::object &level) {
                save(path, data, type, qPath, rate, centre, level, false, 0);
            },
            py::arg("path"), py::arg("data"), py::arg("type") = py::none(),
            py::arg("q_path") = py::none(), py::arg("sample_rate") = py::none(),
            py::arg("center_frequency") = py::none(), py::arg("ref_level") = py::none(),
            "save(path, data, type=None, q_path=None, sample_rate=None, center_frequency=None,"
            " ref_level=None)\n\n"
            "Writes data (a complex array, an (i, q) pair of real arrays or a Record) as a file\n"
            "of a save type (key or index; left out, from the extension). The rate (default\n"
            "the Record's, else 1e8 Hz), level and centre frequency go into the headers that\n"
            "hold them. The write is atomic: an existing file is replaced only by a complete\n"
            "one. Contiguous complex64 or float32 samples are read in place.\n"
            "Raises FileError, ValueError, TypeError.");
    m.def(
            "append",
            [](const py::object &path, const py::object &data, const py::object &type,
               const py::object &qPath, const py::object &rate, const py::object &centre,
               const py::object &level,
               int64_t guard) { save(path, data, type, qPath, rate, centre, level, true, guard); },
            py::arg("path"), py::arg("data"), py::arg("type") = py::none(),
            py::arg("q_path") = py::none(), py::arg("sample_rate") = py::none(),
            py::arg("center_frequency") = py::none(), py::arg("ref_level") = py::none(),
            py::arg("guard") = 0,
            "append(path, data, type=None, q_path=None, sample_rate=None, "
            "center_frequency=None, ref_level=None, guard=0)\n\n"
            "Adds data behind the samples of an existing file, after a cyclic prefix of its\n"
            "last guard samples, as Save IQ with Append does; the file is rewritten atomically.\n"
            "Raises FileError, ValueError, TypeError.");
    m.def("copy", &copy, py::arg("src"), py::arg("dst"), py::arg("type") = py::none(),
          py::arg("progress") = py::none(), py::kw_only(), py::arg("src_type") = py::none(),
          py::arg("src_q_path") = py::none(), py::arg("q_path") = py::none(),
          py::arg("sample_rate") = py::none(), py::arg("ref_level") = py::none(),
          py::arg("chunk") = kDefaultChunkSamples,
          "copy(src, dst, type=None, progress=None, *, src_type=None, src_q_path=None,\n"
          "     q_path=None, sample_rate=None, ref_level=None, chunk=262144000) -> int\n\n"
          "Converts a file too large for memory piece by piece, as Copy IQ does, between the\n"
          "binary and container types (types() tells copy_source and copy_target). type names\n"
          "the destination type and src_type the source type (keys or indices; left out, from\n"
          "the extensions); src_q_path and q_path are the Q files of two-file types.\n"
          "progress(fraction) is called after every block. Ctrl-C\n"
          "(KeyboardInterrupt) or an exception from progress stops the copy, and dst is left\n"
          "as it was. Returns the samples copied. Raises FileError, ValueError, TypeError.");
}
