// Headers with a date field carry when the samples were captured, when the record knows it;
// otherwise the time of writing, as before.

#include "../container/containertestutil.h"
#include "dispatch.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTemporaryDir>

using containertest::readAll;
using containertest::record;

namespace {

struct DatedType
{
    int saveIndex;
    const char *file;    // the file whose header holds the date
    const char *header;  // where the record's file name goes, if it differs
    QString (*date)(const QDateTime &local);
};

QString tagDate(const QDateTime &t)
{
    return QStringLiteral("{DATE:%1-%2-%3;%4:%5:%6}")
            .arg(t.date().year())
            .arg(t.date().month())
            .arg(t.date().day())
            .arg(t.time().hour())
            .arg(t.time().minute())
            .arg(t.time().second());
}

QString dadispDate(const QDateTime &t)
{
    return t.toString(QStringLiteral("'DATE 'yyyy-MM-dd'\nTIME 'hh:mm:ss"));
}

TEST(CaptureDate, DateFieldsCarryTheCaptureTime)
{
    const DatedType types[] = {
            {24, "c.wvd", "c.wvh", tagDate},  // raw recording: the header file
            {25, "c.wv", "c.wv", tagDate},    // WV
            {7, "c.dsp", "c.dsp", dadispDate},
    };
    const QDateTime captured(QDate(2021, 2, 3), QTime(4, 5, 6), Qt::UTC);
    for (const DatedType &type : types) {
        SCOPED_TRACE(type.file);
        QTemporaryDir dir;
        IqBuffer source = record({0.5f, -0.25f}, {0.125f, 0.0f}, 1e6);
        source.captureTime = captured;
        const QString file = dir.filePath(QLatin1String(type.file));
        ASSERT_EQ(containertest::saveFiles(source, type.saveIndex, file), IqStatus::Ok);
        const QByteArray text = readAll(dir.filePath(QLatin1String(type.header)));
        EXPECT_TRUE(text.contains(type.date(captured.toLocalTime()).toLatin1()))
                << text.left(300).constData();

        // Without a capture time: the time of writing.
        source.captureTime = QDateTime();
        const QDateTime before = QDateTime::currentDateTime();
        ASSERT_EQ(containertest::saveFiles(source, type.saveIndex, file), IqStatus::Ok);
        const QByteArray now = readAll(dir.filePath(QLatin1String(type.header)));
        EXPECT_FALSE(now.contains(type.date(captured.toLocalTime()).toLatin1()));
        EXPECT_TRUE(now.contains(QByteArray::number(before.date().year())));
    }
}

}  // namespace
