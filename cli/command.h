#pragma once

#include <QStringList>

class QCoreApplication;

// One trovik-cli command: its name, a one-line summary, the usage text shown by --help
// (with an example), and the function that runs it with the arguments after the name.
struct CliCommand
{
    const char *name;
    const char *summary;
    const char *usage;
    int (*run)(const QStringList &arguments);
    int order;  // position in the --help list
    // Makes the application object for a command that draws with widgets (offscreen);
    // null: a plain QCoreApplication.
    QCoreApplication *(*makeApplication)(int &argc, char **argv) = nullptr;
};

// Each command file registers its command with one static CliCommandRegistration.
struct CliCommandRegistration
{
    explicit CliCommandRegistration(const CliCommand &command);
};

// Every registered command, sorted by order.
QList<CliCommand> cliCommands();

// Prints "trovik-cli: <message>" on stderr and returns the exit status for failures.
int cliFail(const QString &message);
