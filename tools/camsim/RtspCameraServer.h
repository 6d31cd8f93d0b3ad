#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class Scene;
class SimCamera;
typedef struct _GstRTSPServer GstRTSPServer;

// One simulated RTSP camera on GStreamer's RTSP server: the scene encoded as H.264 or
// H.265 on the main path and, when the camera has one, on a smaller sub path; Basic
// or Digest authentication; and the faults its setup asks for (a stream that stalls,
// RTP packets lost). GStreamer runs on the
// GLib main context, which Qt's event loop turns on Linux.
class RtspCameraServer final : public QObject
{
    Q_OBJECT

public:
    RtspCameraServer(SimCamera *camera, const Scene &scene, QObject *parent = nullptr);
    ~RtspCameraServer() override;

    // Port 0 picks a free one; the camera's setup learns the port (rtspPort for an
    // ONVIF camera).
    bool listen(const QHostAddress &address, quint16 port);

    struct Stream;

private:
    void addStream(const QString &path, QSize size);
    void pushFrames();

    SimCamera *m_camera;
    const Scene &m_scene;
    GstRTSPServer *m_server;
    unsigned m_source = 0;
    std::vector<std::unique_ptr<Stream>> m_streams;
    QTimer m_frameTimer;
};
