#include "config/DefaultSettings.h"
#include "config/GroupStore.h"
#include "config/PropertyList.h"
#include "config/QelCrypto.h"
#include "platform/AtomicFile.h"
#include "platform/Preferences.h"
#include "util/QelLog.h"

#include "logcapture/LogCapture.h"
#include "support/HostileInput.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <plist/plist.h>

namespace {

// A line at this level ("ERROR", "DEBUG") whose message holds text.
bool logged(const LogCapture &log, const char *level, const char *text)
{
    const QStringList lines = log.matching(QLatin1StringView(text));
    return std::any_of(lines.cbegin(), lines.cend(),
                       [level](const QString &line) { return line.contains(QLatin1Char('<') + QLatin1StringView(level)); });
}

const char *LegacyGroups = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><array>
  <dict><key>name</key><string>Old</string><key>uid</key><integer>4</integer>
    <key>cameras</key><array><dict>
      <key>title</key><string>Door</string><key>enabled</key><string>y</string>
      <key>video.parameters</key><dict><key>video.url</key><string>http://10.1.1.1:81/img/video.mjpeg</string></dict>
    </dict></array></dict>
  <dict><key>name</key><string>Second</string><key>uid</key><integer>9</integer><key>cameras</key><array/></dict>
</array></plist>)";

// Reads groups.bin without the store: decipher, then libplist straight.
Value readBackIndependently(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto plain = QelCrypto::decryptBlob(file.readAll(), QelCrypto::STORAGE_IV);
    if (!plain || !plain->startsWith("bplist00"))
        return {};
    plist_t root = nullptr;
    plist_from_bin(plain->constData(), static_cast<uint32_t>(plain->size()), &root);
    if (!root)
        return {};
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    plist_free(root);
    const Value result = PropertyList::fromData(QByteArray(xml, length), nullptr);
    free(xml);
    return result;
}

} // namespace

class TestGroupStore final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Preferences> m_prefs;
    LogCapture m_log;

    QString path(const char *name) const { return m_dir->filePath(QString::fromLatin1(name)); }

    std::unique_ptr<GroupStore> startStore()
    {
        auto store = std::make_unique<GroupStore>(*m_prefs, m_dir->path());
        store->start();
        return store;
    }

    void writeFile(const char *name, const QByteArray &bytes) { QVERIFY(AtomicFile::write(path(name), bytes)); }

