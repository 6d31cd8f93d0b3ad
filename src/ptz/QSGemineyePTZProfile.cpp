#include "QSGemineyePTZProfile.h"

#include "config/FormHost.h"

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
    const FormSectionRef section = addControlSection(form);
    addControlRow(form, section, params, QStringLiteral("control.host"), QStringLiteral("Host"), true,
                  QStringLiteral("0.0.0.0"));
    addControlRow(form, section, params, QStringLiteral("control.port"), QStringLiteral("Port"), false,
                  QStringLiteral("10001"));
    addControlRow(form, section, params, QStringLiteral("control.serial_id"), QStringLiteral("Serial ID"), false,
                  QStringLiteral("1"));
    addControlRow(form, section, params, QStringLiteral("control.camera_number"), QStringLiteral("Camera Number"),
                  false, QStringLiteral("1"));
}

Value QSGemineyePTZProfile::readFromForm(const FormHost &form) const
{
    Value params = newParameters();
    copyRow(form, params, QStringLiteral("control.host"), QStringLiteral("control.host"));
    copyRow(form, params, QStringLiteral("control.port"), QStringLiteral("control.port"));
    copyRow(form, params, QStringLiteral("control.serial_id"), QStringLiteral("control.serial_id"));
    copyRow(form, params, QStringLiteral("control.camera_number"), QStringLiteral("control.camera_number"));
    return params;
}
