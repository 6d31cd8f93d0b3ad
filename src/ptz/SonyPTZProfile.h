#pragma once

#include "ptz/PTZProfile.h"

class SonyPTZProfile final : public PTZProfile
{
public:
    static const SonyPTZProfile &instance();

    QString description() const override;
    QString canHandleType() const override;
};
