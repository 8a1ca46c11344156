#include "chunkedcopy.h"
#include "clioptions.h"
#include "command.h"
#include "filestatustable.h"
#include "filetypes.h"
#include "outputfile.h"
#include "recordoptions.h"
#include "sigmfverify.h"
#include "verifyprogress.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace {

// The largest --chunk taken: far beyond any file, and still clear of 64-bit overflow.
constexpr int64_t kMaxChunkSamples = 4000000000000000000;

const char *kUsage
        = "Usage: trovik-cli copy [--from TYPE] --in FILE [--in-q FILE] [--to TYPE] --out FILE\n"
          "                       [--out-q FILE] [--rate HZ] [--ref-level DBM] [--chunk SAMPLES]\n"
          "                       [--no-verify]\n"
          "Converts a large file piece by piece, without holding it in memory: every binary and\n"
          "container type, both ways (not the text types). 'trovik-cli types' shows them\n"
          "(a raw recording is its data file .wvd beside its .wvh header; a two-file type names "
          "its\n"
          "Q file with --in-q / --out-q, else an I file *.i brings its *.q);\n"
          "TYPE is the key or the list index it shows; left out, the type is the one the file's\n"
          "extension names (.wav fits two types and needs it).\n"
          "  --rate HZ        sample rate used where the source file carries none\n"
          "  --ref-level DBM  reference level used where the source file carries none\n"
          "  --chunk SAMPLES  samples per chunk (default 262144000; smaller needs less memory)\n"
          "  --no-verify      do not check a SigMF source against its core:sha512\n"
          "'-' as --in reads the standard input (a one-file type, given with --from; it is "
          "spooled\n"
          "to a temporary file), and as --out writes the standard output (wav-mixed, iqw-pairs,\n"
          "spw-binary-mixed or wv, given with --to).\n"
          "Example: trovik-cli copy --from recordia-raw --in rec.wvd --to wv --out rec.wv\n"
          "         trovik-cli copy --from wv --in big.wv --to iqw-pairs --out - | other-tool";

QString copyTypeError(const char *role, const QString &text, int index, const QString &keys)
{
    if (index < 0)
        return QStringLiteral("unknown %1 type '%2' (see trovik-cli types)")
                .arg(QLatin1String(role), text);
    return QStringLiteral(
                   "copy takes as %1 only %2; '%3' is not one of them (use trovik-cli convert)")
            .arg(QLatin1String(role), keys, text);
}

// A progress line on stderr once a copy has run for a second, refreshed twice a second.
class ProgressLine
{
public:
    ProgressLine() { m_clock.start(); }
    ~ProgressLine()
    {
        if (m_shown)
            std::fputc('\n', stderr);
    }
    void update(int64_t done, int64_t total)
    {
        const qint64 now = m_clock.elapsed();
        if (now < 1000 || (m_shown && now - m_last < 500 && done < total))
            return;
        m_shown = true;
        m_last = now;
        std::fprintf(stderr, "\rcopy: %3d%% (%lld of %lld samples)",
                     total > 0 ? int(done * 100 / total) : 100, static_cast<long long>(done),
                     static_cast<long long>(total));
        std::fflush(stderr);
    }

private:
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    bool m_shown = false;
};

int runCopy(const QStringList &args)
{
    CliOptions options;
    QString error;
    const QStringList names
            = {QStringLiteral("--from"),      QStringLiteral("--in"),   QStringLiteral("--in-q"),
               QStringLiteral("--to"),        QStringLiteral("--out"),  QStringLiteral("--out-q"),
               QStringLiteral("--ref-level"), QStringLiteral("--rate"), QStringLiteral("--chunk")};
    if (!options.parse(args, names, error, {QStringLiteral("--no-verify")})
        || !options.require("copy", {QStringLiteral("--in"), QStringLiteral("--out")}, error))
        return cliFail(error);

    const QString fromText = options.value(QStringLiteral("--from"));
    const QString toText = options.value(QStringLiteral("--to"));
    const int fromIndex
            = cliTypeIndex(true, fromText, options.value(QStringLiteral("--in")), error);
    if (fromIndex < 0 && fromText.isEmpty())
        return cliFail(error);
    const int toIndex = cliTypeIndex(false, toText, options.value(QStringLiteral("--out")), error);
    if (toIndex < 0 && toText.isEmpty())
        return cliFail(error);
    if (!FileTypeTable::loadRow(fromIndex).can(RowAbility::CopySource))
        return cliFail(copyTypeError("source", fromText, fromIndex,
                                     FileTypeTable::loadKeysWith(RowAbility::CopySource)));
    if (!FileTypeTable::saveRow(toIndex).can(RowAbility::CopyTarget))
        return cliFail(copyTypeError("target", toText, toIndex,
                                     FileTypeTable::saveKeysWith(RowAbility::CopyTarget)));
    const int toCode = FileTypeTable::saveRow(toIndex).typeCode;

    IqBuffer record;
    double rate = 0.0, refLevel = 0.0;
    int64_t chunk = 0;
    if (!options.number(QStringLiteral("--rate"), 0.0, rate, error)
        || !options.number(QStringLiteral("--ref-level"), 0.0, refLevel, error)
        || !options.whole(QStringLiteral("--chunk"), 1, kMaxChunkSamples, kDefaultChunkSamples,
                          chunk, error))
        return cliFail(error);
    record.iFileName = options.value(QStringLiteral("--in"));
    record.typeIndex = fromIndex;
    const QString out = options.value(QStringLiteral("--out"));
    if (!cliPipeTargetOk(toIndex, out, error))
        return cliFail(error);
    StandardInputSpool spool;
    if (!spool.take(record, error))
        return cliFail(error);
    if (!QFileInfo(record.iFileName).isFile()) {
        const int error = QFileInfo::exists(record.iFileName) ? EISDIR : ENOENT;
        failFile(IqStatus::FirstFile, record.iFileName, systemErrorText(error));
        return cliFail(fileFailureMessage(FileOperation::Copy, IqStatus::FirstFile,
                                          record.iFileName, lastFileFailure())
                               .line());
    }
    record.qFileName = options.value(QStringLiteral("--in-q"));
    record.sampleRate = rate;
    record.refLevel = float(refLevel);
    const QString outQ = options.has(QStringLiteral("--out-q"))
                                 ? options.value(QStringLiteral("--out-q"))
                                 : FileTypeTable::saveQName(FileTypeTable::saveRow(toIndex), out);

    sigmfVerifyOptions().enabled = !options.has(QStringLiteral("--no-verify"));
    const VerifyProgressLine verifying;
    ProgressLine line;
    clearFileFailure();
    const IqStatus status
            = convertInChunks(record, out, outQ, toCode, chunk,
                              [&line](int64_t done, int64_t total) { line.update(done, total); });
    if (status != IqStatus::Ok)
        return cliFail(
                fileFailureMessage(FileOperation::Copy, status, record.iFileName, lastFileFailure())
                        .line()
                + QStringLiteral("; '%1' was not written").arg(out));
    // The standard output may be the copy itself: the summary then goes to the error stream.
    std::fprintf(out == QLatin1String(kStandardOutput) ? stderr : stdout,
                 "copied %lld samples in %lld chunk(s) to %s\n",
                 static_cast<long long>(record.sampleCount),
                 static_cast<long long>(record.chunkCount + (record.lastChunkSize > 0 ? 1 : 0)),
                 out.toLocal8Bit().constData());
    return 0;
}

const CliCommandRegistration kCopy({"copy", "convert a large binary or container file in chunks",
                                    kUsage, runCopy, 60});

}  // namespace
