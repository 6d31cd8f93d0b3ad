#include "PelcoPTZProfile.h"

const PelcoPTZProfile &PelcoPTZProfile::instance()
{
    static const PelcoPTZProfile profile;
    return profile;
}

QString PelcoPTZProfile::description() const
{
    return QStringLiteral("Pelco D");
}

QString PelcoPTZProfile::canHandleType() const
{
    return QStringLiteral("Pelco D PTZ");
}
