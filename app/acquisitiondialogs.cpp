#include "acquisitiondialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>

namespace {

class ProgressDialog : public AcquisitionProgress
{
public:
    explicit ProgressDialog(QWidget *parent)
        : parent(parent)
    {}
    ~ProgressDialog() override { end(); }

    void begin(const QString &title) override
    {
        end();
        dialog = new QProgressDialog(title, QStringLiteral("Cancel"), 0, 100, parent);
        dialog->setWindowTitle(title);
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setMinimumDuration(0);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->setValue(0);
        QApplication::processEvents();
    }

    bool update(int percent) override
    {
        if (!dialog)
            return true;
        dialog->setValue(percent);
        QApplication::processEvents();
        return dialog && !dialog->wasCanceled();
    }

    void end() override
    {
        delete dialog.data();  // owned here; the parent only shows it
    }

private:
    QWidget *parent;
    QPointer<QProgressDialog> dialog;
};

}  // namespace

void StandardAcquisitionDialogs::warning(QWidget *parent, const QString &title, const QString &text)
{
    QApplication::beep();
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}

std::unique_ptr<AcquisitionProgress> StandardAcquisitionDialogs::progress(QWidget *parent)
{
    return std::make_unique<ProgressDialog>(parent);
}
