// The real progress dialog of Copy IQ: it follows the samples done and reports Cancel.
#include "workflowdialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QProgressDialog *openProgressDialog()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<QProgressDialog *>(w))
            return d;
    return nullptr;
}

}  // namespace

TEST(StandardWorkflowDialogsTest, ProgressCountsInThousandthsAndStopsOnCancel)
{
    QWidget parent;
    StandardWorkflowDialogs dialogs;
    {
        auto view = dialogs.copyProgress(
                &parent, QStringLiteral("Converting IQ file... to IQ file..."), int64_t(3) << 32);
        QProgressDialog *dialog = openProgressDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->labelText(), QStringLiteral("Converting IQ file... to IQ file..."));
        EXPECT_EQ(dialog->maximum(), 1000);
        EXPECT_TRUE(view->advance(int64_t(1) << 32, int64_t(3) << 32));
        EXPECT_EQ(dialog->value(), 333);
        dialog->cancel();
        EXPECT_FALSE(view->advance(int64_t(2) << 32, int64_t(3) << 32));
    }
    EXPECT_EQ(openProgressDialog(), nullptr) << "the dialog closes with its view";
}

TEST(StandardWorkflowDialogsTest, WarningShowsTheDetailBeneathTheHeadline)
{
    QWidget parent;
    StandardWorkflowDialogs dialogs;
    QString title, text, informative;
    // The box is modal: it is read and closed from the event loop it runs.
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        informative = box->informativeText();
        box->accept();
    });
    dialogs.warning(&parent, QStringLiteral("Error"), QStringLiteral("File Load Error."),
                    QStringLiteral("/d/a.wav: not a WAV file: no RIFF id"));
    EXPECT_EQ(title, QStringLiteral("Error"));
    EXPECT_EQ(text, QStringLiteral("File Load Error."));
    EXPECT_EQ(informative, QStringLiteral("/d/a.wav: not a WAV file: no RIFF id"));
}
