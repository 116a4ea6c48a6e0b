#include "cli/cli_command.h"

#include <cstdio>

namespace {

std::vector<CliCommand> &registry()
{
    static std::vector<CliCommand> commands;
    return commands;
}

} // namespace

CliRegistration::CliRegistration(std::initializer_list<CliCommand> commands)
{
    registry().insert(registry().end(), commands);
}

const std::vector<CliCommand> &cliCommands()
{
    return registry();
}

int failWith(const QString &message)
{
    QString line = message;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "harvelo-cli: %s\n", qPrintable(line));
    return 1;
}
