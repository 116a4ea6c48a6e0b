#pragma once

#include <QStringList>
#include <initializer_list>
#include <vector>

// One harvelo-cli command. run() gets the arguments after the command's name and returns the
// exit status; it reports a failure itself with failWith().
struct CliCommand {
    const char *name;
    const char *synopsis; // one line for the command list
    int (*run)(const QStringList &args);
};

// Every command file registers its commands with one static CliRegistration, so that a new
// command group is one new file in cli/CMakeLists.txt.
class CliRegistration {
public:
    CliRegistration(std::initializer_list<CliCommand> commands);
};

const std::vector<CliCommand> &cliCommands();

// Prints "harvelo-cli: <message>" as one line on stderr and returns exit status 1.
int failWith(const QString &message);

class QCommandLineParser;
// Parses a command's arguments, with --help, expecting `positionals` file arguments. False when
// the command ends here: after printing the help (status 0) or reporting a bad argument (1).
// A `positionals` of -1 takes any number of them.
bool parseArgs(QCommandLineParser &parser, const QStringList &args, int positionals, int *status);
