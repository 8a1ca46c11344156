// The handheld receiver's recorder file and the recording name taken from its catalogue.

#include "recorderfile.h"

#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray recorderBytes(int32_t rate, int32_t count, const std::vector<int16_t> &iq)
{
    char header[84] = {};
    qToLittleEndian<qint32>(rate, header + 32);
    qToLittleEndian<qint32>(count, header + 60);
    QByteArray bytes(header, sizeof header);
    for (int16_t v : iq) {
        char le[2];
        qToLittleEndian<qint16>(v, le);
        bytes.append(le, 2);
    }
    return bytes;
}

class StopAtFirst : public SilentProgress
{
public:
    bool update(int) override { return false; }
};

class RecorderFileTest : public ::testing::Test
{
protected:
    QString write(const QByteArray &bytes)
    {
        const QString path = folder.filePath("RecIQ0001.riq");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    QTemporaryDir folder;
    SilentProgress progress;
    IqBuffer record;
};

TEST_F(RecorderFileTest, ReadsRateCountAndUnscaledSamples)
{
    const QString path = write(recorderBytes(640000, 3, {1, -2, 32767, -32768, 0, 5}));
    ASSERT_EQ(readRecorderFile(path, record, true, progress), AcquisitionStatus::Success);
    EXPECT_EQ(record.sampleRate, 640000.0);
    ASSERT_EQ(record.sampleCount, 3);
    EXPECT_EQ(record.iData[0], 1.0f);
    EXPECT_EQ(record.qData[0], -2.0f);
    EXPECT_EQ(record.iData[1], 32767.0f);
    EXPECT_EQ(record.qData[1], -32768.0f);
    EXPECT_EQ(record.qData[2], 5.0f);

    record.sampleCount = 2;  // the record's own count, when the file's is not asked for
    ASSERT_EQ(readRecorderFile(path, record, false, progress), AcquisitionStatus::Success);
    EXPECT_EQ(record.heldCount(), 2);
}

TEST_F(RecorderFileTest, ShortMissingOrCancelledReadsLeaveNoSamples)
{
    EXPECT_EQ(
            readRecorderFile(write(recorderBytes(640000, 4, {1, 2, 3, 4})), record, true, progress),
            AcquisitionStatus::FileError);  // holds 2 of 4
    EXPECT_EQ(record.heldCount(), 0);
    EXPECT_EQ(readRecorderFile(write(recorderBytes(640000, -1, {})), record, true, progress),
              AcquisitionStatus::FileError);
    EXPECT_EQ(readRecorderFile(write(QByteArray(40, '\0')), record, true, progress),
              AcquisitionStatus::FileError);
    EXPECT_EQ(readRecorderFile(folder.filePath("none.riq"), record, true, progress),
              AcquisitionStatus::FileError);
    StopAtFirst cancelling;
    EXPECT_EQ(readRecorderFile(write(recorderBytes(640000, 2, {1, 2, 3, 4})), record, true,
                               cancelling),
              AcquisitionStatus::Cancelled);
    EXPECT_EQ(record.heldCount(), 0);
}

TEST(RecordingName, OnlyAPlainNameFromTheCatalogue)
{
    EXPECT_EQ(recordingNameFromCatalogue("4084,1000,\"RecIQ0001.riq,BIN,4084\"\n"),
              "RecIQ0001.riq");
    EXPECT_EQ(recordingNameFromCatalogue("0,1000\n"), QString());
    EXPECT_EQ(recordingNameFromCatalogue("\"RecIQ/../x\""), QString());
    EXPECT_EQ(recordingNameFromCatalogue("\"RecIQ..\\\\a\""), QString());
    EXPECT_EQ(recordingNameFromCatalogue("\"RecIQ01\""), QString());  // too short
}

}  // namespace
