#pragma once

#include <QLatin1StringView>
#include <QString>

// The application's information keys in one place: where help and registration
// go, the versions, the identifier, the display name and the copyright notice.
//
// Built-in values come first; "vyo/app-info.conf" in the XDG config directories
// (system directories, then the user's) and the environment variables
// VYO_HELP_URL, VYO_HELP_EMAIL and VYO_REG_URL override them, so an installer
// can point help and registration at its own servers without rebuilding.
// "RegURL" has no built-in value: without one nothing is ever registered.
// Main thread only.
class AppInfo final
{
public:
    AppInfo() = delete;

    static constexpr QLatin1StringView HelpURL{ "HelpURL" };
    static constexpr QLatin1StringView HelpEmail{ "HelpEmail" };
    static constexpr QLatin1StringView RegURL{ "RegURL" };
    static constexpr QLatin1StringView BundleVersion{ "CFBundleVersion" };
    static constexpr QLatin1StringView BundleIdentifier{ "CFBundleIdentifier" };
    static constexpr QLatin1StringView BundleDisplayName{ "CFBundleDisplayName" };
    static constexpr QLatin1StringView Copyright{ "Copyright" };

    // Null when the key has no value.
    static QString value(QLatin1StringView key);

    // For tests: replaces a value until the next reload; a null value removes it.
    static void setValue(QLatin1StringView key, const QString &value);
    // Reads the configuration files and the environment again.
    static void reload();
};
