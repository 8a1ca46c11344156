#include "recordoptions.h"

#include "codecs.h"
#include "command.h"
#include "dispatch.h"
#include "filetypes.h"

#include <QFileInfo>

#include <climits>
#include <cstdio>

namespace {

// The Load tab's initial values.
constexpr double kDefaultRate = 100000000.0;
constexpr double kDefaultRefLevel = 50.0;

QString statusSuffix(IqStatus status)
{
    return QStringLiteral(" (status %1: %2)").arg(status).arg(QLatin1String(iqStatusText(status)));
}

// Rows whose two wildcards are equal: the main window derives no Q name for them.

}  // namespace

bool RecordOptions::source(IqBuffer &record, QString &error, QName qName) const
{
    if (!has(QStringLiteral("--from")) || !has(QStringLiteral("--in"))) {
        error = QStringLiteral("--from TYPE and --in FILE are required");
        return false;
    }
    const int index = FileTypeTable::findLoad(value(QStringLiteral("--from")));
    if (index < 0) {
        error = QStringLiteral("unknown load type '%1' (see trovik-cli types)").arg(value(QStringLiteral("--from")));
        return false;
    }
    const FileTypeRow &row = FileTypeTable::loadRow(index);
    record.typeIndex = index;
    record.iFileName = value(QStringLiteral("--in"));
    record.qFileName = value(QStringLiteral("--in-q"));
    if (row.fileCount != 2 && has(QStringLiteral("--in-q"))) {
        error = QStringLiteral("'%1' is a one-file type: --in-q is not used").arg(QLatin1String(row.key));
        return false;
    }
    if (row.fileCount == 2 && record.qFileName.isEmpty()) {
        // As the Load tab does: an I file named *.i brings its *.q partner along.
        if (qName == QName::FromIName)
            record.qFileName = FileTypeTable::loadQName(row, record.iFileName);
        if (record.qFileName.isEmpty()) {
            error = QStringLiteral("'%1' is a two-file type: --in-q FILE is required").arg(QLatin1String(row.key));
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
    if (!has(QStringLiteral("--to")) || !has(QStringLiteral("--out"))) {
        error = QStringLiteral("--to TYPE and --out FILE are required");
        return false;
    }
    const int index = FileTypeTable::findSave(value(QStringLiteral("--to")));
    if (index < 0) {
        error = QStringLiteral("unknown save type '%1' (see trovik-cli types)").arg(value(QStringLiteral("--to")));
        return false;
    }
    const FileTypeRow &row = FileTypeTable::saveRow(index);
    record.typeIndex = index;
    record.iFileName = value(QStringLiteral("--out"));
    record.qFileName = value(QStringLiteral("--out-q"));
    if (row.fileCount != 2 && has(QStringLiteral("--out-q"))) {
        error = QStringLiteral("'%1' is a one-file type: --out-q is not used").arg(QLatin1String(row.key));
        return false;
    }
    if (row.fileCount == 2 && record.qFileName.isEmpty()) {
        // As the Save group does: the I name with its suffix replaced by "q" (or ".q" added).
        record.qFileName = FileTypeTable::saveQName(row, record.iFileName);
        if (record.qFileName.isEmpty()) {
            error = QStringLiteral("'%1' is a two-file type: --out-q FILE is required").arg(QLatin1String(row.key));
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
    std::fprintf(stderr, "trovik-cli: %s (see trovik-cli %s --help)\n", message.toLocal8Bit().constData(),
                 command);
    return kExitUsage;
}

QString loadFailureText(const IqBuffer &record, IqStatus status)
{
    if (status == IqStatusCode::Scrambled)
        return QStringLiteral("The file %1 is scrambled. Load aborted.").arg(record.iFileName)
               + statusSuffix(status);
    return QStringLiteral("File Load Error.") + statusSuffix(status);
}

bool cliCanRead(const IqBuffer &record, QString &error)
{
    if (readerFor(FileTypeTable::loadRow(record.typeIndex).typeCode))
        return true;
    error = QStringLiteral("load type '%1' has no reader in this build")
                .arg(QLatin1String(FileTypeTable::loadRow(record.typeIndex).key));
    return false;
}

int cliLoad(IqBuffer &record)
{
    const IqStatus status = loadIqFile(record);
    if (status == IqStatusCode::Ok)
        return kExitOk;
    cliFail(loadFailureText(record, status));
    return kExitFailed;
}

int cliSave(IqBuffer &source, IqBuffer &target, bool append, int32_t guard)
{
    IqBuffer scratch;
    bool outOfMemory = false;
    const IqStatus status = saveIqFile(source, scratch, target, AppSettings(), append, guard, outOfMemory);
    if (status == IqStatusCode::Ok)
        return kExitOk;
    cliFail((outOfMemory ? QStringLiteral("Memory too low.") : QStringLiteral("File Save Error."))
            + statusSuffix(status));
    return kExitFailed;
}
