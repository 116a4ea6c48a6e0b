#include "cli/cli_command.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>

namespace {

void printUsage()
{
    std::printf("Usage: harvelo-cli COMMAND [OPTIONS] ARGUMENTS\n"
                "Converts, tags and reads audio with the components of Harvelo, using the\n"
                "settings file of the Harvelo window (harvelo.ini).\n\nCommands:\n");
    for (const CliCommand &command : cliCommands())
        std::printf("  %-10s %s\n", command.name, command.synopsis);
    std::printf("\n'harvelo-cli COMMAND --help' describes one command.\n");
}

} // namespace

int main(int argc, char **argv)
{
    // A file-size limit (ulimit -f) then fails the write, which is told, instead of ending the
    // program in the middle of a file.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("harvelo-cli"));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help")
        || args.first() == QLatin1String("-h")) {
        printUsage();
        return args.isEmpty() ? 1 : 0;
    }
    const QString name = args.takeFirst();
    for (const CliCommand &command : cliCommands()) {
        if (name == QLatin1String(command.name))
            return command.run(args);
    }
    return failWith(QStringLiteral("unknown command '%1' (see harvelo-cli --help)").arg(name));
}
