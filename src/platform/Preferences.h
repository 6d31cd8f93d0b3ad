#pragma once

#include <QObject>
#include <QSettings>
#include <QString>
#include <QVariant>

// The user's preferences: values stored in the profile's preferences file, each
// over a default that is never written. Every key the application uses has a typed
// getter here; Preferences.cpp names each key as the file spells it, with its
// default. Main thread only.
class Preferences final : public QObject
{
    Q_OBJECT

public:
    enum class Key {
        LogEnabled,
        LogThreshold,
        ShowAutoCameras,
        NextGroupId,
        SelectedGroupId,
        ShowFPS,
        HardwareDecoding,
        RegistrationShown,
        RegistrationNeeded,
        RegistrationSubscribed,
        RegistrationFirstName,
        RegistrationLastName,
        RegistrationEmail,
        RegistrationLastVersion,
        WindowGeometry,
        SettingsPin,
        KioskExitKeys,
        KioskIdleMinutes,
    };
    Q_ENUM(Key)

    explicit Preferences(const QString &filePath, QObject *parent = nullptr);

    // Set by editing the file only: whether QelLog writes, and its level threshold.
    bool logEnabled() const;
    int logThreshold() const;

    // Detected cameras join the live views.
    bool showAutoCameras() const;
    void setShowAutoCameras(bool on);

    qint64 nextGroupId() const;
    void setNextGroupId(qint64 id);
    // The uid of the group the live views show; 0 for none.
    qint64 selectedGroupId() const;
    void setSelectedGroupId(qint64 uid);

    // The frame-rate line of the video views.
    bool showFPS() const;
    void setShowFPS(bool on);
    // RTSP cameras decode through VA-API when a GPU can; read when a stream opens.
    bool hardwareDecoding() const;
    void setHardwareDecoding(bool on);

    // The registration form has been saved once.
    bool registrationShown() const;
    void setRegistrationShown(bool shown);
    // A send to the registration server is owed.
    bool registrationNeeded() const;
    void setRegistrationNeeded(bool needed);
    bool registrationSubscribed() const;
    void setRegistrationSubscribed(bool subscribed);
    // Empty contact details are removed from the file rather than stored.
    QString registrationFirstName() const;
    void setRegistrationFirstName(const QString &name);
    QString registrationLastName() const;
    void setRegistrationLastName(const QString &name);
    QString registrationEmail() const;
    void setRegistrationEmail(const QString &email);
    // The version last reported to the registration server.
    QString registrationLastVersion() const;
    void setRegistrationLastVersion(const QString &version);

    // The window's place and size as the window system last had it; empty at first.
    QByteArray windowGeometry() const;
    void setWindowGeometry(const QByteArray &geometry);

    // The salted hash of the PIN that guards the settings in kiosk mode (PinHash);
    // empty for none. Never the PIN itself.
    QString settingsPinHash() const;
    void setSettingsPinHash(const QString &hash);
    // Set by editing the file only: the key chord that leaves kiosk mode, in Qt's
    // portable text ("Ctrl+Alt+Q"); empty for no way out.
    QString kioskExitKeys() const;
    // Set by editing the file only: minutes without a touch after which kiosk mode
    // takes the single view back to the grid; 0 for never.
    int kioskIdleMinutes() const;

signals:
    // After every write of the key, also one that stores the value it had: a
    // screen's Save is announced as such, and observers apply the value again.
    void changed(Preferences::Key key);

private:
    QVariant value(Key key) const;
    bool boolValue(Key key) const;
    qint64 integerValue(Key key) const;
    // Written through at once; a failed write is logged.
    void write(Key key, const QVariant &value);
    void writeOrRemove(Key key, const QString &text);
    void sync();

    mutable QSettings m_settings;
};
