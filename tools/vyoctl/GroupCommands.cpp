// vyoctl show and vyoctl import: the stored groups of a profile.

#include "Command.h"

#include "config/CameraProfileUpdater.h"
#include "config/DefaultSettings.h"
#include "config/GroupStore.h"
#include "config/PropertyList.h"
#include "platform/Preferences.h"
#include "platform/Profile.h"

#include <QFile>
#include <QLockFile>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace vyoctl {

namespace {

constexpr qint64 MaxImportSize = 16 * 1024 * 1024;

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

// The profile opened for one command: locked against a running viewer, with the
// preferences and the group store over it.
class OpenProfile final
{
public:
    bool open(const QString &profileDir, int *exitCode)
    {
        const Profile profile = Profile::resolve(profileDir);
        QString error;
        if (!profile.ensureDirectories(&error)) {
            *exitCode = fail(Failure, error);
            return false;
        }
        m_lock = profile.tryLock();
        if (!m_lock) {
            *exitCode = fail(Failure, QStringLiteral("the profile in %1 is in use by a running viewer; close it first")
                                          .arg(profile.dataDir()));
            return false;
        }
        m_preferences = std::make_unique<Preferences>(profile.preferencesPath());
        m_preferences->registerDefaults(DefaultSettings::registeredDefaults());
        m_store = std::make_unique<GroupStore>(*m_preferences, profile.dataDir());
        m_store->loadBulkData();
        return true;
    }

    GroupStore &store() { return *m_store; }

private:
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<GroupStore> m_store;
};

} // namespace

int runShow(const QStringList &arguments)
{
    QCommandLineParser parser;
    addCommonOptions(parser, QStringLiteral("Prints the stored groups as an XML property list."));
    parser.addPositionalArgument(QStringLiteral("show"), QStringLiteral("the command"));
    int code = Ok;
    if (!parseCommon(parser, arguments, &code))
        return code;
    if (parser.positionalArguments().size() != 1)
        return fail(BadInput, QStringLiteral("show takes no arguments"));

    OpenProfile profile;
    if (!profile.open(profileOption(parser), &code))
        return code;
    Value groups = profile.store().groups();
    if (!groups.isArray())
        groups = Value::array();
    QString error;
    const QByteArray xml = PropertyList::toXml(groups, &error);
    if (xml.isEmpty())
        return fail(Failure, QStringLiteral("cannot print the groups: %1").arg(error));
    std::fwrite(xml.constData(), 1, static_cast<size_t>(xml.size()), stdout);
    return Ok;
}

int runImport(const QStringList &arguments)
{
    QCommandLineParser parser;
    addCommonOptions(parser, QStringLiteral("Appends the groups of a binary or XML property list to the profile."));
    parser.addPositionalArgument(QStringLiteral("import"), QStringLiteral("the command"));
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("the property list to import"));
    int code = Ok;
    if (!parseCommon(parser, arguments, &code))
        return code;
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        return fail(BadInput, QStringLiteral("import takes one file"));

    // Everything about the file is checked before the profile is touched.
    const QString path = args.at(1);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(BadInput, QStringLiteral("%1: %2").arg(path, file.errorString()));
    if (file.size() > MaxImportSize)
        return fail(BadInput, QStringLiteral("%1: too large to be a group list").arg(path));
    QString error;
    const Value imported = PropertyList::fromData(file.read(MaxImportSize), &error);
    if (imported.isNull())
        return fail(BadInput, QStringLiteral("%1: %2").arg(path, error));
    const QString problem = groupListProblem(imported);
    if (!problem.isEmpty())
        return fail(BadInput, QStringLiteral("%1: %2").arg(path, problem));

    OpenProfile profile;
    if (!profile.open(profileOption(parser), &code))
        return code;
    GroupStore &store = profile.store();
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

} // namespace vyoctl
