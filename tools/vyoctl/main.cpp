// vyoctl: the command-line face of the core.

#include "vyoctl/Command.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

struct CommandEntry
{
    const char *name;
    const char *summary;
    int (*run)(const QStringList &arguments);
};

const CommandEntry Commands[] = {
    { "show", "print the stored groups as an XML property list", vyoctl::runShow },
    { "import", "append the groups of a binary or XML property list", vyoctl::runImport },
    { "discover", "list the cameras announced on the network", vyoctl::runDiscover },
    { "link", "print the vyo:// link of a stored group", vyoctl::runLink },
    { "open-link", "decode a vyo:// link and print what it carries", vyoctl::runOpenLink },
    { "make-link", "make a camera or ad-hoc camera link from a definition file", vyoctl::runMakeLink },
    { "probe", "fetch frames from one camera to check its settings", vyoctl::runProbe },
    { "ptz", "play drags, pinches and holds into a camera's PTZ controller", vyoctl::runPtz },
};

// Options that take a value, so that their value is not taken for the command.
bool takesValue(const QString &option)
{
    return option == QLatin1StringView("--profile") || option == QLatin1StringView("--log-level");
}

QString findCommand(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg.startsWith(QLatin1Char('-'))) {
            if (takesValue(arg))
                ++i;
            continue;
        }
        return arg;
    }
    return {};
}

void printUsage(QTextStream &out)
{
    out << "Usage: vyoctl [--profile DIR] [--log-level N] COMMAND [options]\n\nCommands:\n";
    for (const CommandEntry &c : Commands)
        out << "  " << QString::fromLatin1(c.name).leftJustified(11) << c.summary << '\n';
    out << "\nvyoctl COMMAND --help describes one command.\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vyoctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VYO_VERSION));

    const QStringList arguments = QCoreApplication::arguments();
    const QString command = findCommand(arguments);
    for (const CommandEntry &c : Commands) {
        if (command == QLatin1StringView(c.name))
            return c.run(arguments);
    }
    if (command.isEmpty()) {
        if (arguments.contains(QStringLiteral("--version")) || arguments.contains(QStringLiteral("-v"))) {
            QTextStream(stdout) << "vyoctl " << QCoreApplication::applicationVersion() << '\n';
            return vyoctl::Ok;
        }
        if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
            QTextStream out(stdout);
            printUsage(out);
            return vyoctl::Ok;
        }
        QTextStream err(stderr);
        err << "vyoctl: no command given\n";
        printUsage(err);
        return vyoctl::BadInput;
    }
    return vyoctl::fail(vyoctl::BadInput, QStringLiteral("unknown command \"%1\"; try --help").arg(command));
}
