// trovik-cli spectrogram: writes the level matrix of a file's spectrogram as float32.
#include "command.h"

#include "recordoptions.h"
#include "spectrogram.h"

#include <QSaveFile>
#include <QtEndian>

#include <cstdio>
#include <vector>

namespace {

const char *kUsage
        = "Usage: trovik-cli spectrogram --from TYPE --in FILE [--in-q FILE] [--rate HZ] --fft N\n"
          "                              [--overlap N] [--rows R] [--reduce mean|peak] --out "
          "FILE.f32\n"
          "Loads an I/Q file and writes the spectrogram of the whole record: rows x N "
          "little-endian\n"
          "float32 levels, row after row, and prints \"ROWS rows x N columns\" on stderr.\n"
          "Row r is the frame of N samples starting at sample r*(N-overlap), multiplied by the\n"
          "periodic Hann window; column k is the frequency (k - N/2)*rate/N from the centre.\n"
          "Level = 10*log10(|X[k]|^2 / (sum of the window)^2) in dB: a tone of amplitude A reads\n"
          "20*log10(A); a bin without energy reads -300.\n"
          "  --fft N        frame length, a power of two from 64 to 65536\n"
          "  --overlap N    samples shared by consecutive frames, 0 to N-1 (default 0)\n"
          "  --rows R       combine the frames onto R rows (default: one row per frame)\n"
          "  --reduce HOW   how frames sharing a row combine: mean power (default) or peak\n"
          "  --from, --in, --in-q, --rate   as for trovik-cli info\n"
          "Memory: the record, one frame and one row; the matrix goes to the file as it is made.\n"
          "Example: trovik-cli spectrogram --from iqw-pairs --in capture.iqw --rate 20e6 --fft "
          "1024 --out s.f32";

const QStringList kOptions
        = {QStringLiteral("--from"), QStringLiteral("--in"),     QStringLiteral("--in-q"),
           QStringLiteral("--rate"), QStringLiteral("--fft"),    QStringLiteral("--overlap"),
           QStringLiteral("--rows"), QStringLiteral("--reduce"), QStringLiteral("--out")};

bool parse(const QStringList &args, IqBuffer &record, SpectrogramRequest &request, QString &out,
           QString &error)
{
    RecordOptions o;
    int64_t fft = 0, overlap = 0, rows = 0;
    if (!o.parse(args, kOptions, error)
        || !o.require("spectrogram", {QStringLiteral("--fft"), QStringLiteral("--out")}, error)
        || !o.whole(QStringLiteral("--fft"), kMinSpectrogramFft, kMaxSpectrogramFft, 1024, fft,
                    error)
        || !o.whole(QStringLiteral("--overlap"), 0, fft - 1, 0, overlap, error)
        || !o.whole(QStringLiteral("--rows"), 1, INT32_MAX, 0, rows, error))
        return false;
    request.settings.fftSize = int(fft);
    request.settings.overlap = int(overlap);
    request.rows = int(rows);
    if (!request.settings.valid()) {
        error = QStringLiteral("--fft needs a power of two from %1 to %2, not %3")
                        .arg(kMinSpectrogramFft)
                        .arg(kMaxSpectrogramFft)
                        .arg(fft);
        return false;
    }
    const QString reduce = o.value(QStringLiteral("--reduce"));
    if (reduce == QLatin1String("peak"))
        request.settings.reduction = CellReduction::Peak;
    else if (!reduce.isEmpty() && reduce != QLatin1String("mean")) {
        error = QStringLiteral("--reduce needs mean or peak, not '%1'").arg(reduce);
        return false;
    }
    out = o.value(QStringLiteral("--out"));
    return o.source(record, error, RecordOptions::QName::Required) && cliCanRead(record, error);
}

int run(const QStringList &args)
{
    IqBuffer record;
    SpectrogramRequest request;
    QString out, error;
    if (!parse(args, record, request, out, error))
        return cliUsageError("spectrogram", error);
    record.fileMode = 1;
    if (const int status = cliLoad(record))
        return status;
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly))
        return cliFail(QStringLiteral("cannot write %1: %2").arg(out, file.errorString()));
    const SpectrogramShape shape = spectrogramShape(record.heldCount(), request);
    std::vector<float> row(size_t(shape.columns));
    const SpectrogramStatus status = computeSpectrogram(
            record.iData.data(), record.qData.data(), record.heldCount(), request,
            [&](int, const float *levels) {
                for (int c = 0; c < shape.columns; ++c)
                    qToLittleEndian(levels[c], &row[size_t(c)]);
                const qint64 bytes = qint64(row.size() * sizeof(float));
                return file.write(reinterpret_cast<const char *>(row.data()), bytes) == bytes;
            });
    if (status == SpectrogramStatus::NoMemory)
        return cliFail(QStringLiteral("Memory not sufficient."));
    if (status != SpectrogramStatus::Ok || !file.commit())
        return cliFail(QStringLiteral("cannot write %1: %2").arg(out, file.errorString()));
    std::fprintf(stderr, "%d rows x %d columns\n", shape.rows,
                 shape.empty() ? request.settings.fftSize : shape.columns);
    return kExitOk;
}

const CliCommandRegistration
        registration({"spectrogram", "write the spectrogram level matrix of a file as float32",
                      kUsage, run, 42});

}  // namespace
