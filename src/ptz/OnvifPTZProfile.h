#pragma once

#include "ptz/PTZProfile.h"

// "ONVIF PTZ": steers through the PTZ service of the ONVIF device the video comes
// from, with the video's host, port and credentials.
class OnvifPTZProfile final : public PTZProfile
{
public:
    static const OnvifPTZProfile &instance();

    QString description() const override;
    QString canHandleType() const override;
    void populateForm(FormHost &form, const Value &params) const override;
    Value readFromForm(const FormHost &form) const override;
};
