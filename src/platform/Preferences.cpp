#include "platform/Preferences.h"

#include "platform/AtomicFile.h"
#include "util/QelLog.h"

#include <QFile>

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct KeyEntry
{
    QLatin1StringView name;
    QVariant fallback;
};

// Each key as the preferences file spells it, and its value while none is stored.
KeyEntry entry(Preferences::Key key)
{
    using Key = Preferences::Key;
    switch (key) {
    case Key::LogEnabled:
        return { QLatin1StringView("QelLogEnabled"), true };
    case Key::LogThreshold:
        return { QLatin1StringView("QelLogLevel"), static_cast<int>(LogLevel::Error) };
    case Key::ShowAutoCameras:
        return { QLatin1StringView("ShowAutoCameras"), false };
    case Key::NextGroupId:
        return { QLatin1StringView("NextGroupId"), 1 };
    case Key::SelectedGroupId:
        return { QLatin1StringView("SelectedGroupId"), 0 };
    case Key::ShowFPS:
        return { QLatin1StringView("VidShowFPS"), false };
    case Key::HardwareDecoding:
        return { QLatin1StringView("VidHardwareDecoding"), true };
    case Key::RegistrationShown:
        return { QLatin1StringView("RegShown"), false };
    case Key::RegistrationNeeded:
        return { QLatin1StringView("RegNeeded"), false };
    case Key::RegistrationSubscribed:
        return { QLatin1StringView("RegSubscribe"), true };
    case Key::RegistrationFirstName:
        return { QLatin1StringView("RegFirstName"), QString() };
    case Key::RegistrationLastName:
        return { QLatin1StringView("RegLastName"), QString() };
    case Key::RegistrationEmail:
        return { QLatin1StringView("RegEmail"), QString() };
    case Key::RegistrationLastVersion:
        return { QLatin1StringView("RegLastVer"), QString() };
    case Key::WindowGeometry:
        return { QLatin1StringView("WindowGeometry"), QByteArray() };
    case Key::SettingsPin:
        return { QLatin1StringView("SettingsPin"), QString() };
    case Key::KioskExitKeys:
        return { QLatin1StringView("KioskExitKeys"), QString() };
    case Key::KioskIdleMinutes:
        return { QLatin1StringView("KioskIdleMinutes"), 5 };
    }
    Q_UNREACHABLE();
    return {};
}

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

// The file holds text; a hand-edited one may say yes or 1.
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

Preferences::Preferences(const QString &filePath, QObject *parent)
    : QObject(parent)
    , m_settings(privateFile(filePath), QSettings::IniFormat)
{
}

QVariant Preferences::value(Key key) const
{
    const KeyEntry e = entry(key);
    const QVariant stored = m_settings.value(e.name);
    return stored.isValid() ? stored : e.fallback;
}

bool Preferences::boolValue(Key key) const
{
    return parseBool(value(key));
}

qint64 Preferences::integerValue(Key key) const
{
    return value(key).toLongLong();
}

void Preferences::write(Key key, const QVariant &value)
{
    m_settings.setValue(entry(key).name, value);
    sync();
    emit changed(key);
}

void Preferences::writeOrRemove(Key key, const QString &text)
{
    if (!text.isEmpty()) {
        write(key, text);
        return;
    }
    m_settings.remove(entry(key).name);
    sync();
    emit changed(key);
}

void Preferences::sync()
{
    m_settings.sync();
    if (m_settings.status() != QSettings::NoError) {
        QEL_LOG(LogLevel::Error, QStringLiteral("Failed to write preferences to %1").arg(m_settings.fileName()));
        return;
    }
    QFile::setPermissions(m_settings.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    AtomicFile::syncDirectoryOf(m_settings.fileName());
}

bool Preferences::logEnabled() const
{
    return boolValue(Key::LogEnabled);
}

int Preferences::logThreshold() const
{
    return static_cast<int>(integerValue(Key::LogThreshold));
}

bool Preferences::showAutoCameras() const
{
    return boolValue(Key::ShowAutoCameras);
}

void Preferences::setShowAutoCameras(bool on)
{
    write(Key::ShowAutoCameras, on);
}

qint64 Preferences::nextGroupId() const
{
    return integerValue(Key::NextGroupId);
}

void Preferences::setNextGroupId(qint64 id)
{
    write(Key::NextGroupId, id);
}

qint64 Preferences::selectedGroupId() const
{
    return integerValue(Key::SelectedGroupId);
}

void Preferences::setSelectedGroupId(qint64 uid)
{
    write(Key::SelectedGroupId, uid);
}

bool Preferences::showFPS() const
{
    return boolValue(Key::ShowFPS);
}

void Preferences::setShowFPS(bool on)
{
    write(Key::ShowFPS, on);
}

bool Preferences::hardwareDecoding() const
{
    return boolValue(Key::HardwareDecoding);
}

void Preferences::setHardwareDecoding(bool on)
{
    write(Key::HardwareDecoding, on);
}

bool Preferences::registrationShown() const
{
    return boolValue(Key::RegistrationShown);
}

void Preferences::setRegistrationShown(bool shown)
{
    write(Key::RegistrationShown, shown);
}

bool Preferences::registrationNeeded() const
{
    return boolValue(Key::RegistrationNeeded);
}

void Preferences::setRegistrationNeeded(bool needed)
{
    write(Key::RegistrationNeeded, needed);
}

bool Preferences::registrationSubscribed() const
{
    return boolValue(Key::RegistrationSubscribed);
}

void Preferences::setRegistrationSubscribed(bool subscribed)
{
    write(Key::RegistrationSubscribed, subscribed);
}

QString Preferences::registrationFirstName() const
{
    return value(Key::RegistrationFirstName).toString();
}

void Preferences::setRegistrationFirstName(const QString &name)
{
    writeOrRemove(Key::RegistrationFirstName, name);
}

QString Preferences::registrationLastName() const
{
    return value(Key::RegistrationLastName).toString();
}

void Preferences::setRegistrationLastName(const QString &name)
{
    writeOrRemove(Key::RegistrationLastName, name);
}

QString Preferences::registrationEmail() const
{
    return value(Key::RegistrationEmail).toString();
}

void Preferences::setRegistrationEmail(const QString &email)
{
    writeOrRemove(Key::RegistrationEmail, email);
}

QString Preferences::registrationLastVersion() const
{
    return value(Key::RegistrationLastVersion).toString();
}

void Preferences::setRegistrationLastVersion(const QString &version)
{
    write(Key::RegistrationLastVersion, version);
}

QByteArray Preferences::windowGeometry() const
{
    return value(Key::WindowGeometry).toByteArray();
}

void Preferences::setWindowGeometry(const QByteArray &geometry)
{
    write(Key::WindowGeometry, geometry);
}

QString Preferences::settingsPinHash() const
{
    return value(Key::SettingsPin).toString();
}

void Preferences::setSettingsPinHash(const QString &hash)
{
    writeOrRemove(Key::SettingsPin, hash);
}

QString Preferences::kioskExitKeys() const
{
    return value(Key::KioskExitKeys).toString().trimmed();
}

int Preferences::kioskIdleMinutes() const
{
    return static_cast<int>(std::clamp<qint64>(integerValue(Key::KioskIdleMinutes), 0, 24 * 60));
}
