#include "vyoctl/Command.h"

#include "util/QelLog.h"

#include <QTextStream>

namespace vyoctl {

int fail(int code, const QString &message)
{
    QTextStream(stderr) << "vyoctl: " << message << '\n';
    return code;
}

void addCommonOptions(QCommandLineParser &parser, const QString &description)
{
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addOption({ QStringLiteral("profile"), QStringLiteral("Use the profile in <dir> instead of the user's."),
                       QStringLiteral("dir") });
    parser.addOption({ QStringLiteral("log-level"),
                       QStringLiteral("Write log lines at <level> (0-3) and above to stderr."),
                       QStringLiteral("level") });
}

bool parseCommon(QCommandLineParser &parser, const QStringList &arguments, int *exitCode)
{
    if (!parser.parse(arguments)) {
        *exitCode = fail(BadInput, parser.errorText());
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText();
        *exitCode = Ok;
        return false;
    }
    if (parser.isSet(QStringLiteral("log-level"))) {
        bool ok = false;
        const int level = parser.value(QStringLiteral("log-level")).toInt(&ok);
        if (!ok || level < 0 || level > 3) {
            *exitCode = fail(BadInput, QStringLiteral("--log-level takes a number from 0 to 3"));
            return false;
        }
        QelLog::setLoggingEnabled(true);
        QelLog::setLoggingThreshhold(level);
    }
    return true;
}

QString profileOption(const QCommandLineParser &parser)
{
    return parser.value(QStringLiteral("profile"));
}

} // namespace vyoctl
