#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;
class Scene;
class SimCamera;

// A video-management server's image service: XML method calls ending in
// CR LF CR LF (connect, live, ptzcommand), answered with method responses; after
// a live request with a compression rate, pictures framed by "Content-length: ".
class MilestoneServer final : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype MaxRequestSize = 64 * 1024;

    MilestoneServer(QList<SimCamera *> cameras, const Scene &scene, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return m_server.serverPort(); }

private:
    struct Session;

    void handle(Session *session, const QByteArray &message);
    void sendPicture(Session *session);
    SimCamera *cameraNamed(const QString &name) const;

    QList<SimCamera *> m_cameras;
    const Scene &m_scene;
    QTcpServer m_server;
};
