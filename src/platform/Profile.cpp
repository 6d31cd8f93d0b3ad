#include "platform/Profile.h"

#include "util/QelLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

bool makeDirectory(const QString &dir)
{
    const QFileInfo info(dir);
    if (info.isDir())
        return true;
    return (info.isRoot() || makeDirectory(info.absolutePath()))
        && QDir().mkdir(dir, OwnerOnly | QFileDevice::ExeOwner);
}

// A lock file writes its owner's details just after it is created, so an empty
// one younger than this may still be on its way.
constexpr qint64 EmptyLockGraceMs = 1000;

// Removes a lock file that no process holds. Its owner keeps an advisory lock on it
// while it lives (QLockFile does), which ends with the owner however it ends; Qt
// itself gives up only on a lock whose owner's details it can read. Removal happens
// under that advisory lock and only while the name still means the same file, so two
// starts that both find the lock abandoned cannot remove each other's new one.
bool removeAbandonedLock(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat held = {};
    struct stat named = {};
    const QFileInfo info(path);
    const bool young = info.size() == 0
        && info.lastModified().msecsTo(QDateTime::currentDateTimeUtc()) < EmptyLockGraceMs;
    const bool removed = !young && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0
        && ::stat(name.constData(), &named) == 0 && held.st_dev == named.st_dev && held.st_ino == named.st_ino
        && ::unlink(name.constData()) == 0;
    ::close(fd);
    return removed;
}

} // namespace

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
        if (!makeDirectory(dir)) {
            if (error)
                *error = QStringLiteral("cannot create the profile directory %1").arg(dir);
            return false;
        }
    }
    return true;
}

void Profile::warnIfReadableByOthers() const
{
    for (const QString &dir : { m_configDir, m_dataDir }) {
        if (QFile::permissions(dir) & (QFileDevice::ReadGroup | QFileDevice::ReadOther))
            QEL_LOG(LogLevel::Error, QStringLiteral("The profile directory %1 can be read by other users").arg(dir));
    }
}

std::unique_ptr<QLockFile> Profile::tryLock() const
{
    auto lock = std::make_unique<QLockFile>(lockPath());
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0) && !(removeAbandonedLock(lockPath()) && lock->tryLock(0)))
        return nullptr;
    QFile::setPermissions(lockPath(), OwnerOnly);
    removeLeftovers();
    return lock;
}

void Profile::removeLeftovers() const
{
    // Temporary files of atomic saves end in six random characters; the lock files
    // are those of the preferences and the ones Qt takes while removing a stale lock.
    static const QRegularExpression saveTemporary(
        QStringLiteral("^(groups\\.bin(\\.unreadable-[0-9a-f]+)?|preferences\\.conf)\\.[A-Za-z0-9]{6}$"));
    for (const QString &dir : QStringList{ m_configDir, m_dataDir }) {
        for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden)) {
            const QString path = dir + QLatin1Char('/') + name;
            // Holding the profile, this process is the only one that saves into it.
            if (saveTemporary.match(name).hasMatch())
                QFile::remove(path);
            else if (name == QLatin1StringView("preferences.conf.lock") || name.endsWith(QLatin1StringView(".rmlock")))
                removeAbandonedLock(path);
        }
    }
}
