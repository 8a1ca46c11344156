// trovik-cli spectrum: prints the curve the plot window draws for a file, one point per line.
#include "command.h"

#include "displaycurve.h"
#include "recordoptions.h"
#include "spectrummath.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace {

const char *kUsage
        = "Usage: trovik-cli spectrum --from TYPE --in FILE [--in-q FILE] [--rate HZ]\n"
          "                           --view spectrum|phase|iq\n"
          "Loads an I/Q file and prints the curve the plot window draws for the view, one point\n"
          "per line as \"x y\"; lines starting with '#' are comments.\n"
          "  spectrum  x: baseband frequency point in Hz, y: level 20*log10(|X|/max) in dB\n"
          "            (peak at 0; lines without energy at the floor of -400)\n"
          "  phase     x: baseband frequency point in Hz, y: atan2(Im, Re) in degrees,\n"
          "            -180 to 180\n"
          "  iq        x: I, y: Q, every sample in order\n"
          "Spectrum and phase use the first 2^k samples (at most 1,048,576); iq at most "
          "1,048,576.\n"
          "  --from TYPE   load type: its key or its row number in the load list\n"
          "  --in FILE     the I file, or the one file of a one-file type\n"
          "  --in-q FILE   the Q file of a two-file type\n"
          "  --rate HZ     sample rate set before the load (default 100000000); a file that\n"
          "                carries its own rate replaces it\n"
          "Example: trovik-cli spectrum --from iqw-pairs --in tone.iqw --rate 1e6 --view spectrum";

bool viewMode(const QString &name, DisplayMode &mode)
{
    if (name == QLatin1String("spectrum"))
        mode = DisplayMode::Spectrum;
    else if (name == QLatin1String("phase"))
        mode = DisplayMode::Phase;
    else if (name == QLatin1String("iq"))
        mode = DisplayMode::IvsQ;
    else
        return false;
    return true;
}

const QStringList kOptions
        = {QStringLiteral("--from"), QStringLiteral("--in"), QStringLiteral("--in-q"),
           QStringLiteral("--rate"), QStringLiteral("--view")};
const QStringList kRequired
        = {QStringLiteral("--from"), QStringLiteral("--in"), QStringLiteral("--view")};

// Reads the options and names the record to load; returns false with the complaint.
bool prepare(const QStringList &args, IqBuffer &record, DisplayMode &mode, QString &error)
{
    RecordOptions o;
    double rate = 0.0;  // only checked here: source() sets it on the record
    if (!o.parse(args, kOptions, error) || !o.require("spectrum", kRequired, error)
        || !o.positive(QStringLiteral("--rate"), 1.0, rate, error))
        return false;
    const QString view = o.value(QStringLiteral("--view"));
    if (!viewMode(view, mode)) {
        error = QStringLiteral("unknown view '%1' (spectrum, phase or iq)").arg(view);
        return false;
    }
    return o.source(record, error, RecordOptions::QName::Required) && cliCanRead(record, error);
}

void appendNumber(std::string &out, double v)
{
    char buf[32];
    const auto res
            = std::to_chars(buf, buf + sizeof buf, v);  // shortest form that reads back exactly
    out.append(buf, res.ptr);
}

const char *viewName(DisplayMode mode)
{
    return mode == DisplayMode::Spectrum ? "spectrum" : mode == DisplayMode::Phase ? "phase" : "iq";
}

// The comment lines: what was read, and the quantity and unit of each column.
void printHeader(const DisplayCurve &c, const IqBuffer &record)
{
    std::printf("# trovik spectrum view: %s\n# file: %s\n# points: %u  sample rate: %.17g Hz\n",
                viewName(c.mode), record.iFileName.toLocal8Bit().constData(), c.input.count,
                c.input.sampleRate);
    if (c.mode == DisplayMode::IvsQ) {
        std::printf("# x: I  y: Q  extent: %.17g\n", c.extent);
        return;
    }
    // The window shows absolute frequency when the record knows its centre; the points
    // printed here stay baseband, so the centre is named for whoever wants absolute values.
    if (record.centerFrequencyKnown)
        std::printf("# centre frequency: %.17g Hz (add it to x for absolute frequency)\n",
                    record.centerFrequency);
    std::printf("# x: frequency/Hz (baseband)  y: %s\n",
                c.mode == DisplayMode::Spectrum ? "level/dB (20*log10 of |X|/max, peak at 0)"
                                                : "phase/degrees (atan2 of Im, Re; -180 to 180)");
}

void printCurve(const DisplayCurve &c, const IqBuffer &record)
{
    printHeader(c, record);
    std::string out;
    out.reserve(c.x.size() * 48);
    for (size_t k = 0; k < c.x.size(); ++k) {
        appendNumber(out, c.x[k]);
        out.push_back(' ');
        appendNumber(out, c.y[k]);
        out.push_back('\n');
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

int run(const QStringList &args)
{
    IqBuffer record;
    DisplayMode mode = DisplayMode::Spectrum;
    QString error;
    if (!prepare(args, record, mode, error))
        return cliFail(error);
    record.fileMode = 1;
    if (const int status = cliLoad(record))
        return status;

    record.displayMode = mode;
    DisplayCurve curve;
    if (computeDisplayCurve(record, mode, curve) != DisplayStatus::Ok)
        return cliFail(QStringLiteral("Memory not sufficient."));
    printCurve(curve, record);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommandRegistration registration({"spectrum",
                                           "print the spectrum, phase or I/Q curve of a file",
                                           kUsage, run, 40});

}  // namespace
