// A failed load, save, append or copy shows the headline the user knows with the file and the
// reason beneath it, never an earlier failure's; what failed leaves no file and no valid data
// behind, and a failed write keeps the record for another try.
#include "filefailure.h"
#include "wavformat.h"
#include "workflowfixture.h"

#include <QSpinBox>

#include <functional>

namespace {

constexpr int kMathcadSingle = 4;
constexpr int kWavMixed = 15;  // load and save row
constexpr int kIqwPairs = 18;  // load and save row
constexpr int kWvLoad = 32;
constexpr int kSigmf = 33;  // load row

}  // namespace

class FileErrorBox : public WorkflowTest
{
protected:
    void copy(int loadRow, const char *from, int saveRow, const char *to)
    {
        chooseLoadType(loadRow);
        pick("Load_I", file(QLatin1String(from)));
        chooseSaveType(saveRow);
        pick("Save_I", file(QLatin1String(to)));
        click("Load_Cpy");
    }

    // A one-file destination on which Append is offered: the Q append target is chosen on a
    // two-file type first, because the flag outlives the type change.
    void appendTo(const char *name, int guard)
    {
        chooseSaveType(kMathcadSingle);
        pick("Save_I", file(QStringLiteral("unused.i")));
        chooseSaveType(kIqwPairs);
        pick("Save_I", file(QLatin1String(name)));
        load(kIqwPairs, file(QStringLiteral("in.iqw")));
        pick("Save_I", file(QLatin1String(name)));
        child<QSpinBox>("Save_Grd")->setValue(guard);
        click("Save_App");
    }
};

TEST_F(FileErrorBox, EachFailureSaysWhatFailedAndWhy)
{
    // The header announces 1000 stereo samples; the file holds 300 of them.
    writeBytes(file("short.wav"), wavHeaderBytes(1000, 2, 1e6, false) + QByteArray(300 * 4, '\1'));
    writeBytes(file("secret.wv"),
               QByteArray("{TYPE: SMU-WV, 0}{SAMPLES: 2}{WWAVEFORM-9:#") + QByteArray(8, '\x11'));
    writeBytes(file("real.sigmf-meta"), R"({"global": {"core:datatype": "rf32_le", )"
                                        R"("core:version": "1.0.0"}, "captures": []})");
    writeBytes(file("real.sigmf-data"), QByteArray(64, '\0'));
    writeBytes(file("in.iqw"), iqwPairs(2));
    writeBytes(file("dest.iqw"), iqwPairs(5));
    const QString scrambled = QStringLiteral("The file %1/secret.wv is scrambled. Load aborted.");
    const struct
    {
        const char *name;
        std::function<void()> act;
        const char *title;
        QString text;
        const char *detail;  // %1 is the data folder; null: not checked
        bool dataValidAfter;
        const char *absentAfter;  // a file the failure must not leave behind
        std::function<void()> alsoAfter;
    } cases[] = {
            {"load of a short WAV",
             [&] { load(kWavMixed, file("short.wav")); },
             "Error",
             "File Load Error.",
             "%1/short.wav: header announces 1000 samples, the file holds 300",
             false,
             nullptr,
             {}},
            {"load of a missing file", [&] { load(kIqwPairs, file("missing.iqw")); }, "Error",
             "File Load Error.", "%1/missing.iqw: No such file or directory", false, nullptr,
             [&] { EXPECT_EQ(window->workspace().source().sampleCount, 0); }},
            {"load of a scrambled WV",
             [&] { load(kWvLoad, file("secret.wv")); },
             "Warning",
             scrambled,
             nullptr,
             false,
             nullptr,
             {}},
            {"load of a real SigMF recording",
             [&] { load(kSigmf, file("real.sigmf-meta")); },
             "Error",
             "File Load Error.",
             "%1/real.sigmf-meta: unsupported datatype \"rf32_le\": real samples, the record holds "
             "complex ones",
             false,
             nullptr,
             {}},
            {"copy from a scrambled WV",
             [&] { copy(kWvLoad, "secret.wv", kWavMixed, "out.wav"); },
             "Warning",
             scrambled,
             nullptr,
             false,
             "out.wav",
             {}},
            {"copy from a missing file", [&] { copy(kWvLoad, "missing.wv", kWavMixed, "out.wav"); },
             "Error", "File Load Error.", nullptr, false, "out.wav",
             [&] { EXPECT_FALSE(window->workspace().state().newState); }},
            {"save into a missing folder",
             [&] {
                 load(kIqwPairs, file("in.iqw"));
                 chooseSaveType(kIqwPairs);
                 pick("Save_I", file("no/such/folder/out.iqw"));
                 click("Save_Sav");
             },
             "Error",
             "File Save Error.",
             "%1/no/such/folder/out.iqw: No such file or directory",
             true,
             nullptr,
             {}},
            {"append to a file that is not there",
             [&] { appendTo("absent.iqw", 0); },
             "Error",
             "File Append Error.",
             nullptr,
             true,
             "absent.iqw",
             {}},
            {"append of fewer samples than guard samples",
             [&] { appendTo("dest.iqw", 3); },
             "Error",
             "Guard Samples exceed the samples to append.",
             nullptr,
             true,
             nullptr,
             {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        open();
        failFile(IqStatus::FirstFile, file("old.dat"), QStringLiteral("an old reason"));
        c.act();
        ASSERT_EQ(dialogs->boxes.size(), 1);
        const ScriptedDialogs::Box &box = dialogs->boxes[0];
        EXPECT_EQ(box.title, QLatin1String(c.title));
        EXPECT_EQ(box.text.toStdString(), c.text.arg(dataDir.path()).toStdString());
        if (c.detail) {
            EXPECT_EQ(box.detail.toStdString(),
                      QString::fromLatin1(c.detail).arg(dataDir.path()).toStdString());
        }
        EXPECT_FALSE(box.detail.contains(QStringLiteral("an old reason")));
        EXPECT_EQ(window->workspace().state().dataValid, c.dataValidAfter);
        EXPECT_EQ(enabled("Spec"), c.dataValidAfter);
        EXPECT_FALSE(window->workspace().state().outOfMemory);
        if (c.absentAfter) {
            EXPECT_FALSE(QFile::exists(file(QLatin1String(c.absentAfter))));
        }
        if (c.alsoAfter)
            c.alsoAfter();
    }
    EXPECT_EQ(contents(file("dest.iqw")), iqwPairs(5)) << "a refused append writes nothing";
}
