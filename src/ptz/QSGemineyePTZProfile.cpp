#include "QSGemineyePTZProfile.h"

const QSGemineyePTZProfile &QSGemineyePTZProfile::instance()
{
    static const QSGemineyePTZProfile profile;
    return profile;
}

QString QSGemineyePTZProfile::description() const
{
    return QStringLiteral("Quickset Gemineye");
}

QString QSGemineyePTZProfile::canHandleType() const
{
    return QStringLiteral("QuickSet GeminEye PTZ");
}