private slots:
    void init()
    {
        m_log.clear();
        m_dir = std::make_unique<QTemporaryDir>();
        m_prefs = std::make_unique<Preferences>(path("preferences.conf"));
        DefaultSettings::initializeDefaultSettings(*m_prefs);
        QelLog::setLoggingThreshhold(0);
    }

    void firstStartWithNoFiles()
    {
        auto store = startStore();
        // A new profile is not an error.
        QVERIFY(logged(m_log, "DEBUG", "Failed to decrypt stored groups. Attempting fall-back to deprecated plaintext mode."));
        QVERIFY(logged(m_log, "DEBUG", "Failed to parse stored groups using deprecated plaintext mode."));
        QVERIFY(m_log.matching(QStringLiteral("<ERROR")).isEmpty());
        QVERIFY(store->unreadableCopyPath().isEmpty());
        QCOMPARE(store->groups().size(), 1);
        const Value group = store->groups().at(0);
        QCOMPARE(group.value(QStringLiteral("name")).toString(), QStringLiteral("Default"));
        QCOMPARE(group.value(QStringLiteral("uid")).toInteger(), 1);
        QCOMPARE(group.value(QStringLiteral("cameras")).size(), 0);
        QVERIFY(store->selectedGroup().isSameObject(group));
        QCOMPARE(m_prefs->selectedGroupId(), 1);
        QCOMPARE(m_prefs->nextGroupId(), 2);
        // The default group reaches the disk at the first save, not at once.
        QVERIFY(!QFile::exists(store->groupFilePath()));
        QVERIFY(store->saveTimer().isActive());

        QVERIFY(store->persistBulkData());
        QCOMPARE(QFile::permissions(store->groupFilePath()),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
        const Value onDisk = readBackIndependently(store->groupFilePath());
        QVERIFY(onDisk == store->groups());
    }

    void convertsTheLegacyFile()
    {
        writeFile("groups.plist", LegacyGroups);
        m_prefs->setSelectedGroupId(9);
        auto store = startStore();
        QVERIFY(logged(m_log, "DEBUG", "Converted plaintext group file."));
        QVERIFY(!QFile::exists(path("groups.plist")));
        QCOMPARE(store->groups().size(), 2);
        QCOMPARE(store->selectedGroup().value(QStringLiteral("name")).toString(), QStringLiteral("Second"));
        const Value video = store->groups().at(0).value(QStringLiteral("cameras")).at(0).value(
            QStringLiteral("video.parameters"));
        QCOMPARE(video.value(QStringLiteral("video.type")).toString(), QStringLiteral("GENMJPEG"));
        QCOMPARE(video.value(QStringLiteral("video.port")).toString(), QStringLiteral("81"));
        QVERIFY(readBackIndependently(path("groups.bin")) == store->groups());
    }

    void damagedFileFallsBackAndIsKept_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::newRow("not a property list") << QByteArray("this is not a property list");
        QTest::newRow("key with NUL") << QByteArray::fromBase64(NulKeyPayload);
    }

    // Deciphers fine but cannot be read.
    void damagedFileFallsBackAndIsKept()
    {
        QFETCH(QByteArray, plain);
        const QByteArray damaged = *QelCrypto::encryptBlob(plain, QelCrypto::STORAGE_IV);
        writeFile("groups.bin", damaged);
        writeFile("groups.plist", LegacyGroups);
        auto store = startStore();
        QCOMPARE(store->groups().size(), 2);
        QVERIFY(!QFile::exists(path("groups.plist")));
        QVERIFY(readBackIndependently(path("groups.bin")) == store->groups());
        const QStringList kept = QDir(m_dir->path()).entryList({ QStringLiteral("groups.bin.unreadable-*") });
        QCOMPARE(kept.size(), 1);
        QFile copy(m_dir->filePath(kept.first()));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), damaged);
        QCOMPARE(store->unreadableCopyPath(), copy.fileName());
    }

    // Reading alone writes nothing; the start-up keeps a copy before anything replaces the file.
    void unreadableFileWithoutFallBack()
    {
        writeFile("groups.bin", "not enciphered at all");
        GroupStore reader(*m_prefs, m_dir->path());
        QCOMPARE(reader.loadBulkData(), GroupStore::Load::Unreadable);
        QVERIFY(logged(m_log, "ERROR", "Failed to decrypt stored groups."));
        QCOMPARE(QDir(m_dir->path()).entryList({ QStringLiteral("groups*") }), (QStringList{ QStringLiteral("groups.bin") }));

        auto store = startStore();
        QVERIFY(QFile::exists(store->unreadableCopyPath()));
        QCOMPARE(store->groups().size(), 1);
    }

    void staleSelectionAndDuplicateUids()
    {
        writeFile("groups.plist", R"(<plist version="1.0"><array>
            <dict><key>name</key><string>A</string><key>uid</key><integer>5</integer></dict>
            <dict><key>name</key><string>B</string><key>uid</key><integer>5</integer></dict>
            <dict><key>name</key><string>C</string></dict>
        </array></plist>)");
        m_prefs->setSelectedGroupId(77);
        auto store = startStore();
        QCOMPARE(store->selectedGroup().value(QStringLiteral("name")).toString(), QStringLiteral("A"));
        QCOMPARE(m_prefs->selectedGroupId(), 5);
        QVERIFY(store->findGroupByUID(5).isSameObject(store->groups().at(0)));
        // A group without "uid" reads as 0.
        QVERIFY(store->findGroupByUID(0).isSameObject(store->groups().at(2)));
        QVERIFY(store->findGroupByUID(6).isNull());
    }

    void newGroupsGetFreshIdentifiers()
    {
        auto store = startStore();
        Value imported = Value::dictionary();
        Value cameras = Value::array({ Value::dictionary() });
        imported.insert(QStringLiteral("uid"), 7);
        imported.insert(QStringLiteral("cameras"), cameras);
        QVERIFY(store->addGroup(imported).isSameObject(imported));
        QCOMPARE(imported.value(QStringLiteral("uid")).toInteger(), 2);
        QVERIFY(imported.value(QStringLiteral("cameras")).isSameObject(cameras));
        QVERIFY(store->groups().at(1).isSameObject(imported));

        const Value blank = store->addGroup();
        QVERIFY(store->groups().at(2).isSameObject(blank));
        QCOMPARE(blank.value(QStringLiteral("uid")).toInteger(), 3);
        QVERIFY(blank.value(QStringLiteral("cameras")).isArray());
        QVERIFY(!blank.contains(QStringLiteral("name")));
        QCOMPARE(m_prefs->nextGroupId(), 4);
    }

    // Each operation announces once what it changed, and nothing else.
    void operationsAnnounceWhatChanged()
    {
        auto store = startStore();
        QSignalSpy list(store.get(), &GroupStore::groupListChanged);
        QSignalSpy selection(store.get(), &GroupStore::selectionChanged);
        QSignalSpy group(store.get(), &GroupStore::groupChanged);
        const auto counts = [&] { return QList<qsizetype>{ list.size(), selection.size(), group.size() }; };
        const auto clear = [&] {
            list.clear();
            selection.clear();
            group.clear();
        };
        const Value first = store->groups().at(0);

        const Value second = store->addGroup();
        QCOMPARE(counts(), (QList<qsizetype>{ 1, 0, 0 }));
        clear();
        store->moveGroup(1, 0);
        QCOMPARE(counts(), (QList<qsizetype>{ 1, 0, 0 }));
        QVERIFY(store->groups().at(0).isSameObject(second));
        clear();
        store->moveGroup(0, 5);
        store->removeGroup(-1);
        QCOMPARE(counts(), (QList<qsizetype>{ 0, 0, 0 }));

        store->selectGroup(second);
        store->selectGroup(second);
        QCOMPARE(counts(), (QList<qsizetype>{ 0, 1, 0 }));
        QVERIFY(selection.at(0).at(0).value<Value>().isSameObject(second));
        QCOMPARE(m_prefs->selectedGroupId(), 2);
        clear();
        store->selectNextGroup();
        QVERIFY(store->selectedGroup().isSameObject(first));
        QCOMPARE(counts(), (QList<qsizetype>{ 0, 1, 0 }));
        clear();

        const Value a = Value::dictionary();
        const Value b = Value::dictionary();
        store->renameGroup(second, QStringLiteral("Yard"));
        store->renameGroup(second, QStringLiteral("Yard"));
        store->appendCameras(second, { a, b });
        store->moveCamera(second, 0, 1);
        const Value edited = Value::dictionary();
        store->saveCamera(second, a, edited);
        store->saveCamera(second, Value(), Value::dictionary());
        store->removeCamera(second, 0);
        QCOMPARE(counts(), (QList<qsizetype>{ 0, 0, 6 }));
        for (const QList<QVariant> &args : std::as_const(group))
            QVERIFY(args.at(0).value<Value>().isSameObject(second));
        const Value cameras = second.value(QStringLiteral("cameras"));
        QCOMPARE(cameras.size(), 2);
        QVERIFY(cameras.at(0).isSameObject(edited));
        clear();

        // Removing the selected group hands the selection to the first one left.
        store->removeGroup(1);
        QCOMPARE(counts(), (QList<qsizetype>{ 1, 1, 0 }));
        QVERIFY(store->selectedGroup().isSameObject(second));
        clear();
        store->removeGroup(0);
        QVERIFY(store->selectedGroup().isNull());
        store->addDefaultGroupIfEmpty();
        store->addDefaultGroupIfEmpty();
        QCOMPARE(store->groups().size(), 1);
        QVERIFY(store->selectedGroup().isSameObject(store->groups().at(0)));
        QCOMPARE(counts(), (QList<qsizetype>{ 2, 2, 0 }));
    }

    void tourIsOptionalAndOnlyFromTheChoices()
    {
        auto store = startStore();
        Value group = store->groups().at(0);
        QCOMPARE(GroupStore::tourSeconds(group), 0);
        QSignalSpy changed(store.get(), &GroupStore::groupChanged);
        store->setTourSeconds(group, 0);
        QCOMPARE(changed.size(), 0);
        store->setTourSeconds(group, 20);
        QCOMPARE(changed.size(), 1);
        QVERIFY(store->persistBulkData());
        QCOMPARE(GroupStore::tourSeconds(readBackIndependently(store->groupFilePath()).at(0)), 20);

        // Off leaves the group as older versions wrote it; odd values read as off.
        store->setTourSeconds(group, 45);
        QVERIFY(!group.contains(QStringLiteral("tour.seconds")));
        group.insert(QStringLiteral("tour.seconds"), 45);
        QCOMPARE(GroupStore::tourSeconds(group), 0);
        group.insert(QStringLiteral("tour.seconds"), QStringLiteral("30"));
        QCOMPARE(GroupStore::tourSeconds(group), 0);
    }

    void unserialisableGroupsLeaveTheFileAlone()
    {
        auto store = startStore();
        QVERIFY(store->persistBulkData());
        QFile file(store->groupFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        Value camera = Value::dictionary();
        camera.insert(QStringLiteral("service"), Value::handle(std::make_shared<int>(0)));
        store->groups().at(0).value(QStringLiteral("cameras")).append(camera);
        m_log.clear();
        QVERIFY(!store->persistBulkData());
        QVERIFY(logged(m_log, "ERROR", "Error preparing groups for storage: "));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void failedWriteIsLogged()
    {
        auto store = startStore();
        // A directory where the file should be makes the write fail.
        QVERIFY(QDir().mkpath(store->groupFilePath()));
        m_log.clear();
        QVERIFY(!store->persistBulkData());
        QVERIFY(logged(m_log, "ERROR", "Failed to write stored groups"));
    }
};

QTEST_GUILESS_MAIN(TestGroupStore)
#include "tst_groupstore.moc"
