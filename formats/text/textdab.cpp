#include "textformats.h"

#include "numbertext.h"
#include "textfile.h"
#include "textheader.h"

#include <limits>

namespace {

// count lines into out, each trimmed and read as a number; false when the text ends first,
// since a missing line is a missing sample, not a zero.
bool parseLines(TextSpan &rest, int64_t count, float *out)
{
    TextSpan line;
    for (int64_t k = 0; k < count; ++k) {
        if (!textlines::next(rest, line))
            return false;
        out[k] = numbertext::parseFloat(line.begin, line.end);
    }
    return true;
}

void skipLines(TextSpan &rest, int lines)
{
    TextSpan line;
    for (int k = 0; k < lines; ++k)
        textlines::next(rest, line);
}

}  // namespace

IqStatus parseDabSymbols(IqBuffer &record, TextSpan text)
{
    text = textlines::withoutByteOrderMark(text);
    TextSpan rest = text;
    TextSpan first;
    textlines::next(rest, first);
    const TextSpan countField = textlines::field(first, 1, ':');
    uint64_t count = 0;
    if (!numbertext::parseUnsigned(countField.begin, countField.end, 10,
                                   std::numeric_limits<uint32_t>::max(), count))
        count = 0;
    // Every sample needs a line of its own; a count the file cannot hold is a broken header,
    // not a request for gigabytes of zeros.
    if (const int64_t lines = textlines::count(text); int64_t(count) > lines) {
        failFile(IqStatus::FirstFile, record.iFileName,
                 QStringLiteral("header announces %1 samples, the file holds %2 lines")
                         .arg(count)
                         .arg(lines));
        return failRead(record, IqStatus::FirstFile);
    }
    if (const IqStatus status = allocateSamples(record, int64_t(count)); failed(status))
        return failRead(record, status);
    skipLines(rest, 1);
    bool whole = parseLines(rest, int64_t(count), record.iData.data());
    skipLines(rest, 2);
    whole = whole && parseLines(rest, int64_t(count), record.qData.data());
    if (!whole) {
        failFile(IqStatus::FirstFile, record.iFileName,
                 QStringLiteral("header announces %1 samples of I and of Q, the file ends "
                                "before them")
                         .arg(count));
        return failRead(record, IqStatus::FirstFile);
    }
    record.sampleCount = int64_t(count);
    return IqStatus::Ok;
}

IqStatus readDabSymbols(IqBuffer &record, int)
{
    return textfile::readOneFile(record, parseDabSymbols);
}

IqStatus writeDabSymbols(const IqBuffer &record, int, const QString &file, const QString &)
{
    OutputFile out(file);
    if (!out.isOpen())
        return IqStatus::FirstFile;
    const int64_t count = record.heldCount();
    const QByteArray header = textheader::dab(count);
    out.write(header.constData());
    textfile::putColumn(out, record.iData.data(), count);
    out.write(header.constData());
    textfile::putColumn(out, record.qData.data(), count);
    return out.commit() ? IqStatus::Ok : IqStatus::FirstFile;
}
