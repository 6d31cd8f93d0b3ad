#pragma once

#include "config/Value.h"

#include <QPixmap>

// The group editor.
class GroupViewController final
{
public:
    // "ptz_icon.png" for a camera with a PTZ protocol, "camera_icon.png" otherwise.
    static QPixmap getIconForCamera(const Value &camera);
};
