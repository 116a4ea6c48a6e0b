#include "cli/cli_command.h"

#include "rip/rip_log.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

std::vector<CliCommand> &registry()
{
    static std::vector<CliCommand> commands;
    return commands;
}

// The command being run, as typed: the first argument that names a registered command.
QString runningCommand()
{
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) {
        for (const CliCommand &command : registry()) {
            if (all[i] == QLatin1String(command.name))
                return all[i];
        }
    }
    return {};
}

// Qt's usage line names only the program; a command's help must name the command too, or the
// line it shows cannot be typed as it stands.
QString commandHelp(const QCommandLineParser &parser)
{
    const QString help = parser.helpText();
    const QString qtUsage = QStringLiteral("Usage: ") + QCoreApplication::arguments().constFirst();
    if (!help.startsWith(qtUsage))
        return help;
    return QStringLiteral("Usage: harvelo-cli ") + runningCommand() + help.mid(qtUsage.size());
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
    std::fprintf(stderr, "harvelo-cli: %s\n", qPrintable(nameOnOneLine(line)));
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
        std::printf("%s", qPrintable(commandHelp(parser)));
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
