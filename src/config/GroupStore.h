#pragma once

#include "config/Value.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>

class Preferences;

// The installation's one ordered list of groups, the selected group, the group
// identifier counter, and the enciphered group file. Main thread only. The
// application controller owns it; screens and the live view hold a reference
// and observe its signals.
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

    // The list and its groups are shared records: read them freely, change them
    // only through the operations below, which announce what changed.
    Value groups() const { return m_groups; }
    Value selectedGroup() const { return m_selectedGroup; }

    enum class Load {
        Read,       // groups.bin, or a converted groups.plist
        NoFile,     // neither file: a new profile
        Unreadable, // groups.bin is there but cannot be read, and no groups.plist stood in
    };
    // Reads the stored groups; writes only to convert a groups.plist (keeping a copy
    // of an unreadable groups.bin before it is replaced).
    Load loadBulkData();
    // Where start-up kept a copy of an unreadable groups.bin, or nothing.
    QString unreadableCopyPath() const { return m_unreadableCopy; }
    // False (and a level-2 line) when the list could not be serialised or written;
    // the previous file is then left whole.
    bool persistBulkData();
    qint64 grabNextAvailableGroupId();
    void persistGroupSelection();
    Value findGroupByUID(qint64 uid) const;
    Value createDefaultGroup();
    // The name a group is shown by: the default group keeps its stored English name
    // and shows it in the user's language.
    static QString displayedName(const Value &group);

    // The group list.
    void setGroups(const Value &groups);
    // Gives the group a fresh "uid" and a "cameras" array if it lacks one, appends
    // it, and selects it when nothing is selected. Returns the group added.
    Value addGroup(const Value &group = Value());
    // An empty list gets the default group, selected; the list is never left empty
    // once the user has seen it.
    void addDefaultGroupIfEmpty();
    // A removed selected group passes the selection to the first one left; that
    // choice is not stored, so the next start-up makes it again.
    void removeGroup(qsizetype index);
    void moveGroup(qsizetype from, qsizetype to);
    // Selects the group and stores the choice.
    void selectGroup(const Value &group);
    // The group after the selected one, wrapping round; nothing with fewer than two.
    void selectNextGroup();

    // The seconds between the grid's own page turns that a group may ask for; 0 is off.
    static constexpr std::array<int, 5> TourChoices = { 0, 10, 20, 30, 60 };
    // A group without the setting, or with one no build offers, does not tour.
    static int tourSeconds(const Value &group);

    // One group's name, page tour and cameras; the group need not be in the list yet.
    void renameGroup(Value group, const QString &name);
    void setTourSeconds(Value group, int seconds);
    void removeCamera(Value group, qsizetype index);
    void moveCamera(Value group, qsizetype from, qsizetype to);
    // Replaces the very definition the editor opened on (by identity), or appends
    // the definition when that one is not in the group.
    void saveCamera(Value group, const Value &opened, const Value &definition);
    void appendCameras(Value group, const QList<Value> &cameras);
    // Stores the certificate fingerprint the user trusts for the camera (found by
    // identity in any group) and returns the camera's new definition; none when the
    // camera is in no group.
    Value trustCertificate(const Value &camera, const QString &fingerprint);

    QString groupFilePath() const;
    QString legacyGroupFilePath() const;
    const QTimer &saveTimer() const { return m_saveTimer; }

signals:
    // Groups added, removed or moved, or the whole list replaced.
    void groupListChanged();
    void selectionChanged(const Value &group);
    // A group's name or cameras.
    void groupChanged(const Value &group);

private:
    bool readGroupFile(const QString &path, bool enciphered, QString *error);
    static Value camerasOf(Value &group);
    void keepUnreadableGroupFile();
    QString m_unreadableCopy;

    Preferences &m_preferences;
    QString m_documentsDir;
    Value m_groups;
    Value m_selectedGroup;
    QTimer m_saveTimer;
};
