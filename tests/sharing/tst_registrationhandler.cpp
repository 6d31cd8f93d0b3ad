#include "config/AppInfo.h"
#include "config/DefaultSettings.h"
#include "platform/DeviceIdentity.h"
#include "platform/Preferences.h"
#include "sharing/RegistrationHandler.h"

#include "LogCapture.h"
#include "TestServer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

// The path and query of a request head: "GET <target> HTTP/1.1".
QString targetOf(const QByteArray &request)
{
    return QString::fromLatin1(request.split(' ').value(1));
}

} // namespace

class TestRegistrationHandler final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<TestServer> m_server;
    QStringList m_targets;
    int m_status = 200;

    QString serverAddress() const { return QStringLiteral("127.0.0.1:%1").arg(m_server->port()); }

    // Sends when the handler decides to, and waits for the answer.
    bool sendAndWait(RegistrationHandler &handler)
    {
        QSignalSpy finished(&handler, &RegistrationHandler::finished);
        return handler.checkAndSendRegForm() && finished.wait(30000);
    }

    void setPreference(const char *key, const QVariant &value) { m_preferences->setValue(s(key), value); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_preferences = std::make_unique<Preferences>(m_dir->filePath(s("preferences.conf")));
        DefaultSettings::initializeDefaultSettings(*m_preferences);
        m_targets.clear();
        m_status = 200;
        m_server = std::make_unique<TestServer>(TestServer::http([this](QTcpSocket *socket, const QByteArray &request) {
            m_targets.append(targetOf(request));
            socket->write(QStringLiteral("HTTP/1.1 %1 Whatever\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok")
                              .arg(m_status)
                              .toLatin1());
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

    void safeValueEscapesEverythingButUnreserved()
    {
        QVERIFY(RegistrationHandler::safeValue(QString()).isEmpty());
        QCOMPARE(RegistrationHandler::safeValue(s("Zoë & co=1?/+ x@y.z")), s("Zo%C3%AB%20%26%20co%3D1%3F%2F%2B%20x%40y.z"));
    }

    void noRegistrationUrlSendsNothing()
    {
        LogCapture log;
        AppInfo::setValue(AppInfo::RegURL, QString());
        setPreference("RegNeeded", true);
        RegistrationHandler handler(*m_preferences);
        QVERIFY(!handler.checkAndSendRegForm());
        QVERIFY(log.contains(s("No registration URL found.")));
        QCOMPARE(handler.pendingRequests(), 0);
        AppInfo::setValue(AppInfo::RegURL, s(""));
        QVERIFY(!handler.checkAndSendRegForm());
    }

    void subscribedRegistrationCarriesTheDetails()
    {
        LogCapture log;
        setPreference("RegShown", true);
        setPreference("RegNeeded", true);
        setPreference("RegFirstName", s("Zoë"));
        setPreference("RegLastName", s("O'Neil & Sons"));
        setPreference("RegEmail", s("zoe+cams@example.com"));
        AppInfo::setValue(AppInfo::BundleIdentifier, s("org.example.test"));
        RegistrationHandler handler(*m_preferences);
        QVERIFY(sendAndWait(handler));
        QCOMPARE(m_targets.size(), 1);

        const QUrl sent(m_targets.first());
        QCOMPARE(sent.path(), s("/subscribers/remote_add"));
        const QUrlQuery query(sent);
        QCOMPARE(query.queryItemValue(s("appname")), s("org.example.test"));
        QCOMPARE(query.queryItemValue(s("appver")), s("2.0"));
        QCOMPARE(query.queryItemValue(s("duid")), DeviceIdentity::uniqueIdentifier());
        QVERIFY(!query.queryItemValue(s("dtype")).isEmpty());
        QVERIFY(query.hasQueryItem(s("dosver")));
        QCOMPARE(query.queryItemValue(s("fname"), QUrl::FullyDecoded), s("Zoë"));
        QCOMPARE(query.queryItemValue(s("lname"), QUrl::FullyDecoded), s("O'Neil & Sons"));
        QCOMPARE(query.queryItemValue(s("email"), QUrl::FullyDecoded), s("zoe+cams@example.com"));

        QVERIFY(log.contains(s("Sending registration: http://%1/subscribers/remote_add?").arg(serverAddress())));
        QVERIFY(log.contains(s("Registration successful.")));
        QVERIFY(!m_preferences->boolForKey(s("RegNeeded")));
        QCOMPARE(m_preferences->value(s("RegLastVer")).toString(), s("2.0"));
    }

    void anyHttpStatusCountsAsDone()
    {
        m_status = 500;
        setPreference("RegSubscribe", false);
        setPreference("RegNeeded", true);
        RegistrationHandler handler(*m_preferences);
        QVERIFY(sendAndWait(handler));
        QCOMPARE(m_targets, QStringList{ s("/subscribers/remote_unsubscribe?duid=%1").arg(DeviceIdentity::uniqueIdentifier()) });
        QVERIFY(!m_preferences->boolForKey(s("RegNeeded")));
    }

    void failureKeepsTheSendOwed()
    {
        LogCapture log;
        setPreference("RegNeeded", true);
        // A port nobody listens on any more.
        const QString closed = serverAddress();
        m_server.reset();
        AppInfo::setValue(AppInfo::RegURL, s("http://%1").arg(closed));
        RegistrationHandler handler(*m_preferences);
        QSignalSpy finished(&handler, &RegistrationHandler::finished);
        QVERIFY(handler.checkAndSendRegForm());
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toBool(), false);
        QVERIFY(log.contains(s("Error registering: ")));
        QVERIFY(m_preferences->boolForKey(s("RegNeeded")));
        QVERIFY(!m_preferences->value(s("RegLastVer")).isValid());
    }

    void newVersionRegistersOnce()
    {
        setPreference("RegShown", true);
        setPreference("RegLastVer", s("1.0"));
        RegistrationHandler handler(*m_preferences);
        QVERIFY(sendAndWait(handler));
        QCOMPARE(m_targets.size(), 1);
        QVERIFY(m_targets.first().startsWith(s("/subscribers/remote_add?")));
        // The next launch of the same version sends nothing.
        QVERIFY(!handler.checkAndSendRegForm());

        // Nor does a new version for a user who does not want the news.
        AppInfo::setValue(AppInfo::BundleVersion, s("3.0"));
        setPreference("RegSubscribe", false);
        QVERIFY(!handler.checkAndSendRegForm());
        // Nor before the first-run form was completed.
        setPreference("RegSubscribe", true);
        setPreference("RegShown", false);
        QVERIFY(!handler.checkAndSendRegForm());
        QCOMPARE(m_targets.size(), 1);
    }

    void schemeIsAddedOnlyWhenMissing_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("sentTo");
        QTest::newRow("bare host") << s("127.0.0.1:%1") << s("http://127.0.0.1:%1/");
        QTest::newRow("http") << s("http://127.0.0.1:%1") << s("http://127.0.0.1:%1/");
        QTest::newRow("https") << s("https://127.0.0.1:%1") << s("https://127.0.0.1:%1/");
        QTest::newRow("path") << s("127.0.0.1:%1/reg") << s("http://127.0.0.1:%1/reg/");
    }

    void schemeIsAddedOnlyWhenMissing()
    {
        QFETCH(QString, configured);
        QFETCH(QString, sentTo);
        LogCapture log;
        AppInfo::setValue(AppInfo::RegURL, configured.arg(m_server->port()));
        setPreference("RegNeeded", true);
        setPreference("RegSubscribe", false);
        // The handler goes with its request still open, which must be safe.
        RegistrationHandler handler(*m_preferences);
        QVERIFY(handler.checkAndSendRegForm());
        QCOMPARE(handler.pendingRequests(), 1);
        QVERIFY(log.contains(s("Sending registration: %1subscribers/remote_unsubscribe?duid=").arg(sentTo.arg(m_server->port()))));
    }
};

QTEST_GUILESS_MAIN(TestRegistrationHandler)
#include "tst_registrationhandler.moc"
