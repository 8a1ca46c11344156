// A save that fails keeps the record: the user chooses another file and saves the same data.
#include "workflowfixture.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr int kIqwPairs = 18;  // load and save row

// n I/Q pairs as little-endian floats, the IQW pairs layout.
QByteArray iqwPairs(int n)
{
    QByteArray bytes(8 * n, '\0');
    for (int k = 0; k < n; ++k) {
        qToLittleEndian(float(k) + 0.5f, bytes.data() + 8 * k);
        qToLittleEndian(-float(k), bytes.data() + 8 * k + 4);
    }
    return bytes;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class FailedSaveTest : public WorkflowTest
{};

TEST_F(FailedSaveTest, TheRecordStaysForAnotherFile)
{
    {
        QFile in(file("in.iqw"));
        ASSERT_TRUE(in.open(QIODevice::WriteOnly));
        in.write(iqwPairs(300));
    }
    open();
    chooseLoadType(kIqwPairs);
    pick("Load_I", file("in.iqw"));
    click("Load_Lod");
    chooseSaveType(kIqwPairs);
    for (const char *missing : {"no/such/folder/out.iqw", "no/such/folder/again.iqw"}) {
        pick("Save_I", file(QLatin1String(missing)));
        click("Save_Sav");
    }
    ASSERT_EQ(dialogs->boxes.size(), 2);
    EXPECT_EQ(dialogs->boxes[1].text, QStringLiteral("File Save Error."));
    EXPECT_TRUE(enabled("Save_Sav"));  // nothing was lost: the record can still be saved

    pick("Save_I", file("out.iqw"));
    EXPECT_TRUE(enabled("Save_Sav"));
    click("Save_Sav");
    EXPECT_EQ(dialogs->boxes.size(), 2);
    EXPECT_EQ(contents(file("out.iqw")), iqwPairs(300));
}
