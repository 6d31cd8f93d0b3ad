#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// The pieces every vyoctl command shares: exit codes, error output and the
// options common to all commands.
namespace vyoctl {

enum ExitCode { Ok = 0, Failure = 1, BadInput = 2 };

// Writes "vyoctl: message" to stderr and returns code.
int fail(int code, const QString &message);

// Adds --help, --profile and --log-level, with a description of one command.
void addCommonOptions(QCommandLineParser &parser, const QString &description);

// Parses the arguments; on a parse error or --help returns false with *exitCode set.
// Applies --log-level to the core's logging.
bool parseCommon(QCommandLineParser &parser, const QStringList &arguments, int *exitCode);

QString profileOption(const QCommandLineParser &parser);

// The commands; each takes the whole argument list, program name first.
int runShow(const QStringList &arguments);
int runImport(const QStringList &arguments);
int runDiscover(const QStringList &arguments);
int runLink(const QStringList &arguments);
int runOpenLink(const QStringList &arguments);
int runMakeLink(const QStringList &arguments);
int runProbe(const QStringList &arguments);
int runPtz(const QStringList &arguments);

} // namespace vyoctl
