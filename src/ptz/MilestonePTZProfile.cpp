#include "MilestonePTZProfile.h"

const MilestonePTZProfile &MilestonePTZProfile::instance()
{
    static const MilestonePTZProfile profile;
    return profile;
}

QString MilestonePTZProfile::description() const
{
    return QStringLiteral("Milestone");
}

QString MilestonePTZProfile::canHandleType() const
{
    return QStringLiteral("Milestone PTZ");
}
