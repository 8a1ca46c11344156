// trovik-cli plot: the program's views of a file drawn offscreen into a PNG file.
#include "command.h"

#include "displaycurve.h"
#include "failuredetail.h"
#include "fftgraph.h"
#include "recordoptions.h"
#include "spectrogramjob.h"
#include "spectrogramlayer.h"
#include "spectrogramplot.h"

#include <qwt_plot.h>

#include <QApplication>
#include <QImage>
#include <QImageWriter>
#include <QPixmap>
#include <QSaveFile>

namespace {

const char *kUsage
        = "Usage: trovik-cli plot --from TYPE --in FILE [--in-q FILE] [--rate HZ]\n"
          "                       --view spectrum|phase|iq|spectrogram --png OUT.png [--size WxH]\n"
          "                       [--fft N] [--overlap N]\n"
          "Loads an I/Q file and draws the view as the program's windows do, without a display,\n"
          "into a PNG picture of the plot (axes and titles included).\n"
          "  spectrum, phase, iq   the plot window's views (first 2^k samples, at most 1,048,576)\n"
          "  spectrogram           the whole record, time across, frequency in Hz up, level in dB\n"
          "                        (10*log10 power) as colour; frames and bins that share a pixel\n"
          "                        keep their peak\n"
          "  --size WxH   picture size in pixels, 200x150 to 8000x8000 (default 711x461, iq "
          "461x461,\n"
          "               spectrogram 1000x600)\n"
          "  --fft N      spectrogram frame length, a power of two from 64 to 65536 (default "
          "1024)\n"
          "  --overlap N  samples shared by consecutive spectrogram frames (default 0)\n"
          "  --from, --in, --in-q, --rate   as for trovik-cli info\n"
          "Example: trovik-cli plot --from iqw-pairs --in capture.iqw --rate 20e6 --view "
          "spectrogram\n"
          "         --png capture.png --size 1200x700";

const QStringList kOptions
        = {QStringLiteral("--from"), QStringLiteral("--in"),   QStringLiteral("--in-q"),
           QStringLiteral("--rate"), QStringLiteral("--view"), QStringLiteral("--png"),
           QStringLiteral("--size"), QStringLiteral("--fft"),  QStringLiteral("--overlap")};

struct PlotJob
{
    QString view, png;
    QSize size;
    SpectrogramSettings spectrogram;
};

bool parseSize(const QString &text, QSize &size)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    bool okW = false, okH = false;
    if (parts.size() == 2)
        size = QSize(parts[0].toInt(&okW), parts[1].toInt(&okH));
    return okW && okH && size.width() >= 200 && size.height() >= 150 && size.width() <= 8000
           && size.height() <= 8000;
}

bool parse(const QStringList &args, IqBuffer &record, PlotJob &job, QString &error)
{
    RecordOptions o;
    int64_t fft = 0, overlap = 0;
    if (!o.parse(args, kOptions, error)
        || !o.require("plot", {QStringLiteral("--view"), QStringLiteral("--png")}, error)
        || !o.whole(QStringLiteral("--fft"), kMinSpectrogramFft, kMaxSpectrogramFft, 1024, fft,
                    error)
        || !o.whole(QStringLiteral("--overlap"), 0, fft - 1, 0, overlap, error))
        return false;
    job.spectrogram.fftSize = int(fft);
    job.spectrogram.overlap = int(overlap);
    job.spectrogram.reduction = CellReduction::Peak;
    if (!job.spectrogram.valid()) {
        error = QStringLiteral("--fft needs a power of two from %1 to %2")
                        .arg(kMinSpectrogramFft)
                        .arg(kMaxSpectrogramFft);
        return false;
    }
    job.view = o.value(QStringLiteral("--view"));
    const QStringList views = {QStringLiteral("spectrum"), QStringLiteral("phase"),
                               QStringLiteral("iq"), QStringLiteral("spectrogram")};
    if (!views.contains(job.view)) {
        error = QStringLiteral("unknown view '%1' (spectrum, phase, iq or spectrogram)")
                        .arg(job.view);
        return false;
    }
    job.size = job.view == QLatin1String("iq")            ? QSize(461, 461)
               : job.view == QLatin1String("spectrogram") ? QSize(1000, 600)
                                                          : QSize(711, 461);
    if (o.has(QStringLiteral("--size"))
        && !parseSize(o.value(QStringLiteral("--size")), job.size)) {
        error = QStringLiteral("--size needs WxH from 200x150 to 8000x8000, not '%1'")
                        .arg(o.value(QStringLiteral("--size")));
        return false;
    }
    job.png = o.value(QStringLiteral("--png"));
    return o.source(record, error, RecordOptions::QName::Required) && cliCanRead(record, error);
}

