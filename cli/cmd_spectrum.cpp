// trovik-cli spectrum: prints the curve the plot window draws for a file, one point per line.
#include "command.h"

#include "appsettings.h"
#include "codecs.h"
#include "displaycurve.h"
#include "dispatch.h"
#include "filetypes.h"
#include "iqbuffer.h"
#include "spectrummath.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace {

const char *kUsage =
    "Usage: trovik-cli spectrum --from TYPE --in FILE [--in-q FILE] [--rate HZ]\n"
    "                           --view spectrum|phase|iq\n"
    "Loads an I/Q file and prints the curve the plot window draws for the view, one point\n"
    "per line as \"x y\"; lines starting with '#' are comments.\n"
    "  spectrum  x: frequency point in Hz, y: level 10*ln(|X|/max) in dB (lines without\n"
    "            energy at the floor of -460.517)\n"
    "  phase     x: frequency point in Hz, y: arctan(Im/Re) in degrees\n"
    "  iq        x: I, y: Q, every sample in order\n"
    "Spectrum and phase use the first 2^k samples (at most 1,048,576); iq at most 1,048,576.\n"
    "  --from TYPE   load type: its key or its row number in the load list\n"
    "  --in FILE     the I file, or the one file of a one-file type\n"
    "  --in-q FILE   the Q file of a two-file type\n"
    "  --rate HZ     sample rate set before the load (default 100000000); a file that\n"
    "                carries its own rate replaces it\n"
    "Example: trovik-cli spectrum --from iqw-pairs --in tone.iqw --rate 1e6 --view spectrum";

constexpr double kDefaultRate = 100000000.0;  // the Load tab's initial sample rate

struct Options
{
    QString from, in, inQ, view;
    double rate = kDefaultRate;
};

// Reads "--name value" and "--name=value" pairs; returns an error text or an empty string.
QString parse(const QStringList &args, Options &o)
{
    for (int i = 0; i < args.size(); ++i) {
        QString name = args[i];
        QString value;
        const int eq = name.indexOf(QLatin1Char('='));
        if (name.startsWith(QLatin1String("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return QStringLiteral("option %1 needs a value").arg(name);
        }
        if (name == QLatin1String("--from"))
            o.from = value;
        else if (name == QLatin1String("--in"))
            o.in = value;
        else if (name == QLatin1String("--in-q"))
            o.inQ = value;
        else if (name == QLatin1String("--view"))
            o.view = value;
        else if (name == QLatin1String("--rate")) {
            bool ok = false;
            o.rate = value.toDouble(&ok);
            if (!ok || !(o.rate > 0.0))
                return QStringLiteral("--rate needs a positive number, not '%1'").arg(value);
        } else
            return QStringLiteral("unknown option '%1'").arg(name);
    }
    if (o.from.isEmpty() || o.in.isEmpty() || o.view.isEmpty())
        return QStringLiteral("--from, --in and --view are needed (see trovik-cli spectrum --help)");
    return QString();
}

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

void appendNumber(std::string &out, double v)
{
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);  // shortest form that reads back exactly
    out.append(buf, res.ptr);
}

void printCurve(const DisplayCurve &c, const QString &file)
{
    std::printf("# trovik spectrum view: %s\n# file: %s\n# points: %u  sample rate: %.17g Hz\n",
                c.mode == DisplayMode::Spectrum ? "spectrum" : c.mode == DisplayMode::Phase ? "phase" : "iq",
                file.toLocal8Bit().constData(), c.input.count, c.input.sampleRate);
    if (c.mode == DisplayMode::IvsQ)
        std::printf("# x: I  y: Q  extent: %.17g\n", c.extent);
    else
        std::printf("# x: frequency/Hz  y: %s\n",
                    c.mode == DisplayMode::Spectrum ? "level/dB (10*ln of |X|/max)" : "phase/degrees");
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
    Options o;
    const QString error = parse(args, o);
    if (!error.isEmpty())
        return cliFail(error);
    DisplayMode mode = DisplayMode::Spectrum;
    if (!viewMode(o.view, mode))
        return cliFail(QStringLiteral("unknown view '%1' (spectrum, phase or iq)").arg(o.view));
    const int index = FileTypeTable::findLoad(o.from);
    if (index < 0)
        return cliFail(QStringLiteral("unknown load type '%1'").arg(o.from));
    const FileTypeRow &row = FileTypeTable::loadRow(index);
    if (row.fileCount == 2 && o.inQ.isEmpty())
        return cliFail(QStringLiteral("type '%1' reads I and Q from two files: give --in-q").arg(o.from));
    if (!readerFor(row.typeCode))
        return cliFail(QStringLiteral("type '%1' cannot be read yet").arg(o.from));

    IqBuffer record;
    record.typeIndex = index;
    record.iFileName = o.in;
    record.qFileName = row.fileCount == 2 ? o.inQ : QString();
    record.fileMode = 1;
    record.sampleRate = o.rate;
    const IqStatus status = loadIqFile(record);
    if (status != IqStatusCode::Ok)
        return cliFail(QStringLiteral("cannot load %1: %2").arg(o.in, QString::fromLatin1(iqStatusText(status))));

    record.displayMode = mode;
    DisplayCurve curve;
    if (computeDisplayCurve(record, AppSettings(), mode, curve) != DisplayStatus::Ok)
        return cliFail(QStringLiteral("Memory not sufficient."));
    printCurve(curve, o.in);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommandRegistration registration({"spectrum", "print the spectrum, phase or I/Q curve of a file", kUsage,
                                           run, 40});

}  // namespace
