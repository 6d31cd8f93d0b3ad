#include "sharing/ConfigLink.h"

#include "config/DefinitionCheck.h"
#include "config/PropertyList.h"
#include "config/QelCrypto.h"
#include "util/QelLog.h"
#include "platform/UrlOpener.h"
#include "util/Utilities.h"

namespace {

// A link is text in a mail; a payload this long is not a definition.
constexpr qsizetype MaxPayloadLength = 4 * 1024 * 1024;

const QelCrypto::Block &vectorOf(ConfigLink::Type type)
{
    return QelCrypto::URL_INIT_VECS[static_cast<size_t>(type)];
}

QString shapeProblem(const Value &definition, ConfigLink::Type type)
{
    return type == ConfigLink::Group ? DefinitionCheck::groupProblem(definition)
                                     : DefinitionCheck::cameraProblem(definition);
}

} // namespace

std::optional<ConfigLink::Type> ConfigLink::typeOfHost(const QString &host)
{
    if (host == QLatin1StringView("camera"))
        return Camera;
    if (host == QLatin1StringView("group"))
        return Group;
    if (host == QLatin1StringView("adhoc_camera"))
        return AdhocCamera;
    return std::nullopt;
}

QString ConfigLink::hostOf(Type type)
{
    switch (type) {
    case Camera:
        return QStringLiteral("camera");
    case Group:
        return QStringLiteral("group");
    case AdhocCamera:
        return QStringLiteral("adhoc_camera");
    }
    return {};
}

QString ConfigLink::payloadOf(const QUrl &url)
{
    QString path = url.path(QUrl::FullyDecoded);
    if (path.size() > 1)
        path.remove(0, 1);
    // Base64 holds no blanks: a blank is a "+" that a mail client or browser decoded
    // as form data.
    path.replace(QLatin1Char(' '), QLatin1Char('+'));
    return path;
}

QString ConfigLink::makeLink(Type type, const Value &definition, QString *error)
{
    const QByteArray plist = PropertyList::toBinary(definition, error);
    if (plist.isEmpty())
        return {};
    const std::optional<QByteArray> cipher = QelCrypto::encryptBlob(plist, vectorOf(type));
    if (!cipher) {
        if (error)
            *error = QStringLiteral("the cipher failed");
        return {};
    }
    return QStringLiteral("vyo://%1/%2").arg(hostOf(type), Utilities::base64Encode(*cipher));
}

Value ConfigLink::extractConfigFromEncodedData(const QString &payload, Type type)
{
    if (payload.size() > MaxPayloadLength) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("Failed to parse config URL using deprecated plaintext mode."));
        return {};
    }
    const QByteArray decoded = Utilities::base64Decode(payload);
    if (const std::optional<QByteArray> plain = QelCrypto::decryptBlob(decoded, vectorOf(type))) {
        const Value definition = PropertyList::fromData(*plain, nullptr);
        if (!definition.isNull() && shapeProblem(definition, type).isEmpty())
            return definition;
    }
    QEL_LOG(LogLevel::Debug, QStringLiteral("Failed to decrypt config URL. Attempting fall-back to deprecated plaintext mode."));
    const Value definition = PropertyList::fromData(decoded, nullptr);
    if (!definition.isNull() && shapeProblem(definition, type).isEmpty())
        return definition;
    QEL_LOG(LogLevel::Debug, QStringLiteral("Failed to parse config URL using deprecated plaintext mode."));
    return {};
}

ConfigLink::Restriction ConfigLink::checkRestriction(const Value &definition, const QString &deviceId,
                                                     const QDateTime &now)
{
    const Value restrict = definition.value(QStringLiteral("configRestrict"));
    if (restrict.isNull())
        return Restriction::Allowed;
    // A rule that is present but unreadable refuses rather than lets through.
    if (!restrict.isDictionary())
        return Restriction::Restricted;
    const Value expires = restrict.value(QStringLiteral("expireDate"));
    if (!expires.isNull() && (expires.type() != Value::Type::Date || expires.toDate() < now))
        return Restriction::Expired;
    const Value devices = restrict.value(QStringLiteral("allowedDevices"));
    if (devices.isNull())
        return Restriction::Allowed;
    if (!devices.isArray())
        return Restriction::Restricted;
    for (const Value &device : devices.items()) {
        if (device.isString() && device.toString() == deviceId)
            return Restriction::Allowed;
    }
    return Restriction::Restricted;
}

QString ConfigLink::groupMailUrl(const Value &group, QString *error)
{
    QString why;
    const QString link = makeLink(Group, group, &why);
    if (link.isEmpty()) {
        QEL_LOG(LogLevel::Error, QStringLiteral("Error creating email URL: %1").arg(why));
        if (error)
            *error = why;
        return {};
    }
    const QString name = group.value(QStringLiteral("name")).toString();
    const qsizetype count = group.value(QStringLiteral("cameras")).size();
    // Mail clients take a mailto body as plain text. The link stands on a line of its
    // own, with the "+" and "/" of its Base64 escaped so that no client ends the link
    // at a "/" or turns a "+" into a blank.
    const qsizetype payloadStart = link.indexOf(QLatin1Char('/'), link.indexOf(QLatin1StringView("://")) + 3) + 1;
    const QString safeLink = link.left(payloadStart)
        + QString::fromLatin1(QUrl::toPercentEncoding(link.mid(payloadStart), "="));
    const QString body = QStringLiteral("Touch the link to import the group \"%1\" (%2 %3) into Vyo:\r\n\r\n%4\r\n")
                             .arg(name)
                             .arg(count)
                             .arg(count == 1 ? QStringLiteral("camera") : QStringLiteral("cameras"), safeLink);
    return QStringLiteral("mailto:?subject=Vyo%20group&body=") + QString::fromLatin1(QUrl::toPercentEncoding(body));
}

bool ConfigLink::emailGroup(const Value &group)
{
    const QString mail = groupMailUrl(group, nullptr);
    return !mail.isEmpty() && UrlOpener::shared().openUrl(QUrl(mail, QUrl::StrictMode));
}
