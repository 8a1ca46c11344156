#include "textformats.h"

#include "numbertext.h"
#include "textfile.h"
#include "textheader.h"

#include <QDateTime>

namespace {

void writeRows(OutputFile &out, const float *i, const float *q, int64_t count)
{
    textfile::putItems(out, count, 32, [i, q](char *p, int64_t k) {
        p = numbertext::putE7(p, i[k]);
        *p++ = ' ';
        p = numbertext::putE7(p, q[k]);
        *p++ = '\n';
        return p;
    });
}

IqStatus writeOneFile(const IqBuffer &record, int typeCode, const QString &file,
                      const QDateTime &stamp, int64_t count)
{
    OutputFile out(file);
    if (!out.isOpen())
        return IqStatus::FirstFile;
    out.write(textheader::forType(typeCode, 0, stamp, record.sampleRate, count).constData());
    writeRows(out, record.iData.data(), record.qData.data(), count);
    out.write(textheader::trailerFor(typeCode));
    return out.commit() ? IqStatus::Ok : IqStatus::FirstFile;
}

void writeColumnFile(OutputFile &out, const IqBuffer &record, int typeCode, char signal,
                     const QDateTime &stamp, const float *values, int64_t count)
{
    out.write(textheader::forType(typeCode, signal, stamp, record.sampleRate, count).constData());
    textfile::putColumn(out, values, count);
    out.write(textheader::trailerFor(typeCode));
}

// Both files are written completely before either replaces its destination, so a failure
// leaves both destinations as they were (short of a failing final sync or rename of the Q file).
IqStatus writeTwoFiles(const IqBuffer &record, int typeCode, const QString &iFile,
                       const QString &qFile, const QDateTime &stamp, int64_t count)
{
    OutputFile iOut(iFile);
    if (!iOut.isOpen())
        return IqStatus::FirstFile;
    OutputFile qOut(qFile);
    if (!qOut.isOpen())
        return IqStatus::SecondFile;
    writeColumnFile(iOut, record, typeCode, 'i', stamp, record.iData.data(), count);
    writeColumnFile(qOut, record, typeCode, 'q', stamp, record.qData.data(), count);
    if (!iOut.flush())
        return IqStatus::FirstFile;
    if (!qOut.flush())
        return IqStatus::SecondFile;
    if (!iOut.commit())
        return IqStatus::FirstFile;
    return qOut.commit() ? IqStatus::Ok : IqStatus::SecondFile;
}

}  // namespace

IqStatus writeTextIq(const IqBuffer &record, int typeCode, const QString &iFile,
                     const QString &qFile)
{
    // One time stamp for both files of a pair: when the samples were captured, if known.
    const QDateTime stamp = record.captureTime.isValid() ? record.captureTime.toLocalTime()
                                                         : QDateTime::currentDateTime();
    const int64_t count = record.heldCount();
    if (qFile.isEmpty())
        return writeOneFile(record, typeCode, iFile, stamp, count);
    return writeTwoFiles(record, typeCode, iFile, qFile, stamp, count);
}
