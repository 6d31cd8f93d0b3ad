#pragma once

#include "config/Value.h"

#include <QList>

// Motion-JPEG cameras at a loopback port, one path each. At the closed port 9 their
// readers exist but see nothing, and soon say the camera is unreachable.
inline QList<Value> loopbackCameras(int count, quint16 port = 9)
{
    QList<Value> list;
    for (int i = 0; i < count; ++i) {
        Value camera = Value::dictionary();
        camera.insert(QStringLiteral("title"), QStringLiteral("Camera %1").arg(i + 1));
        Value video = Value::dictionary();
        video.insert(QStringLiteral("video.type"), QStringLiteral("GENMJPEG"));
        video.insert(QStringLiteral("video.host"), QStringLiteral("127.0.0.1"));
        video.insert(QStringLiteral("video.port"), QString::number(port));
        video.insert(QStringLiteral("video.path"), QStringLiteral("/cam%1").arg(i));
        camera.insert(QStringLiteral("video.parameters"), video);
        list.append(camera);
    }
    return list;
}
