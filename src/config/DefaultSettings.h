#pragma once

#include <QVariantMap>

class Preferences;

// The preference keys every launch registers, with their defaults.
class DefaultSettings final
{
public:
    DefaultSettings() = delete;

    static QVariantMap registeredDefaults();

    // Registers the defaults, then applies "QelLogEnabled" and "QelLogLevel" to QelLog.
    static void initializeDefaultSettings(Preferences &preferences);
};
