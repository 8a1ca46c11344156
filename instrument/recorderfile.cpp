#include "recorderfile.h"

#include "acquisitionfamily.h"

#include <QFile>
#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>
#include <vector>

namespace {

const qint64 kHeaderBytes = 84;
const int kUpdatesPerRead = 100;
const int64_t kMaxPiece = 1 << 20;

AcquisitionStatus readSamples(QFile &file, IqBuffer &record, AcquisitionProgress &progress)
{
    const int64_t count = record.sampleCount;
    const int64_t piece
            = std::clamp<int64_t>((count + kUpdatesPerRead - 1) / kUpdatesPerRead, 1, kMaxPiece);
    std::vector<char> bytes(size_t(4 * piece));
    for (int64_t done = 0; done < count;) {
        const int64_t n = std::min(piece, count - done);
        if (file.read(bytes.data(), 4 * n) != 4 * n)
            return AcquisitionStatus::FileError;
        for (int64_t k = 0; k < n; ++k) {
            record.iData[done + k] = float(qFromLittleEndian<qint16>(bytes.data() + 4 * k));
            record.qData[done + k] = float(qFromLittleEndian<qint16>(bytes.data() + 4 * k + 2));
        }
        done += n;
        if (!progress.update(int(100 * done / count)))
            return AcquisitionStatus::Cancelled;
    }
    return AcquisitionStatus::Success;
}

}  // namespace

AcquisitionStatus readRecorderFile(const QString &path, IqBuffer &record, bool countFromFile,
                                   AcquisitionProgress &progress)
{
    QFile file(path);
    char header[kHeaderBytes];
    if (!file.open(QIODevice::ReadOnly) || file.read(header, kHeaderBytes) != kHeaderBytes) {
        dropSamples(record);
        return AcquisitionStatus::FileError;
    }
    record.sampleRate = qFromLittleEndian<qint32>(header + 32);
    if (countFromFile)
        record.sampleCount = qFromLittleEndian<qint32>(header + 60);
    if (record.sampleCount < 0 || record.sampleCount > (file.size() - kHeaderBytes) / 4) {
        dropSamples(record);
        return AcquisitionStatus::FileError;
    }
    const int64_t count = record.sampleCount;
    if (allocateSamples(record, count) != IqStatus::Ok) {
        dropSamples(record);
        return AcquisitionStatus::NoMemory;
    }
    progress.begin(QStringLiteral("Reading IQ values..."));
    const AcquisitionStatus status = readSamples(file, record, progress);
    progress.end();
    if (status != AcquisitionStatus::Success)
        dropSamples(record);
    return status;
}

QString recordingNameFromCatalogue(const QString &catalogue)
{
    const int at = catalogue.indexOf(QLatin1String("RecIQ"));
    if (at < 0)
        return QString();
    const QString name = catalogue.mid(at, 9) + QStringLiteral(".riq");
    static const QRegularExpression plain(QStringLiteral("^RecIQ[A-Za-z0-9_-]{4}\\.riq$"));
    return plain.match(name).hasMatch() ? name : QString();
}
