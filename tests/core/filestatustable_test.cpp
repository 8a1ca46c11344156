#include "filestatustable.h"
#include "iqbuffer.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const FileOperation kOperations[]
        = {FileOperation::Load, FileOperation::Copy, FileOperation::Save, FileOperation::Append};

}  // namespace

TEST(FileStatusTable, EveryStatusHasItsOwnRowWithTextTitleAndHeadline)
{
    std::set<std::string> texts;
    for (IqStatus status : IqStatusCode::all) {
        SCOPED_TRACE(status);
        const FileStatusRow &row = FileStatusTable::row(status);
        EXPECT_EQ(row.status, status);
        ASSERT_NE(row.text, nullptr);
        EXPECT_STRNE(row.text, "unknown status");
        EXPECT_STREQ(iqStatusText(status), row.text);
        texts.insert(row.text);
        if (status == IqStatusCode::Ok)
            continue;
        for (FileOperation operation : kOperations) {
            const FileFailureMessage m
                    = fileFailureMessage(operation, status, QStringLiteral("a.dat"), FileFailure());
            EXPECT_TRUE(m.title == QLatin1String("Error") || m.title == QLatin1String("Warning"));
            EXPECT_FALSE(m.headline.isEmpty());
            EXPECT_TRUE(m.status.startsWith(QStringLiteral("status %1: ").arg(status)));
        }
    }
    EXPECT_EQ(texts.size(), std::size(IqStatusCode::all)) << "two statuses share a text";
    EXPECT_STREQ(iqStatusText(-3), "unknown status");
}

TEST(FileStatusTable, HeadlinesKeepTheirWords)
{
    struct Case
    {
        FileOperation operation;
        IqStatus status;
        bool outOfMemory;
        const char *title;
        const char *headline;
    };
    const Case cases[] = {
            {FileOperation::Load, IqStatusCode::FirstFile, false, "Error", "File Load Error."},
            {FileOperation::Load, IqStatusCode::BadWavHeader, false, "Error", "File Load Error."},
            {FileOperation::Load, IqStatusCode::Scrambled, false, "Warning",
             "The file /d/a.wv is scrambled. Load aborted."},
            {FileOperation::Copy, IqStatusCode::NoMemoryQ, false, "Error", "File Load Error."},
            {FileOperation::Copy, IqStatusCode::Scrambled, false, "Warning",
             "The file /d/a.wv is scrambled. Load aborted."},
            {FileOperation::Save, IqStatusCode::SecondFile, false, "Error", "File Save Error."},
            // Appending reads the existing file first; "Load aborted." would not fit there.
            {FileOperation::Append, IqStatusCode::Scrambled, false, "Error", "File Append Error."},
            {FileOperation::Append, IqStatusCode::FirstFile, false, "Error", "File Append Error."},
            {FileOperation::Append, IqStatusCode::FirstFile, true, "Error", "Memory too low."},
    };
    for (const Case &c : cases) {
        const FileFailureMessage m = fileFailureMessage(
                c.operation, c.status, QStringLiteral("/d/a.wv"), FileFailure(), c.outOfMemory);
        EXPECT_EQ(m.title, QLatin1String(c.title));
        EXPECT_EQ(m.headline, QLatin1String(c.headline));
    }
}

TEST(FileStatusTable, TheLineNamesHeadlineFileReasonAndStatus)
{
    const FileFailure noted{QStringLiteral("/d/b.wav"),
                            QStringLiteral("not a WAV file: no RIFF id")};
    const FileFailureMessage m = fileFailureMessage(FileOperation::Load, IqStatusCode::BadWavHeader,
                                                    QStringLiteral("/d/b.wav"), noted);
    EXPECT_EQ(m.detail, QStringLiteral("/d/b.wav: not a WAV file: no RIFF id"));
    EXPECT_EQ(m.line(), QStringLiteral("File Load Error. /d/b.wav: not a WAV file: no RIFF id "
                                       "(status -4: not a WAV file that can be read)"));
}

TEST(FileStatusTable, AFailureNoOneExplainedStillNamesTheFile)
{
    const FileFailureMessage m = fileFailureMessage(FileOperation::Save, IqStatusCode::SecondFile,
                                                    QStringLiteral("/d/c.i"), FileFailure());
    EXPECT_EQ(m.detail, QStringLiteral("/d/c.i: the second (Q) file cannot be opened, read or "
                                       "written"));
}

TEST(FileStatusTable, AnAllocationThatFailsSaysItWasMemory)
{
    clearFileFailure();
    IqBuffer r;
    ASSERT_EQ(allocateSamples(r, int64_t(1) << 62), IqStatusCode::NoMemoryI);
    EXPECT_TRUE(lastFileFailure().reason.startsWith(QStringLiteral("out of memory")))
            << lastFileFailure().reason.toStdString();
}
