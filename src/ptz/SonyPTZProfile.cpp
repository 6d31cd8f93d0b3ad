#include "ptz/SonyPTZProfile.h"

#include "config/FormHost.h"

const SonyPTZProfile &SonyPTZProfile::instance()
{
    static const SonyPTZProfile profile;
    return profile;
}

QString SonyPTZProfile::description() const
{
    return QStringLiteral("Sony");
}

QString SonyPTZProfile::canHandleType() const
{
    return QStringLiteral("Sony PTZ");
}

// The controller talks to the video host and reads the video rows; no rows of its own.
void SonyPTZProfile::populateForm(FormHost &, const Value &) const
{
}

Value SonyPTZProfile::readFromForm(const FormHost &form) const
{
    Value params = newParameters();
    copyVideoConnection(form, params);
    return params;
}
