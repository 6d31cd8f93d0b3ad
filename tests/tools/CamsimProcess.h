#pragma once

#include "config/Value.h"

#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Runs vyo-camsim on loopback for a test: from a JSON camera list or the demo set,
// with the printed group and the inspection port at hand.
class CamsimProcess final
{
public:
    CamsimProcess();
    ~CamsimProcess();

    // config: the JSON text of a camera list, or empty for --demo.
    bool start(const QByteArray &config = QByteArray(), const QStringList &options = {});

    // The printed group's camera definitions, in configuration order.
    Value cameras() const { return m_group.value(QStringLiteral("cameras")); }
    Value camera(const QString &title) const;

    // GET /state: the simulator's view of the named camera.
    QJsonObject state(const QString &title) const;
    void reset() const;

    QString errorOutput() const { return m_stderr; }
    // Asks the simulator to end (SIGTERM), as a session ending does, and waits.
    void terminate();

private:
    QByteArray control(const QByteArray &method, const QByteArray &path) const;

    QProcess m_process;
    QTemporaryDir m_dir;
    QString m_stderr;
    quint16 m_controlPort = 0;
    Value m_group;
};
