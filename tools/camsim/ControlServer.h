#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>

class HttpConnection;
class SimCamera;
struct HttpRequest;

// The inspection port: GET /state reports every head and its counters as JSON,
// POST /reset homes the heads and clears the counters.
class ControlServer final : public QObject
{
    Q_OBJECT

public:
    explicit ControlServer(QList<SimCamera *> cameras, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return m_server.serverPort(); }

private:
    void handle(HttpConnection *connection, const HttpRequest &request);

    QList<SimCamera *> m_cameras;
    QTcpServer m_server;
};
