// Faults a new user met in the window, each with the behaviour it should have had.
#include "workflowfixture.h"

#include <QDoubleSpinBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

QStringList *capturedMessages = nullptr;

void captureMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    if (capturedMessages)
        capturedMessages->append(text);
}

// The Qt messages printed while the window is built.
QStringList messagesWhileBuilding(const QString &configDir)
{
    QStringList messages;
    capturedMessages = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
    {
        MainWindow w(configDir);
    }
    qInstallMessageHandler(previous);
    capturedMessages = nullptr;
    return messages;
}

}  // namespace

TEST_F(WorkflowTest, EverySlotNamedForAControlFindsIt)
{
    const QStringList messages = messagesWhileBuilding(configDir.path());
    for (const QString &m : messages)
        EXPECT_FALSE(m.contains(QStringLiteral("No matching signal"))) << m.toStdString();
}

TEST_F(WorkflowTest, AnEditedSampleRateTakesEffectWithoutALoad)
{
    MainWindow &w = open();
    auto *rate = child<QDoubleSpinBox>("Load_SRat");
    rate->setValue(2.5e6);
    emit rate->editingFinished();
    EXPECT_EQ(MainWindowProbe::source(w).sampleRate, 2.5e6);
    EXPECT_TRUE(MainWindowProbe::newState(w));  // the generator software is told
}
