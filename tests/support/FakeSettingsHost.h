#pragma once

#include "config/Value.h"
#include "ui/settings/SettingsHost.h"
#include "sharing/RegistrationHandler.h"

#include <QList>

// The application controller as the settings screens see it: detected cameras
// set by the test, a real registration sender, and the view switches recorded.
class FakeSettingsHost final : public SettingsHost
{
public:
    explicit FakeSettingsHost(Preferences &preferences)
        : handler(preferences)
    {
    }

    QList<Value> getDetectedCameras() const override { return detected; }
    void detectCameras() override { ++detections; }
    KeyboardFixer *keyboardFixer() const override { return nullptr; }
    RegistrationHandler &registrationHandler() override { return handler; }
    void switchToView(LiveViewHost::View view) override { switches.append(view); }

    QList<Value> detected;
    int detections = 0;
    RegistrationHandler handler;
    QList<LiveViewHost::View> switches;
};
