#include "sharing/LinkIntake.h"

#include "config/CameraProfileUpdater.h"

LinkIntake::Result LinkIntake::read(const QUrl &url, const QString &deviceId, const QDateTime &now)
{
    Result result;
    if (url.scheme() != QLatin1StringView("vyo")) {
        result.reason = QStringLiteral("not a vyo:// link");
        return result;
    }
    const std::optional<ConfigLink::Type> kind = ConfigLink::typeOfHost(url.host());
    if (!kind) {
        result.reason = QStringLiteral("unknown link type \"%1\"").arg(url.host());
        return result;
    }
    result.kind = *kind;
    const Value definition = ConfigLink::extractConfigFromEncodedData(ConfigLink::payloadOf(url), *kind);
    if (!definition.isNull()) {
        result.definition = *kind == ConfigLink::Group ? CameraProfileUpdater::convertGroupDefinition(definition)
                                                       : CameraProfileUpdater::convertCameraDefinition(definition);
    }
    if (result.definition.isNull()) {
        result.verdict = Verdict::Unreadable;
        result.reason = QStringLiteral("the link carries no readable definition");
        return result;
    }
    if (*kind == ConfigLink::AdhocCamera) {
        switch (ConfigLink::checkRestriction(result.definition, deviceId, now)) {
        case ConfigLink::Restriction::Expired:
            result.verdict = Verdict::Expired;
            result.reason = QStringLiteral("expired");
            return result;
        case ConfigLink::Restriction::Restricted:
            result.verdict = Verdict::Restricted;
            result.reason = QStringLiteral("restricted to other devices");
            return result;
        case ConfigLink::Restriction::Allowed:
            break;
        }
    }
    result.verdict = Verdict::Accepted;
    return result;
}
