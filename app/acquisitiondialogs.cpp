#include "acquisitiondialogs.h"

#include "progresstracker.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

namespace {

const int kRefreshMs = 100;
// Room the title bar's buttons and margins take beside the title text.
const int kTitleBarExtra = 140;
const int kMinimumWidth = 420;

// A capture's progress: the step as the window title and first line, what it waits for or
// how far it is beneath, a bar that turns busy while nothing can be counted.
class TrackerDialog : public QProgressDialog
{
public:
    TrackerDialog(QWidget *parent, const QString &title, ProgressTracker &tracker)
        : QProgressDialog(title, QStringLiteral("Cancel"), 0, 100, parent)
        , tracker(tracker)
        , job(title)
    {
        setWindowModality(Qt::NonModal);
        setAutoClose(false);
        setAutoReset(false);
        setMinimumDuration(0);
        connect(this, &QProgressDialog::canceled, this, [this] { this->tracker.cancel(); });
        connect(&timer, &QTimer::timeout, this, &TrackerDialog::refresh);
        timer.start(kRefreshMs);
        refresh();
        show();
    }

private:
    void refresh()
    {
        if (wasCanceled())  // cancel() called as a slot does not emit canceled()
            tracker.cancel();
        if (tracker.generation() == shown && shown != 0)
            return;
        shown = tracker.generation();
        const ProgressSnapshot now = tracker.snapshot();
        const QString step = now.title.isEmpty() ? job : now.title;
        setTitle(step);
        const QString detail = progressText(now);
        setLabelText(detail.isEmpty() ? step : step + QLatin1Char('\n') + detail);
        if (now.counted || now.percent > 0) {
            setRange(0, 100);
            setValue(now.percent);
        } else {
            setRange(0, 0);  // busy: nothing to count yet
        }
    }

    void setTitle(const QString &title)
    {
        setWindowTitle(title);
        // A window manager cuts a title that does not fit the dialog.
        const int wanted = std::max(kMinimumWidth,
                                    QFontMetrics(font()).horizontalAdvance(title) + kTitleBarExtra);
        if (minimumWidth() < wanted)
            setMinimumWidth(wanted);
    }

    ProgressTracker &tracker;
    QString job;
    QTimer timer;
    unsigned shown = 0;
};

}  // namespace

void StandardAcquisitionDialogs::warning(QWidget *parent, const QString &title, const QString &text,
                                         const QString &detail)
{
    QApplication::beep();
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.setInformativeText(detail);
    box.exec();
}

QWidget *StandardAcquisitionDialogs::progress(QWidget *parent, const QString &title,
                                              ProgressTracker &tracker)
{
    return new TrackerDialog(parent, title, tracker);
}
