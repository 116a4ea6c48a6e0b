#include "cli/cli_command.h"

#include <QCommandLineParser>
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

bool parseArgs(QCommandLineParser &parser, const QStringList &args, int positionals, int *status)
{
    parser.addHelpOption();
    if (!parser.parse(QStringList{QStringLiteral("harvelo-cli")} + args)) {
        *status = failWith(parser.errorText());
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        *status = 0;
        return false;
    }
    if (positionals >= 0 && parser.positionalArguments().size() != positionals) {
        *status = positionals == 0
            ? failWith(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()))
            : failWith(QStringLiteral("expected %1 file argument(s); see --help").arg(positionals));
        return false;
    }
    return true;
}
