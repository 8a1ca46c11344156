#include "command.h"
#include "programidentity.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

void printHelp(FILE *out)
{
    std::fprintf(out,
                 "Usage: trovik-cli COMMAND [OPTIONS]\n"
                 "Headless tool for complex baseband (I/Q) records: the same loaders, writers and\n"
                 "computations as the Trovik program, without a window.\n\n"
                 "Commands:\n");
    for (const CliCommand &c : cliCommands())
        std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
    std::fprintf(out, "\nOptions:\n"
                      "  -h, --help     show this help, or a command's help after its name\n"
                      "  -v, --version  show the version\n\n"
                      "Run 'trovik-cli COMMAND --help' for a command's options and an example.\n");
}

}  // namespace

int cliFail(const QString &message)
{
    std::fprintf(stderr, "trovik-cli: %s\n", message.toLocal8Bit().constData());
    return 1;
}

// The command's own application object when it draws with widgets, else the plain one.
QCoreApplication *makeApplication(int &argc, char **argv)
{
    for (const CliCommand &c : cliCommands())
        if (argc > 1 && std::strcmp(argv[1], c.name) == 0 && c.makeApplication)
            return c.makeApplication(argc, argv);
    return new QCoreApplication(argc, argv);
}

int main(int argc, char **argv)
{
    const std::unique_ptr<QCoreApplication> app(makeApplication(argc, argv));
    QCoreApplication::setApplicationName(QStringLiteral("trovik-cli"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ProgramIdentity::version));

    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        printHelp(stderr);
        return 2;
    }
    const QString first = args.first();
    if (first == QLatin1String("-h") || first == QLatin1String("--help")
        || first == QLatin1String("help")) {
        printHelp(stdout);
        return 0;
    }
    if (first == QLatin1String("-v") || first == QLatin1String("--version")) {
        std::printf("trovik-cli %s\n", ProgramIdentity::version);
        return 0;
    }
    for (const CliCommand &c : cliCommands()) {
        if (first == QLatin1String(c.name)) {
            args.removeFirst();
            if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
                std::printf("%s\n", c.usage);
                return 0;
            }
            return c.run(args);
        }
    }
    return cliFail(QStringLiteral("unknown command '%1' (see trovik-cli --help)").arg(first));
}
