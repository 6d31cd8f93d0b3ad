#pragma once

#include "config/Value.h"

#include <QImage>

// A receiver of decoded frames. Readers call it on the video worker thread.
class FrameConsumer
{
public:
    virtual ~FrameConsumer() = default;

    // picture is null when the frame's bytes did not decode; source is the reader's
    // kept parameters (getConnectionParameters); bytes is what the reader received
    // for this frame.
    virtual void consumeFrame(const QImage &picture, const Value &source, int bytes) = 0;
};
