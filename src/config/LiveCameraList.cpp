#include "config/LiveCameraList.h"

QList<Value> LiveCameraList::getCurrentCameraList(const Value &selectedGroup,
                                                  const QList<Value> &detectedCameras,
                                                  bool showAutoCameras)
{
    const QString videoKey = QStringLiteral("video.parameters");
    QList<Value> result;
    QList<Value> shownVideo;
    for (const Value &camera : selectedGroup.value(QStringLiteral("cameras")).items()) {
        if (!camera.value(QStringLiteral("enabled")).toBool())
            continue;
        result.append(camera);
        if (camera.contains(videoKey))
            shownVideo.append(camera.value(videoKey));
    }
    if (!showAutoCameras)
        return result;
    for (const Value &camera : detectedCameras) {
        const Value video = camera.value(videoKey);
        if (!video.isNull() && !shownVideo.contains(video))
            result.append(camera);
    }
    return result;
}
