#include "QSUnivProfile.h"

const QSUnivProfile &QSUnivProfile::instance()
{
    static const QSUnivProfile profile;
    return profile;
}

QString QSUnivProfile::description() const
{
    return QStringLiteral("Quickset Universal");
}

QString QSUnivProfile::canHandleType() const
{
    return QStringLiteral("QuickSet Universal PTZ");
}
