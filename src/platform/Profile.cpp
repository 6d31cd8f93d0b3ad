#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

Profile Profile::resolve(const QString &overrideDir)
{
    QString single = overrideDir;
    if (single.isEmpty())
        single = qEnvironmentVariable("VYO_PROFILE_DIR");
    if (!single.isEmpty()) {
        const QString dir = QDir(single).absolutePath();
        return Profile(dir, dir);
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return Profile(config + QStringLiteral("/vyo"), data + QStringLiteral("/vyo"));
}

Profile::Profile(QString configDir, QString dataDir)
    : m_configDir(std::move(configDir))
    , m_dataDir(std::move(dataDir))
{
}

QString Profile::preferencesPath() const
{
    return m_configDir + QStringLiteral("/preferences.conf");
}

QString Profile::lockPath() const
{
    return m_dataDir + QStringLiteral("/vyo.lock");
}

bool Profile::ensureDirectories(QString *error) const
{
    for (const QString &dir : { m_configDir, m_dataDir }) {
        if (!QDir().mkpath(dir)
            || !QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | QFileDevice::ExeOwner)) {
            if (error)
                *error = QStringLiteral("cannot create the profile directory %1").arg(dir);
            return false;
        }
    }
    return true;
}

std::unique_ptr<QLockFile> Profile::tryLock() const
{
    auto lock = std::make_unique<QLockFile>(lockPath());
    // A lock left by a process that died is taken over rather than blocking forever.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}
