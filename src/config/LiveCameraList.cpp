#include "config/LiveCameraList.h"

#include "config/GroupStore.h"
#include "platform/Preferences.h"

LiveCameraList::LiveCameraList(GroupStore &store, const Preferences &preferences, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_preferences(preferences)
{
    connect(&m_store, &GroupStore::selectionChanged, this, [this] { emit changed(true); });
    connect(&m_store, &GroupStore::groupChanged, this, [this](const Value &group) {
        if (group.isSameObject(m_store.selectedGroup()))
            emit changed(false);
    });
}

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

QList<Value> LiveCameraList::cameras() const
{
    return getCurrentCameraList(m_store.selectedGroup(), m_detected, showsDetectedCameras());
}

QString LiveCameraList::title() const
{
    return GroupStore::displayedName(m_store.selectedGroup());
}

int LiveCameraList::tourSeconds() const
{
    return GroupStore::tourSeconds(m_store.selectedGroup());
}

void LiveCameraList::setDetectedCameras(const QList<Value> &cameras)
{
    m_detected = cameras;
    if (showsDetectedCameras())
        emit changed(false);
}

bool LiveCameraList::showsDetectedCameras() const
{
    return m_preferences.showAutoCameras();
}
