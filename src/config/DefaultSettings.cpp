#include "config/DefaultSettings.h"

#include "platform/Preferences.h"
#include "util/QelLog.h"

QVariantMap DefaultSettings::registeredDefaults()
{
    return {
        { QStringLiteral("QelLogEnabled"), true },
        { QStringLiteral("QelLogLevel"), 2 },
        { QStringLiteral("ShowAutoCameras"), false },
        { QStringLiteral("NextGroupId"), 1 },
        { QStringLiteral("SelectedGroupId"), 0 },
        { QStringLiteral("RegShown"), false },
        { QStringLiteral("RegNeeded"), false },
        { QStringLiteral("RegSubscribe"), true },
        { QStringLiteral("VidShowFPS"), false },
    };
}

void DefaultSettings::initializeDefaultSettings(Preferences &preferences)
{
    preferences.registerDefaults(registeredDefaults());
    QelLog::setLoggingEnabled(preferences.boolForKey(QStringLiteral("QelLogEnabled")));
    QelLog::setLoggingThreshhold(static_cast<int>(preferences.integerForKey(QStringLiteral("QelLogLevel"))));
}
