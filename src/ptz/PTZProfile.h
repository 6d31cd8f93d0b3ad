#pragma once

#include <QString>

// How the camera editor names a PTZ protocol and matches a stored
// "control.protocol". Profiles are stateless; each class has one shared instance.
class PTZProfile
{
public:
    virtual ~PTZProfile() = default;

    // The display name in the editor and the PTZ chooser.
    virtual QString description() const = 0;
    // The "control.protocol" value this profile stands for.
    virtual QString canHandleType() const = 0;

protected:
    PTZProfile() = default;
};
