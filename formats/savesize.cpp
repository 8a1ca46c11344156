#include "savesize.h"

#include "dispatch.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const int64_t kSmallTrial = 2048;
const int64_t kLargeTrial = 4096;

// The bytes the save of the first count samples writes, all files together; -1 on failure.
int64_t trialBytes(const IqBuffer &source, const IqBuffer &target, int64_t count)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return -1;
    IqBuffer head = source;  // shares the samples; only this copy's counts shrink
    head.sampleCount = count;
    head.iData.truncate(count);
    head.qData.truncate(count);
    IqBuffer into = target;
    const auto trialName = [&folder](const QString &name, const char *stem) {
        const QString suffix = QFileInfo(name).completeSuffix();
        return folder.filePath(QLatin1String(stem)
                               + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix));
    };
    into.iFileName = trialName(target.iFileName, "trial-i");
    if (!target.qFileName.isEmpty())
        into.qFileName = trialName(target.qFileName, "trial-q");
    IqBuffer scratch;
    if (failed(saveIqFile(head, scratch, into, false, 0)))
        return -1;
    int64_t bytes = 0;
    for (const QFileInfo &file : QDir(folder.path()).entryInfoList(QDir::Files))
        bytes += file.size();
    return bytes;
}

}  // namespace

uint64_t estimateSaveBytes(const IqBuffer &source, const IqBuffer &target)
{
    const int64_t count = source.heldCount();
    if (count < 2 * kLargeTrial)
        return 0;
    const int64_t small = trialBytes(source, target, kSmallTrial);
    const int64_t large = trialBytes(source, target, kLargeTrial);
    if (small < 0 || large <= small)
        return 0;
    const double perSample = double(large - small) / double(kLargeTrial - kSmallTrial);
    const double fixed = double(small) - perSample * double(kSmallTrial);
    return uint64_t(std::max(0.0, fixed + perSample * double(count)));
}
