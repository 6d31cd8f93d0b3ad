#include "camsim/ControlServer.h"

#include "camsim/HttpConnection.h"
#include "camsim/SimCamera.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>

ControlServer::ControlServer(QList<SimCamera *> cameras, QObject *parent)
    : QObject(parent)
    , m_cameras(std::move(cameras))
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto *connection = new HttpConnection(socket, this);
            connect(connection, &HttpConnection::requestReceived, this,
                    [this, connection](const HttpRequest &request) { handle(connection, request); });
        }
    });
}

bool ControlServer::listen(const QHostAddress &address, quint16 port)
{
    return m_server.listen(address, port);
}

void ControlServer::handle(HttpConnection *connection, const HttpRequest &request)
{
    if (request.path == QLatin1StringView("/state") && request.method == "GET") {
        QJsonArray cameras;
        for (SimCamera *camera : std::as_const(m_cameras))
            cameras.append(camera->state());
        const QJsonObject state{ { QStringLiteral("cameras"), cameras } };
        connection->respond(200, "application/json", QJsonDocument(state).toJson(QJsonDocument::Indented));
        return;
    }
    if (request.path == QLatin1StringView("/reset") && request.method == "POST") {
        for (SimCamera *camera : std::as_const(m_cameras))
            camera->reset();
        connection->respond(200, "application/json", "{\"reset\": true}\n");
        return;
    }
    connection->respond(404, "text/plain", "GET /state or POST /reset\n");
}
