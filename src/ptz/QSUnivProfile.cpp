#include "ptz/QSUnivProfile.h"

#include "config/FormHost.h"

#include <QCoreApplication>

const QSUnivProfile &QSUnivProfile::instance()
{
    static const QSUnivProfile profile;
    return profile;
}

QString QSUnivProfile::description() const
{
    return QStringLiteral("Quickset Universal");
}

QString QSUnivProfile::canHandleType() const
{
    return QStringLiteral("QuickSet Universal PTZ");
}

void QSUnivProfile::populateForm(FormHost &form, const Value &params) const
{
    const FormSectionRef section = addControlSection(form);
    addControlRow(form, section, params, QStringLiteral("control.host"),
                  QCoreApplication::translate("PTZProfile", "Host"), true,
                  QStringLiteral("0.0.0.0"));
    addControlRow(form, section, params, QStringLiteral("control.port"),
                  QCoreApplication::translate("PTZProfile", "Port"), false,
                  QStringLiteral("80"));
}

Value QSUnivProfile::readFromForm(const FormHost &form) const
{
    Value params = newParameters();
    copyRow(form, params, QStringLiteral("control.host"), QStringLiteral("control.host"));
    copyRow(form, params, QStringLiteral("control.port"), QStringLiteral("control.port"));
    return params;
}
