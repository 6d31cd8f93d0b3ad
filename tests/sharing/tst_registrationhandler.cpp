#include "config/AppInfo.h"
#include "platform/Preferences.h"
#include "sharing/RegistrationHandler.h"

#include "logcapture/LogCapture.h"
#include "support/TestServer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

class TestRegistrationHandler final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<TestServer> m_server;

    QString serverAddress() const { return s("127.0.0.1:%1").arg(m_server->port()); }

    // True when the handler sent and the server answered.
    bool sendAndWait(RegistrationHandler &handler)
    {
        QSignalSpy finished(&handler, &RegistrationHandler::finished);
        return handler.checkAndSendRegForm() && finished.wait(30000) && finished.first().first().toBool();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_preferences = std::make_unique<Preferences>(m_dir->filePath(s("preferences.conf")));
        m_server = std::make_unique<TestServer>(TestServer::http([](QTcpSocket *socket, const QByteArray &) {
            // Any status counts as heard.
            socket->write("HTTP/1.1 500 Oops\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
        }));
        AppInfo::reload();
        AppInfo::setValue(AppInfo::RegURL, serverAddress());
        AppInfo::setValue(AppInfo::BundleVersion, s("2.0"));
    }

    void cleanup()
    {
        m_server.reset();
        m_preferences.reset();
        AppInfo::reload();
    }

    void noRegistrationUrlSendsNothing()
    {
        LogCapture log;
        AppInfo::setValue(AppInfo::RegURL, QString());
        m_preferences->setRegistrationNeeded(true);
        RegistrationHandler handler(*m_preferences);
        QVERIFY(!handler.checkAndSendRegForm());
        QVERIFY(log.contains(s("No registration URL found.")));
        QCOMPARE(handler.pendingRequests(), 0);
    }

    void newVersionRegistersOnce()
    {
        LogCapture log;
        m_preferences->setRegistrationShown(true);
        m_preferences->setRegistrationLastVersion(s("1.0"));
        m_preferences->setRegistrationEmail(s("zoë+cams@example.com"));
        RegistrationHandler handler(*m_preferences);
        QVERIFY(sendAndWait(handler));
        QCOMPARE(m_server->targets().size(), 1);
        QVERIFY(m_server->targets().first().startsWith(s("/subscribers/remote_add?appname=org.example.vyo&appver=2.0&duid=")));
        QVERIFY(m_server->targets().first().endsWith(s("&fname=&lname=&email=zo%C3%AB%2Bcams%40example.com")));
        QVERIFY(log.contains(s("Registration successful.")));
        QCOMPARE(m_preferences->registrationLastVersion(), s("2.0"));

        QVERIFY(!handler.checkAndSendRegForm());
        // A new version is news only for a subscribed user who completed the form.
        AppInfo::setValue(AppInfo::BundleVersion, s("3.0"));
        m_preferences->setRegistrationSubscribed(false);
        QVERIFY(!handler.checkAndSendRegForm());
        m_preferences->setRegistrationSubscribed(true);
        m_preferences->setRegistrationShown(false);
        QVERIFY(!handler.checkAndSendRegForm());
    }

    void failureKeepsTheSendOwed()
    {
        LogCapture log;
        m_preferences->setRegistrationNeeded(true);
        m_server.reset();
        RegistrationHandler handler(*m_preferences);
        QVERIFY(!sendAndWait(handler));
        QVERIFY(log.contains(s("Error registering: ")));
        QVERIFY(m_preferences->registrationNeeded());
        QVERIFY(m_preferences->registrationLastVersion().isEmpty());
    }

    void schemeIsAddedOnlyWhenMissing_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("sentTo");
        QTest::newRow("bare host") << s("127.0.0.1:%1/reg") << s("http://127.0.0.1:%1/reg/");
        QTest::newRow("http") << s("http://127.0.0.1:%1") << s("http://127.0.0.1:%1/");
        QTest::newRow("https") << s("https://127.0.0.1:%1") << s("https://127.0.0.1:%1/");
    }

    void schemeIsAddedOnlyWhenMissing()
    {
        QFETCH(QString, configured);
        QFETCH(QString, sentTo);
        LogCapture log;
        AppInfo::setValue(AppInfo::RegURL, configured.arg(m_server->port()));
        m_preferences->setRegistrationNeeded(true);
        m_preferences->setRegistrationSubscribed(false);
        // The handler goes with its request still open, which must be safe.
        RegistrationHandler handler(*m_preferences);
        QVERIFY(handler.checkAndSendRegForm());
        QVERIFY(log.contains(s("Sending registration: %1subscribers/remote_unsubscribe?duid=").arg(sentTo.arg(m_server->port()))));
    }
};

QTEST_GUILESS_MAIN(TestRegistrationHandler)
#include "tst_registrationhandler.moc"
