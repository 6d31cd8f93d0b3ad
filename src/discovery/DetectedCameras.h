#pragma once

#include "config/Value.h"

#include <QList>

// The one list of "Auto-Detected Cameras" made of what DNS-SD and WS-Discovery found.
class DetectedCameras final
{
public:
    DetectedCameras() = delete;

    // The DNS-SD cameras, then the ONVIF ones at a host and port no DNS-SD camera has
    // (port 80 when none is given). A DNS-SD
    // camera that WS-Discovery found too is marked with the device's endpoint, in place.
    static QList<Value> merge(const QList<Value> &dnsSd, const QList<Value> &onvif);
    // True for a camera WS-Discovery found.
    static bool isOnvif(const Value &camera);
    // What may join the grid: all but ONVIF devices whose stream is not known yet.
    static QList<Value> playable(const QList<Value> &cameras);
};
