// Faults a new user met in the window, each with the behaviour it should have had.
#include "workflowfixture.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kMathcadSingle = 4;  // two-file save row whose Q name follows the I name
constexpr int kIqwPairs = 18;      // one-file load and save row

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

class TypedPathTest : public WorkflowTest
{
protected:
    // Four samples loaded through Load IQ, so the record is valid.
    void loadFourSamples()
    {
        QFile f(file(QStringLiteral("in.iqw")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const float pairs[8] = {0.5f, -0.5f, 0.25f, 0.0f, -1.0f, 1.0f, 0.0f, 0.125f};
        f.write(reinterpret_cast<const char *>(pairs), sizeof pairs);
        f.close();
        chooseLoadType(kIqwPairs);
        pick("Load_I", file(QStringLiteral("in.iqw")));
        click("Load_Lod");
        ASSERT_TRUE(MainWindowProbe::dataValid(*window));
    }

    void type(const char *field, const QString &text)
    {
        // As a user does it: select what is there, then type over it or delete it.
        auto *edit = child<QLineEdit>(field);
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, text);
    }
};

TEST_F(TypedPathTest, APathTypedIntoTheSaveFieldsEnablesSaveLikeTheFileDialog)
{
    MainWindow &w = open();
    loadFourSamples();
    chooseSaveType(kIqwPairs);
    EXPECT_FALSE(enabled("Save_Sav"));
    const QString out = file(QStringLiteral("typed.iqw"));
    type("Save_Di", out);
    EXPECT_TRUE(enabled("Save_Sav"));
    EXPECT_EQ(MainWindowProbe::target(w).iFileName, out);
    EXPECT_EQ(MainWindowProbe::scratch(w).iFileName, out);  // Append writes there too
    click("Save_Sav");
    EXPECT_EQ(QFile(out).size(), 32);
    EXPECT_TRUE(dialogs->boxes.isEmpty());

    type("Save_Di", QString());  // an emptied field is no destination
    EXPECT_FALSE(enabled("Save_Sav"));

    // A two-file type derives the Q name from the typed I name, as the dialog does; a Q name
    // typed afterwards replaces it.
    chooseSaveType(kMathcadSingle);
    type("Save_Di", file(QStringLiteral("pair.i")));
    EXPECT_EQ(child<QLineEdit>("Save_Dq")->text(), file(QStringLiteral("pair.q")));
    EXPECT_TRUE(enabled("Save_Sav"));
    EXPECT_TRUE(enabled("Save_App"));
    type("Save_Dq", file(QStringLiteral("other.q")));
    EXPECT_EQ(MainWindowProbe::target(w).qFileName, file(QStringLiteral("other.q")));
    type("Save_Dq", QString());
    EXPECT_FALSE(enabled("Save_Sav"));
}
