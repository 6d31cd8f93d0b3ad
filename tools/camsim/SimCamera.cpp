#include "camsim/SimCamera.h"

#include "util/QelLog.h"

#include <QJsonArray>

SimCamera::SimCamera(CameraSetup setup)
    : m_setup(std::move(setup))
{
    m_head.setPosition(m_setup.homePan, m_setup.homeTilt, Head::ZoomMin);
}

void SimCamera::countCommand(const QString &kind, const QString &text)
{
    m_commands[kind] += 1;
    // Commands come from the network: keep what is remembered short.
    m_lastCommand = text.left(512);
    m_recentCommands.append(m_lastCommand);
    if (m_recentCommands.size() > RecentCommands)
        m_recentCommands.removeFirst();
    QEL_LOG(LogLevel::Trace, QStringLiteral("%1: %2").arg(m_setup.name, m_lastCommand));
}

void SimCamera::countBadFrame(const QString &why)
{
    ++m_badFrames;
    QEL_LOG(LogLevel::Debug, QStringLiteral("%1: bad input: %2").arg(m_setup.name, why));
}

void SimCamera::reset()
{
    m_head.stop();
    m_head.setPosition(m_setup.homePan, m_setup.homeTilt, Head::ZoomMin);
    m_commands.clear();
    m_badFrames = 0;
    m_lastCommand.clear();
    m_recentCommands.clear();
}

QJsonObject SimCamera::state()
{
    QJsonObject commands;
    for (auto it = m_commands.cbegin(); it != m_commands.cend(); ++it)
        commands.insert(it.key(), it.value());
    return {
        { QStringLiteral("name"), m_setup.name },
        { QStringLiteral("family"), m_setup.family },
        { QStringLiteral("port"), m_setup.port },
        { QStringLiteral("input"), m_setup.input },
        { QStringLiteral("ptz"), m_setup.ptz },
        { QStringLiteral("ptzPort"), m_setup.ptzPort },
        { QStringLiteral("pan"), m_head.pan() },
        { QStringLiteral("tilt"), m_head.tilt() },
        { QStringLiteral("zoom"), m_head.zoom() },
        { QStringLiteral("moving"), m_head.isMoving() },
        { QStringLiteral("commands"), commands },
        { QStringLiteral("badFrames"), m_badFrames },
        { QStringLiteral("videoClients"), m_videoClients },
        { QStringLiteral("framesServed"), static_cast<qint64>(m_frames) },
        { QStringLiteral("lastCommand"), m_lastCommand },
        { QStringLiteral("recentCommands"), QJsonArray::fromStringList(m_recentCommands) },
    };
}
