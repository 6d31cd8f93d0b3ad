#include "CanonPTZProfile.h"

const CanonPTZProfile &CanonPTZProfile::instance()
{
    static const CanonPTZProfile profile;
    return profile;
}

QString CanonPTZProfile::description() const
{
    return QStringLiteral("Canon");
}

QString CanonPTZProfile::canHandleType() const
{
    return QStringLiteral("Canon PTZ");
}
