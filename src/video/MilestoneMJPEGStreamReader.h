#pragma once

#include "video/StreamReader.h"

#include "platform/Clock.h"

// The frame producer for cameras behind a Milestone server: a TCP connection to the
// server's image service instead of an HTTP stream.
class MilestoneMJPEGStreamReader final : public StreamReader
{
    Q_OBJECT

public:
    explicit MilestoneMJPEGStreamReader(QThread *thread, Clock &clock = Clock::system(), QObject *parent = nullptr);

    // Chooses the live request's compression rate for the next connection.
    void setThumbnailMode(bool thumbnail) { m_thumbnailMode = thumbnail; }
    bool thumbnailMode() const { return m_thumbnailMode; }

    QString requestDescription() const override;

private:
    void connectNow() override;

    bool m_thumbnailMode = false;
};
