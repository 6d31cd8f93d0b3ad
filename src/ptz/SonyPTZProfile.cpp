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
    copyRow(form, params, QStringLiteral("control.host"), QStringLiteral("video.host"));
    copyRow(form, params, QStringLiteral("control.port"), QStringLiteral("video.port"));
    copyRow(form, params, QStringLiteral("control.username"), QStringLiteral("video.username"));
    copyRow(form, params, QStringLiteral("control.password"), QStringLiteral("video.password"));
    return params;
}
