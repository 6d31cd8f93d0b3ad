#include "video/AxisVideoServerProfile.h"

#include "config/FormHost.h"
#include "ptz/AxisPTZProfile.h"
#include "ptz/PelcoPTZProfile.h"
#include "ptz/QSGemineyePTZProfile.h"
#include "ptz/QSUnivProfile.h"

QString AxisVideoServerProfile::canHandleType() const
{
    return QStringLiteral("AXISSERVERMJPEG");
}

void AxisVideoServerProfile::populateForm(FormHost &form, const Value &params) const
{
    populateAxisForm(form, params, CameraNumber::With);
}

Value AxisVideoServerProfile::readFromForm(const FormHost &form) const
{
    return readAxisForm(form, CameraNumber::With);
}

QList<const PTZProfile *> AxisVideoServerProfile::compatiblePTZList() const
{
    return {&AxisPTZProfile::instance(), &PelcoPTZProfile::instance(), &QSUnivProfile::instance(),
            &QSGemineyePTZProfile::instance()};
}
