#include "app/MainWindow.h"
#include "app/OpenURLHandler.h"
#include "app/SettingsViewController.h"
#include "app/VyoAppDelegate.h"

#include "logcapture/LogCapture.h"
#include "support/HostileInput.h"
#include "config/GroupStore.h"
#include "config/PropertyList.h"
#include "ui/kit/Alert.h"
#include "ui/kit/ModalPanel.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/RoundedButton.h"
#include "ui/live/MultiPageScrollerView.h"
#include "ui/live/SingleView.h"
#include "platform/AtomicFile.h"
#include "platform/DeviceIdentity.h"
#include "platform/Preferences.h"
#include "ui/settings/GroupChooserView.h"
#include "ui/settings/GroupListView.h"
#include "ui/settings/GroupViewController.h"
#include "sharing/ConfigLink.h"
#include "util/QelLog.h"
#include "util/Utilities.h"

#include <QApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using View = LiveViewHost::View;

namespace {

Value camera(const QString &title)
{
    Value c = Value::dictionary();
    if (!title.isEmpty())
        c.insert(QStringLiteral("title"), title);
    c.insert(QStringLiteral("video.protocol"), QStringLiteral("AXISMJPEG"));
    Value parameters = Value::dictionary();
    parameters.insert(QStringLiteral("video.host"), QStringLiteral("127.0.0.1"));
    parameters.insert(QStringLiteral("video.port"), QStringLiteral("9"));
    c.insert(QStringLiteral("video.parameters"), parameters);
    c.insert(QStringLiteral("enabled"), QStringLiteral("y"));
    return c;
}

Value group(const QString &name, int cameras)
{
    Value g = Value::dictionary();
    if (!name.isEmpty())
        g.insert(QStringLiteral("name"), name);
    g.insert(QStringLiteral("uid"), 7);
    Value list = Value::array();
    for (int i = 0; i < cameras; ++i)
        list.append(camera(QStringLiteral("Cam %1").arg(i + 1)));
    g.insert(QStringLiteral("cameras"), list);
    return g;
}

Value withRestriction(Value definition, const QDateTime &expires, const QStringList &devices)
{
    Value rule = Value::dictionary();
    if (expires.isValid())
        rule.insert(QStringLiteral("expireDate"), Value::date(expires));
    if (!devices.isEmpty()) {
        Value list = Value::array();
        for (const QString &device : devices)
            list.append(device);
        rule.insert(QStringLiteral("allowedDevices"), list);
    }
    definition.insert(QStringLiteral("configRestrict"), rule);
    return definition;
}

QUrl link(ConfigLink::Type type, const Value &definition)
{
    QString error;
    return QUrl(ConfigLink::makeLink(type, definition, &error), QUrl::StrictMode);
}

QUrl rawLink(const QString &host, const QString &payload)
{
    return QUrl(QStringLiteral("vyo://%1/%2").arg(host, payload), QUrl::StrictMode);
}

// The sheet or alert a link put up: the newest modal panel of the application.
ModalPanel *openPanel()
{
    ModalPanel *found = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *panel = qobject_cast<ModalPanel *>(w); panel && panel->isVisible())
            found = panel;
    }
    return found;
}

QStringList buttonsOf(ModalPanel *panel)
{
    QStringList titles;
    for (int i = 0; i < panel->buttonCount(); ++i)
        titles << panel->button(i)->text();
    return titles;
}

} // namespace

