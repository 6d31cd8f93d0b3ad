#include "AxisVideoServerProfile.h"

QString AxisVideoServerProfile::canHandleType() const
{
    return QStringLiteral("AXISSERVERMJPEG");
}
