#include "config/PropertyList.h"
#include "platform/AtomicFile.h"
#include "platform/Profile.h"

#include "support/HostileInput.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Run vyoctl(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VYOCTL_PATH), arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QString example()
{
    return QStringLiteral(VYO_SOURCE_DIR "/examples/demo-groups.plist");
}

QStringList listing(const QString &dir)
{
    QStringList entries;
    for (const QFileInfo &info : QDir(dir).entryInfoList(QDir::Files, QDir::Name))
        entries.append(info.fileName() + QLatin1Char(':') + QString::number(info.size()));
    return entries;
}

} // namespace

class TestVyoctl final : public QObject
{
    Q_OBJECT

private slots:
    void importThenShowRoundTrips()
    {
        QTemporaryDir tmp;
        const QString profile = tmp.filePath(QStringLiteral("p"));
        Run run = vyoctl({ QStringLiteral("--profile"), profile, QStringLiteral("import"), example() });
        QVERIFY2(run.code == 0, run.err.constData());
        QCOMPARE(run.out, QByteArray("Added 2 groups with 3 cameras\n"));

        run = vyoctl({ QStringLiteral("import"), example(), QStringLiteral("--profile"), profile });
        QCOMPARE(run.code, 0);

        run = vyoctl({ QStringLiteral("--profile"), profile, QStringLiteral("show") });
        QCOMPARE(run.code, 0);
        QString error;
        const Value groups = PropertyList::fromData(run.out, &error);
        QVERIFY2(groups.isArray(), qPrintable(error));
        QCOMPARE(groups.size(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(groups.at(i).value(QStringLiteral("uid")).toInteger(), i + 1);
        // Imported cameras are upgraded to the current layout (the conversion itself is tst_cameraprofileupdater's).
        const Value lobby = groups.at(0).value(QStringLiteral("cameras")).at(0);
        QCOMPARE(lobby.value(QStringLiteral("definition_version")).toString(), QStringLiteral("1"));
        QVERIFY(!lobby.value(QStringLiteral("video.parameters")).contains(QStringLiteral("video.url")));
    }

    void badInputChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("not a property list") << QByteArray("just some text\n");
        QTest::newRow("a dictionary") << QByteArray("<plist><dict><key>a</key><string>b</string></dict></plist>");
        QTest::newRow("array of text") << QByteArray("<plist><array><string>x</string></array></plist>");
        QTest::newRow("cameras not an array")
            << QByteArray("<plist><array><dict><key>cameras</key><string>x</string></dict></array></plist>");
        QTest::newRow("camera not a dictionary")
            << QByteArray("<plist><array><dict><key>cameras</key><array><integer>1</integer></array></dict></array></plist>");
        QTest::newRow("video parameters not a dictionary")
            << QByteArray("<plist><array><dict><key>cameras</key><array><dict><key>video.parameters</key>"
                          "<string>x</string></dict></array></dict></array></plist>");
        QTest::newRow("key with NUL") << QByteArray::fromBase64(NulKeyPayload);
    }

    void badInputChangesNothing()
    {
        QFETCH(QByteArray, contents);
        QTemporaryDir tmp;
        const QString profile = tmp.filePath(QStringLiteral("p"));
        QVERIFY(vyoctl({ QStringLiteral("--profile"), profile, QStringLiteral("import"), example() }).code == 0);
        const QStringList before = listing(profile);

        const QString input = tmp.filePath(QStringLiteral("input"));
        QVERIFY(AtomicFile::write(input, contents));
        const Run run = vyoctl({ QStringLiteral("--profile"), profile, QStringLiteral("import"), input });
        QCOMPARE(run.code, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.startsWith("vyoctl: "));
        QCOMPARE(run.err.count('\n'), 1);
        QCOMPARE(listing(profile), before);

        // Nothing is created for a profile that did not exist.
        const QString fresh = tmp.filePath(QStringLiteral("fresh"));
        QCOMPARE(vyoctl({ QStringLiteral("--profile"), fresh, QStringLiteral("import"), input }).code, 2);
        QVERIFY(!QFile::exists(fresh));
    }

    void usageErrors()
    {
        QCOMPARE(vyoctl({}).code, 2);
        QCOMPARE(vyoctl({ QStringLiteral("frobnicate") }).code, 2);
        QCOMPARE(vyoctl({ QStringLiteral("import") }).code, 2);
        QCOMPARE(vyoctl({ QStringLiteral("import"), QStringLiteral("/nonexistent/file") }).code, 2);
        QCOMPARE(vyoctl({ QStringLiteral("show"), QStringLiteral("--log-level"), QStringLiteral("9") }).code, 2);
        const Run version = vyoctl({ QStringLiteral("--version") });
        QCOMPARE(version.code, 0);
        QVERIFY(version.out.startsWith("vyoctl "));
        QCOMPARE(vyoctl({ QStringLiteral("import"), QStringLiteral("--help") }).code, 0);
    }

    void lockedProfileIsRefused()
    {
        QTemporaryDir tmp;
        const Profile profile = Profile::resolve(tmp.filePath(QStringLiteral("p")));
        QVERIFY(profile.ensureDirectories());
        QLockFile lock(profile.lockPath());
        QVERIFY(lock.tryLock(0));
        const Run run = vyoctl({ QStringLiteral("--profile"), profile.dataDir(), QStringLiteral("show") });
        QCOMPARE(run.code, 1);
        QVERIFY(run.err.contains("in use by a running viewer"));

        // A viewer killed before it wrote its lock leaves an empty one, which is taken over.
        lock.unlock();
        QFile empty(profile.lockPath());
        QVERIFY(empty.open(QIODevice::WriteOnly));
        QVERIFY(empty.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-10), QFileDevice::FileModificationTime));
        empty.close();
        QCOMPARE(vyoctl({ QStringLiteral("--profile"), profile.dataDir(), QStringLiteral("show") }).code, 0);
    }

    void unreadableGroupsAreLeftAlone()
    {
        QTemporaryDir tmp;
        const QString profile = tmp.filePath(QStringLiteral("p"));
        QVERIFY(vyoctl({ QStringLiteral("--profile"), profile, QStringLiteral("import"), example() }).code == 0);
        QVERIFY(AtomicFile::write(profile + QStringLiteral("/groups.bin"), "damaged"));
        const QStringList before = listing(profile);
        for (const char *command : { "show", "import" }) {
            QStringList arguments{ QStringLiteral("--profile"), profile, QString::fromLatin1(command) };
            if (qstrcmp(command, "import") == 0)
                arguments.append(example());
            const Run run = vyoctl(arguments);
            QCOMPARE(run.code, 1);
            QVERIFY(run.out.isEmpty());
            QVERIFY2(run.err.contains("cannot be read"), run.err.constData());
            QCOMPARE(listing(profile), before);
        }
    }

    void linksRoundTrip()
    {
        QTemporaryDir tmp;
        const QString profile = tmp.filePath(QStringLiteral("p"));
        QCOMPARE(vyoctl({ QStringLiteral("--profile"), profile, QStringLiteral("import"), example() }).code, 0);
        Run run = vyoctl({ QStringLiteral("--profile"), profile, QStringLiteral("link"), QStringLiteral("Yard") });
        QCOMPARE(run.code, 0);
        const QString link = QString::fromLatin1(run.out.trimmed());
        QVERIFY(link.startsWith(QLatin1StringView("vyo://group/")));
        run = vyoctl({ QStringLiteral("open-link"), link });
        QCOMPARE(run.code, 0);
        const Value opened = PropertyList::fromData(run.out, nullptr);
        QCOMPARE(opened.value(QStringLiteral("type")).toString(), QStringLiteral("group"));
        QCOMPARE(opened.value(QStringLiteral("definition")).value(QStringLiteral("name")).toString(), QStringLiteral("Yard"));
        QCOMPARE(vyoctl({ QStringLiteral("--profile"), profile, QStringLiteral("link"), QStringLiteral("Nope") }).code, 2);

        // An ad-hoc camera that expired yesterday, allowed on this very device.
        const QString cameraFile = tmp.filePath(QStringLiteral("camera.plist"));
        const Value camera = opened.value(QStringLiteral("definition")).value(QStringLiteral("cameras")).at(0);
        QVERIFY(AtomicFile::write(cameraFile, PropertyList::toXml(camera, nullptr)));
        const QString yesterday = QDateTime::currentDateTimeUtc().addDays(-1).toString(Qt::ISODate);
        run = vyoctl({ QStringLiteral("make-link"), QStringLiteral("--type"), QStringLiteral("adhoc_camera"), cameraFile,
                       QStringLiteral("--expires"), yesterday, QStringLiteral("--allow-device"), QStringLiteral("X") });
        QCOMPARE(run.code, 0);
        const QString adhoc = QString::fromLatin1(run.out.trimmed());
        QVERIFY(adhoc.startsWith(QLatin1StringView("vyo://adhoc_camera/")));
        run = vyoctl({ QStringLiteral("open-link"), adhoc });
        QCOMPARE(run.code, 0);
        const Value shown = PropertyList::fromData(run.out, nullptr);
        QCOMPARE(shown.value(QStringLiteral("on this device")).toString(), QStringLiteral("expired"));
        QCOMPARE(shown.value(QStringLiteral("definition")).value(QStringLiteral("title")).toString(), QStringLiteral("Gate"));

        QCOMPARE(vyoctl({ QStringLiteral("make-link"), cameraFile, QStringLiteral("--expires"), yesterday }).code, 2);
        QCOMPARE(vyoctl({ QStringLiteral("make-link"), example() }).code, 2);
        QCOMPARE(vyoctl({ QStringLiteral("open-link"), QStringLiteral("vyo://group/AAAA") }).code, 2);
        QCOMPARE(vyoctl({ QStringLiteral("open-link"), QStringLiteral("vyo://group/") + QLatin1StringView(NulKeyPayload) }).code, 2);
        QCOMPARE(vyoctl({ QStringLiteral("open-link"), QStringLiteral("http://example.invalid/") }).code, 2);
    }
};

QTEST_GUILESS_MAIN(TestVyoctl)
#include "tst_vyoctl.moc"
