#pragma once

#include "ptz/PTZProfile.h"

class QSGemineyePTZProfile final : public PTZProfile
{
public:
    static const QSGemineyePTZProfile &instance();

    QString description() const override;
    QString canHandleType() const override;
    void populateForm(FormHost &form, const Value &params) const override;
    Value readFromForm(const FormHost &form) const override;
};
