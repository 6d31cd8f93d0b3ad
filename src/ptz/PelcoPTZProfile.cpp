#include "ptz/PelcoPTZProfile.h"

#include "config/FormHost.h"

const PelcoPTZProfile &PelcoPTZProfile::instance()
{
    static const PelcoPTZProfile profile;
    return profile;
}

QString PelcoPTZProfile::description() const
{
    return QStringLiteral("Pelco D");
}

QString PelcoPTZProfile::canHandleType() const
{
    return QStringLiteral("Pelco D PTZ");
}

void PelcoPTZProfile::populateForm(FormHost &form, const Value &params) const
{
    populateSerialAdapter(form, params);
}

Value PelcoPTZProfile::readFromForm(const FormHost &form) const
{
    Value params = newParameters();
    readSerialAdapter(form, params);
    return params;
}
