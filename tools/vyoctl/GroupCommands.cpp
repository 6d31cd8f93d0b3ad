// vyoctl show and vyoctl import: the stored groups of a profile.

#include "vyoctl/Command.h"
#include "vyoctl/OpenProfile.h"

#include "config/CameraProfileUpdater.h"
#include "config/DefinitionCheck.h"
#include "config/GroupStore.h"
#include "config/PropertyList.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace vyoctl {

namespace {

constexpr qint64 MaxImportSize = 16 * 1024 * 1024;

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
    const QString problem = DefinitionCheck::groupListProblem(imported);
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
