#pragma once

#include "video/AxisVideoProfile.h"

// Axis video servers: the Axis request, in which the camera number selects the input.
class AxisVideoServerProfile final : public AxisVideoProfile
{
public:
    QString canHandleType() const override;
    void populateForm(FormHost &form, const Value &params) const override;
    Value readFromForm(const FormHost &form) const override;
    QList<const PTZProfile *> compatiblePTZList() const override;
};
