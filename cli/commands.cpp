#include "command.h"

#include <algorithm>

namespace {
QList<CliCommand> &registry()
{
    static QList<CliCommand> commands;
    return commands;
}
}  // namespace

CliCommandRegistration::CliCommandRegistration(const CliCommand &command)
{
    registry().append(command);
}

QList<CliCommand> cliCommands()
{
    QList<CliCommand> sorted = registry();
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const CliCommand &a, const CliCommand &b) { return a.order < b.order; });
    return sorted;
}
