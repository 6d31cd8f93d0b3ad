#include "ptz/PTZProfile.h"

#include "config/FormHost.h"

#include <QCoreApplication>

Value PTZProfile::newParameters() const
{
    Value params = Value::dictionary();
    params.insert(QStringLiteral("control.protocol"), canHandleType());
    return params;
}

void PTZProfile::copyRow(const FormHost &form, Value &params, const QString &key, const QString &rowKey)
{
    const QString value = form.viewValueOfRow(form.rowForKey(rowKey));
    if (!value.isNull())
        params.insert(key, value);
}

void PTZProfile::copyVideoConnection(const FormHost &form, Value &params)
{
    for (const QString &suffix : { QStringLiteral("host"), QStringLiteral("port"), QStringLiteral("username"),
                                   QStringLiteral("password") })
        copyRow(form, params, QStringLiteral("control.") + suffix, QStringLiteral("video.") + suffix);
}

void PTZProfile::copyNonZeroPort(const FormHost &form, Value &params)
{
    const QString port = form.viewValueOfRow(form.rowForKey(QStringLiteral("video.port")));
    if (Value::integerOf(port) != 0)
        params.insert(QStringLiteral("control.port"), port);
}

FormSectionRef PTZProfile::addControlSection(FormHost &form)
{
    FormSectionRef section = form.addSection(QStringLiteral("ptz"));
    section->title = QCoreApplication::translate("PTZProfile", "PTZ Control Options");
    return section;
}

void PTZProfile::addControlRow(FormHost &form, const FormSectionRef &section, const Value &params, const QString &key,
                               const QString &label, bool large, const QString &hint)
{
    auto field = form.createDefaultTextfield(large);
    field->setPlaceholder(hint);
    field->setValue(params.value(key).toString());
    form.addRow(key, label, field, QString(), section);
}

FormSectionRef PTZProfile::populateSerialAdapter(FormHost &form, const Value &params)
{
    const FormSectionRef section = addControlSection(form);
    addControlRow(form, section, params, QStringLiteral("control.host"),
                  QCoreApplication::translate("PTZProfile", "Host"), true,
                  QStringLiteral("0.0.0.0"));
    addControlRow(form, section, params, QStringLiteral("control.port"),
                  QCoreApplication::translate("PTZProfile", "Port"), false,
                  QStringLiteral("10001"));
    addControlRow(form, section, params, QStringLiteral("control.serial_id"),
                  QCoreApplication::translate("PTZProfile", "Serial ID"), false,
                  QStringLiteral("1"));
    return section;
}

void PTZProfile::readSerialAdapter(const FormHost &form, Value &params)
{
    copyRow(form, params, QStringLiteral("control.host"), QStringLiteral("control.host"));
    copyRow(form, params, QStringLiteral("control.port"), QStringLiteral("control.port"));
    copyRow(form, params, QStringLiteral("control.serial_id"), QStringLiteral("control.serial_id"));
}
