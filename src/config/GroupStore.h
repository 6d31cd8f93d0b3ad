#pragma once

#include "config/Value.h"

#include <QObject>
#include <QString>
#include <QTimer>

class Preferences;

// The installation's one ordered list of groups, the selected group, the group
// identifier counter, and the enciphered group file. Main thread only. The group
// list screen wraps this object; all store state and logic stays here.
class GroupStore final : public QObject
{
    Q_OBJECT

public:
    static constexpr int SaveIntervalMs = 60 * 1000;

    // documentsDir holds "groups.bin" (and, from older versions, "groups.plist").
    GroupStore(Preferences &preferences, QString documentsDir, QObject *parent = nullptr);

    // The start-up sequence: load, add the default group to an empty list, restore
    // the selection, and start the periodic save.
    void start();

    Value groups() const { return m_groups; }
    void setGroups(const Value &groups) { m_groups = groups; }
    Value selectedGroup() const { return m_selectedGroup; }
    void setSelectedGroup(const Value &group) { m_selectedGroup = group; }

    void loadBulkData();
    // False (and a level-2 line) when the list could not be serialised or written;
    // the previous file is then left whole.
    bool persistBulkData();
    qint64 grabNextAvailableGroupId();
    void persistGroupSelection();
    Value findGroupByUID(qint64 uid) const;
    Value createDefaultGroup();

    // Gives the group a fresh "uid" and a "cameras" array if it lacks one, appends
    // it, and selects it when nothing is selected. Returns the group added.
    Value addGroup(const Value &group = Value());
    // addGroup, then asks the group editor to open on it.
    void createAndShowNewGroup(const Value &group = Value());

    QString groupFilePath() const;
    QString legacyGroupFilePath() const;
    const QTimer &saveTimer() const { return m_saveTimer; }

signals:
    void showGroupDetail(const Value &group);

private:
    bool readGroupFile(const QString &path, bool enciphered, QString *error);
    void keepUnreadableGroupFile();

    Preferences &m_preferences;
    QString m_documentsDir;
    Value m_groups;
    Value m_selectedGroup;
    QTimer m_saveTimer;
};
