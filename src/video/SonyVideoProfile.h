#pragma once

#include "VideoProfile.h"

// Sony cameras: "/image" at the stored frame rate; no thumbnail variant.
class SonyVideoProfile final : public VideoProfile
{
public:
    QString description() const override;
    QString canHandleType() const override;
    std::unique_ptr<FrameProducer> streamFromParms(const Value &params, bool thumbnail,
                                                   QThread *thread) const override;
};
