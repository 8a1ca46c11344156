// trovik-cli capture: Init and Trace against an instrument, then Save IQ, exactly as the
// window does them from its settings file on the Trace tab.

#include "capturedestination.h"
#include "command.h"
#include "instrumentcontrol.h"
#include "recordoptions.h"
#include "settingoverrides.h"
#include "settingsfile.h"
#include "tracerules.h"
#include "visasession.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

const QStringList kOptions = {QStringLiteral("--settings"), QStringLiteral("--to"),
                              QStringLiteral("--out"), QStringLiteral("--out-q")};

// One line per value that had to move to fit the limits (of the key or of the device row).
void printClamps(const std::vector<SettingChange> &changes)
{
    for (const SettingChange &change : changes)
        std::fprintf(stderr, "trovik-cli: clamped %s\n", change.text().toLocal8Bit().constData());
}

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

// The settings file with the overrides applied in memory, brought in line as the window
// brings what it reads; every value that moved is told on stderr.
bool readSettings(const QString &path, const std::vector<SettingOverride> &overrides,
                  AppSettings &settings, QString &error)
{
    if (QFileInfo(path).isDir() || (QFile::exists(path) && !QFileInfo(path).isReadable())) {
        error = QStringLiteral("cannot read the settings file %1").arg(path);
        return false;
    }
    if (!QFile::exists(path))
        std::fprintf(stderr, "trovik-cli: no settings file %s: the defaults are used\n",
                     path.toLocal8Bit().constData());
    StoredSettings stored = readStoredSettings(path);
    applySettingOverrides(overrides, stored);
    printClamps(TraceRules::normaliseLoaded(stored));
    settings = stored.settings;
    return true;
}

// What Init lowered by the options it found, told as the other clamps are.
void printInitClamps(const AppSettings &before, const AppSettings &after)
{
    StoredSettings was, now;
    was.settings = before;
    now.settings = after;
    printClamps(settingChanges(was, now, TraceRules::keysInitLimits()));
}

// The samples the save will hold at most: the record's count as the Trace tab decides it.
int64_t expectedSamples(const AppSettings &settings, const IqBuffer &record)
{
    const DeviceType &row = deviceType(settings.deviceType);
    if (usesRecordLength(row) || isOscilloscopeRow(row))
        return record.sampleCount;
    return settings.sampleCount;
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
    std::vector<SettingOverride> overrides;
    RecordOptions options;
    QString error;
    IqBuffer source;
    IqBuffer target;
    AppSettings settings;
    if (!takeSettingOverrides(rest, overrides, error) || !options.parse(rest, kOptions, error)
        || !options.require("capture", {QStringLiteral("--settings")}, error)
        || !options.target(target, error))
        return cliUsageError("capture", error);
    if (!readSettings(options.value(QStringLiteral("--settings")), overrides, settings, error))
        return cliFail(error);
    // The Trace tab as the program starts on it: the record's count follows the row.
    source.iqSource = 1;
    TraceRules::refresh(settings, deviceType(settings.deviceType), InstrumentOptions(),
                        source.sampleCount);
    // Nothing goes to the instrument for a capture that could not be kept.
    if (!checkCaptureDestination(target, expectedSamples(settings, source), error))
        return cliFail(error);
    if (!selectVisaLibrary())
        return cliFail(QStringLiteral("VISA driver not installed."));
    VisaConnection visa;
    if (visa.open() < VI_SUCCESS)
        return cliFail(QStringLiteral("Please install VISA Runtime driver."));

    // Init reads the options before any rule that depends on them, then Trace.
    InstrumentOptions found;
    InstrumentControl control(visa, settings, found);
    const AppSettings beforeInit = settings;
    const AcquisitionStatus init = control.init(source);
    printInitClamps(beforeInit, settings);
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
        "--set overriding one of its keys (an unknown key or a value of the wrong type is a usage\n"
        "error; a value moved to fit the limits is told on stderr); checks that the destination\n"
        "folder is writable and has room; then does what the window does on the Trace tab when\n"
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
