#include "config/DefaultSettings.h"
#include "platform/AtomicFile.h"
#include "platform/Preferences.h"
#include "platform/Profile.h"
#include "util/QelLog.h"

#include "logcapture/LogCapture.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr auto OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
    | QFileDevice::WriteUser;

} // namespace

class TestProfile final : public QObject
{
    Q_OBJECT

private slots:
    void locations()
    {
        qputenv("VYO_PROFILE_DIR", "/tmp/vyo-env-profile");
        QCOMPARE(Profile::resolve().dataDir(), QStringLiteral("/tmp/vyo-env-profile"));
        QCOMPARE(Profile::resolve().configDir(), QStringLiteral("/tmp/vyo-env-profile"));
        QCOMPARE(Profile::resolve(QStringLiteral("/tmp/other")).configDir(), QStringLiteral("/tmp/other"));
        qunsetenv("VYO_PROFILE_DIR");
        qputenv("XDG_CONFIG_HOME", "/tmp/xdg-config");
        qputenv("XDG_DATA_HOME", "/tmp/xdg-data");
        const Profile xdg = Profile::resolve();
        QCOMPARE(xdg.configDir(), QStringLiteral("/tmp/xdg-config/vyo"));
        QCOMPARE(xdg.dataDir(), QStringLiteral("/tmp/xdg-data/vyo"));
        QCOMPARE(xdg.preferencesPath(), QStringLiteral("/tmp/xdg-config/vyo/preferences.conf"));
    }

    void directoriesAreOwnerOnlyAndLockable()
    {
        QTemporaryDir tmp;
        const Profile profile = Profile::resolve(tmp.filePath(QStringLiteral("p")));
        QVERIFY(profile.ensureDirectories());
        QCOMPARE(QFile::permissions(profile.dataDir()), OwnerOnly | QFileDevice::ExeOwner | QFileDevice::ExeUser);
        auto first = profile.tryLock();
        QVERIFY(first);
        QVERIFY(!profile.tryLock());
        first.reset();
        QVERIFY(profile.tryLock());
    }

    // Only what the viewer creates is made owner-only; --profile ~ must not close the home directory.
    void existingDirectoriesKeepTheirMode()
    {
        QTemporaryDir tmp;
        const auto shared = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser
            | QFileDevice::WriteUser | QFileDevice::ExeUser | QFileDevice::ReadGroup | QFileDevice::ExeGroup
            | QFileDevice::ReadOther | QFileDevice::ExeOther;
        QVERIFY(QFile::setPermissions(tmp.path(), shared));
        const Profile existing = Profile::resolve(tmp.path());
        QVERIFY(existing.ensureDirectories());
        QCOMPARE(QFile::permissions(tmp.path()), shared);
        LogCapture log;
        QelLog::setLoggingThreshhold(2);
        existing.warnIfReadableByOthers();
        QCOMPARE(log.count(QStringLiteral("can be read by other users")), 2);

        const QString nested = tmp.filePath(QStringLiteral("a/b"));
        QVERIFY(Profile::resolve(nested).ensureDirectories());
        for (const QString &dir : { tmp.filePath(QStringLiteral("a")), nested })
            QCOMPARE(QFile::permissions(dir), OwnerOnly | QFileDevice::ExeOwner | QFileDevice::ExeUser);
        log.clear();
        Profile::resolve(nested).warnIfReadableByOthers();
        QVERIFY(log.lines().isEmpty());
    }

    // What kills during saves leave: an empty lock, temporary files, lock files of
    // the preferences and of Qt's stale-lock removal.
    void abandonedLocksAndLeftoversAreCleared()
    {
        QTemporaryDir tmp;
        const Profile profile = Profile::resolve(tmp.filePath(QStringLiteral("p")));
        QVERIFY(profile.ensureDirectories());
        const auto put = [&](const char *name, const QByteArray &contents) {
            QFile file(QDir(profile.dataDir()).filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
            QVERIFY(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-10), QFileDevice::FileModificationTime));
        };
        QFile(profile.lockPath()).open(QIODevice::WriteOnly);
        // An empty lock just made may belong to a start that is writing it.
        QVERIFY(!profile.tryLock());
        put("vyo.lock", QByteArray());
        put("groups.bin.Ab12Cd", "half");
        put("preferences.conf.x1Y2z3", "half");
        put("preferences.conf.lock", "999999\nvyo\nnowhere\n");
        put("vyo.lock.rmlock", QByteArray());
        put("groups.bin", "kept");
        put("groups.bin.unreadable-0123456789ab", "kept");
        QLockFile live(QDir(profile.dataDir()).filePath(QStringLiteral("live.rmlock")));
        QVERIFY(live.tryLock(0));

