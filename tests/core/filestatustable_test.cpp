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
    for (IqStatus status : kAllIqStatuses) {
        SCOPED_TRACE(statusCode(status));
        const FileStatusRow &row = FileStatusTable::row(status);
        EXPECT_EQ(row.status, status);
        ASSERT_NE(row.text, nullptr);
        EXPECT_STRNE(row.text, "unknown status");
        EXPECT_STREQ(iqStatusText(status), row.text);
        texts.insert(row.text);
        if (status == IqStatus::Ok)
            continue;
        for (FileOperation operation : kOperations) {
            const FileFailureMessage m
                    = fileFailureMessage(operation, status, "a.dat", FileFailure());
            EXPECT_TRUE(m.title == "Error" || m.title == "Warning");
            EXPECT_FALSE(m.headline.isEmpty());
            EXPECT_TRUE(m.status.startsWith(QStringLiteral("status %1: ").arg(statusCode(status))));
        }
    }
    EXPECT_EQ(texts.size(), std::size(kAllIqStatuses)) << "two statuses share a text";
    EXPECT_STREQ(iqStatusText(static_cast<IqStatus>(-3)), "unknown status");
}

TEST(FileStatusTable, HeadlinesKeepTheirWords)
{
    struct Case
    {
        FileOperation operation;
        IqStatus status;
        const char *title;
        const char *headline;
    };
    const Case cases[] = {
            {FileOperation::Load, IqStatus::FirstFile, "Error", "File Load Error."},
            {FileOperation::Load, IqStatus::BadWavHeader, "Error", "File Load Error."},
            {FileOperation::Load, IqStatus::Scrambled, "Warning",
             "The file /d/a.wv is scrambled. Load aborted."},
            {FileOperation::Copy, IqStatus::NoMemoryQ, "Error", "File Load Error."},
            {FileOperation::Copy, IqStatus::Scrambled, "Warning",
             "The file /d/a.wv is scrambled. Load aborted."},
            {FileOperation::Save, IqStatus::SecondFile, "Error", "File Save Error."},
            // Appending reads the existing file first; "Load aborted." would not fit there.
            {FileOperation::Append, IqStatus::Scrambled, "Error", "File Append Error."},
            {FileOperation::Append, IqStatus::FirstFile, "Error", "File Append Error."},
            {FileOperation::Append, IqStatus::OutOfMemory, "Error", "Memory too low."},
            {FileOperation::Save, IqStatus::OutOfMemory, "Error", "Memory too low."},
            {FileOperation::Copy, IqStatus::Cancelled, "Error", "Cancelled."},
    };
    for (const Case &c : cases) {
        const FileFailureMessage m
                = fileFailureMessage(c.operation, c.status, "/d/a.wv", FileFailure());
        EXPECT_EQ(m.title, QLatin1String(c.title));
        EXPECT_EQ(m.headline, QLatin1String(c.headline));
    }
}

// The detail names the file and the reason noted for it, or the status's own words when
// no one explained; the line adds the headline and the status.
TEST(FileStatusTable, TheLineNamesHeadlineFileReasonAndStatus)
{
    const FileFailure noted{"/d/b.wav", "not a WAV file: no RIFF id"};
    FileFailureMessage m
            = fileFailureMessage(FileOperation::Load, IqStatus::BadWavHeader, "/d/b.wav", noted);
    EXPECT_EQ(m.detail, "/d/b.wav: not a WAV file: no RIFF id");
    EXPECT_EQ(m.line(), QStringLiteral("File Load Error. /d/b.wav: not a WAV file: no RIFF id "
                                       "(status -4: not a WAV file that can be read)"));
    m = fileFailureMessage(FileOperation::Save, IqStatus::SecondFile, "/d/c.i", FileFailure());
    EXPECT_EQ(m.detail, QStringLiteral("/d/c.i: the second (Q) file cannot be opened, read or "
                                       "written"));
}

TEST(FileStatusTable, AnAllocationThatFailsSaysItWasMemory)
{
    clearFileFailure();
    IqBuffer r;
    ASSERT_EQ(allocateSamples(r, int64_t(1) << 62), IqStatus::NoMemoryI);
    EXPECT_TRUE(lastFileFailure().reason.startsWith("out of memory"))
            << lastFileFailure().reason.toStdString();
}
