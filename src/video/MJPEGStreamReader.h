#pragma once

#include "video/StreamReader.h"

#include "platform/Clock.h"

// The frame producer for Motion-JPEG over HTTP: one request to a ready-made URL,
// the response cut into pictures, reconnecting with the spacing of StreamReader.
class MJPEGStreamReader final : public StreamReader
{
    Q_OBJECT

public:
    explicit MJPEGStreamReader(QThread *thread, Clock &clock = Clock::system(), QObject *parent = nullptr);

    QUrl url() const { return videoURL(); }
    QString requestDescription() const override;

private:
    void connectNow() override;
};
