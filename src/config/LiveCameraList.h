#pragma once

#include "config/Value.h"

#include <QList>

// The cameras the live view shows: the enabled cameras of the selected group in
// group order, then, when asked for, the detected cameras not already among them.
// The list holds the same definition objects, not copies.
class LiveCameraList final
{
public:
    LiveCameraList() = delete;

    static QList<Value> getCurrentCameraList(const Value &selectedGroup,
                                             const QList<Value> &detectedCameras,
                                             bool showAutoCameras);
};
