#include "vyoctl/OpenProfile.h"

#include "vyoctl/Command.h"

#include "config/GroupStore.h"
#include "platform/Preferences.h"
#include "platform/Profile.h"

#include <QLockFile>

namespace vyoctl {

OpenProfile::OpenProfile() = default;
OpenProfile::~OpenProfile() = default;

bool OpenProfile::open(const QString &profileDir, int *exitCode)
{
    const Profile profile = Profile::resolve(profileDir);
    QString error;
    if (!profile.ensureDirectories(&error)) {
        *exitCode = fail(Failure, error);
        return false;
    }
    profile.warnIfReadableByOthers();
    m_lock = profile.tryLock();
    if (!m_lock) {
        *exitCode = fail(Failure, QStringLiteral("the profile in %1 is in use by a running viewer; close it first")
                                      .arg(profile.dataDir()));
        return false;
    }
    m_preferences = std::make_unique<Preferences>(profile.preferencesPath());
    m_store = std::make_unique<GroupStore>(*m_preferences, profile.dataDir());
    // Nothing may replace a file that cannot be read; the viewer keeps a copy of it.
    if (m_store->loadBulkData() == GroupStore::Load::Unreadable) {
        *exitCode = fail(Failure, QStringLiteral("the stored groups in %1 cannot be read; start the viewer once to "
                                                 "keep a copy and begin anew")
                                      .arg(m_store->groupFilePath()));
        return false;
    }
    return true;
}

} // namespace vyoctl
