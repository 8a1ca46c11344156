// trovik-cli capture: Init and Trace against an instrument, then Save IQ, exactly as the
// window does them from its settings file on the Trace tab.

#include "command.h"
#include "instrumentcontrol.h"
#include "recordoptions.h"
#include "settingsfile.h"
#include "tracerules.h"
#include "visasession.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QStringList kOptions = {QStringLiteral("--settings"), QStringLiteral("--to"),
                              QStringLiteral("--out"), QStringLiteral("--out-q")};
const QString kSet = QStringLiteral("--set");

// The progress line on stderr, rewritten in place.
class ProgressLine : public AcquisitionProgress
{
public:
    void begin(const QString &text) override
    {
        title = text.toLocal8Bit();
        shown = -1;
    }
    bool update(int percent) override
    {
        if (percent != shown)
            std::fprintf(stderr, "\r%s %3d%%", title.constData(), percent);
        shown = percent;
        return true;
    }
    void end() override
    {
        if (shown >= 0)
            std::fputc('\n', stderr);
    }

private:
    QByteArray title;
    int shown = -1;
};

// Takes every "--set GROUP/KEY=VALUE" (repeatable) out of arguments.
bool takeOverrides(QStringList &arguments, QStringList &overrides, QString &error)
{
    QStringList rest;
    for (int k = 0; k < arguments.size(); ++k) {
        const QString &a = arguments.at(k);
        if (a == kSet) {
            if (k + 1 >= arguments.size()) {
                error = QStringLiteral("option --set needs a value");
                return false;
            }
            overrides << arguments.at(++k);
        } else if (a.startsWith(kSet + QLatin1Char('='))) {
            overrides << a.mid(kSet.size() + 1);
        } else {
            rest << a;
        }
    }
    for (const QString &o : overrides) {
        if (o.indexOf(QLatin1Char('=')) < 1) {
            error = QStringLiteral("--set needs GROUP/KEY=VALUE, not '%1'").arg(o);
            return false;
        }
    }
    arguments = rest;
    return true;
}

// The settings file with the overrides applied, read as the window reads it at start-up.
bool readSettings(const QString &path, const QStringList &overrides, AppSettings &settings,
                  IqBuffer &source, QString &error)
{
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("Trovik.ini"));
    if (!folder.isValid() || (QFile::exists(path) && !QFile::copy(path, copy))) {
        error = QStringLiteral("cannot read the settings file %1").arg(path);
        return false;
    }
    if (!QFile::exists(path))
        std::fprintf(stderr, "trovik-cli: no settings file %s: the defaults are used\n",
                     path.toLocal8Bit().constData());
    {
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QSettings ini(copy, QSettings::IniFormat);
        for (const QString &o : overrides) {
            const int eq = o.indexOf(QLatin1Char('='));
            ini.setValue(o.left(eq), o.mid(eq + 1));
        }
    }
    IqBuffer target;
    int tcpPort = 0, connectTo = 0, x = 0, y = 0;
    readSettingsFile(copy, settings, source, target, tcpPort, connectTo, x, y);
    // As the window keeps loaded values in range.
    if (!isDeviceTypeIndex(settings.deviceType))
        settings.deviceType = int(defaultDeviceType);
    settings.iqInput
            = TraceRules::inputCodeFromFile(deviceType(settings.deviceType), settings.iqInput);
    return true;
}

// The window's message, then what happened, one fact per line beneath it.
int fail(const InstrumentControl &control, AcquisitionStatus status)
{
    const int code = cliFail(QString::fromLatin1(acquisitionMessage(status).text));
    for (const QString &line : control.detailLines(status))
        std::fprintf(stderr, "  %s\n", line.toLocal8Bit().constData());
    return code;
}

// What a successful Trace has to say: a short read, how the data came.
void tell(const AcquisitionDetail &detail)
{
    for (const QString &warning : detail.warnings)
        std::fprintf(stderr, "trovik-cli: warning: %s\n", warning.toLocal8Bit().constData());
    if (!detail.source.isEmpty())
        std::fprintf(stderr, "trovik-cli: %s\n", detail.source.toLocal8Bit().constData());
}

int runCapture(const QStringList &arguments)
{
    QStringList rest = arguments;
    QStringList overrides;
    RecordOptions options;
    QString error;
    IqBuffer source;
    IqBuffer target;
    AppSettings settings;
    if (!takeOverrides(rest, overrides, error) || !options.parse(rest, kOptions, error)
        || !options.require("capture", {QStringLiteral("--settings")}, error)
        || !options.target(target, error))
        return cliUsageError("capture", error);
    if (!readSettings(options.value(QStringLiteral("--settings")), overrides, settings, source,
                      error))
        return cliFail(error);
    if (!selectVisaLibrary())
        return cliFail(QStringLiteral("VISA driver not installed."));
    VisaConnection visa;
    if (visa.open() < VI_SUCCESS)
        return cliFail(QStringLiteral("Please install VISA Runtime driver."));

    // The Trace tab as the program starts on it, then Init, then Trace.
    source.iqSource = 1;
    TraceRules::refresh(settings, deviceType(settings.deviceType), InstrumentOptions(),
                        source.sampleCount);
    InstrumentOptions found;
    InstrumentControl control(visa, settings, found);
    const AcquisitionStatus init = control.init(source);
    if (!settings.idnReply.isEmpty())
        std::fprintf(stderr, "%s\n", settings.idnReply.trimmed().toLocal8Bit().constData());
    if (init != AcquisitionStatus::Success)
        return fail(control, init);
    ProgressLine progress;
    const AcquisitionStatus trace = control.trace(source, progress);
    if (trace != AcquisitionStatus::Success)
        return fail(control, trace);
    tell(control.detail());
    return cliSave(source, target, false, 0);
}

const CliCommandRegistration registration({
        "capture",
        "Init and Trace an instrument, then save the record",
        "Usage: trovik-cli capture --settings INI --to TYPE --out FILE [--out-q FILE]\n"
        "                          [--set GROUP/KEY=VALUE ...]\n"
        "Starts from the settings file (Trovik.ini format; a missing file gives the defaults), "
        "each\n"
        "--set overriding one of its keys; then does what the window does on the Trace tab when\n"
        "Init and then Trace are pressed, and saves the acquired record as Save IQ does (--to "
        "names\n"
        "a save-list row, see trovik-cli types). The instrument's *IDN? reply and the read's\n"
        "progress go to stderr; a failure prints the window's message, then what happened one\n"
        "fact per line, and exits non-zero; a short block is saved with a warning.\n\n"
        "Example:\n"
        "  trovik-cli capture --settings ~/.local/share/Vantorp/trovik/Trovik.ini \\\n"
        "      --set \"Analyzer/Type=1\" \\\n"
        "      --set \"Analyzer/VISA Resource String=TCPIP::127.0.0.1::5025::SOCKET\" \\\n"
        "      --to matlab-ascii-single --out capture_i.dat --out-q capture_q.dat",
        runCapture,
        70,
});

}  // namespace
