#pragma once

#include "video/FrameWaker.h"

#include "config/Value.h"

#include <QImage>
#include <QSize>

#include <memory>

// A receiver of decoded frames. Readers call it on the video worker thread.
class FrameConsumer
{
public:
    virtual ~FrameConsumer() = default;

    // picture is null when the frame's bytes did not decode; source is the reader's
    // kept parameters (getConnectionParameters); bytes is what the reader received
    // for this frame and for the frames skipped before it.
    virtual void consumeFrame(const QImage &picture, const Value &source, int bytes) = 0;

    // Frames that arrived and were dropped undecoded for newer ones.
    virtual void framesSkipped(int) {}

    // The size in device pixels this consumer paints; empty when any size will do.
    // The reader decodes for the largest size its consumers state. Any thread.
    virtual QSize targetSize() const { return {}; }

    // False while the last picture handed over has yet to be shown: the reader then
    // decodes nothing and keeps only the newest part until waker is woken.
    virtual bool readyForFrame(const std::shared_ptr<FrameWaker> &) { return true; }
};
