#pragma once

#include "camsim/HttpAuth.h"
#include "camsim/MjpegStreamer.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>

#include <memory>

class HttpConnection;
class Scene;
class SimCamera;
struct HttpRequest;

// One HTTP camera (or video server with several inputs): its video on the paths
// of its family, and its HTTP pan/tilt/zoom interface when it has one.
class HttpCameraServer final : public QObject
{
    Q_OBJECT

public:
    HttpCameraServer(QList<SimCamera *> cameras, const Scene &scene, QObject *parent = nullptr);
    ~HttpCameraServer() override;

    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return m_server->serverPort(); }

    static QSize parseResolution(const QString &text, QSize fallback);

private:
    void handle(HttpConnection *connection, const HttpRequest &request);
    SimCamera *input(int number) const;
    void stream(HttpConnection *connection, SimCamera *camera, MjpegStreamer::Format format);

    bool serveVideo(HttpConnection *connection, const HttpRequest &request);
    bool serveAxisPtz(HttpConnection *connection, const HttpRequest &request);
    bool serveSonyPtz(HttpConnection *connection, const HttpRequest &request);
    bool serveCanonPtz(HttpConnection *connection, const HttpRequest &request);

    QList<SimCamera *> m_cameras;
    const Scene &m_scene;
    HttpAuth m_auth;
    // A QSslServer with a fresh self-signed certificate for https cameras.
    std::unique_ptr<QTcpServer> m_server;
};
