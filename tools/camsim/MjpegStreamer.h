#pragma once

#include <QObject>
#include <QSize>
#include <QTimer>

class HttpConnection;
class Scene;
class SimCamera;

// Feeds one HTTP client a multipart/x-mixed-replace stream (or one picture) of a
// camera's view, with the camera's framing quirks.
class MjpegStreamer final : public QObject
{
    Q_OBJECT

public:
    struct Format
    {
        QSize size;
        double fps = 1;
        int quality = 70;
    };

    // Frames are skipped while this much is still unsent: a slow client costs
    // frames, never memory.
    static constexpr qint64 MaxPending = 512 * 1024;

    MjpegStreamer(HttpConnection *connection, SimCamera *camera, const Scene &scene, Format format);
    ~MjpegStreamer() override;

private:
    void sendFrame();
    QByteArray line(const QByteArray &text) const;

    HttpConnection *m_connection;
    SimCamera *m_camera;
    const Scene &m_scene;
    Format m_format;
    QTimer m_timer;
    QByteArray m_delimiter;
    quint64 m_parts = 0;
};
