#include "ptz/AxisPTZProfile.h"

#include "config/FormHost.h"

const AxisPTZProfile &AxisPTZProfile::instance()
{
    static const AxisPTZProfile profile;
    return profile;
}

QString AxisPTZProfile::description() const
{
    return QStringLiteral("Axis");
}

QString AxisPTZProfile::canHandleType() const
{
    return QStringLiteral("Axis PTZ");
}

void AxisPTZProfile::populateForm(FormHost &form, const Value &params) const
{
    // The controller logs in with the video credentials; stored control ones win.
    for (const QString &suffix : {QStringLiteral("username"), QStringLiteral("password")}) {
        const QString key = QStringLiteral("control.") + suffix;
        const FormRowRef row = form.rowForKey(QStringLiteral("video.") + suffix);
        if (params.hasText(key) && row && row->view)
            row->view->setValue(params.value(key).toString());
    }
}

Value AxisPTZProfile::readFromForm(const FormHost &form) const
{
    Value params = newParameters();
    copyNonZeroPort(form, params);
    copyRow(form, params, QStringLiteral("control.ssl"), QStringLiteral("video.ssl"));
    copyRow(form, params, QStringLiteral("control.host"), QStringLiteral("video.host"));
    copyRow(form, params, QStringLiteral("control.camera_number"), QStringLiteral("video.camera_number"));
    copyRow(form, params, QStringLiteral("control.username"), QStringLiteral("video.username"));
    copyRow(form, params, QStringLiteral("control.password"), QStringLiteral("video.password"));
    return params;
}
