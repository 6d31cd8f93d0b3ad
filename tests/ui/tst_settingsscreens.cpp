#include "config/AppInfo.h"
#include "config/PinHash.h"
#include "platform/DeviceIdentity.h"
#include "platform/Preferences.h"
#include "platform/UrlOpener.h"
#include "ui/kit/Alert.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/PinPad.h"
#include "ui/kit/TextField.h"
#include "ui/kit/RoundedButton.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/settings/DebugSettingsView.h"
#include "ui/settings/FormSwitch.h"
#include "ui/settings/FormTextField.h"
#include "ui/settings/GeneralSettingsView.h"
#include "ui/settings/RegistrationView.h"

#include "support/FakeSettingsHost.h"
#include "support/TestServer.h"

#include "support/RecordingOpener.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

void tap(TableView *table, const IndexPath &path)
{
    TableViewCell *cell = table->cellForRow(path);
    QVERIFY(cell);
    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(30, cell->height() / 2));
}

} // namespace

class TestSettingsScreens final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<FakeSettingsHost> m_host;
    std::unique_ptr<NavigationController> m_stack;
    std::unique_ptr<TestServer> m_server;

    // A stack with a plain root, the screen pushed over it.
    void show(ViewController *screen)
    {
        m_stack = std::make_unique<NavigationController>(new ViewController);
        m_stack->resize(320, 480);
        m_stack->pushViewController(screen, false);
        m_stack->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_stack.get()));
    }

    RegistrationView *showRegistration()
    {
        auto *form = new RegistrationView(*m_host, *m_preferences);
        show(form);
        return form;
    }

    static void save(RegistrationView *form) { emit form->saveButton()->triggered(); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_preferences = std::make_unique<Preferences>(m_dir->filePath(s("preferences.conf")));
        m_host = std::make_unique<FakeSettingsHost>(*m_preferences);
        m_server = std::make_unique<TestServer>(TestServer::http([](QTcpSocket *socket, const QByteArray &) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
        }));
        AppInfo::reload();
        AppInfo::setValue(AppInfo::RegURL, s("127.0.0.1:%1").arg(m_server->port()));
        AppInfo::setValue(AppInfo::BundleVersion, s("1.2"));
    }

    void cleanup()
    {
        m_stack.reset();
        m_host.reset();
        m_server.reset();
        m_preferences.reset();
        AppInfo::reload();
        UrlOpener::setShared(nullptr);
    }

    void debugSaveAnnouncesEvenWhenUnchanged()
    {
        QSignalSpy changed(m_preferences.get(), &Preferences::changed);
        auto *debug = new DebugSettingsView(*m_preferences);
        show(debug);
        QVERIFY(!debug->showFPSSwitch()->isOn());
        QVERIFY(debug->hardwareDecodingSwitch()->isOn());
        emit debug->rightBarButtonItem()->triggered();
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(0).at(0).value<Preferences::Key>(), Preferences::Key::ShowFPS);
        QCOMPARE(changed.at(1).at(0).value<Preferences::Key>(), Preferences::Key::HardwareDecoding);
        QVERIFY(!m_preferences->showFPS());
        QVERIFY(m_preferences->hardwareDecoding());
        QTRY_COMPARE(m_stack->viewControllers().size(), 1);

        m_preferences->setShowFPS(true);
        debug = new DebugSettingsView(*m_preferences);
        m_stack->pushViewController(debug, false);
        QVERIFY(debug->showFPSSwitch()->isOn());
        debug->hardwareDecodingSwitch()->setOn(false);
        changed.clear();
        emit debug->rightBarButtonItem()->triggered();
        QCOMPARE(changed.size(), 2);
        QVERIFY(m_preferences->showFPS());
        QVERIFY(!m_preferences->hardwareDecoding());
    }

    void generalRowsOpenHelpAndScreens()
    {
        RecordingOpener opener;
        UrlOpener::setShared(&opener);
        AppInfo::setValue(AppInfo::HelpURL, s("help.example.net/vyo"));
        AppInfo::setValue(AppInfo::HelpEmail, s("help@example.net"));
        m_preferences->setRegistrationShown(true);
        auto *general = new GeneralSettingsView(*m_host, *m_preferences);
        show(general);
        TableView *table = general->tableView();
        QStringList texts;
        for (int section = 0; section < 5; ++section)
            texts << table->cellForRow({ section, 0 })->text();
        QCOMPARE(texts, (QStringList{ s("help.example.net/vyo"), s("help@example.net"), s("Registration"),
                                      s("Settings PIN"), s("Debug") }));

        const auto *footer = qobject_cast<QLabel *>(table->tableFooterView());
        QCOMPARE(footer->text(), s("UID: %1").arg(DeviceIdentity::uniqueIdentifier()));

        tap(table, { 0, 0 });
        tap(table, { 1, 0 });
        QCOMPARE(opener.opened.size(), 2);
        QCOMPARE(opener.opened.at(0), QUrl(s("http://help.example.net/vyo")));
        QCOMPARE(opener.opened.at(1).toString(QUrl::FullyEncoded),
                 s("mailto:help@example.net?subject=Product%3A%20Vyo%2C%20Version%3A%201.2"));

        tap(table, { 2, 0 });
        QTRY_VERIFY(!m_stack->isTransitioning());
        auto *form = qobject_cast<RegistrationView *>(m_stack->topViewController());
        QVERIFY(form && form->cancelButton());
        m_stack->popViewController(false);

        tap(table, { 4, 0 });
        QTRY_VERIFY(!m_stack->isTransitioning());
        QVERIFY(qobject_cast<DebugSettingsView *>(m_stack->topViewController()));
    }

    // The new PIN is typed twice and kept only as its salted hash; empty removes it.
    void settingsPinIsAskedTwiceAndKeptHashed()
    {
        auto *general = new GeneralSettingsView(*m_host, *m_preferences);
        show(general);
        TableView *table = general->tableView();
        QCOMPARE(table->cellForRow({ 3, 0 })->detailText(), s("Off"));
        const auto enter = [](PinPad *pad, const char *pin) {
            pad->field()->setText(QString::fromLatin1(pin));
            QTest::keyClick(pad->field(), Qt::Key_Return);
        };

        tap(table, { 3, 0 });
        auto *pad = general->findChild<PinPad *>();
        QVERIFY(pad);
        enter(pad, "1357");
        enter(pad, "1358");
        QCOMPARE(pad->message(), s("The two did not match. Enter the new PIN."));
        QVERIFY(m_preferences->settingsPinHash().isEmpty());
        enter(pad, "2468");
        enter(pad, "2468");
        const QString stored = m_preferences->settingsPinHash();
        QVERIFY(PinHash::matches(s("2468"), stored));
        QFile file(m_dir->filePath(s("preferences.conf")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains("2468"));
        QCOMPARE(table->cellForRow({ 3, 0 })->detailText(), s("On"));

        tap(table, { 3, 0 });
        QTRY_VERIFY((pad = general->findChild<PinPad *>()) && pad->isVisible());
        enter(pad, "");
        enter(pad, "");
        QVERIFY(m_preferences->settingsPinHash().isEmpty());
    }

    void firstRunFormIsLeftOnlyBySaving()
    {
        RegistrationView *form = showRegistration();
        QVERIFY(!form->leftBarButtonItem());
        QVERIFY(form->hidesBackButton());
        QCOMPARE(form->tableView()->numberOfSections(), 2);

        // Off hides the contact details; saving with them empty is accepted.
        QTest::mouseClick(form->subscribeSwitch(), Qt::LeftButton);
        QCOMPARE(form->tableView()->numberOfSections(), 1);
        save(form);
        QVERIFY(m_preferences->registrationShown());
        QVERIFY(!m_preferences->registrationSubscribed());
        QCOMPARE(m_stack->viewControllers().size(), 1);
    }

    void subscribedWithAnEmptyFieldIsRefused()
    {
        m_preferences->setRegistrationShown(true);
        RegistrationView *form = showRegistration();
        form->textField(s("firstName"))->setText(s("Ada"));
        form->textField(s("email"))->setText(s("ada@example.com"));
        save(form);
        auto *alert = form->findChild<Alert *>();
        QVERIFY(alert);
        QCOMPARE(alert->title(), s("Missing Information"));
        QVERIFY(m_preferences->registrationFirstName().isEmpty());
        QCOMPARE(m_stack->topViewController(), form);
        alert->dismissWithButtonIndex(0);
        QTRY_VERIFY(!form->findChild<Alert *>());

        form->textField(s("lastName"))->setText(s("King"));
        save(form);
        QCOMPARE(m_preferences->registrationLastName(), s("King"));
        QVERIFY(m_host->switches.isEmpty());
        QTRY_COMPARE(m_server->requestCount(), 1);
        QVERIFY(m_server->targets().first().contains(s("&fname=Ada&lname=King&email=ada%40example.com")));
        QTRY_VERIFY(!m_preferences->registrationNeeded());
    }

    void unsubscribingSendsTheUnsubscriptionOnce()
    {
        m_preferences->setRegistrationShown(true);
        m_preferences->setRegistrationLastVersion(s("1.2"));
        m_preferences->setRegistrationFirstName(s("Ada"));
        m_preferences->setRegistrationLastName(s("King"));
        m_preferences->setRegistrationEmail(s("ada@example.com"));
        RegistrationView *form = showRegistration();
        QCOMPARE(form->textField(s("email"))->text(), s("ada@example.com"));
        QTest::mouseClick(form->subscribeSwitch(), Qt::LeftButton);
        form->textField(s("email"))->clear();
        save(form);
        QVERIFY(m_preferences->registrationEmail().isEmpty());
        QTRY_COMPARE(m_server->requestCount(), 1);
        QCOMPARE(m_server->targets().first(), s("/subscribers/remote_unsubscribe?duid=%1").arg(DeviceIdentity::uniqueIdentifier()));
        QTRY_VERIFY(!m_preferences->registrationNeeded());
        QTRY_COMPARE(m_stack->viewControllers().size(), 1);

        // Saving again while unsubscribed owes the server nothing.
        form = new RegistrationView(*m_host, *m_preferences);
        m_stack->pushViewController(form, false);
        QVERIFY(!form->subscribeSwitch()->isOn());
        save(form);
        QCOMPARE(m_host->handler.pendingRequests(), 0);
        QCOMPARE(m_server->requestCount(), 1);
    }
};

QTEST_MAIN(TestSettingsScreens)
#include "tst_settingsscreens.moc"
