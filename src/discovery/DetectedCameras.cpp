#include "discovery/DetectedCameras.h"

#include "discovery/OnvifDiscoverer.h"
#include "video/OnvifVideoProfile.h"

#include <algorithm>

namespace {

// Host and port: several cameras may share a host (a simulator, an encoder with
// several inputs), never both.
QString addressOf(const Value &camera)
{
    const Value video = camera.value(QStringLiteral("video.parameters"));
    const QString host = video.value(QStringLiteral("video.host")).toString();
    const qint64 port = video.value(QStringLiteral("video.port")).toInteger();
    return host.isEmpty() ? QString() : QStringLiteral("%1:%2").arg(host).arg(port > 0 ? port : 80);
}

} // namespace

QList<Value> DetectedCameras::merge(const QList<Value> &dnsSd, const QList<Value> &onvif)
{
    QList<Value> merged = dnsSd;
    for (const Value &device : onvif) {
        const QString address = addressOf(device);
        const auto same = std::find_if(dnsSd.cbegin(), dnsSd.cend(), [&](const Value &camera) {
            return !address.isEmpty() && addressOf(camera) == address;
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
