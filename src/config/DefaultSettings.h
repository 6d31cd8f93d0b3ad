#pragma once

class Preferences;

// What a launch takes from the preferences before anything else runs. The keys
// and their defaults live with Preferences.
class DefaultSettings final
{
public:
    DefaultSettings() = delete;

    // Applies the stored log switch and level threshold to QelLog.
    static void initializeDefaultSettings(const Preferences &preferences);
};
