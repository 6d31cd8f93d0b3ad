#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// vyo --demo: the camera simulator as a child process on loopback, and a
// throw-away profile holding the group it prints, so the user's own settings are
// never touched. The simulator ends with this object.
class DemoProfile final
{
public:
    DemoProfile();
    ~DemoProfile();

    // False with *error set when the simulator cannot be started or read.
    bool start(QString *error);
    QString directory() const { return m_dir.path(); }

    static QString simulatorPath();

private:
    QTemporaryDir m_dir;
    QProcess m_simulator;
};
