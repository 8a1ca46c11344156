#include "chunkedcopy.h"
#include "command.h"
#include "filetypes.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>

#include <cstdio>

namespace {

const char *kUsage =
    "Usage: trovik-cli copy --from TYPE --in FILE --to TYPE --out FILE [--rate HZ] [--ref-level DBM]\n"
    "                       [--chunk SAMPLES]\n"
    "Converts a large file piece by piece, without holding it in memory. Both types must be one\n"
    "of wav-mixed, recordia-raw (data file .wvd beside its .wvh header) and wv; TYPE is the key\n"
    "or the list index shown by 'trovik-cli types'.\n"
    "  --rate HZ        sample rate used where the source file carries none\n"
    "  --ref-level DBM  reference level used where the source file carries none\n"
    "  --chunk SAMPLES  samples per chunk (default 262144000; smaller needs less memory)\n"
    "Example: trovik-cli copy --from recordia-raw --in rec.wvd --to wv --out rec.wv";

// Small option parser of this command: "--name value" pairs, each name at most once.
bool parseOptions(const QStringList &args, const QStringList &names, QHash<QString, QString> &values,
                  QString &error)
{
    for (int k = 0; k < args.size(); k += 2) {
        const QString name = args[k];
        if (!names.contains(name)) {
            error = QStringLiteral("unknown option '%1' (see trovik-cli copy --help)").arg(name);
            return false;
        }
        if (k + 1 >= args.size()) {
            error = QStringLiteral("option %1 needs a value").arg(name);
            return false;
        }
        if (values.contains(name)) {
            error = QStringLiteral("option %1 given twice").arg(name);
            return false;
        }
        values.insert(name, args[k + 1]);
    }
    return true;
}

bool number(const QHash<QString, QString> &values, const char *name, double &out, QString &error)
{
    if (!values.contains(QLatin1String(name)))
        return true;
    bool ok = false;
    out = values.value(QLatin1String(name)).toDouble(&ok);
    if (!ok)
        error = QStringLiteral("%1 needs a number, not '%2'").arg(QLatin1String(name), values.value(QLatin1String(name)));
    return ok;
}

QString copyTypeError(const char *role, const QString &text, int code)
{
    if (code < 0)
        return QStringLiteral("unknown %1 type '%2' (see trovik-cli types)").arg(QLatin1String(role), text);
    return QStringLiteral("copy converts only between wav-mixed, recordia-raw and wv; the %1 type '%2' is not "
                          "one of them (use trovik-cli convert)")
        .arg(QLatin1String(role), text);
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
        std::fprintf(stderr, "\rcopy: %3d%% (%lld of %lld samples)", total > 0 ? int(done * 100 / total) : 100,
                     static_cast<long long>(done), static_cast<long long>(total));
        std::fflush(stderr);
    }

private:
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    bool m_shown = false;
};

int runCopy(const QStringList &args)
{
    QHash<QString, QString> v;
    QString error;
    const QStringList names = {QStringLiteral("--from"), QStringLiteral("--in"),        QStringLiteral("--to"),
                               QStringLiteral("--out"),  QStringLiteral("--rate"),      QStringLiteral("--ref-level"),
                               QStringLiteral("--chunk")};
    if (!parseOptions(args, names, v, error))
        return cliFail(error);
    for (const char *required : {"--from", "--in", "--to", "--out"})
        if (!v.contains(QLatin1String(required)))
            return cliFail(QStringLiteral("copy needs %1 (see trovik-cli copy --help)").arg(QLatin1String(required)));

    const QString fromText = v.value(QStringLiteral("--from")), toText = v.value(QStringLiteral("--to"));
    const int fromIndex = FileTypeTable::findLoad(fromText);
    const int toIndex = FileTypeTable::findSave(toText);
    const int fromCode = fromIndex < 0 ? -1 : FileTypeTable::loadRow(fromIndex).typeCode;
    const int toCode = toIndex < 0 ? -1 : FileTypeTable::saveRow(toIndex).typeCode;
    if (!chunkedCopySupports(fromCode))
        return cliFail(copyTypeError("source", fromText, fromIndex));
    if (!chunkedCopySupports(toCode))
        return cliFail(copyTypeError("target", toText, toIndex));

    IqBuffer record;
    double rate = 0.0, refLevel = 0.0, chunk = double(kDefaultChunkSamples);
    if (!number(v, "--rate", rate, error) || !number(v, "--ref-level", refLevel, error) ||
        !number(v, "--chunk", chunk, error))
        return cliFail(error);
    if (!(chunk >= 1.0 && chunk <= 4e18))
        return cliFail(QStringLiteral("--chunk needs a positive number of samples"));
    record.iFileName = v.value(QStringLiteral("--in"));
    if (!QFileInfo(record.iFileName).isFile())
        return cliFail(QStringLiteral("cannot open '%1'").arg(record.iFileName));
    record.typeIndex = fromIndex;
    record.sampleRate = rate;
    record.refLevel = float(refLevel);

    ProgressLine line;
    const IqStatus status =
        convertInChunks(record, v.value(QStringLiteral("--out")), toCode, int64_t(chunk),
                        [&line](int64_t done, int64_t total) { line.update(done, total); });
    if (status != IqStatusCode::Ok)
        return cliFail(QStringLiteral("copy failed (%1): %2; '%3' was not written")
                           .arg(status)
                           .arg(QLatin1String(iqStatusText(status)), v.value(QStringLiteral("--out"))));
    std::printf("copied %lld samples in %lld chunk(s) to %s\n", static_cast<long long>(record.sampleCount),
                static_cast<long long>(record.chunkCount + (record.lastChunkSize > 0 ? 1 : 0)),
                v.value(QStringLiteral("--out")).toLocal8Bit().constData());
    return 0;
}

const CliCommandRegistration kCopy({"copy", "convert a large WAV, raw recording or WV file in chunks", kUsage,
                                    runCopy, 60});

}  // namespace
