#pragma once

#include <memory>

class Clock;
class Value;
class QString;
class FrameCache;
class Preferences;
class QThread;
class QWidget;

// What the live views reach through the application controller: the shared frame
// cache, the video worker thread, the preferences, and the switching of views.
class LiveViewHost
{
public:
    enum class View { Settings, Multi, Single };

    virtual std::shared_ptr<FrameCache> imageCache() const = 0;
    virtual QThread *videoThread() const = 0;
    virtual const Preferences &preferences() const = 0;
    virtual Clock &clock() const = 0;

    virtual void switchToView(View view) = 0;
    virtual void cycleToNextGroup() = 0;
    // Keeps the camera's certificate as trusted; the camera's new definition, none
    // when it could not be kept.
    virtual Value trustCertificate(const Value &camera, const QString &fingerprint) = 0;

protected:
    ~LiveViewHost() = default;
};
