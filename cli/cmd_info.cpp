#include "command.h"
#include "numbertext.h"
#include "recordoptions.h"

#include <cstdio>

namespace {

template<typename T>
void printNumber(const char *name, T value)
{
    char text[numbertext::kMaxNumberChars + 1];
    *numbertext::putShortest(text, value) = '\0';
    std::printf("%s: %s\n", name, text);
}

// The value, or "unknown" when the file or capture did not say.
void printText(const char *name, const QString &value)
{
    std::printf("%s: %s\n", name, value.isEmpty() ? "unknown" : value.toLocal8Bit().constData());
}

int runInfo(const QStringList &arguments)
{
    RecordOptions options;
    QString error;
    IqBuffer record;
    if (!options.parse(arguments,
                       {QStringLiteral("--from"), QStringLiteral("--in"), QStringLiteral("--in-q"),
                        QStringLiteral("--rate"), QStringLiteral("--ref-level")},
                       error)
        || !options.source(record, error))
        return cliUsageError("info", error);
    if (const int status = cliLoad(record))
        return status;
    std::printf("samples: %lld\n", static_cast<long long>(record.sampleCount));
    printNumber("sample_rate", record.sampleRate);
    printNumber("ref_level", record.refLevel);
    // A frequency of 0 that nobody vouched for is no frequency at all.
    if (record.centerFrequencyKnown || record.centerFrequency != 0.0)
        printNumber("center_frequency", record.centerFrequency);
    else
        printText("center_frequency", QString());
    printText("capture_time", record.captureTime.isValid()
                                      ? record.captureTime.toUTC().toString(Qt::ISODateWithMs)
                                      : QString());
    printText("instrument", record.instrument.simplified());
    return kExitOk;
}

const CliCommandRegistration registration({
        "info",
        "load a file and print its sample count and header values",
        "Usage: trovik-cli info [--from TYPE] --in FILE [--in-q FILE] [--rate HZ] [--ref-level "
        "DBM]\n"
        "Loads the file(s) as the Load button does and prints, one per line:\n"
        "  samples: N\n  sample_rate: X\n  ref_level: X\n  center_frequency: X\n"
        "  capture_time: YYYY-MM-DDTHH:MM:SS.mmmZ\n  instrument: TEXT\n"
        "(the last three \"unknown\" where the file does not say; the capture time in UTC, the\n"
        "instrument as its *IDN? reply)\n"
        "with numbers in their shortest exact form. --rate (default 1e8) and --ref-level (default\n"
        "50) are set on the record before the load, as the Load tab's fields are; formats whose\n"
        "files carry these values replace them. TYPE is a load-list index or key (trovik-cli\n"
        "types). A two-file type needs --in-q, except that an I file named *.i brings its *.q.\n\n"
        "Example:\n"
        "  trovik-cli info --from matlab-ascii-mixed --in capture.asc --rate 2e6",
        runInfo,
        20,
});

}  // namespace
