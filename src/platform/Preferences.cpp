#include "platform/Preferences.h"

#include "platform/AtomicFile.h"
#include "util/QelLog.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

// QSettings replaces the file through a save file that keeps an existing file's
// mode, so an owner-only file created up front stays owner-only.
const QString &privateFile(const QString &path)
{
    if (!QFile::exists(path)) {
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::close(fd);
    }
    return path;
}

bool parseBool(const QVariant &v)
{
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        return s == QLatin1StringView("true") || s == QLatin1StringView("yes")
            || s == QLatin1StringView("y") || s.toLongLong() != 0;
    }
    return v.toBool();
}

} // namespace

Preferences::Preferences(const QString &filePath)
    : m_settings(privateFile(filePath), QSettings::IniFormat)
{
}

void Preferences::registerDefaults(const QVariantMap &defaults)
{
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        m_defaults.insert(it.key(), it.value());
}

QVariant Preferences::value(const QString &key) const
{
    const QVariant stored = m_settings.value(key);
    return stored.isValid() ? stored : m_defaults.value(key);
}

bool Preferences::boolForKey(const QString &key) const
{
    return parseBool(value(key));
}

qint64 Preferences::integerForKey(const QString &key) const
{
    return value(key).toLongLong();
}

void Preferences::setValue(const QString &key, const QVariant &value)
{
    m_settings.setValue(key, value);
    sync();
}

void Preferences::removeValueForKey(const QString &key)
{
    m_settings.remove(key);
    sync();
}

bool Preferences::sync()
{
    m_settings.sync();
    if (m_settings.status() != QSettings::NoError) {
        QEL_LOG(LogLevel::Error, QStringLiteral("Failed to write preferences to %1").arg(m_settings.fileName()));
        return false;
    }
    QFile::setPermissions(m_settings.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    AtomicFile::syncDirectoryOf(m_settings.fileName());
    return true;
}
