#include "workflowdialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>

namespace {

// QProgressDialog counts in int; a copy can have billions of samples, so it counts in
// thousandths of the whole.
constexpr int kSteps = 1000;

class ProgressDialogView : public CopyProgressView
{
public:
    ProgressDialogView(QWidget *parent, const QString &text)
        : dialog(text, QObject::tr("Cancel"), 0, kSteps, parent)
    {
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(0);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        dialog.setValue(0);
    }

    bool advance(int64_t done, int64_t total) override
    {
        const int step = total > 0 ? static_cast<int>(done * kSteps / total) : kSteps;
        dialog.setValue(step);  // a window-modal dialog handles pending events here
        return !dialog.wasCanceled();
    }

private:
    QProgressDialog dialog;
};

}  // namespace

QString StandardWorkflowDialogs::openFileName(QWidget *parent, const QString &title,
                                              const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString StandardWorkflowDialogs::saveFileName(QWidget *parent, const QString &title,
                                              const QString &folder, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, folder, filter);
}

void StandardWorkflowDialogs::warning(QWidget *parent, const QString &title, const QString &text,
                                      const QString &detail)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.setInformativeText(detail);
    box.exec();
}

std::unique_ptr<CopyProgressView>
StandardWorkflowDialogs::copyProgress(QWidget *parent, const QString &text, int64_t)
{
    return std::make_unique<ProgressDialogView>(parent, text);
}
