#include "command.h"

#include <iterator>

// Commands are added here as the subsystems behind them arrive.
static const CliCommand kCommands[] = {
    {nullptr, nullptr, nullptr, nullptr},
};

const CliCommand *cliCommands(int &count)
{
    count = static_cast<int>(std::size(kCommands)) - 1;
    return kCommands;
}
