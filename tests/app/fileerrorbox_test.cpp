// A failed load or save shows its headline with the file and the reason beneath it.
#include "filefailure.h"
#include "wavformat.h"
#include "workflowfixture.h"

#include <QFile>

namespace {

constexpr int kIqwPairs = 18;  // load and save row
constexpr int kWavMixed = 15;  // load row
constexpr int kSigmf = 33;     // load row

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

class FileErrorBox : public WorkflowTest
{
protected:
    void load(int row, const QString &path)
    {
        chooseLoadType(row);
        pick("Load_I", path);
        click("Load_Lod");
    }
};

TEST_F(FileErrorBox, LoadFailureShowsTheFileAndTheFormatsReason)
{
    // The header announces 1000 stereo samples; the file holds 300 of them.
    writeAll(file("short.wav"), wavHeaderBytes(1000, 2, 1e6, false) + QByteArray(300 * 4, '\1'));
    open();
    load(kWavMixed, file("short.wav"));
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].title, QStringLiteral("Error"));
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("File Load Error."));
    EXPECT_EQ(dialogs->boxes[0].detail,
              file("short.wav")
                      + QStringLiteral(": header announces 1000 samples, the file holds 300"));
    EXPECT_FALSE(enabled("Spec"));
}

TEST_F(FileErrorBox, LoadOfAMissingFileGivesTheSystemsReason)
{
    open();
    load(kIqwPairs, file("missing.iqw"));
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("File Load Error."));
    EXPECT_EQ(dialogs->boxes[0].detail,
              file("missing.iqw") + QStringLiteral(": No such file or directory"));
}

TEST_F(FileErrorBox, SaveFailureNamesTheDestination)
{
    writeAll(file("in.iqw"), QByteArray(16, '\0'));
    open();
    load(kIqwPairs, file("in.iqw"));
    ASSERT_TRUE(dialogs->boxes.isEmpty());
    chooseSaveType(kIqwPairs);
    pick("Save_I", file("no/such/folder/out.iqw"));
    click("Save_Sav");
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_EQ(dialogs->boxes[0].title, QStringLiteral("Error"));
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("File Save Error."));
    EXPECT_EQ(dialogs->boxes[0].detail,
              file("no/such/folder/out.iqw") + QStringLiteral(": No such file or directory"));
}

TEST_F(FileErrorBox, AnEarlierFailuresDetailIsNeverShown)
{
    writeAll(
            file("real.sigmf-meta"),
            R"({"global": {"core:datatype": "rf32_le", "core:version": "1.0.0"}, "captures": []})");
    writeAll(file("real.sigmf-data"), QByteArray(64, '\0'));
    open();
    failFile(IqStatus::FirstFile, file("old.dat"), QStringLiteral("an old reason"));
    load(kSigmf, file("real.sigmf-meta"));
    ASSERT_EQ(dialogs->boxes.size(), 1);
    EXPECT_FALSE(dialogs->boxes[0].detail.contains(QStringLiteral("an old reason")))
            << dialogs->boxes[0].detail.toStdString();
    EXPECT_TRUE(dialogs->boxes[0].detail.startsWith(file("real.sigmf-")))
            << dialogs->boxes[0].detail.toStdString();
}
