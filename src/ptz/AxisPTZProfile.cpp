#include "AxisPTZProfile.h"

const AxisPTZProfile &AxisPTZProfile::instance()
{
    static const AxisPTZProfile profile;
    return profile;
}

QString AxisPTZProfile::description() const
{
    return QStringLiteral("Axis");
}

QString AxisPTZProfile::canHandleType() const
{
    return QStringLiteral("Axis PTZ");
}
