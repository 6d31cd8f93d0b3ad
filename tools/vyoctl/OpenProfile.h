#pragma once

#include <QString>

#include <memory>

class GroupStore;
class Preferences;
class QLockFile;

namespace vyoctl {

// The profile opened for one command: locked against a running viewer, with the
// preferences and the group store over it, its groups loaded.
class OpenProfile final
{
public:
    OpenProfile();
    ~OpenProfile();

    // False, after the message and with *exitCode set, when the profile cannot be used.
    bool open(const QString &profileDir, int *exitCode);

    GroupStore &store() { return *m_store; }

private:
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<GroupStore> m_store;
};

} // namespace vyoctl
