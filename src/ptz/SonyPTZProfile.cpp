#include "SonyPTZProfile.h"

const SonyPTZProfile &SonyPTZProfile::instance()
{
    static const SonyPTZProfile profile;
    return profile;
}

QString SonyPTZProfile::description() const
{
    return QStringLiteral("Sony");
}

QString SonyPTZProfile::canHandleType() const
{
    return QStringLiteral("Sony PTZ");
}
