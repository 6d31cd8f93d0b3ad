#include "ptz/CanonPTZProfile.h"

#include "config/FormHost.h"

const CanonPTZProfile &CanonPTZProfile::instance()
{
    static const CanonPTZProfile profile;
    return profile;
}

QString CanonPTZProfile::description() const
{
    return QStringLiteral("Canon");
}

QString CanonPTZProfile::canHandleType() const
{
    return QStringLiteral("Canon PTZ");
}

// The controller talks to the video host and reads the video rows; no rows of its own.
void CanonPTZProfile::populateForm(FormHost &, const Value &) const
{
}

Value CanonPTZProfile::readFromForm(const FormHost &form) const
{
    Value params = newParameters();
    copyNonZeroPort(form, params);
    copyRow(form, params, QStringLiteral("control.host"), QStringLiteral("video.host"));
    copyRow(form, params, QStringLiteral("control.username"), QStringLiteral("video.username"));
    copyRow(form, params, QStringLiteral("control.password"), QStringLiteral("video.password"));
    return params;
}
