// trovik-cli's option parser on any command line: NUL-separated arguments, decoded as the
// program decodes its argv. Byte 0 picks the option lists of one kind of command. The parser
// must not crash, what it accepts must come back the same when written out again, and the
// number readers must keep their promises.
#include "clioptions.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

struct OptionLists
{
    QStringList valued;
    QStringList switches;
};

const OptionLists &lists(uint8_t pick)
{
    static const OptionLists all[] = {
            {{QStringLiteral("--from"), QStringLiteral("--in"), QStringLiteral("--in-q"),
              QStringLiteral("--to"), QStringLiteral("--out"), QStringLiteral("--out-q"),
              QStringLiteral("--rate"), QStringLiteral("--ref-level"), QStringLiteral("--guard")},
             {}},
            {{QStringLiteral("--port"), QStringLiteral("--connect-to"),
              QStringLiteral("--seconds")},
             {QStringLiteral("--new-state"), QStringLiteral("--invalid")}},
            {{}, {QStringLiteral("--drivers"), QStringLiteral("--no-load")}},
            {{QStringLiteral("-x"), QStringLiteral("--a=b"), QStringLiteral("")},
             {QStringLiteral("--"), QStringLiteral("-")}},
    };
    return all[pick % 4];
}

QStringList splitArguments(const uint8_t *data, size_t size)
{
    QStringList arguments;
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    for (const QByteArray &part : bytes.split('\0'))
        arguments << QString::fromLocal8Bit(part);
    return arguments;
}

// The accepted options written out in the "--name=value" form.
QStringList writtenOut(const CliOptions &o, const OptionLists &l)
{
    QStringList arguments;
    for (const QString &name : l.switches)
        if (o.has(name) && !l.valued.contains(name))
            arguments << name;
    for (const QString &name : l.valued)
        if (o.has(name))
            arguments << name << o.value(name);
    return arguments;
}

void checkNumbers(const CliOptions &o, const QStringList &names)
{
    QString error;
    for (const QString &name : names) {
        double x = 0;
        if (o.number(name, 1.5, x, error) && !std::isfinite(x))
            std::abort();
        if (o.positive(name, 2.5, x, error) && !(x > 0))
            std::abort();
        int64_t w = 0;
        if (o.whole(name, -1000, INT64_MAX, 7, w, error) && w < -1000)
            std::abort();
        if (o.whole(name, 0, 65535, 7, w, error) && (w < 0 || w > 65535))
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const OptionLists &l = lists(data[0]);
    const QStringList arguments = splitArguments(data + 1, size - 1);
    CliOptions options;
    QString error;
    if (!options.parse(arguments, l.valued, error, l.switches)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    CliOptions again;
    if (!again.parse(writtenOut(options, l), l.valued, error, l.switches))
        std::abort();
    for (const QStringList *names : {&l.valued, &l.switches})
        for (const QString &name : *names)
            if (options.has(name) != again.has(name) || options.value(name) != again.value(name))
                std::abort();
    checkNumbers(options, l.valued);
    (void)options.require("fuzz", l.valued, error);
    return 0;
}
