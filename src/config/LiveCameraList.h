#pragma once

#include "config/Value.h"

#include <QList>
#include <QObject>

class GroupStore;
class Preferences;

// The cameras the live view shows: the enabled cameras of the selected group in
// group order, then, when the user asked for them, the detected cameras not
// already among them. The list holds the same definition objects, not copies.
// Main thread; it observes the store, which outlives it.
class LiveCameraList final : public QObject
{
    Q_OBJECT

public:
    LiveCameraList(GroupStore &store, const Preferences &preferences, QObject *parent = nullptr);

    static QList<Value> getCurrentCameraList(const Value &selectedGroup,
                                             const QList<Value> &detectedCameras,
                                             bool showAutoCameras);

    QList<Value> cameras() const;
    // The selected group's name, the live view's title.
    QString title() const;
    // The selected group's seconds between page turns; 0 when it does not tour.
    int tourSeconds() const;
    // What discovery has found now; a change matters only with detected cameras shown.
    void setDetectedCameras(const QList<Value> &cameras);

signals:
    // Another group was selected (the live view starts again at its first page),
    // or the cameras of the one shown changed.
    void changed(bool resetCurrentPage);

private:
    bool showsDetectedCameras() const;

    GroupStore &m_store;
    const Preferences &m_preferences;
    QList<Value> m_detected;
};
