#pragma once

#include <QAbstractSocket>
#include <QHostAddress>
#include <QObject>

class QTcpSocket;

// A byte stream pair to a numeric host and port over one QTcpSocket, reporting the
// five stream events: open completed, bytes available, space available, error, end.
// Writes accept only what fits under a fixed send limit, so a stalled peer cannot
// make the send buffer grow without bound. Lives on the thread that uses it.
class SocketStream final : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 SendLimit = 64 * 1024;

    explicit SocketStream(QObject *parent = nullptr);
    ~SocketStream() override;

    void open(const QHostAddress &host, quint16 port);
    // Closes at once; no event follows.
    void close();
    bool isOpen() const;

    qint64 bytesAvailable() const;
    // At most maxSize bytes; 0 when none are buffered, -1 when closed.
    qint64 read(char *data, qint64 maxSize);
    // As many bytes as fit under the send limit; -1 when not open.
    qint64 write(const char *data, qint64 size);

signals:
    void openCompleted();
    void hasBytesAvailable();
    void hasSpaceAvailable();
    void errorOccurred(const QString &message);
    void endEncountered();

private:
    void handleError(QAbstractSocket::SocketError error);

    QTcpSocket *m_socket = nullptr;
    bool m_ended = false;
};
