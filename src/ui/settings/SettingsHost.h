#pragma once

#include "config/Value.h"
#include "ui/live/LiveViewHost.h"

#include <QList>

class KeyboardFixer;
class RegistrationHandler;

// What the settings screens reach through the application controller: the
// cameras discovery has found, the shared keyboard handler and registration
// sender, and the switch back to the live view. Tests give a fake.
class SettingsHost
{
public:
    virtual QList<Value> getDetectedCameras() const = 0;
    // Looks for cameras again (a WS-Discovery probe); what is found comes later.
    virtual void detectCameras() = 0;
    virtual KeyboardFixer *keyboardFixer() const = 0;
    virtual RegistrationHandler &registrationHandler() = 0;
    virtual void switchToView(LiveViewHost::View view) = 0;

protected:
    ~SettingsHost() = default;
};
