// trovik-cli capture: Init and Trace against an instrument, then Save IQ, exactly as the
// window does them from its settings file on the Trace tab.

#include "command.h"
#include "instrumentcontrol.h"
#include "outputfile.h"
#include "progresstracker.h"
#include "recordoptions.h"
#include "savesize.h"
#include "settingsfile.h"
#include "tracerules.h"
#include "visasession.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

const QStringList kOptions = {QStringLiteral("--settings"), QStringLiteral("--to"),
                              QStringLiteral("--out"), QStringLiteral("--out-q")};
const QString kSet = QStringLiteral("--set");

// The signal that asked the capture to stop (SIGINT or SIGTERM), 0 while none has. The
// handler only stores it; the capture's sliced waits poll it, so the stop is prompt. A
// second signal while the instrument is being restored ends the process at once (the
// restore waits 2 s at most per reply, an unreachable host's connect longer).
std::atomic<int> stopSignal{0};

extern "C" void rememberStopSignal(int signal)
{
    if (stopSignal.exchange(signal, std::memory_order_relaxed) != 0)
        _exit(128 + signal);
}

// SIGINT and SIGTERM do what the window's Cancel does, for as long as this object lives.
class StopSignals
{
public:
    StopSignals()
    {
        struct sigaction action = {};
        action.sa_handler = rememberStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, &previousInt);
        sigaction(SIGTERM, &action, &previousTerm);
    }
    ~StopSignals()
    {
        sigaction(SIGINT, &previousInt, nullptr);
        sigaction(SIGTERM, &previousTerm, nullptr);
    }
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // The shell's convention: 128 + the signal's number (130 for SIGINT, 143 for SIGTERM).
    static int exitCode() { return 128 + stopSignal.load(std::memory_order_relaxed); }
    static bool caught() { return stopSignal.load(std::memory_order_relaxed) != 0; }

private:
    struct sigaction previousInt = {};
    struct sigaction previousTerm = {};
};

// The progress line on stderr, rewritten in place at most ten times a second: the step, its
// percentage and what the window's dialog says beneath it.
class ProgressLine : public ProgressTracker
{
public:
    ~ProgressLine() override { close(); }

    bool cancelled() const override
    {
        return StopSignals::caught() || ProgressTracker::cancelled();
    }
    void end() override
    {
        ProgressTracker::end();
        print(true);
        close();
    }
    // Ends a line that is still open, so whatever follows starts on a line of its own.
    void close()
    {
        if (open)
            std::fputc('\n', stderr);
        open = false;
        shown.clear();
        width = 0;
    }

protected:
    void changed() override { print(false); }

private:
    using Clock = std::chrono::steady_clock;

    void print(bool final)
    {
        const ProgressSnapshot now = snapshot();
        if (!now.counted && now.percent == 0 && !now.waiting)
            return;  // nothing to tell yet
        QString line = now.title;
        if (now.counted || now.percent > 0)
            line += QStringLiteral(" %1%").arg(now.percent, 3);
        const QString detail = progressText(now);
        if (!detail.isEmpty())
            line += QStringLiteral("  ") + detail;
        const Clock::time_point at = Clock::now();
        const bool throttled = !final && now.percent < 100 && at - printed < kEvery;
        if (line == shown || (open && now.title == title && throttled))
            return;
        if (open && now.title != title)
            close();
        const QByteArray text = line.toLocal8Bit();
        const int pad = std::max(0, width - text.size());
        std::fprintf(stderr, "\r%s%*s", text.constData(), pad, "");
        std::fflush(stderr);
        width = text.size();
        shown = line;
        title = now.title;
        printed = at;
        open = true;
    }

    static constexpr std::chrono::milliseconds kEvery{100};
    QString shown;
    QString title;
    Clock::time_point printed;
    int width = 0;
    bool open = false;
};

// The save's bytes on the progress line, as "Writing PATH… 40%"; a stop signal ends the
// write without replacing anything.
class WriteProgressLine : public WriteProgressSink
{
public:
    WriteProgressLine(ProgressLine &line, uint64_t total)
        : line(line)
        , total(total)
    {}
    void written(const QString &path, uint64_t bytes) override
    {
        if (path != current) {
            current = path;
            line.close();
            line.begin(QStringLiteral("Writing %1\u2026").arg(QDir::toNativeSeparators(path)));
        }
        // The size is an estimate: 100% only when the file is complete.
        line.transferred(std::min(bytes, total - 1), total, bytes);
        last = bytes;
    }
    // The bytes written, when the files are complete.
    uint64_t bytes() const { return last; }
    bool cancelled() const override { return line.cancelled(); }

private:
    ProgressLine &line;
    uint64_t total;
    uint64_t last = 0;
    QString current;
};

// Save IQ with the write's progress on the line.
int saveWithProgress(IqBuffer &source, IqBuffer &target, const AppSettings &settings,
                     ProgressLine &line)
{
    const uint64_t total = estimateSaveBytes(source, target, settings);
    if (total == 0)
        return cliSave(source, target, false, 0, settings);
    WriteProgressLine sink(line, total);
    int result;
    {
        const WriteProgressScope scope(sink);
        result = cliSave(source, target, false, 0, settings);
    }
    if (result == 0 && sink.bytes() > 0) {
        line.transferred(sink.bytes(), sink.bytes(), sink.bytes());
        line.end();
    }
    line.close();
    return result;
}

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

int fail(AcquisitionStatus status)
{
    return cliFail(QString::fromLatin1(acquisitionMessage(status).text));
}

// A capture stopped by SIGINT or SIGTERM: the instrument has been restored and nothing is
// written.
int stopped()
{
    std::fprintf(stderr, "trovik-cli: cancelled: nothing was written\n");
    return StopSignals::exitCode();
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
    const StopSignals stop;
    ProgressLine progress;
    progress.begin(QStringLiteral("Init"));
    const AcquisitionStatus init = control.init(source, progress);
    progress.close();
    if (!settings.idnReply.isEmpty() && init != AcquisitionStatus::Cancelled)
        std::fprintf(stderr, "%s\n", settings.idnReply.trimmed().toLocal8Bit().constData());
    if (init == AcquisitionStatus::Cancelled)
        return stopped();
    if (init != AcquisitionStatus::Success)
        return fail(init);
    progress.begin(QStringLiteral("Trace"));
    const AcquisitionStatus trace = control.trace(source, progress);
    progress.close();
    if (trace == AcquisitionStatus::Cancelled)
        return stopped();
    if (trace != AcquisitionStatus::Success)
        return fail(trace);
    const int saved = saveWithProgress(source, target, settings, progress);
    return saved != 0 && StopSignals::caught() ? stopped() : saved;
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
        "progress go to stderr; a failure prints the window's message and exits non-zero.\n\n"
        "Example:\n"
        "  trovik-cli capture --settings ~/.local/share/Vantorp/trovik/Trovik.ini \\\n"
        "      --set \"Analyzer/Type=1\" \\\n"
        "      --set \"Analyzer/VISA Resource String=TCPIP::127.0.0.1::5025::SOCKET\" \\\n"
        "      --to matlab-ascii-single --out capture_i.dat --out-q capture_q.dat",
        runCapture,
        70,
});

}  // namespace