class TestOpenURL final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<VyoAppDelegate> m_delegate;
    LogCapture m_log;

    GroupStore &store() const { return m_delegate->groupStore(); }

    void answer(int index)
    {
        ModalPanel *panel = openPanel();
        QVERIFY(panel);
        panel->dismissWithButtonIndex(index);
        QTRY_VERIFY(!openPanel());
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_preferences = std::make_unique<Preferences>(m_dir->filePath(QStringLiteral("preferences.conf")));
        m_preferences->setRegistrationShown(true);
        m_window = std::make_unique<MainWindow>();
        m_delegate = std::make_unique<VyoAppDelegate>(*m_window, *m_preferences, m_dir->path());
        m_delegate->applicationDidFinishLaunching();
        m_window->show();
        QelLog::setLoggingThreshhold(0);
        m_log.clear();
    }

    void cleanup()
    {
        m_delegate.reset();
        m_window.reset();
        m_preferences.reset();
    }

    void malformedLinksAreRefused_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QString>("line");
        const Value cam = camera(QStringLiteral("Door"));
        const QString cameraPayload = ConfigLink::payloadOf(link(ConfigLink::Camera, cam));
        QString error;
        const QByteArray plainArray = PropertyList::toBinary(Value::array({ cam }), &error);
        Value badTypes = group(QStringLiteral("Yard"), 1);
        badTypes.insert(QStringLiteral("cameras"), QStringLiteral("not a list"));
        const struct
        {
            QString host;
            QString line;
        } kinds[] = { { QStringLiteral("camera"), QStringLiteral("Failed to import camera definition.") },
                      { QStringLiteral("group"), QStringLiteral("Failed to import group definition.") },
                      { QStringLiteral("adhoc_camera"), QStringLiteral("Failed to import adhoc camera definition.") } };
        for (const auto &kind : kinds) {
            const auto row = [&](const char *name, const QString &payload) {
                QTest::addRow("%s %s", qPrintable(kind.host), name) << kind.host << payload << kind.line;
            };
            row("empty", QString());
            row("bad base64", QStringLiteral("%%%%****"));
            row("random bytes", Utilities::base64Encode(QByteArray(48, '\x5a')));
            row("truncated cipher", cameraPayload.left(cameraPayload.size() - 12));
            row("plain array", Utilities::base64Encode(plainArray));
            row("wrong types", ConfigLink::payloadOf(link(ConfigLink::Group, badTypes)));
            row("key with NUL", QString::fromLatin1(NulKeyPayload));
        }
        // A group link read with the camera vector, and the reverse.
        QTest::addRow("group payload as camera") << QStringLiteral("camera")
                                                 << ConfigLink::payloadOf(link(ConfigLink::Group, group(QStringLiteral("Yard"), 2)))
                                                 << QStringLiteral("Failed to import camera definition.");
        QTest::addRow("camera payload as group") << QStringLiteral("group") << cameraPayload
                                                 << QStringLiteral("Failed to import group definition.");
    }

    // Refused with the type's line and an alert that says so; nothing imported.
    void malformedLinksAreRefused()
    {
        QFETCH(QString, host);
        QFETCH(QString, payload);
        QFETCH(QString, line);
        const qsizetype groups = store().groups().size();
        QVERIFY(!m_delegate->application(rawLink(host, payload)));
        QCOMPARE(m_log.count(line), 1);
        QVERIFY(m_log.matching(line).first().contains(QLatin1StringView("<ERROR")));
        auto *alert = qobject_cast<Alert *>(openPanel());
        QVERIFY(alert);
        QCOMPARE(alert->title(), QStringLiteral("Camera Import Error"));
        QVERIFY(alert->message().endsWith(QLatin1StringView("could not be read.")));
        alert->close();
        QTRY_VERIFY(!openPanel());
        QCOMPARE(store().groups().size(), groups);
        QCOMPARE(m_delegate->currentView(), View::Multi);
    }

    void otherHostsAreRefusedSilently()
    {
        QVERIFY(!m_delegate->application(rawLink(QStringLiteral("settings"), QStringLiteral("abc"))));
        QVERIFY(m_log.lines().isEmpty());
        QVERIFY(!openPanel());
    }

    void sheetTitles_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QString>("title");
        QTest::newRow("camera") << link(ConfigLink::Camera, camera(QStringLiteral("Door")))
                                << QStringLiteral("Received a New Camera Definition: Door");
        QTest::newRow("untitled camera") << link(ConfigLink::Camera, camera(QString())) << QStringLiteral("Received a New Camera Definition");
        QTest::newRow("group") << link(ConfigLink::Group, group(QStringLiteral("Yard"), 2))
                               << QStringLiteral("Received a New Group Definition: Yard");
        QTest::newRow("nameless group") << link(ConfigLink::Group, group(QString(), 0)) << QStringLiteral("Received a New Group Definition");
    }

    void sheetTitles()
    {
        QFETCH(QUrl, url);
        QFETCH(QString, title);
        OpenURLHandler handler(*m_delegate);
        QVERIFY(handler.application(url));
        QCOMPARE(handler.panel()->title(), title);
        handler.panel()->close();
    }

    void plaintextLinksOfOlderVersions()
    {
        QString error;
        const Value cam = camera(QStringLiteral("Door"));
        for (const QByteArray &plain : { PropertyList::toBinary(cam, &error), PropertyList::toXml(cam, &error) }) {
            m_log.clear();
            OpenURLHandler handler(*m_delegate);
            QVERIFY(handler.application(rawLink(QStringLiteral("camera"), Utilities::base64Encode(plain))));
            QCOMPARE(m_log.count(QStringLiteral("Failed to decrypt config URL. Attempting fall-back to deprecated plaintext mode.")), 1);
            QCOMPARE(handler.urlData().value(QStringLiteral("title")).toString(), QStringLiteral("Door"));
            handler.panel()->close();
        }
    }

    void adhocRestrictions()
    {
        const QString me = DeviceIdentity::uniqueIdentifier();
        const QDateTime past = QDateTime::currentDateTimeUtc().addDays(-1);
        const QDateTime future = QDateTime::currentDateTimeUtc().addDays(1);

        // The date is tested first: an expired camera is refused even on an allowed device.
        QVERIFY(!m_delegate->application(link(ConfigLink::AdhocCamera, withRestriction(camera(QStringLiteral("Gate")), past, { me }))));
        QCOMPARE(m_log.count(QStringLiteral("Tried to import expired adhoc camera definition.")), 1);
        ModalPanel *alert = openPanel();
        QVERIFY(alert);
        QCOMPARE(alert->title(), QStringLiteral("Camera Import Error"));
        QCOMPARE(static_cast<Alert *>(alert)->message(), QStringLiteral("The adhoc camera definition you received (Gate) has expired."));
        QCOMPARE(buttonsOf(alert), QStringList(QStringLiteral("OK")));
        answer(0);

        QVERIFY(!m_delegate->application(
            link(ConfigLink::AdhocCamera, withRestriction(camera(QString()), future, { QStringLiteral("another-device") }))));
        QCOMPARE(m_log.count(QStringLiteral("Tried to import restricted adhoc camera definition.")), 1);
        QCOMPARE(static_cast<Alert *>(openPanel())->message(),
                 QStringLiteral("The adhoc camera definition you received is restricted, and cannot be displayed on this device."));
        answer(0);

        // A future date and no device list: shown, without its rule, and never stored.
        const qsizetype groups = store().groups().size();
        QVERIFY(m_delegate->application(link(ConfigLink::AdhocCamera, withRestriction(camera(QStringLiteral("Gate")), future, {}))));
        QCOMPARE(openPanel()->title(), QStringLiteral("Received an AdHoc Camera Definition: Gate"));
        QCOMPARE(buttonsOf(openPanel()), QStringList({ QStringLiteral("View Now"), QStringLiteral("Ignore") }));
        answer(0);
        QTRY_COMPARE(m_delegate->currentView(), View::Single);
        QTRY_VERIFY(!m_delegate->isTransitioning());
        const Value shown = m_delegate->singleView()->currentCamera();
        QCOMPARE(shown.value(QStringLiteral("title")).toString(), QStringLiteral("Gate"));
        QVERIFY(!shown.contains(QStringLiteral("configRestrict")));
        QVERIFY(m_delegate->multiView()->isEnabled());
        QCOMPARE(store().groups().size(), groups);
    }

    void choicesLeadToTheGroupScreens()
    {
        NavigationController *navigation = m_delegate->navigationController();
        GroupListView &groupList = m_delegate->settingController()->groupListController();

        QVERIFY(m_delegate->application(link(ConfigLink::Camera, camera(QStringLiteral("Door")))));
        answer(0);
        auto *chooser = qobject_cast<GroupChooserView *>(navigation->topViewController());
        QVERIFY(chooser);
        QCOMPARE(chooser->currentCamera().value(QStringLiteral("title")).toString(), QStringLiteral("Door"));
        QCOMPARE(m_delegate->currentView(), View::Settings);
        QTRY_VERIFY(!m_delegate->isTransitioning());

        // A new group gets a fresh identifier and opens in the group editor.
        const qsizetype groups = store().groups().size();
        QVERIFY(m_delegate->application(link(ConfigLink::Group, group(QStringLiteral("Yard"), 2))));
        answer(0);
        QCOMPARE(store().groups().size(), groups + 1);
        const Value added = store().groups().at(groups);
        QCOMPARE(added.value(QStringLiteral("name")).toString(), QStringLiteral("Yard"));
        QVERIFY(added.value(QStringLiteral("uid")).toInteger() != 7);
        QCOMPARE(navigation->viewControllers().value(1), static_cast<ViewController *>(&groupList));
        QTRY_COMPARE(navigation->topViewController(), static_cast<ViewController *>(groupList.groupController()));

        QVERIFY(m_delegate->application(link(ConfigLink::Group, group(QStringLiteral("Yard"), 2))));
        answer(1);
        chooser = qobject_cast<GroupChooserView *>(navigation->topViewController());
        QVERIFY(chooser);
        QCOMPARE(chooser->newGroup().value(QStringLiteral("cameras")).size(), 2);

        // Discarding changes nothing.
        QVERIFY(m_delegate->application(link(ConfigLink::Group, group(QStringLiteral("Yard"), 2))));
        answer(2);
        QCOMPARE(store().groups().size(), groups + 1);
    }

    // A choice made while the views are still changing is carried out once they have.
    void choiceDuringATransitionIsNotLost()
    {
        m_delegate->switchToView(View::Settings);
        QTRY_VERIFY(!m_delegate->isTransitioning());
        QVERIFY(m_delegate->application(link(ConfigLink::Group, group(QStringLiteral("Yard"), 1))));
        m_delegate->switchToView(View::Multi);
        QVERIFY(m_delegate->isTransitioning());
        answer(0);
        QTRY_COMPARE(m_delegate->currentView(), View::Settings);
        QTRY_VERIFY(!m_delegate->isTransitioning());
        QVERIFY(m_delegate->navigationController()->isVisible());
    }

    // Links as other parts of the system make them: the mail of a group, and an
    // ad-hoc camera from vyoctl make-link.
    void linksFromTheMailAndFromVyoctl()
    {
        const Value sent = group(QStringLiteral("Yard"), 2);
        const QString mail = ConfigLink::groupMailUrl(sent, nullptr);
        const QString body = QUrl::fromPercentEncoding(mail.mid(mail.indexOf(QLatin1StringView("body=")) + 5).toLatin1());
        const qsizetype start = body.indexOf(QLatin1StringView("vyo://"));
        const QUrl mailed(body.mid(start, body.indexOf(QLatin1Char('\r'), start) - start), QUrl::StrictMode);
        const qsizetype groups = store().groups().size();
        QVERIFY(m_delegate->application(mailed));
        answer(0);
        QCOMPARE(store().groups().size(), groups + 1);
        // The cameras come as sent, upgraded to the current layout.
        const Value received = store().groups().at(groups).value(QStringLiteral("cameras"));
        QCOMPARE(received.size(), 2);
        for (qsizetype i = 0; i < 2; ++i) {
            const Value original = sent.value(QStringLiteral("cameras")).at(i);
            for (const char *key : { "title", "video.protocol", "enabled" })
                QCOMPARE(received.at(i).value(QLatin1StringView(key)), original.value(QLatin1StringView(key)));
            QVERIFY(received.at(i).value(QStringLiteral("definition_version")).toInteger() >= 1);
        }

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("gate.plist"));
        QVERIFY(AtomicFile::write(file, PropertyList::toXml(camera(QStringLiteral("Gate")), nullptr)));
        QProcess vyoctl;
        vyoctl.start(QStringLiteral(VYOCTL_PATH),
                     { QStringLiteral("make-link"), QStringLiteral("--type"), QStringLiteral("adhoc_camera"), file,
                       QStringLiteral("--expires"), QDateTime::currentDateTimeUtc().addDays(1).toString(Qt::ISODate),
                       QStringLiteral("--allow-device"), DeviceIdentity::uniqueIdentifier() });
        QVERIFY(vyoctl.waitForFinished(60000));
        QCOMPARE(vyoctl.exitCode(), 0);
        const QUrl made(QString::fromUtf8(vyoctl.readAllStandardOutput()).trimmed(), QUrl::StrictMode);
        QVERIFY(m_delegate->application(made));
        QCOMPARE(openPanel()->title(), QStringLiteral("Received an AdHoc Camera Definition: Gate"));
        answer(1);
        QCOMPARE(store().groups().size(), groups + 1);
    }

    // Random and mutated payloads through the whole handler: refused or shown, never a crash.
    void fuzzedLinks()
    {
        QRandomGenerator rng(20261207);
        const QStringList hosts = { QStringLiteral("camera"), QStringLiteral("group"), QStringLiteral("adhoc_camera") };
        const QString valid[] = {
            ConfigLink::payloadOf(link(ConfigLink::Camera, camera(QStringLiteral("Door")))),
            ConfigLink::payloadOf(link(ConfigLink::Group, group(QStringLiteral("Yard"), 3))),
            ConfigLink::payloadOf(link(ConfigLink::AdhocCamera, camera(QStringLiteral("Gate")))),
        };
        const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=");
        const qsizetype groups = store().groups().size();
        for (int i = 0; i < 400; ++i) {
            const int kind = int(rng.bounded(3));
            QString payload;
            if (i % 2 == 0) {
                payload = valid[kind];
                const int edits = 1 + int(rng.bounded(4));
                for (int e = 0; e < edits && !payload.isEmpty(); ++e) {
                    const auto at = qsizetype(rng.bounded(int(payload.size())));
                    switch (rng.bounded(3)) {
                    case 0:
                        payload[at] = alphabet.at(rng.bounded(int(alphabet.size())));
                        break;
                    case 1:
                        payload.remove(at, 1 + qsizetype(rng.bounded(8)));
                        break;
                    default:
                        payload.insert(at, alphabet.at(rng.bounded(int(alphabet.size()))));
                    }
                }
            } else {
                QByteArray bytes(int(rng.bounded(200)), Qt::Uninitialized);
                for (char &b : bytes)
                    b = char(rng.bounded(256));
                payload = Utilities::base64Encode(bytes);
            }
            if (m_delegate->application(rawLink(hosts.at(kind), payload)))
                answer(openPanel()->buttonCount() - 1);
            else if (ModalPanel *alert = openPanel())
                alert->dismissWithButtonIndex(0);
        }
        QCOMPARE(store().groups().size(), groups);
    }
};

QTEST_MAIN(TestOpenURL)
#include "tst_openurl.moc"
