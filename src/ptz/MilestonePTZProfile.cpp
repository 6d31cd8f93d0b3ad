#include "ptz/MilestonePTZProfile.h"

#include "config/FormHost.h"

const MilestonePTZProfile &MilestonePTZProfile::instance()
{
    static const MilestonePTZProfile profile;
    return profile;
}

QString MilestonePTZProfile::description() const
{
    return QStringLiteral("Milestone");
}

QString MilestonePTZProfile::canHandleType() const
{
    return QStringLiteral("Milestone PTZ");
}

// The controller talks to the video host and reads the video rows; no rows of its own.
void MilestonePTZProfile::populateForm(FormHost &, const Value &) const
{
}

Value MilestonePTZProfile::readFromForm(const FormHost &form) const
{
    Value params = newParameters();
    copyRow(form, params, QStringLiteral("control.host"), QStringLiteral("video.host"));
    copyRow(form, params, QStringLiteral("control.port"), QStringLiteral("video.port"));
    copyRow(form, params, QStringLiteral("control.camera_name"), QStringLiteral("video.camera_name"));
    copyRow(form, params, QStringLiteral("control.username"), QStringLiteral("video.username"));
    copyRow(form, params, QStringLiteral("control.password"), QStringLiteral("video.password"));
    return params;
}
