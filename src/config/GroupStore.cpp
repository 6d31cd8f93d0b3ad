#include "config/GroupStore.h"

#include "config/CameraProfileUpdater.h"
#include "config/PropertyList.h"
#include "config/QelCrypto.h"
#include "platform/AtomicFile.h"
#include "platform/CertificatePin.h"
#include "platform/Preferences.h"
#include "util/QelLog.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>

#include <algorithm>

namespace {

// The group file is a few kilobytes; anything this large is not ours.
constexpr qint64 MaxGroupFileSize = 64 * 1024 * 1024;

// Stored as is, shown translated.
const char *const DefaultGroupName = QT_TRANSLATE_NOOP("GroupStore", "Default");

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxGroupFileSize)
        return {};
    return file.readAll();
}

// Seconds between page turns; absent in groups that do not tour.
const QString TourKey = QStringLiteral("tour.seconds");

bool isTourChoice(qint64 seconds)
{
    return std::find(GroupStore::TourChoices.begin(), GroupStore::TourChoices.end(), seconds)
        != GroupStore::TourChoices.end();
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
    // What cannot be read is replaced at the next save: keep its bytes first.
    if (loadBulkData() == Load::Unreadable)
        keepUnreadableGroupFile();
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

GroupStore::Load GroupStore::loadBulkData()
{
    QString error;
    if (readGroupFile(groupFilePath(), true, &error))
        return Load::Read;
    // A missing file is a new profile, not an error.
    const bool unreadable = QFile::exists(groupFilePath());
    QEL_LOG(unreadable ? LogLevel::Error : LogLevel::Debug,
            QStringLiteral("Failed to decrypt stored groups. Attempting fall-back to deprecated plaintext mode."));
    error.clear();
    if (!readGroupFile(legacyGroupFilePath(), false, &error)) {
        QEL_LOG(QFile::exists(legacyGroupFilePath()) ? LogLevel::Error : LogLevel::Debug,
                QStringLiteral("Failed to parse stored groups using deprecated plaintext mode."));
        return unreadable ? Load::Unreadable : Load::NoFile;
    }
    if (unreadable)
        keepUnreadableGroupFile();
    // Only delete the plain file once its content is safely enciphered on disk.
    if (persistBulkData()) {
        QFile::remove(legacyGroupFilePath());
        QEL_LOG(LogLevel::Debug, QStringLiteral("Converted plaintext group file."));
    }
    return Load::Read;
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
    if (QFile::exists(kept) || AtomicFile::write(kept, bytes)) {
        m_unreadableCopy = kept;
        QEL_LOG(LogLevel::Error, QStringLiteral("Kept a copy of the unreadable group file as %1").arg(kept));
    }
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

QString GroupStore::displayedName(const Value &group)
{
    const QString name = group.value(QStringLiteral("name")).toString();
    return name == QLatin1StringView(DefaultGroupName) ? QCoreApplication::translate("GroupStore", DefaultGroupName)
                                                       : name;
}

Value GroupStore::createDefaultGroup()
{
    Value group = Value::dictionary();
    group.insert(QStringLiteral("name"), QString::fromLatin1(DefaultGroupName));
    group.insert(QStringLiteral("cameras"), Value::array());
    group.insert(QStringLiteral("uid"), grabNextAvailableGroupId());
    return group;
}

void GroupStore::setGroups(const Value &groups)
{
    m_groups = groups;
    emit groupListChanged();
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
    emit groupListChanged();
    if (m_selectedGroup.isNull()) {
        m_selectedGroup = group;
        emit selectionChanged(group);
    }
    return group;
}

void GroupStore::addDefaultGroupIfEmpty()
{
    if (m_groups.isArray() && m_groups.size() > 0)
        return;
    if (!m_groups.isArray())
        m_groups = Value::array();
    m_groups.append(createDefaultGroup());
    m_selectedGroup = m_groups.at(0);
    emit groupListChanged();
    emit selectionChanged(m_selectedGroup);
}

void GroupStore::removeGroup(qsizetype index)
{
    if (index < 0 || index >= m_groups.size())
        return;
    const Value group = m_groups.at(index);
    m_groups.removeAt(index);
    emit groupListChanged();
    if (group.isSameObject(m_selectedGroup)) {
        m_selectedGroup = m_groups.at(0);
        emit selectionChanged(m_selectedGroup);
    }
}

void GroupStore::moveGroup(qsizetype from, qsizetype to)
{
    if (from < 0 || from >= m_groups.size() || to < 0 || to >= m_groups.size() || from == to)
        return;
    const Value group = m_groups.at(from);
    m_groups.removeAt(from);
    m_groups.insertAt(to, group);
    emit groupListChanged();
}

void GroupStore::selectGroup(const Value &group)
{
    const bool changed = !group.isSameObject(m_selectedGroup);
    m_selectedGroup = group;
    persistGroupSelection();
    if (changed)
        emit selectionChanged(group);
}

void GroupStore::selectNextGroup()
{
    if (m_groups.size() < 2)
        return;
    const qsizetype i = m_groups.indexOfIdentical(m_selectedGroup);
    selectGroup(m_groups.at((i + 1) % m_groups.size()));
}

Value GroupStore::camerasOf(Value &group)
{
    Value cameras = group.value(QStringLiteral("cameras"));
    if (!cameras.isArray()) {
        cameras = Value::array();
        group.insert(QStringLiteral("cameras"), cameras);
    }
    return cameras;
}

void GroupStore::renameGroup(Value group, const QString &name)
{
    if (group.value(QStringLiteral("name")).toString() == name && group.contains(QStringLiteral("name")))
        return;
    group.insert(QStringLiteral("name"), name);
    emit groupChanged(group);
}

int GroupStore::tourSeconds(const Value &group)
{
    const Value stored = group.value(TourKey);
    if (stored.type() != Value::Type::Integer)
        return 0;
    const qint64 seconds = stored.toInteger();
    return isTourChoice(seconds) ? int(seconds) : 0;
}

void GroupStore::setTourSeconds(Value group, int seconds)
{
    if (!isTourChoice(seconds))
        seconds = 0;
    if (tourSeconds(group) == seconds && (seconds != 0 || !group.contains(TourKey)))
        return;
    // Off is no key at all, so that a group without a tour keeps its old shape.
    if (seconds == 0)
        group.remove(TourKey);
    else
        group.insert(TourKey, seconds);
    emit groupChanged(group);
}

void GroupStore::removeCamera(Value group, qsizetype index)
{
    Value cameras = camerasOf(group);
    if (index < 0 || index >= cameras.size())
        return;
    cameras.removeAt(index);
    emit groupChanged(group);
}

void GroupStore::moveCamera(Value group, qsizetype from, qsizetype to)
{
    Value cameras = camerasOf(group);
    if (from < 0 || from >= cameras.size() || to < 0 || to >= cameras.size() || from == to)
        return;
    const Value camera = cameras.at(from);
    cameras.removeAt(from);
    cameras.insertAt(to, camera);
    emit groupChanged(group);
}

void GroupStore::saveCamera(Value group, const Value &opened, const Value &definition)
{
    Value cameras = camerasOf(group);
    const qsizetype index = opened.isNull() ? -1 : cameras.indexOfIdentical(opened);
    if (index >= 0)
        cameras.replace(index, definition);
    else
        cameras.append(definition);
    emit groupChanged(group);
}

Value GroupStore::trustCertificate(const Value &camera, const QString &fingerprint)
{
    for (Value group : m_groups.items()) {
        Value cameras = camerasOf(group);
        const qsizetype index = cameras.indexOfIdentical(camera);
        if (index < 0)
            continue;
        const Value trusted = CertificatePin::trusting(camera, fingerprint);
        if (trusted.isNull())
            return {};
        cameras.replace(index, trusted);
        emit groupChanged(group);
        return trusted;
    }
    return {};
}

void GroupStore::appendCameras(Value group, const QList<Value> &added)
{
    Value cameras = camerasOf(group);
    for (const Value &camera : added)
        cameras.append(camera);
    emit groupChanged(group);
}
