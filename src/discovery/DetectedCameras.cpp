#include "discovery/DetectedCameras.h"

#include "discovery/OnvifDiscoverer.h"
#include "video/OnvifVideoProfile.h"

#include <algorithm>

namespace {

QString hostOf(const Value &camera)
{
    return camera.value(QStringLiteral("video.parameters")).value(QStringLiteral("video.host")).toString();
}

} // namespace

QList<Value> DetectedCameras::merge(const QList<Value> &dnsSd, const QList<Value> &onvif)
{
    QList<Value> merged = dnsSd;
    for (const Value &device : onvif) {
        const QString host = hostOf(device);
        const auto same = std::find_if(dnsSd.cbegin(), dnsSd.cend(), [&](const Value &camera) {
            return !host.isEmpty() && hostOf(camera) == host;
        });
        if (same == dnsSd.cend()) {
            merged.append(device);
        } else {
            Value camera = *same;
            camera.insert(OnvifDiscoverer::EndpointKey, device.value(OnvifDiscoverer::EndpointKey));
        }
    }
    return merged;
}

bool DetectedCameras::isOnvif(const Value &camera)
{
    return camera.hasText(OnvifDiscoverer::EndpointKey);
}

QList<Value> DetectedCameras::playable(const QList<Value> &cameras)
{
    QList<Value> shown;
    for (const Value &camera : cameras) {
        const Value video = camera.value(QStringLiteral("video.parameters"));
        if (video.value(QStringLiteral("video.type")).toString() != OnvifVideoProfile::Type
            || video.hasText(OnvifVideoProfile::MainUriKey))
            shown.append(camera);
    }
    return shown;
}
