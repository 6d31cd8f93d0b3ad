#pragma once

#include <QSettings>
#include <QString>
#include <QVariantMap>

// The preferences store: values stored in the profile's preferences file, over a
// map of registered defaults that is never written.
class Preferences final
{
public:
    explicit Preferences(const QString &filePath);

    void registerDefaults(const QVariantMap &defaults);

    // A stored value wins over a registered one.
    QVariant value(const QString &key) const;
    bool boolForKey(const QString &key) const;
    qint64 integerForKey(const QString &key) const;

    // Stored and written through at once; a failed write is logged at level 2.
    void setValue(const QString &key, const QVariant &value);
    // The stored value goes; a registered default shows through again.
    void removeValueForKey(const QString &key);
    bool sync();

    QString filePath() const { return m_settings.fileName(); }

private:
    mutable QSettings m_settings;
    QVariantMap m_defaults;
};
