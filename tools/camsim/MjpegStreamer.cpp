#include "camsim/MjpegStreamer.h"

#include "camsim/HttpConnection.h"
#include "camsim/Scene.h"
#include "camsim/SimCamera.h"

#include <QTcpSocket>

#include <algorithm>
#include <cmath>

MjpegStreamer::MjpegStreamer(HttpConnection *connection, SimCamera *camera, const Scene &scene, Format format)
    : QObject(connection)
    , m_connection(connection)
    , m_camera(camera)
    , m_scene(scene)
    , m_format(format)
{
    const CameraSetup &setup = camera->setup();
    m_camera->addVideoClient(1);
    QTcpSocket *socket = connection->socket();
    if (setup.singlePicture) {
        m_connection->respond(200, "image/jpeg", [this] {
            Head &head = m_camera->head();
            const Scene::Overlay overlay{ m_camera->setup().name, m_camera->nextFrameNumber(), head.pan(),
                                          head.tilt(), head.zoom() };
            return m_scene.renderJpeg(head.pan(), head.tilt(), head.fieldOfView(), m_format.size,
                                      m_format.quality, overlay);
        }());
        return;
    }
    // A boundary parameter that already starts with "--" is used verbatim on the lines.
    const QByteArray boundary = setup.dashedBoundary ? "--vyoboundary" : "vyoboundary";
    m_delimiter = setup.dashedBoundary ? boundary : "--" + boundary;
    socket->write("HTTP/1.0 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=" + boundary
                  + "\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n");
    connect(&m_timer, &QTimer::timeout, this, &MjpegStreamer::sendFrame);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.start(static_cast<int>(std::lround(1000.0 / std::clamp(m_format.fps, 0.1, 60.0))));
    sendFrame();
}

MjpegStreamer::~MjpegStreamer()
{
    m_camera->addVideoClient(-1);
}

QByteArray MjpegStreamer::line(const QByteArray &text) const
{
    return text + (m_camera->setup().lfOnly ? "\n" : "\r\n");
}

void MjpegStreamer::sendFrame()
{
    QTcpSocket *socket = m_connection->socket();
    if (socket->state() != QAbstractSocket::ConnectedState || socket->bytesToWrite() > MaxPending)
        return;
    Head &head = m_camera->head();
    const Scene::Overlay overlay{ m_camera->setup().name, m_camera->nextFrameNumber(), head.pan(), head.tilt(),
                                  head.zoom() };
    const QByteArray jpeg = m_scene.renderJpeg(head.pan(), head.tilt(), head.fieldOfView(), m_format.size,
                                               m_format.quality, overlay);
    const CameraSetup &setup = m_camera->setup();
    QByteArray part;
    if (m_parts > 0 || !setup.noLeadingBoundary)
        part += line(m_delimiter);
    part += line("Content-Type: image/jpeg");
    if (!setup.noContentLength)
        part += line("Content-Length: " + QByteArray::number(jpeg.size()));
    part += line(QByteArray());
    part += jpeg;
    part += line(QByteArray());
    socket->write(part);
    ++m_parts;
}
