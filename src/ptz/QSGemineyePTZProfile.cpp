#include "ptz/QSGemineyePTZProfile.h"

#include "config/FormHost.h"

#include <QCoreApplication>

const QSGemineyePTZProfile &QSGemineyePTZProfile::instance()
{
    static const QSGemineyePTZProfile profile;
    return profile;
}

QString QSGemineyePTZProfile::description() const
{
    return QStringLiteral("Quickset Gemineye");
}

QString QSGemineyePTZProfile::canHandleType() const
{
    return QStringLiteral("QuickSet GeminEye PTZ");
}

void QSGemineyePTZProfile::populateForm(FormHost &form, const Value &params) const
{
    const FormSectionRef section = populateSerialAdapter(form, params);
    addControlRow(form, section, params, QStringLiteral("control.camera_number"),
                  QCoreApplication::translate("PTZProfile", "Camera Number"),
                  false, QStringLiteral("1"));
}

Value QSGemineyePTZProfile::readFromForm(const FormHost &form) const
{
    Value params = newParameters();
    readSerialAdapter(form, params);
    copyRow(form, params, QStringLiteral("control.camera_number"), QStringLiteral("control.camera_number"));
    return params;
}
