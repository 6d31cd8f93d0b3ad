// vyoctl link, open-link and make-link: the "vyo" links that carry definitions.

#include "vyoctl/Command.h"
#include "vyoctl/OpenProfile.h"

#include "config/DefinitionCheck.h"
#include "config/GroupStore.h"
#include "config/PropertyList.h"
#include "platform/DeviceIdentity.h"
#include "sharing/ConfigLink.h"
#include "sharing/LinkIntake.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace vyoctl {

namespace {

void printXml(const Value &value)
{
    QString error;
    const QByteArray xml = PropertyList::toXml(value, &error);
    std::fwrite(xml.constData(), 1, static_cast<size_t>(xml.size()), stdout);
}

} // namespace

int runLink(const QStringList &arguments)
{
    QCommandLineParser parser;
    addCommonOptions(parser, QStringLiteral("Prints the \"vyo://group/...\" link of a stored group, as it is e-mailed."));
    parser.addPositionalArgument(QStringLiteral("link"), QStringLiteral("the command"));
    parser.addPositionalArgument(QStringLiteral("group"), QStringLiteral("the group's name or uid"));
    int code = Ok;
    if (!parseCommon(parser, arguments, &code))
        return code;
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        return fail(BadInput, QStringLiteral("link takes one group name or uid"));
    OpenProfile profile;
    if (!profile.open(profileOption(parser), &code))
        return code;
    Value found;
    for (const Value &group : profile.store().groups().items()) {
        const bool byName = group.value(QStringLiteral("name")).toString() == args.at(1);
        const bool byUid = group.value(QStringLiteral("uid")).toString() == args.at(1);
        if (byName || byUid) {
            found = group;
            break;
        }
    }
    if (found.isNull())
        return fail(BadInput, QStringLiteral("no group named \"%1\"").arg(args.at(1)));
    QString error;
    const QString link = ConfigLink::makeLink(ConfigLink::Group, found, &error);
    if (link.isEmpty())
        return fail(Failure, QStringLiteral("cannot make the link: %1").arg(error));
    QTextStream(stdout) << link << '\n';
    return Ok;
}

int runOpenLink(const QStringList &arguments)
{
    QCommandLineParser parser;
    addCommonOptions(parser, QStringLiteral("Decodes a \"vyo\" link and prints its type and definition as an XML "
                                            "property list; nothing is imported."));
    parser.addPositionalArgument(QStringLiteral("open-link"), QStringLiteral("the command"));
    parser.addPositionalArgument(QStringLiteral("url"), QStringLiteral("the link"));
    int code = Ok;
    if (!parseCommon(parser, arguments, &code))
        return code;
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        return fail(BadInput, QStringLiteral("open-link takes one link"));
    // Read as the viewer reads it, upgraded; a refused ad-hoc camera is still shown.
    const LinkIntake::Result link = LinkIntake::read(QUrl(args.at(1), QUrl::TolerantMode),
                                                     DeviceIdentity::uniqueIdentifier(), QDateTime::currentDateTimeUtc());
    if (link.verdict == LinkIntake::Verdict::NotALink || link.verdict == LinkIntake::Verdict::Unreadable)
        return fail(BadInput, link.reason);
    Value out = Value::dictionary();
    out.insert(QStringLiteral("type"), ConfigLink::hostOf(link.kind));
    out.insert(QStringLiteral("definition"), link.definition);
    if (link.kind == ConfigLink::AdhocCamera) {
        out.insert(QStringLiteral("on this device"),
                   link.verdict == LinkIntake::Verdict::Accepted ? QStringLiteral("allowed") : link.reason);
    }
    printXml(out);
    return Ok;
}

int runMakeLink(const QStringList &arguments)
{
    QCommandLineParser parser;
    addCommonOptions(parser, QStringLiteral("Makes a camera or ad-hoc camera link from a camera definition file "
                                            "(a binary or XML property list holding one camera dictionary)."));
    parser.addPositionalArgument(QStringLiteral("make-link"), QStringLiteral("the command"));
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("the camera definition"));
    parser.addOption({ QStringLiteral("type"), QStringLiteral("camera or adhoc_camera."), QStringLiteral("type"),
                       QStringLiteral("camera") });
    parser.addOption({ QStringLiteral("expires"),
                       QStringLiteral("Ad-hoc only: the link stops working at <date> (ISO 8601, UTC when no zone)."),
                       QStringLiteral("date") });
    parser.addOption({ QStringLiteral("allow-device"),
                       QStringLiteral("Ad-hoc only: only device <id> may open it (repeatable; the About screen shows it)."),
                       QStringLiteral("id") });
    int code = Ok;
    if (!parseCommon(parser, arguments, &code))
        return code;
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        return fail(BadInput, QStringLiteral("make-link takes one definition file"));
    const QString typeName = parser.value(QStringLiteral("type"));
    const std::optional<ConfigLink::Type> type = ConfigLink::typeOfHost(typeName);
    if (!type || *type == ConfigLink::Group)
        return fail(BadInput, QStringLiteral("--type is camera or adhoc_camera (group links come from \"vyoctl link\")"));
    const bool restricted = parser.isSet(QStringLiteral("expires")) || parser.isSet(QStringLiteral("allow-device"));
    if (restricted && *type != ConfigLink::AdhocCamera)
        return fail(BadInput, QStringLiteral("--expires and --allow-device need --type adhoc_camera"));

    QFile file(args.at(1));
    if (!file.open(QIODevice::ReadOnly))
        return fail(BadInput, QStringLiteral("%1: %2").arg(args.at(1), file.errorString()));
    QString error;
    const Value camera = PropertyList::fromData(file.read(4 * 1024 * 1024), &error);
    if (camera.isNull())
        return fail(BadInput, QStringLiteral("%1: %2").arg(args.at(1), error));
    const QString problem = DefinitionCheck::cameraProblem(camera);
    if (!problem.isEmpty())
        return fail(BadInput, QStringLiteral("%1: %2").arg(args.at(1), problem));

    if (restricted) {
        Value rule = Value::dictionary();
        if (parser.isSet(QStringLiteral("expires"))) {
            QDateTime when = QDateTime::fromString(parser.value(QStringLiteral("expires")), Qt::ISODate);
            if (!when.isValid())
                return fail(BadInput, QStringLiteral("--expires takes an ISO 8601 date such as 2027-01-31T18:00:00Z"));
            // A date without a zone is taken as UTC, so a link means the same everywhere.
            if (when.timeSpec() == Qt::LocalTime)
                when.setTimeSpec(Qt::UTC);
            rule.insert(QStringLiteral("expireDate"), Value::date(when));
        }
        const QStringList devices = parser.values(QStringLiteral("allow-device"));
        if (!devices.isEmpty()) {
            Value list = Value::array();
            for (const QString &device : devices)
                list.append(device);
            rule.insert(QStringLiteral("allowedDevices"), list);
        }
        Value withRule = camera;
        withRule.insert(QStringLiteral("configRestrict"), rule);
    }
    const QString link = ConfigLink::makeLink(*type, camera, &error);
    if (link.isEmpty())
        return fail(Failure, QStringLiteral("cannot make the link: %1").arg(error));
    QTextStream(stdout) << link << '\n';
    return Ok;
}

} // namespace vyoctl
