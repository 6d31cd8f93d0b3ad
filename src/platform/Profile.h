#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Where a user's state lives: preferences in the config directory, the group files
// in the data directory. VYO_PROFILE_DIR or --profile puts both in one directory,
// which demos and tests use to stay away from the user's own settings.
class Profile final
{
public:
    // overrideDir wins over VYO_PROFILE_DIR, which wins over the XDG locations.
    static Profile resolve(const QString &overrideDir = QString());

    Profile(QString configDir, QString dataDir);

    const QString &configDir() const { return m_configDir; }
    const QString &dataDir() const { return m_dataDir; }
    QString preferencesPath() const;
    QString lockPath() const;

    // Creates the missing directories, and any missing parents, owner-only (0700);
    // false when that fails. Existing directories keep their mode: --profile may
    // name a directory that is not the viewer's own, such as the home directory.
    bool ensureDirectories(QString *error = nullptr) const;
    // A level-2 line for each profile directory that other users can read; called
    // once logging is set up.
    void warnIfReadableByOthers() const;

    // Marks the profile as in use; none when another process holds it. A lock whose
    // owner is gone, or that holds nothing, is taken over. The lock is owner-only,
    // and what interrupted saves left behind is removed once it is held.
    std::unique_ptr<QLockFile> tryLock() const;

private:
    void removeLeftovers() const;

    QString m_configDir;
    QString m_dataDir;
};
