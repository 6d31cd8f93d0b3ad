// vyoctl: the command-line face of the configuration core.

#include "config/CameraProfileUpdater.h"
#include "config/DefaultSettings.h"
#include "config/GroupStore.h"
#include "config/PropertyList.h"
#include "platform/Preferences.h"
#include "platform/Profile.h"
#include "util/QelLog.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QTextStream>

#include <cstdio>

namespace {

enum ExitCode { Ok = 0, Failure = 1, BadInput = 2 };

constexpr qint64 MaxImportSize = 16 * 1024 * 1024;

int fail(int code, const QString &message)
{
    QTextStream(stderr) << "vyoctl: " << message << '\n';
    return code;
}

// Why a parsed file is not an array of group dictionaries, or empty when it is.
QString groupListProblem(const Value &groups)
{
    if (!groups.isArray())
        return QStringLiteral("the property list is not an array of groups");
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const Value group = groups.at(i);
        if (!group.isDictionary())
            return QStringLiteral("group %1 is not a dictionary").arg(i + 1);
        const Value cameras = group.value(QStringLiteral("cameras"));
        if (cameras.isNull())
            continue;
        if (!cameras.isArray())
            return QStringLiteral("the cameras of group %1 are not an array").arg(i + 1);
        for (qsizetype c = 0; c < cameras.size(); ++c) {
            const Value camera = cameras.at(c);
            if (!camera.isDictionary())
                return QStringLiteral("camera %1 of group %2 is not a dictionary").arg(c + 1).arg(i + 1);
            for (const QString &key : { QStringLiteral("video.parameters"), QStringLiteral("control.parameters") }) {
                const Value params = camera.value(key);
                if (!params.isNull() && !params.isDictionary())
                    return QStringLiteral("\"%1\" of camera %2 in group %3 is not a dictionary")
                        .arg(key)
                        .arg(c + 1)
                        .arg(i + 1);
            }
        }
    }
    return {};
}

class Session final
{
public:
    explicit Session(const Profile &profile)
        : m_preferences(profile.preferencesPath())
        , m_store(m_preferences, profile.dataDir())
    {
        m_preferences.registerDefaults(DefaultSettings::registeredDefaults());
    }

    GroupStore &store() { return m_store; }

private:
    Preferences m_preferences;
    GroupStore m_store;
};

int show(Session &session)
{
    session.store().loadBulkData();
    Value groups = session.store().groups();
    if (!groups.isArray())
        groups = Value::array();
    QString error;
    const QByteArray xml = PropertyList::toXml(groups, &error);
    if (xml.isEmpty())
        return fail(Failure, QStringLiteral("cannot print the groups: %1").arg(error));
    std::fwrite(xml.constData(), 1, static_cast<size_t>(xml.size()), stdout);
    return Ok;
}

int import(Session &session, const Value &imported)
{
    GroupStore &store = session.store();
    store.loadBulkData();
    qsizetype cameras = 0;
    for (const Value &group : imported.items()) {
        CameraProfileUpdater::convertGroupDefinition(group);
        cameras += group.value(QStringLiteral("cameras")).size();
        store.addGroup(group);
    }
    if (!store.persistBulkData())
        return fail(Failure, QStringLiteral("cannot write %1").arg(store.groupFilePath()));
    QTextStream(stdout) << "Added " << imported.size() << (imported.size() == 1 ? " group" : " groups")
                        << " with " << cameras << (cameras == 1 ? " camera" : " cameras") << '\n';
    return Ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vyoctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VYO_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads and changes the camera groups of a Vyo profile.\n\n"
        "Commands:\n"
        "  show          print the stored groups as an XML property list\n"
        "  import FILE   append the groups of a binary or XML property list"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption profileOption(QStringLiteral("profile"),
                                           QStringLiteral("Use the profile in <dir> instead of the user's."),
                                           QStringLiteral("dir"));
    const QCommandLineOption logOption(QStringLiteral("log-level"),
                                       QStringLiteral("Write log lines at <level> (0-3) and above to stderr."),
                                       QStringLiteral("level"));
    parser.addOption(profileOption);
    parser.addOption(logOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("show or import"));
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("the file to import"), QStringLiteral("[file]"));
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(BadInput, parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(Ok);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    if (parser.isSet(logOption)) {
        bool ok = false;
        const int level = parser.value(logOption).toInt(&ok);
        if (!ok || level < 0 || level > 3)
            return fail(BadInput, QStringLiteral("--log-level takes a number from 0 to 3"));
        QelLog::setLoggingEnabled(true);
        QelLog::setLoggingThreshhold(level);
    }

    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    Value imported;
    if (command == QLatin1StringView("show")) {
        if (args.size() != 1)
            return fail(BadInput, QStringLiteral("show takes no arguments"));
    } else if (command == QLatin1StringView("import")) {
        if (args.size() != 2)
            return fail(BadInput, QStringLiteral("import takes one file"));
        // Everything about the file is checked before the profile is touched.
        QFile file(args.at(1));
        if (!file.open(QIODevice::ReadOnly))
            return fail(BadInput, QStringLiteral("%1: %2").arg(args.at(1), file.errorString()));
        if (file.size() > MaxImportSize)
            return fail(BadInput, QStringLiteral("%1: too large to be a group list").arg(args.at(1)));
        QString error;
        imported = PropertyList::fromData(file.readAll(), &error);
        if (imported.isNull())
            return fail(BadInput, QStringLiteral("%1: %2").arg(args.at(1), error));
        const QString problem = groupListProblem(imported);
        if (!problem.isEmpty())
            return fail(BadInput, QStringLiteral("%1: %2").arg(args.at(1), problem));
    } else {
        return fail(BadInput, command.isEmpty() ? QStringLiteral("no command given; try --help")
                                                : QStringLiteral("unknown command \"%1\"; try --help").arg(command));
    }

    const Profile profile = Profile::resolve(parser.value(profileOption));
    QString error;
    if (!profile.ensureDirectories(&error))
        return fail(Failure, error);
    const std::unique_ptr<QLockFile> lock = profile.tryLock();
    if (!lock)
        return fail(Failure, QStringLiteral("the profile in %1 is in use by a running viewer; close it first")
                                 .arg(profile.dataDir()));

    Session session(profile);
    return command == QLatin1StringView("show") ? show(session) : import(session, imported);
}
