#include "app/LinkServer.h"

#include "util/QelLog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

namespace {

// The longest path a Unix socket address holds, with room for the terminator.
constexpr qsizetype MaxSocketPath = 100;

const QByteArray Accepted = QByteArrayLiteral("ok\n");
const QByteArray Refused = QByteArrayLiteral("refused\n");

} // namespace

LinkServer::LinkServer(QString profileDir, Handler handler, QObject *parent)
    : QObject(parent)
    , m_profileDir(std::move(profileDir))
    , m_handler(std::move(handler))
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &LinkServer::accept);
}

LinkServer::~LinkServer() = default;

QString LinkServer::socketPath(const QString &profileDir)
{
    const QString inProfile = QDir(profileDir).absoluteFilePath(QStringLiteral("vyo.socket"));
    if (inProfile.toLocal8Bit().size() <= MaxSocketPath)
        return inProfile;
    // A deep profile directory cannot hold a socket; one named after it in the
    // user's runtime directory stands in.
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    const QByteArray digest = QCryptographicHash::hash(QDir(profileDir).absolutePath().toUtf8(), QCryptographicHash::Sha1);
    return QDir(runtime).absoluteFilePath(QStringLiteral("vyo-%1.socket").arg(QString::fromLatin1(digest.toHex().left(16))));
}

bool LinkServer::listen(QString *error)
{
    const QString path = socketPath(m_profileDir);
    QLocalServer::removeServer(path);
    if (m_server->listen(path))
        return true;
    if (error)
        *error = m_server->errorString();
    return false;
}

void LinkServer::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        // A sender that never finishes its line is not kept waiting on.
        QTimer::singleShot(ClientTimeoutMs, socket, [socket] { socket->abort(); });
    }
}

void LinkServer::readFrom(QLocalSocket *socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > MaxLinkBytes) {
            QEL_LOG(LogLevel::Error, QStringLiteral("Dropped an over-long link from another viewer start"));
            socket->abort();
        }
        return;
    }
    const QByteArray line = socket->readLine(MaxLinkBytes + 2).trimmed();
    const QUrl url(QString::fromUtf8(line), QUrl::StrictMode);
    bool taken = false;
    if (line.isEmpty() || (url.isValid() && url.scheme() == QLatin1StringView("vyo")))
        taken = m_handler(url);
    else
        QEL_LOG(LogLevel::Error, QStringLiteral("Ignored a forwarded text that is not a vyo link"));
    socket->write(taken ? Accepted : Refused);
    socket->disconnectFromServer();
}

bool LinkServer::forward(const QString &profileDir, const QUrl &link, QString *error)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(profileDir));
    const auto failed = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!socket.waitForConnected(ClientTimeoutMs))
        return failed(QStringLiteral("no viewer answers on this profile (%1)").arg(socket.errorString()));
    socket.write(link.toEncoded() + '\n');
    if (!socket.waitForBytesWritten(ClientTimeoutMs))
        return failed(QStringLiteral("the viewer did not take the link (%1)").arg(socket.errorString()));
    QByteArray answer;
    while (!answer.contains('\n') && answer.size() < 64) {
        if (!socket.bytesAvailable() && !socket.waitForReadyRead(ClientTimeoutMs))
            return failed(QStringLiteral("the viewer did not answer"));
        answer += socket.read(64);
    }
    if (answer.startsWith(Accepted))
        return true;
    return failed(QStringLiteral("the viewer could not read the link"));
}
