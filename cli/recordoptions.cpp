#include "recordoptions.h"

#include "command.h"
#include "dispatch.h"
#include "filestatustable.h"
#include "filetypes.h"
#include "framecodec.h"
#include "outputfile.h"
#include "sigmfverify.h"
#include "verifyprogress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>
#include <cstdio>

namespace {

// The Load tab's initial values.
constexpr double kDefaultRate = 100000000.0;
constexpr double kDefaultRefLevel = 50.0;

}  // namespace

int cliTypeIndex(bool load, const QString &typeText, const QString &file, QString &error)
{
    const char *list = load ? "load" : "save";
    if (!typeText.isEmpty()) {
        const int index
                = load ? FileTypeTable::findLoad(typeText) : FileTypeTable::findSave(typeText);
        if (index < 0)
            error = QStringLiteral("unknown %1 type '%2' (see trovik-cli types)")
                            .arg(QLatin1String(list), typeText);
        return index;
    }
    const QList<int> rows
            = load ? FileTypeTable::loadRowsForFile(file) : FileTypeTable::saveRowsForFile(file);
    if (rows.size() == 1)
        return rows.front();
    const char *option = load ? "--from" : "--to";
    if (rows.isEmpty()) {
        error = QStringLiteral(
                        "no %1 type has the extension of '%2': give %3 TYPE (see trovik-cli types)")
                        .arg(QLatin1String(list), file, QLatin1String(option));
        return -1;
    }
    QStringList keys;
    for (int row : rows)
        keys << QLatin1String(load ? FileTypeTable::loadRow(row).key
                                   : FileTypeTable::saveRow(row).key);
    error = QStringLiteral("the extension of '%1' fits several %2 types (%3): give %4 TYPE")
                    .arg(file, QLatin1String(list), keys.join(QStringLiteral(", ")),
                         QLatin1String(option));
    return -1;
}

bool RecordOptions::parse(const QStringList &arguments, const QStringList &valued, QString &error,
                          const QStringList &switches)
{
    return CliOptions::parse(arguments, valued, error,
                             switches + QStringList{QStringLiteral("--no-verify")});
}

bool RecordOptions::source(IqBuffer &record, QString &error, QName qName) const
{
    sigmfVerifyOptions().enabled = !has(QStringLiteral("--no-verify"));
    if (!has(QStringLiteral("--in"))) {
        error = QStringLiteral("--in FILE is required");
        return false;
    }
    const int index = cliTypeIndex(true, value(QStringLiteral("--from")),
                                   value(QStringLiteral("--in")), error);
    if (index < 0)
        return false;
    const FileTypeRow &row = FileTypeTable::loadRow(index);
    record.typeIndex = index;
    record.iFileName = value(QStringLiteral("--in"));
    record.qFileName = value(QStringLiteral("--in-q"));
    if (row.fileCount != 2 && has(QStringLiteral("--in-q"))) {
        error = QStringLiteral("'%1' is a one-file type: --in-q is not used")
                        .arg(QLatin1String(row.key));
        return false;
    }
    if (row.fileCount == 2 && record.qFileName.isEmpty()) {
        // As the Load tab does: an I file named *.i brings its *.q partner along.
        if (qName == QName::FromIName)
            record.qFileName = FileTypeTable::loadQName(row, record.iFileName);
        if (record.qFileName.isEmpty()) {
            error = QStringLiteral("'%1' is a two-file type: --in-q FILE is required")
                            .arg(QLatin1String(row.key));
            return false;
        }
    }
    double rate = 0.0;
    double refLevel = 0.0;
    if (!number(QStringLiteral("--rate"), kDefaultRate, rate, error)
        || !number(QStringLiteral("--ref-level"), kDefaultRefLevel, refLevel, error))
        return false;
    record.sampleRate = rate;
    record.refLevel = float(refLevel);
    record.iqSource = 0;
    return true;
}

bool RecordOptions::target(IqBuffer &record, QString &error) const
{
    if (!has(QStringLiteral("--out"))) {
        error = QStringLiteral("--out FILE is required");
        return false;
    }
    const int index = cliTypeIndex(false, value(QStringLiteral("--to")),
                                   value(QStringLiteral("--out")), error);
    if (index < 0)
        return false;
    const FileTypeRow &row = FileTypeTable::saveRow(index);
    record.typeIndex = index;
    record.iFileName = value(QStringLiteral("--out"));
    record.qFileName = value(QStringLiteral("--out-q"));
    if (row.fileCount != 2 && has(QStringLiteral("--out-q"))) {
        error = QStringLiteral("'%1' is a one-file type: --out-q is not used")
                        .arg(QLatin1String(row.key));
        return false;
    }
    if (row.fileCount == 2 && record.qFileName.isEmpty()) {
        // As the Save group does: the I name with its suffix replaced by "q" (or ".q" added).
        record.qFileName = FileTypeTable::saveQName(row, record.iFileName);
        if (record.qFileName.isEmpty()) {
            error = QStringLiteral("'%1' is a two-file type: --out-q FILE is required")
                            .arg(QLatin1String(row.key));
            return false;
        }
    }
    return true;
}

