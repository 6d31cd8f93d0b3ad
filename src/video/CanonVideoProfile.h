#pragma once

#include "video/VideoProfile.h"

// Canon cameras: "/-wvhttp-01-/video.cgi", always over plain HTTP, the resolution
// never halved.
class CanonVideoProfile final : public VideoProfile
{
public:
    QString description() const override;
    QString canHandleType() const override;
    std::unique_ptr<FrameProducer> streamFromParms(const Value &params, bool thumbnail,
                                                   QThread *thread) const override;
    void populateForm(FormHost &form, const Value &params) const override;
    Value readFromForm(const FormHost &form) const override;
    QList<const PTZProfile *> compatiblePTZList() const override;
};
