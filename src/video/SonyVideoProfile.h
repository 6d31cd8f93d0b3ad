#pragma once

#include "video/VideoProfile.h"

// Sony cameras: "/image" at the stored frame rate; no thumbnail variant.
class SonyVideoProfile final : public VideoProfile
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
