#pragma once

#include "video/VideoProfile.h"

// Cameras behind a Milestone server: no URL; the reader talks to the server itself.
class MilestoneVideoProfile final : public VideoProfile
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
