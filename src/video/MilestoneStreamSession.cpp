#include "video/MilestoneStreamSession.h"

#include "config/LogMask.h"
#include "platform/Clock.h"
#include "platform/SocketStream.h"
#include "util/QelLog.h"

#include <QHostAddress>

namespace {

constexpr char Terminator[] = "\r\n\r\n";

QString xmlEscaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1StringView("&amp;");
            break;
        case '<':
            out += QLatin1StringView("&lt;");
            break;
        case '>':
            out += QLatin1StringView("&gt;");
            break;
        case '"':
            out += QLatin1StringView("&quot;");
            break;
        case '\'':
            out += QLatin1StringView("&apos;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

MilestoneStreamSession::MilestoneStreamSession(Clock &clock, QObject *parent)
    : StreamSession(clock, parent)
{
    m_inputBuffer.reserve(InputCapacity);
    m_outputBuffer.reserve(OutputCapacity);
}

MilestoneStreamSession::~MilestoneStreamSession()
{
    closeStream();
}

QByteArray MilestoneStreamSession::loginRequest(const Value &params)
{
    // Absent values give empty elements; every value is escaped so that no password
    // can break the request.
    const QString text = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><methodcall><requestid>10</requestid>"
        "<methodname>connect</methodname><username>%1</username><password>%2</password>"
        "<cameraid>%3</cameraid><connectparam></connectparam></methodcall>")
        .arg(xmlEscaped(params.value(QStringLiteral("video.username")).toString()),
             xmlEscaped(params.value(QStringLiteral("video.password")).toString()),
             xmlEscaped(params.value(QStringLiteral("video.camera_name")).toString()));
    return text.toUtf8() + Terminator;
}

QByteArray MilestoneStreamSession::liveRequest(bool thumbnail)
{
    QByteArray request = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><methodcall><requestid>11</requestid>"
                         "<methodname>live</methodname><compressionrate>101</compressionrate>"
                         "<sendinitialimage>no</sendinitialimage></methodcall>";
    if (thumbnail)
        request.replace("<compressionrate>101</compressionrate>", "<compressionrate>103</compressionrate>");
    return request + Terminator;
}

void MilestoneStreamSession::startInternal(quint64 generation, const Value &params, bool thumbnail)
{
    closeStream();
    m_generation = generation;
    m_params = params;
    m_thumbnail = thumbnail;
    resetBuffers();
    m_sentConnect = false;
    m_sentLive = false;
    m_gotData = false;
    m_answered = false;
    m_byteCount = 0;

    const QString host = params.value(QStringLiteral("video.host")).toString();
    logLimited(LogLevel::Trace, QStringLiteral("Connecting with video parameters: %1").arg(LogMask::definition(params)));
    const qint64 port = params.hasText(QStringLiteral("video.port"))
        ? params.value(QStringLiteral("video.port")).toInteger()
        : DefaultPort;
    logLimited(LogLevel::Debug, QStringLiteral("Connecting to Milestone MJPG stream: %1:%2").arg(host).arg(port));

    // The server is named by its numeric address; there is no name lookup.
    const QHostAddress address(host);
    if (address.isNull() || port < 1 || port > 65535)
        return failure(CameraState::Unreachable,
                       QStringLiteral("Error in Milestone MJPG stream, bad address %1:%2.").arg(host).arg(port));

    m_stream = new SocketStream(this);
    connect(m_stream, &SocketStream::hasSpaceAvailable, this, &MilestoneStreamSession::handleSpace);
    connect(m_stream, &SocketStream::hasBytesAvailable, this, &MilestoneStreamSession::handleBytes);
    connect(m_stream, &SocketStream::errorOccurred, this, &MilestoneStreamSession::handleStreamError);
    connect(m_stream, &SocketStream::endEncountered, this, &MilestoneStreamSession::handleStreamError);
    m_stream->open(address, static_cast<quint16>(port));

    if (!m_pulseCheck) {
        m_pulseCheck = m_clock.createTimer(this);
        connect(m_pulseCheck, &ClockTimer::timeout, this, &MilestoneStreamSession::checkPulse);
    }
    m_pulseCheck->start(HeartbeatMs, true);
}

void MilestoneStreamSession::stopInternal()
{
    closeStream();
}

void MilestoneStreamSession::closeStream()
{
    if (m_pulseCheck)
        m_pulseCheck->stop();
    if (!m_stream)
        return;
    m_stream->disconnect(this);
    m_stream->close();
    m_stream->deleteLater();
    m_stream = nullptr;
}

void MilestoneStreamSession::resetBuffers()
{
    m_inputBuffer.clear();
    m_parser.reset();
    m_outputBuffer.clear();
}

void MilestoneStreamSession::handleSpace()
{
    if (!connected)
        return;
    if (!m_sentConnect) {
        m_outputBuffer.append(loginRequest(m_params));
        m_sentConnect = true;
    }
    doSend();
}

void MilestoneStreamSession::handleBytes()
{
    if (!connected || !m_stream)
        return;
    // The socket reports new bytes once, so take all it holds, one bounded read at a time.
    for (qint64 reads = m_stream->bytesAvailable() / ReadSize + 1; reads > 0 && m_stream; --reads) {
        const qsizetype old = m_inputBuffer.size();
        if (old + ReadSize > MaxInput)
            return failure(CameraState::NotVideo,
                           QStringLiteral("Error in Milestone MJPG stream, more than %1 bytes without a picture.")
                               .arg(MaxInput));
        m_inputBuffer.resize(old + ReadSize);
        const qint64 n = m_stream->read(m_inputBuffer.data() + old, ReadSize);
        m_inputBuffer.resize(old + std::max<qint64>(n, 0));
        if (n <= 0)
            return;
        m_gotData = true;
        m_answered = true;
        m_byteCount += n;
        if (!parseInput())
            return;
    }
}

bool MilestoneStreamSession::parseInput()
{
    const MilestoneParser::Pass pass = m_parser.parse(m_inputBuffer);
    if (pass.sawBlock && !m_sentLive) {
        // The first block answers the login; only a plain refusal stops here, any
        // other answer is taken as consent, as servers word it differently.
        if (refusesLogin(QByteArrayView(m_inputBuffer).first(pass.firstBlockEnd))) {
            failure(CameraState::Unauthorized,
                    QStringLiteral("Error in Milestone MJPG stream, login refused for camera \"%1\".")
                        .arg(m_params.value(QStringLiteral("video.camera_name")).toString()));
            return false;
        }
        m_outputBuffer.append(liveRequest(m_thumbnail));
        doSend();
        m_sentLive = true;
    }
    if (pass.badLength) {
        failure(CameraState::NotVideo,
                QStringLiteral("Error in Milestone MJPG stream, bad Content-length %1.").arg(pass.length));
        return false;
    }
    if (pass.frameStart >= 0) {
        countSkipped(pass.superseded);
        offerPart(m_inputBuffer.sliced(pass.frameStart, pass.frameLength), m_byteCount);
        m_byteCount = 0;
        if (singleFrame) {
            singleFrame = false;
            closeStream();
            emit stopRequested(m_generation);
            return false;
        }
    }
    m_inputBuffer.remove(0, pass.consumed);
    return true;
}

void MilestoneStreamSession::doSend()
{
    if (m_outputBuffer.isEmpty() || !m_stream)
        return;
    const qint64 written = m_stream->write(m_outputBuffer.constData(), m_outputBuffer.size());
    // A failed write removes nothing; the stream's error event restarts the connection.
    if (written > 0)
        m_outputBuffer.remove(0, written);
}

void MilestoneStreamSession::handleStreamError()
{
    if (!connected)
        return;
    // Before any answer the server was not reached; afterwards the reconnect will tell.
    failure(m_answered ? CameraState::Connecting : CameraState::Unreachable,
            QStringLiteral("Error in Milestone MJPG stream."));
}

void MilestoneStreamSession::checkPulse()
{
    if (!connected)
        return;
    if (!m_gotData) {
        const QString line = QStringLiteral("Error in Milestone MJPG stream, ho heartbeat.");
        logLimited(LogLevel::Error, line);
        emit failed(m_generation, CameraState::Silent, line);
        connected = false;
        m_byteCount = 0;
        resetBuffers();
        emit restartRequested(m_generation);
    }
    m_gotData = false;
}

bool MilestoneStreamSession::refusesLogin(QByteArrayView answer)
{
    return answer.contains("<connected>no</connected>");
}

void MilestoneStreamSession::failure(CameraState state, const QString &logLine)
{
    logLimited(LogLevel::Error, logLine);
    emit failed(m_generation, state, logLine);
    connected = false;
    closeStream();
    m_byteCount = 0;
    resetBuffers();
    emit reconnectRequested(m_generation);
}