        const auto lock = profile.tryLock();
        QVERIFY(lock);
        QCOMPARE(QFile::permissions(profile.lockPath()), OwnerOnly);
        QCOMPARE(QDir(profile.dataDir()).entryList(QDir::Files, QDir::Name),
                 QStringList({ QStringLiteral("groups.bin"), QStringLiteral("groups.bin.unreadable-0123456789ab"),
                               QStringLiteral("live.rmlock"), QStringLiteral("vyo.lock") }));
    }

    void atomicWritesAreOwnerOnly()
    {
        QTemporaryDir tmp;
        const QString file = tmp.filePath(QStringLiteral("f"));
        QVERIFY(AtomicFile::write(file, "one"));
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
        QVERIFY(AtomicFile::write(file, "two"));
        QCOMPARE(QFile::permissions(file), OwnerOnly);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("two"));
        QString error;
        QVERIFY(!AtomicFile::write(tmp.filePath(QStringLiteral("missing/dir/f")), "x", &error));
        QVERIFY(!error.isEmpty());
    }

    // An empty file reads the defaults. Each write keeps the key and the text earlier
    // versions stored, and announces the key once, also when the value is unchanged.
    // A hand-edited file wins over the defaults, and its log settings reach QelLog.
    void typedPreferences()
    {
        using Key = Preferences::Key;
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("preferences.conf"));
        {
            Preferences prefs(path);
            QVERIFY(prefs.logEnabled());
            QCOMPARE(prefs.logThreshold(), 2);
            QVERIFY(!prefs.showAutoCameras());
            QCOMPARE(prefs.nextGroupId(), 1);
            QCOMPARE(prefs.selectedGroupId(), 0);
            QVERIFY(!prefs.showFPS());
            QVERIFY(!prefs.registrationShown());
            QVERIFY(!prefs.registrationNeeded());
            QVERIFY(prefs.registrationSubscribed());
            QVERIFY(prefs.registrationFirstName().isEmpty());
            QVERIFY(prefs.registrationLastVersion().isEmpty());
            QelLog::setLoggingEnabled(false);
            DefaultSettings::initializeDefaultSettings(prefs);
            QVERIFY(QelLog::loggingEnabled());
            QCOMPARE(QelLog::loggingThreshhold(), 2u);

            QSignalSpy changed(&prefs, &Preferences::changed);
            prefs.setShowFPS(false);
            prefs.setShowAutoCameras(true);
            prefs.setNextGroupId(5);
            prefs.setSelectedGroupId(7);
            prefs.setRegistrationShown(true);
            prefs.setRegistrationNeeded(true);
            prefs.setRegistrationSubscribed(false);
            prefs.setRegistrationFirstName(QStringLiteral("Ada"));
            prefs.setRegistrationLastName(QStringLiteral("King"));
            prefs.setRegistrationEmail(QStringLiteral("ada@example.com"));
            prefs.setRegistrationEmail(QString());
            prefs.setRegistrationLastVersion(QStringLiteral("1.2"));
            QList<Key> keys;
            for (const QList<QVariant> &args : std::as_const(changed))
                keys.append(args.at(0).value<Key>());
            QCOMPARE(keys, (QList<Key>{ Key::ShowFPS, Key::ShowAutoCameras, Key::NextGroupId, Key::SelectedGroupId,
                                        Key::RegistrationShown, Key::RegistrationNeeded, Key::RegistrationSubscribed,
                                        Key::RegistrationFirstName, Key::RegistrationLastName, Key::RegistrationEmail,
                                        Key::RegistrationEmail, Key::RegistrationLastVersion }));
            QCOMPARE(prefs.selectedGroupId(), 7);
            QVERIFY(prefs.registrationEmail().isEmpty());
        }
        QCOMPARE(QFile::permissions(path), OwnerOnly);
        QSettings raw(path, QSettings::IniFormat);
        QMap<QString, QString> stored;
        for (const QString &key : raw.allKeys())
            stored.insert(key, raw.value(key).toString());
        QCOMPARE(stored, (QMap<QString, QString>{ { QStringLiteral("VidShowFPS"), QStringLiteral("false") },
                                                  { QStringLiteral("ShowAutoCameras"), QStringLiteral("true") },
                                                  { QStringLiteral("NextGroupId"), QStringLiteral("5") },
                                                  { QStringLiteral("SelectedGroupId"), QStringLiteral("7") },
                                                  { QStringLiteral("RegShown"), QStringLiteral("true") },
                                                  { QStringLiteral("RegNeeded"), QStringLiteral("true") },
                                                  { QStringLiteral("RegSubscribe"), QStringLiteral("false") },
                                                  { QStringLiteral("RegFirstName"), QStringLiteral("Ada") },
                                                  { QStringLiteral("RegLastName"), QStringLiteral("King") },
                                                  { QStringLiteral("RegLastVer"), QStringLiteral("1.2") } }));

        raw.setValue(QStringLiteral("VidShowFPS"), QStringLiteral("yes"));
        raw.setValue(QStringLiteral("QelLogEnabled"), QStringLiteral("0"));
        raw.setValue(QStringLiteral("QelLogLevel"), QStringLiteral("0"));
        raw.sync();
        const Preferences edited(path);
        QVERIFY(edited.showFPS());
        QCOMPARE(edited.nextGroupId(), 5);
        DefaultSettings::initializeDefaultSettings(edited);
        QVERIFY(!QelLog::loggingEnabled());
        QCOMPARE(QelLog::loggingThreshhold(), 0u);
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_profile.moc"
