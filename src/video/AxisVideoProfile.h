#pragma once

#include "video/VideoProfile.h"

// Axis cameras: "/axis-cgi/mjpg/video.cgi" with camera, resolution, frame rate and
// compression, every parameter always present.
class AxisVideoProfile : public VideoProfile
{
public:
    QString description() const override;
    QString canHandleType() const override;
    std::unique_ptr<FrameProducer> streamFromParms(const Value &params, bool thumbnail,
                                                   QThread *thread) const override;
    void populateForm(FormHost &form, const Value &params) const override;
    Value readFromForm(const FormHost &form) const override;
    QList<const PTZProfile *> compatiblePTZList() const override;

    // Half of each side of "WxH" (rounded down); any other text unchanged.
    static QString getThumbSizeFromFull(const QString &resolution);
    // The "resolution=...&fps=...&compression=...&" pieces shared with VAPIX cameras.
    static QString imageQuery(const Value &params, bool thumbnail);

protected:
    // The server form is the camera form with a camera number after the port.
    enum class CameraNumber { Without, With };
    void populateAxisForm(FormHost &form, const Value &params, CameraNumber cameraNumber) const;
    Value readAxisForm(const FormHost &form, CameraNumber cameraNumber) const;
};
