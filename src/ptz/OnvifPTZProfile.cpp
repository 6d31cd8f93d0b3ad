#include "ptz/OnvifPTZProfile.h"

#include "config/FormHost.h"

#include <QCoreApplication>

const OnvifPTZProfile &OnvifPTZProfile::instance()
{
    static const OnvifPTZProfile profile;
    return profile;
}

QString OnvifPTZProfile::description() const
{
    return QCoreApplication::translate("OnvifPTZProfile", "ONVIF");
}

QString OnvifPTZProfile::canHandleType() const
{
    return QStringLiteral("ONVIF PTZ");
}

void OnvifPTZProfile::populateForm(FormHost &, const Value &) const
{
    // Nothing of its own: the device, port and credentials are the video's.
}

Value OnvifPTZProfile::readFromForm(const FormHost &form) const
{
    Value params = newParameters();
    copyVideoConnection(form, params);
    return params;
}
