#include "ptz/QSUniversal.h"

#include "config/Value.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

QByteArray formatRate(float value)
{
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return QByteArray(text, std::clamp(n, 0, static_cast<int>(sizeof text) - 1));
}

} // namespace

QSUniversal::QSUniversal(Clock &clock, QObject *parent)
    : AbstractByteProtocolController(clock, parent)
{
}

bool QSUniversal::initWithParameters(const Value &definition)
{
    if (!AbstractByteProtocolController::initWithParameters(definition))
        return false;
    m_topic = topicForTitle(definition.value(QStringLiteral("title")).toString());
    m_systemCalled = false;
    return true;
}

QByteArray QSUniversal::topicForTitle(const QString &title)
{
    const QString source = title.isEmpty() ? QStringLiteral("unnamed") : title;
    QByteArray topic;
    for (const char32_t c : source.toUcs4()) {
        QByteArray piece;
        switch (c) {
        case '&': piece = "&amp;"; break;
        case '<': piece = "&lt;"; break;
        case '>': piece = "&gt;"; break;
        case '"': piece = "&quot;"; break;
        default:
            piece = QByteArray(1, c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?');
        }
        if (topic.size() + piece.size() > MaxTopicLength)
            break;
        topic += piece;
    }
    return topic;
}

void QSUniversal::beginMessage()
{
    m_command = "<ENV><HDR><TO>" + m_topic + "</TO><FROM>3.3.3.3</FROM></HDR>";
}

void QSUniversal::setCommandName(const char *name)
{
    m_command += QByteArray("<CMD NAME=\"") + name + "\" VALUE=\"\">";
}

void QSUniversal::beginParam()
{
    m_command += "<PARAM ";
}

void QSUniversal::setAttributeWithName(const char *name, const QByteArray &value)
{
    m_command += QByteArray(" ") + name + "=\"" + value + '"';
}

void QSUniversal::endParam()
{
    m_command += "></PARAM>";
}

void QSUniversal::endMessage()
{
    m_command += "</CMD></ENV>\r";
}

void QSUniversal::sendCommandWithPacket(quint8 *buffer)
{
    // Every message is at most 256 bytes by construction (see MaxTopicLength).
    m_packetSize = static_cast<int>(std::min<qsizetype>(m_command.size(), CommandSize));
    std::memcpy(buffer, m_command.constData(), static_cast<size_t>(m_packetSize));
}

void QSUniversal::fillInPacket(quint8 *buffer, float pan, float tilt, float zoom)
{
    if (!m_systemCalled) {
        // The head wants to hear from the system before it takes commands; the
        // motion of this tick is dropped, the next message carries what follows.
        m_command = "<ENV><HDR><TO>SYSTEM</TO><FROM>3.3.3.3</FROM></HDR></ENV>\r";
        sendCommandWithPacket(buffer);
        m_systemCalled = true;
        return;
    }
    beginMessage();
    if (zoom == 0) {
        setCommandName("JOG");
        beginParam();
        setAttributeWithName("AZ", formatRate(pan));
        setAttributeWithName("EL", formatRate(tilt));
    } else {
        setCommandName("JOGCAM");
        beginParam();
        setAttributeWithName("Z", formatRate(zoom));
        setAttributeWithName("F", "0");
    }
    endParam();
    endMessage();
    sendCommandWithPacket(buffer);
}

void QSUniversal::fillInStopPacket(quint8 *buffer)
{
    beginMessage();
    setCommandName("STOP");
    endMessage();
    sendCommandWithPacket(buffer);
}
