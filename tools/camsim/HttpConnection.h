#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QUrlQuery>

#include <optional>

class QTcpSocket;

struct HttpRequest
{
    QByteArray method;
    QByteArray target;
    QString path;
    QUrlQuery query;
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;                      // as long as Content-Length says, capped
};

// One client connection of the simulator's HTTP servers: reads one bounded
// request head and its bounded body, then the owner answers it. Every connection closes after its
// response (or its stream) ends.
class HttpConnection final : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxHeadSize = 16 * 1024;
    static constexpr int MaxBodySize = 64 * 1024;

    explicit HttpConnection(QTcpSocket *socket, QObject *parent = nullptr);

    QTcpSocket *socket() const { return m_socket; }

    // Writes a whole response and closes the connection once it is sent.
    void respond(int status, const QByteArray &contentType, const QByteArray &body,
                 const QList<QByteArray> &extraHeaders = {});

    static QByteArray reasonPhrase(int status);

    // The request of a head without its blank line; none when the request line is bad.
    static std::optional<HttpRequest> parseHead(const QByteArray &head);

signals:
    void requestReceived(const HttpRequest &request);
    void malformed(const QString &why);

private:
    void readHead();
    void readBody();

    QTcpSocket *m_socket;
    QByteArray m_buffer;
    std::optional<HttpRequest> m_request; // head read, body still coming
    qsizetype m_bodySize = 0;
    bool m_done = false;
};