DisplayMode modeOf(const QString &view)
{
    if (view == QLatin1String("phase"))
        return DisplayMode::Phase;
    return view == QLatin1String("iq") ? DisplayMode::IvsQ : DisplayMode::Spectrum;
}

QImage grabPlot(QwtPlot *plot, const QSize &size)
{
    plot->setParent(nullptr);  // drawn on its own, at the size asked for
    plot->resize(size);
    plot->replot();
    return plot->grab().toImage();
}

// The plot window's view; false when its work arrays cannot be had.
bool drawView(const IqBuffer &record, DisplayMode mode, const QSize &size, QImage &image)
{
    DisplayCurve probe;  // the window would warn in a message box: find out first
    if (computeDisplayCurve(record, mode, probe) != DisplayStatus::Ok)
        return false;
    probe = DisplayCurve();
    FftGraph graph(&record);
    std::unique_ptr<QwtPlot> plot(graph.shownPlot());
    image = grabPlot(plot.get(), size);
    return true;
}

SpectrogramStatus drawSpectrogram(const IqBuffer &record, const SpectrogramSettings &s,
                                  const QSize &size, QImage &image)
{
    SpectrogramPlot plot;
    SpectrogramRequest q;
    q.settings = s;
    q.rows = size.width();
    q.columns = std::min(size.height(), s.fftSize);
    SpectrogramJob job(record, q);
    job.wait();
    if (job.status() != SpectrogramStatus::Ok)
        return job.status();
    SpectrogramLayer layer;
    layer.shape = job.shape();
    layer.fftSize = s.fftSize;
    layer.hop = s.hop();
    layer.sampleRate = record.sampleRate;
    layer.centreFrequency = record.centerFrequency;
    layer.levels = job.levels();
    const auto [low, high] = autoLevelRange(layer.levels);
    plot.setLevelRange(low, high);
    plot.setOverview(std::move(layer));
    plot.resize(size);
    plot.showWhole();
    image = plot.grab().toImage();
    return SpectrogramStatus::Ok;
}

int run(const QStringList &args)
{
    IqBuffer record;
    PlotJob job;
    QString error;
    if (!parse(args, record, job, error))
        return cliUsageError("plot", error);
    record.fileMode = 1;
    if (const int status = cliLoad(record))
        return status;
    QImage image;
    if (job.view == QLatin1String("spectrogram")) {
        if (record.sampleRate <= 0.0)
            return cliFail(QStringLiteral("the record has no sample rate: give --rate"));
        if (drawSpectrogram(record, job.spectrogram, job.size, image) != SpectrogramStatus::Ok)
            return cliFail(QStringLiteral("Memory not sufficient."));
    } else {
        record.displayMode = modeOf(job.view);
        if (!drawView(record, record.displayMode, job.size, image))
            return cliFail(QStringLiteral("Memory not sufficient."));
    }
    // Through a device of our own, so a failure can say why ("No such file or directory").
    QSaveFile file(job.png);
    QImageWriter writer(&file, "PNG");
    if (!file.open(QIODevice::WriteOnly) || !writer.write(image) || !file.commit())
        return cliFail(
                QStringLiteral("cannot write %1: %2").arg(job.png, deviceFailureReason(file)));
    return kExitOk;
}

// Widgets need a platform; without a display the offscreen one draws just as well.
QCoreApplication *makeWidgetApplication(int &argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
}

const CliCommandRegistration
        registration({"plot", "draw the spectrum, phase, I/Q or spectrogram view into a PNG file",
                      kUsage, run, 41, makeWidgetApplication});

}  // namespace