bool RecordOptions::guard(int32_t &count, QString &error) const
{
    int64_t value = 0;
    const bool ok = whole(QStringLiteral("--guard"), 0, INT32_MAX, 0, value, error);
    count = int32_t(value);
    return ok;
}

int cliUsageError(const char *command, const QString &message)
{
    std::fprintf(stderr, "trovik-cli: %s (see trovik-cli %s --help)\n",
                 message.toLocal8Bit().constData(), command);
    return kExitUsage;
}

QString loadFailureText(const IqBuffer &record, IqStatus status)
{
    return fileFailureMessage(FileOperation::Load, status, record.iFileName, lastFileFailure())
            .line();
}

bool cliCanRead(const IqBuffer &record, QString &error)
{
    if (typeHasReader(FileTypeTable::loadRow(record.typeIndex).typeCode))
        return true;
    error = QStringLiteral("load type '%1' has no reader in this build")
                    .arg(QLatin1String(FileTypeTable::loadRow(record.typeIndex).key));
    return false;
}

int cliLoad(IqBuffer &record)
{
    clearFileFailure();
    const VerifyProgressLine progress;
    const IqStatus status = loadIqFile(record);
    if (status == IqStatus::Ok)
        return kExitOk;
    cliFail(loadFailureText(record, status));
    return kExitFailed;
}

int cliSave(IqBuffer &source, IqBuffer &target, bool append, int32_t guard)
{
    IqBuffer scratch;
    clearFileFailure();
    const IqStatus status = saveIqFile(source, scratch, target, append, guard);
    if (status == IqStatus::Ok)
        return kExitOk;
    // The CLI has always called a failed append a save error; running out of memory has a
    // headline of its own.
    cliFail(fileFailureMessage(FileOperation::Save, status, target.iFileName, lastFileFailure())
                    .line());
    return kExitFailed;
}

namespace {

bool spoolStandardInput(QTemporaryFile &to, QString &error)
{
    QFile in;
    if (!in.open(0, QIODevice::ReadOnly | QIODevice::Unbuffered) || !to.open()) {
        error = QStringLiteral("the standard input cannot be spooled: ") + to.errorString();
        return false;
    }
    QByteArray block(int(1) << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(block.data(), block.size());
        if (got == 0)
            break;
        if (got < 0 || to.write(block.constData(), got) != got) {
            error = QStringLiteral("the standard input cannot be spooled to %1: %2")
                            .arg(to.fileName(), got < 0 ? in.errorString() : to.errorString());
            return false;
        }
    }
    return to.flush();
}

}  // namespace

bool StandardInputSpool::take(IqBuffer &record, QString &error)
{
    if (record.iFileName != QLatin1String(kStandardOutput))
        return true;
    const FileTypeRow &row = FileTypeTable::loadRow(record.typeIndex);
    if (row.fileCount != 1 || row.typeCode == TypeCode::RawRecording) {
        error = QStringLiteral("'%1' cannot come from the standard input: its samples or header "
                               "lie in two files")
                        .arg(QLatin1String(row.key));
        return false;
    }
    // A SigMF recording comes down a pipe as its archive.
    const QString suffix = row.typeCode == TypeCode::Sigmf ? QStringLiteral(".sigmf") : QString();
    m_file = std::make_unique<QTemporaryFile>(QDir::tempPath()
                                              + QStringLiteral("/trovik-stdin-XXXXXX") + suffix);
    if (!spoolStandardInput(*m_file, error))
        return false;
    record.iFileName = m_file->fileName();
    return true;
}

bool cliPipeTargetOk(int saveIndex, const QString &out, QString &error)
{
    if (out != QLatin1String(kStandardOutput))
        return true;
    const FileTypeRow &row = FileTypeTable::saveRow(saveIndex);
    if (writesFrontToBack(row.typeCode))
        return true;
    QStringList keys;
    for (int k = 0; k < FileTypeTable::saveCount(); ++k)
        if (writesFrontToBack(FileTypeTable::saveRow(k).typeCode))
            keys << QLatin1String(FileTypeTable::saveRow(k).key);
    error = QStringLiteral("'%1' cannot be written to the standard output (its layout needs a "
                           "file it can seek in, or two files); only %2 can")
                    .arg(QLatin1String(row.key), keys.join(QStringLiteral(", ")));
    return false;
}
