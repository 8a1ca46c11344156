// trovik-cli capture: Init and Trace against an instrument, then Save IQ, exactly as the
// window does them from its settings file on the Trace tab.

#include "capturedestination.h"
#include "capturesettings.h"
#include "command.h"
#include "instrumentcontrol.h"
#include "outputfile.h"
#include "progresstracker.h"
#include "recordoptions.h"
#include "savesize.h"
#include "settingoverrides.h"
#include "tracerules.h"
#include "visasession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

const QStringList kOptions = {QStringLiteral("--settings"), QStringLiteral("--to"),
                              QStringLiteral("--out"), QStringLiteral("--out-q")};

// A line told on the way (a missing settings file, a value moved to fit the limits of the
// key or of the device row) on stderr.
void printNotice(const QString &line)
{
    std::fprintf(stderr, "trovik-cli: %s\n", line.toLocal8Bit().constData());
}

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
int saveWithProgress(IqBuffer &source, IqBuffer &target, ProgressLine &line)
{
    const uint64_t total = estimateSaveBytes(source, target);
    if (total == 0)
        return cliSave(source, target, false, 0);
    WriteProgressLine sink(line, total);
    int result;
    {
        const WriteProgressScope scope(sink);
        result = cliSave(source, target, false, 0);
    }
    if (result == 0 && sink.bytes() > 0) {
        line.transferred(sink.bytes(), sink.bytes(), sink.bytes());
        line.end();
    }
    line.close();
    return result;
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
    if (!readCaptureSettings(options.value(QStringLiteral("--settings")), overrides, settings,
                             error, printNotice))
        return cliFail(error);
    prepareCaptureRecord(settings, source);
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
    const StopSignals stop;
    ProgressLine progress;
    const AppSettings beforeInit = settings;
    progress.begin(QStringLiteral("Init"));
    const AcquisitionStatus init = control.init(source, progress);
    progress.close();
    if (init == AcquisitionStatus::Cancelled)
        return stopped();
    noticeInitClamps(beforeInit, settings, printNotice);
    if (!settings.idnReply.isEmpty())
        std::fprintf(stderr, "%s\n", settings.idnReply.trimmed().toLocal8Bit().constData());
    if (init != AcquisitionStatus::Success)
        return fail(control, init);
    progress.begin(QStringLiteral("Trace"));
    const AcquisitionStatus trace = control.trace(source, progress);
    progress.close();
    if (trace == AcquisitionStatus::Cancelled)
        return stopped();
    if (trace != AcquisitionStatus::Success)
        return fail(control, trace);
    tell(control.detail());
    const int saved = saveWithProgress(source, target, progress);
    return saved != 0 && StopSignals::caught() ? stopped() : saved;
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
