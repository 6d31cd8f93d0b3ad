#pragma once

#include "video/VideoProfile.h"

// Any RTSP camera streaming H.264, H.265 or Motion JPEG: a main stream for the single
// view and snapshots, and an optional smaller one for the grid.
class RTSPVideoProfile final : public VideoProfile
{
public:
    QString description() const override;
    QString canHandleType() const override;
    // One thread of its own per reader: thread is not used.
    std::unique_ptr<FrameProducer> streamFromParms(const Value &params, bool thumbnail,
                                                   QThread *thread) const override;
    void populateForm(FormHost &form, const Value &params) const override;
    Value readFromForm(const FormHost &form) const override;
    QList<const PTZProfile *> compatiblePTZList() const override;

    // The rtsp:// URL of the main stream, or of the grid stream when thumbnail is set
    // and the camera has one; credentials percent-encoded. Empty without a host.
    static QUrl streamURL(const Value &params, bool thumbnail);
};
