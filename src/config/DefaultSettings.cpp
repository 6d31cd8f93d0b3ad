#include "config/DefaultSettings.h"

#include "platform/Preferences.h"
#include "util/QelLog.h"

void DefaultSettings::initializeDefaultSettings(const Preferences &preferences)
{
    QelLog::setLoggingEnabled(preferences.logEnabled());
    QelLog::setLoggingThreshhold(preferences.logThreshold());
}
