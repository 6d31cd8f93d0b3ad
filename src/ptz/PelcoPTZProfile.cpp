#include "PelcoPTZProfile.h"

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
    const FormSectionRef section = addControlSection(form);
    addControlRow(form, section, params, QStringLiteral("control.host"), QStringLiteral("Host"), true,
                  QStringLiteral("0.0.0.0"));
    addControlRow(form, section, params, QStringLiteral("control.port"), QStringLiteral("Port"), false,
                  QStringLiteral("10001"));
    addControlRow(form, section, params, QStringLiteral("control.serial_id"), QStringLiteral("Serial ID"), false,
                  QStringLiteral("1"));
}

Value PelcoPTZProfile::readFromForm(const FormHost &form) const
{
    Value params = newParameters();
    copyRow(form, params, QStringLiteral("control.host"), QStringLiteral("control.host"));
    copyRow(form, params, QStringLiteral("control.port"), QStringLiteral("control.port"));
    copyRow(form, params, QStringLiteral("control.serial_id"), QStringLiteral("control.serial_id"));
    return params;
}
