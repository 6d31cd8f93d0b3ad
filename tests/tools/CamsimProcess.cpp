#include "tools/CamsimProcess.h"

#include "config/PropertyList.h"
#include "platform/AtomicFile.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTcpSocket>

CamsimProcess::CamsimProcess() = default;

CamsimProcess::~CamsimProcess()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}

bool CamsimProcess::start(const QByteArray &config, const QStringList &options)
{
    QStringList args = options;
    args << QStringLiteral("--print-group");
    if (config.isEmpty()) {
        args << QStringLiteral("--demo");
    } else {
        const QString path = m_dir.filePath(QStringLiteral("cameras.json"));
        if (!AtomicFile::write(path, config))
            return false;
        args << QStringLiteral("--config") << path;
    }
    m_process.start(QStringLiteral(CAMSIM_PATH), args);
    if (!m_process.waitForStarted(10000))
        return false;
    // The control line comes last on stderr, once every server listens.
    static const QRegularExpression controlLine(QStringLiteral("control http://127\\.0\\.0\\.1:(\\d+)/state"));
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        if (!m_process.waitForReadyRead(500) && m_process.state() != QProcess::Running)
            return false;
        m_stderr += QString::fromUtf8(m_process.readAllStandardError());
        const QRegularExpressionMatch m = controlLine.match(m_stderr);
        if (m.hasMatch()) {
            m_controlPort = static_cast<quint16>(m.captured(1).toUInt());
            break;
        }
    }
    if (!m_controlPort)
        return false;
    // The group follows on stdout; it is complete when the plist closes.
    QByteArray out;
    while (!deadline.hasExpired() && !out.contains("</plist>")) {
        m_process.waitForReadyRead(200);
        out += m_process.readAllStandardOutput();
    }
    QString error;
    m_group = PropertyList::fromData(out, &error).at(0);
    return m_group.isDictionary();
}

Value CamsimProcess::camera(const QString &title) const
{
    for (const Value &cam : cameras().items()) {
        if (cam.value(QStringLiteral("title")).toString() == title)
            return cam;
    }
    return {};
}

QByteArray CamsimProcess::control(const QByteArray &method, const QByteArray &path) const
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), m_controlPort);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(method + ' ' + path + " HTTP/1.0\r\n\r\n");
    QByteArray reply;
    while (socket.waitForReadyRead(5000))
        reply += socket.readAll();
    reply += socket.readAll();
    return reply.mid(reply.indexOf("\r\n\r\n") + 4);
}

QJsonObject CamsimProcess::state(const QString &title) const
{
    const QJsonArray cameras = QJsonDocument::fromJson(control("GET", "/state")).object().value(QStringLiteral("cameras")).toArray();
    for (const QJsonValue &cam : cameras) {
        if (cam.toObject().value(QStringLiteral("name")).toString() == title)
            return cam.toObject();
    }
    return {};
}

void CamsimProcess::terminate()
{
    m_process.terminate();
    m_process.waitForFinished(10000);
}

void CamsimProcess::reset() const
{
    control("POST", "/reset");
}
