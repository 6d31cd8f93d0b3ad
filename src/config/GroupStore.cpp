#include "config/GroupStore.h"

#include "config/CameraProfileUpdater.h"
#include "config/PropertyList.h"
#include "config/QelCrypto.h"
#include "platform/AtomicFile.h"
#include "platform/Preferences.h"
#include "util/QelLog.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

// The group file is a few kilobytes; anything this large is not ours.
constexpr qint64 MaxGroupFileSize = 64 * 1024 * 1024;

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxGroupFileSize)
        return {};
    return file.readAll();
}

} // namespace

GroupStore::GroupStore(Preferences &preferences, QString documentsDir, QObject *parent)
    : QObject(parent)
    , m_preferences(preferences)
    , m_documentsDir(std::move(documentsDir))
{
    m_saveTimer.setInterval(SaveIntervalMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &GroupStore::persistBulkData);
}

QString GroupStore::groupFilePath() const
{
    return m_documentsDir + QStringLiteral("/groups.bin");
}

QString GroupStore::legacyGroupFilePath() const
{
    return m_documentsDir + QStringLiteral("/groups.plist");
}

void GroupStore::start()
{
    loadBulkData();
    if (!m_groups.isArray())
        m_groups = Value::array();
    if (m_groups.size() == 0)
        m_groups.append(createDefaultGroup());
    m_selectedGroup = findGroupByUID(m_preferences.selectedGroupId());
    if (m_selectedGroup.isNull() && m_groups.size() > 0) {
        m_selectedGroup = m_groups.at(0);
        persistGroupSelection();
    }
    m_saveTimer.start();
}

bool GroupStore::readGroupFile(const QString &path, bool enciphered, QString *error)
{
    QByteArray bytes = readWholeFile(path);
    if (bytes.isEmpty()) {
        *error = QStringLiteral("%1 is missing or empty").arg(path);
        return false;
    }
    if (enciphered) {
        const std::optional<QByteArray> plain = QelCrypto::decryptBlob(bytes, QelCrypto::STORAGE_IV);
        if (!plain) {
            *error = QStringLiteral("cannot decipher %1").arg(path);
            return false;
        }
        bytes = *plain;
    }
    const Value parsed = PropertyList::fromData(bytes, error);
    if (!error->isEmpty())
        return false;
    // Anything but a list of groups is as unusable as a file that does not parse.
    if (!parsed.isArray()) {
        *error = QStringLiteral("%1 does not hold a list of groups").arg(path);
        return false;
    }
    m_groups = CameraProfileUpdater::loadFilter(parsed);
    return true;
}

void GroupStore::loadBulkData()
{
    QString error;
    if (readGroupFile(groupFilePath(), true, &error))
        return;
    keepUnreadableGroupFile();

    QEL_LOG(LogLevel::Error, QStringLiteral("Failed to decrypt stored groups. Attempting fall-back to deprecated plaintext mode."));
    error.clear();
    if (!readGroupFile(legacyGroupFilePath(), false, &error)) {
        QEL_LOG(LogLevel::Error, QStringLiteral("Failed to parse stored groups using deprecated plaintext mode."));
        return;
    }
    // Only delete the plain file once its content is safely enciphered on disk.
    if (!persistBulkData())
        return;
    QFile::remove(legacyGroupFilePath());
    QEL_LOG(LogLevel::Debug, QStringLiteral("Converted plaintext group file."));
}

void GroupStore::keepUnreadableGroupFile()
{
    // A damaged file is replaced at the next save; keep a copy of its bytes, once
    // per content, so that whatever the user had can still be recovered by hand.
    const QByteArray bytes = readWholeFile(groupFilePath());
    if (bytes.isEmpty())
        return;
    const QString kept = groupFilePath() + QStringLiteral(".unreadable-")
        + QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(12));
    if (QFile::exists(kept))
        return;
    if (AtomicFile::write(kept, bytes))
        QEL_LOG(LogLevel::Error, QStringLiteral("Kept a copy of the unreadable group file as %1").arg(kept));
}

bool GroupStore::persistBulkData()
{
    if (m_groups.isNull())
        return true;
    QEL_LOG(LogLevel::Trace, QStringLiteral("writing camera settings to persistence"));
    QString error;
    const QByteArray plist = PropertyList::toBinary(m_groups, &error);
    if (plist.isEmpty()) {
        QEL_LOG(LogLevel::Error, QStringLiteral("Error preparing groups for storage: %1").arg(error));
        return false;
    }
    const std::optional<QByteArray> cipher = QelCrypto::encryptBlob(plist, QelCrypto::STORAGE_IV);
    if (!cipher) {
        QEL_LOG(LogLevel::Error, QStringLiteral("Error preparing groups for storage: the cipher failed"));
        return false;
    }
    if (!AtomicFile::write(groupFilePath(), *cipher, &error)) {
        QEL_LOG(LogLevel::Error, QStringLiteral("Failed to write stored groups: %1").arg(error));
        return false;
    }
    return true;
}

qint64 GroupStore::grabNextAvailableGroupId()
{
    const qint64 id = m_preferences.nextGroupId();
    m_preferences.setNextGroupId(id + 1);
    return id;
}

void GroupStore::persistGroupSelection()
{
    const qint64 uid = m_selectedGroup.isNull() ? 0 : m_selectedGroup.value(QStringLiteral("uid")).toInteger();
    m_preferences.setSelectedGroupId(uid);
}

Value GroupStore::findGroupByUID(qint64 uid) const
{
    for (const Value &group : m_groups.items()) {
        if (group.value(QStringLiteral("uid")).toInteger() == uid)
            return group;
    }
    return {};
}

Value GroupStore::createDefaultGroup()
{
    Value group = Value::dictionary();
    group.insert(QStringLiteral("name"), QStringLiteral("Default"));
    group.insert(QStringLiteral("cameras"), Value::array());
    group.insert(QStringLiteral("uid"), grabNextAvailableGroupId());
    return group;
}

Value GroupStore::addGroup(const Value &given)
{
    Value group = given.isDictionary() ? given : Value::dictionary();
    group.insert(QStringLiteral("uid"), grabNextAvailableGroupId());
    if (!group.value(QStringLiteral("cameras")).isArray())
        group.insert(QStringLiteral("cameras"), Value::array());
    if (!m_groups.isArray())
        m_groups = Value::array();
    m_groups.append(group);
    if (m_selectedGroup.isNull())
        m_selectedGroup = group;
    return group;
}

void GroupStore::createAndShowNewGroup(const Value &group)
{
    emit showGroupDetail(addGroup(group));
}
