#include "ui/settings/GroupViewController.h"

QPixmap GroupViewController::getIconForCamera(const Value &camera)
{
    const bool ptz = camera.value(QStringLiteral("control.parameters")).contains(QStringLiteral("control.protocol"));
    return QPixmap(ptz ? QStringLiteral(":/images/ptz_icon.png") : QStringLiteral(":/images/camera_icon.png"));
}
