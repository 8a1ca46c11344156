#include "saveprogress.h"

#include "dispatch.h"
#include "filefailure.h"
#include "outputfile.h"
#include "savesize.h"
#include "workflowdialogs.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

class DialogSink : public WriteProgressSink
{
public:
    DialogSink(CopyProgressView &view, uint64_t total)
        : view(view)
        , total(total)
    {}
    void written(const QString &, uint64_t bytes) override
    {
        // The size is an estimate: the bar is full only when the save has ended.
        going = view.advance(int64_t(std::min(bytes, total - 1)), int64_t(total)) && going;
    }
    bool cancelled() const override { return !going; }

private:
    CopyProgressView &view;
    uint64_t total;
    bool going = true;
};

QString writingText(const IqBuffer &target)
{
    const QString i = QDir::toNativeSeparators(target.iFileName);
    return target.qFileName.isEmpty() ? QStringLiteral("Writing %1\u2026").arg(i)
                                      : QStringLiteral("Writing %1 and %2\u2026")
                                                .arg(i, QDir::toNativeSeparators(target.qFileName));
}

}  // namespace

IqStatus saveWithProgress(WorkflowDialogs &dialogs, QWidget *parent, IqBuffer &source,
                          IqBuffer &scratch, IqBuffer &target, bool append, int32_t guardCount)
{
    uint64_t total = estimateSaveBytes(source, target);
    if (total > 0 && append)
        total += uint64_t(QFileInfo(target.iFileName).size())
                 + (target.qFileName.isEmpty() ? 0 : uint64_t(QFileInfo(target.qFileName).size()));
    if (total == 0)
        return saveIqFile(source, scratch, target, append, guardCount);
    const auto view = dialogs.copyProgress(parent, writingText(target), int64_t(total));
    DialogSink sink(*view, total);
    const WriteProgressScope scope(sink);
    const IqStatus status = saveIqFile(source, scratch, target, append, guardCount);
    if (status == IqStatus::Ok)
        view->advance(int64_t(total), int64_t(total));
    else if (sink.cancelled())  // the writer saw its file stop, not a fault of its own
        return failFile(IqStatus::Cancelled, target.iFileName,
                        QStringLiteral("cancelled by the user"));
    return status;
}
