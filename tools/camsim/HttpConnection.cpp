#include "camsim/HttpConnection.h"

#include <QTcpSocket>
#include <QUrl>

HttpConnection::HttpConnection(QTcpSocket *socket, QObject *parent)
    : QObject(parent)
    , m_socket(socket)
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::readHead);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
}

QByteArray HttpConnection::reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Payload Too Large";
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Error";
    }
}

void HttpConnection::respond(int status, const QByteArray &contentType, const QByteArray &body,
                             const QList<QByteArray> &extraHeaders)
{
    QByteArray head = "HTTP/1.0 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    if (!contentType.isEmpty())
        head += "Content-Type: " + contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n";
    for (const QByteArray &h : extraHeaders)
        head += h + "\r\n";
    head += "\r\n";
    m_socket->write(head + body);
    m_socket->disconnectFromHost();
}

void HttpConnection::readHead()
{
    if (m_request) {
        readBody();
        return;
    }
    if (m_done) {
        // Nothing more is expected from the client; keep memory flat.
        m_socket->readAll();
        return;
    }
    m_buffer += m_socket->read(MaxHeadSize + 1 - m_buffer.size());
    qsizetype end = m_buffer.indexOf("\r\n\r\n");
    qsizetype skip = 4;
    if (end < 0) {
        end = m_buffer.indexOf("\n\n");
        skip = 2;
    }
    if (end < 0) {
        if (m_buffer.size() > MaxHeadSize) {
            m_done = true;
            emit malformed(QStringLiteral("request head larger than %1 bytes").arg(MaxHeadSize));
            respond(431, "text/plain", "request head too large\n");
        }
        return;
    }
    m_done = true;
    std::optional<HttpRequest> request = parseHead(m_buffer.left(end));
    if (!request) {
        emit malformed(QStringLiteral("bad request line"));
        respond(400, "text/plain", "bad request\n");
        return;
    }
    m_buffer.remove(0, end + skip);
    bool ok = true;
    const QByteArray length = request->headers.value("content-length");
    m_bodySize = length.isEmpty() ? 0 : length.toLongLong(&ok);
    if (!ok || m_bodySize < 0 || m_bodySize > MaxBodySize) {
        emit malformed(QStringLiteral("request body of %1 bytes").arg(QString::fromLatin1(length.left(20))));
        respond(413, "text/plain", "request body too large\n");
        return;
    }
    m_request = std::move(request);
    readBody();
}

void HttpConnection::readBody()
{
    if (m_buffer.size() < m_bodySize)
        m_buffer += m_socket->read(m_bodySize - m_buffer.size());
    if (m_buffer.size() < m_bodySize)
        return;
    HttpRequest request = std::move(*m_request);
    m_request.reset();
    request.body = m_buffer.left(m_bodySize);
    m_buffer.clear();
    emit requestReceived(request);
}

std::optional<HttpRequest> HttpConnection::parseHead(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine.at(2).startsWith("HTTP/"))
        return std::nullopt;
    HttpRequest request;
    request.method = requestLine.at(0);
    request.target = requestLine.at(1);
    const QUrl url(QString::fromLatin1(request.target));
    request.path = url.path();
    request.query = QUrlQuery(url.query(QUrl::FullyEncoded));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon > 0)
            request.headers.insert(lines.at(i).left(colon).trimmed().toLower(), lines.at(i).mid(colon + 1).trimmed());
    }
    return request;
}
