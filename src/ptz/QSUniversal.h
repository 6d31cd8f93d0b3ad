#pragma once

#include "ptz/AbstractByteProtocolController.h"

#include <QByteArray>

// "QuickSet Universal PTZ": one small XML-like text envelope per tick, addressed to
// the camera's title. The head's replies are not parsed, so messages are paced by
// the 0.3-second allowance alone.
class QSUniversal final : public AbstractByteProtocolController
{
    Q_OBJECT

public:
    // Longest title, escaped, that keeps the longest message (a "JOG" of 129 bytes
    // plus the title) within the 256-byte frame buffer.
    static constexpr int MaxTopicLength = CommandSize - 129;

    explicit QSUniversal(Clock &clock, QObject *parent = nullptr);

    bool initWithParameters(const Value &definition) override;

    // The addressee as it goes into the envelope: a missing or empty title becomes
    // "unnamed", characters outside printable ASCII become "?", & < > " are escaped
    // and the result is cut, at a whole character, to MaxTopicLength bytes.
    static QByteArray topicForTitle(const QString &title);

    void beginMessage();
    void setCommandName(const char *name);
    void beginParam();
    void setAttributeWithName(const char *name, const QByteArray &value);
    void endParam();
    void endMessage();
    void sendCommandWithPacket(quint8 *buffer);

private:
    void fillInStopPacket(quint8 *buffer) override;
    void fillInPacket(quint8 *buffer, float pan, float tilt, float zoom) override;

    QByteArray m_topic;
    QByteArray m_command;
    bool m_systemCalled = false;
};
