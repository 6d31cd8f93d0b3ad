#include "onvif/OnvifNamespaces.h"
#include "onvif/OnvifSoapClient.h"
#include "onvif/SoapCall.h"
#include "support/ManualClock.h"
#include "support/TestServer.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QXmlStreamWriter>

namespace {

const QString Action = QStringLiteral("http://www.onvif.org/ver10/device/wsdl/GetDeviceInformation");

QByteArray okReply()
{
    return "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\" "
           "xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\"><env:Body><tds:GetDeviceInformationResponse>"
           "<tds:Model>Test</tds:Model></tds:GetDeviceInformationResponse></env:Body></env:Envelope>";
}

QByteArray httpResponse(int status, const QByteArray &body, const QByteArray &extraHeaders = {})
{
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: application/soap+xml\r\nContent-Length: "
           + QByteArray::number(body.size()) + "\r\n" + extraHeaders + "\r\n" + body;
}

// An HTTP server that hands each request's head and whole body (by Content-Length) to respond.
TestServer::Handler soapServer(std::function<void(QTcpSocket *, const QByteArray &head, const QByteArray &body)> respond)
{
    return [respond = std::move(respond)](QTcpSocket *socket, const QByteArray &received) {
        for (;;) {
            const qsizetype from = socket->property("answeredUpTo").toLongLong();
            const qsizetype headEnd = received.indexOf("\r\n\r\n", from);
            if (headEnd < 0)
                return;
            const QByteArray head = received.mid(from, headEnd + 4 - from);
            static const QRegularExpression lengthHeader(QStringLiteral("(?i)content-length: *(\\d+)"));
            const qsizetype length = lengthHeader.match(QString::fromLatin1(head)).captured(1).toLongLong();
            if (received.size() < headEnd + 4 + length)
                return;
            socket->setProperty("answeredUpTo", headEnd + 4 + length);
            respond(socket, head, received.mid(headEnd + 4, length));
        }
    };
}

QByteArray md5Hex(const QByteArray &text)
{
    return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
}

QByteArray digestField(const QByteArray &head, const QByteArray &name)
{
    const QRegularExpression field(QStringLiteral("[ ,]%1=\"?([^\",\\r]*)").arg(QString::fromLatin1(name)));
    return field.match(QString::fromLatin1(head)).captured(1).toLatin1();
}

// True when the Digest answer in head was made with this password.
bool digestAnswers(const QByteArray &head, const QByteArray &password)
{
    const QByteArray ha1 = md5Hex(digestField(head, "username") + ":" + digestField(head, "realm") + ":" + password);
    const QByteArray ha2 = md5Hex("POST:" + digestField(head, "uri"));
    const QByteArray expected = md5Hex(ha1 + ":" + digestField(head, "nonce") + ":" + digestField(head, "nc") + ":"
                                       + digestField(head, "cnonce") + ":" + digestField(head, "qop") + ":" + ha2);
    return digestField(head, "response") == expected;
}

} // namespace

class TestOnvifSoapClient : public QObject
{
    Q_OBJECT

private slots:
    void postsAnEnvelopeWithTheShiftedToken();
    void refusedTokenIsOneRequest();
    void answersADigestChallengeOnce_data();
    void answersADigestChallengeOnce();
    void cutsOffSlowAndLargeReplies();

private:
    static SoapResult run(OnvifSoapClient &client, quint16 port, bool anonymous = false)
    {
        const QUrl service(QStringLiteral("http://127.0.0.1:%1/onvif/device_service").arg(port));
        SoapCall *call = anonymous ? client.callAnonymously(service, Action, {}) : client.call(service, Action, {});
        QSignalSpy finished(call, &SoapCall::finished);
        if (!finished.wait(10000))
            return {};
        return finished.at(0).at(0).value<SoapResult>();
    }
};

void TestOnvifSoapClient::postsAnEnvelopeWithTheShiftedToken()
{
    QByteArray head;
    QByteArray body;
    TestServer server(soapServer([&](QTcpSocket *socket, const QByteArray &h, const QByteArray &b) {
        head = h;
        body = b;
        socket->write(httpResponse(200, okReply()));
    }));
    ManualClock clock;
    OnvifSoapClient client(clock);
    client.setCredentials(QStringLiteral("admin"), QStringLiteral("secret"));
    client.setClockOffsetMs(3600 * 1000);

    const SoapResult result = run(client, server.port());
    QVERIFY(result.ok());
    QCOMPARE(result.body->childText(OnvifNs::Device, QStringLiteral("Model")), QStringLiteral("Test"));
    QVERIFY(head.startsWith("POST /onvif/device_service HTTP/1.1\r\n"));
    QVERIFY(head.contains("application/soap+xml; charset=utf-8; action=\"" + Action.toLatin1() + "\""));
    QVERIFY(!body.contains("secret"));

    QString error;
    const std::optional<XmlElement> envelope = XmlElement::parse(body, &error);
    QVERIFY2(envelope, qPrintable(error));
    const XmlElement *token = envelope->find(OnvifNs::Wsse, QStringLiteral("UsernameToken"));
    QVERIFY(token);
    QCOMPARE(token->childText(OnvifNs::Wsse, QStringLiteral("Username")), QStringLiteral("admin"));
    // The device's clock is an hour ahead: the token must be made in its time.
    const QDateTime created =
        QDateTime::fromString(token->childText(OnvifNs::Wsu, QStringLiteral("Created")), Qt::ISODateWithMs);
    QVERIFY(qAbs(QDateTime::currentDateTimeUtc().addSecs(3600).secsTo(created)) < 60);

    QVERIFY(run(client, server.port(), true).ok());
    QVERIFY(!body.contains("Security"));
}

void TestOnvifSoapClient::refusedTokenIsOneRequest()
{
    TestServer server(soapServer([](QTcpSocket *socket, const QByteArray &, const QByteArray &) {
        socket->write(httpResponse(
            400, "<e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\"><e:Body><e:Fault><e:Code>"
                 "<e:Value>e:Sender</e:Value><e:Subcode><e:Value xmlns:t=\"http://www.onvif.org/ver10/error\">"
                 "t:NotAuthorized</e:Value></e:Subcode></e:Code><e:Reason><e:Text xml:lang=\"en\">Sender not "
                 "authorized</e:Text></e:Reason></e:Fault></e:Body></e:Envelope>"));
    }));
    ManualClock clock;
    OnvifSoapClient client(clock);
    client.setCredentials(QStringLiteral("admin"), QStringLiteral("wrong"));
    const SoapResult result = run(client, server.port());
    QCOMPARE(result.status, SoapResult::Status::NotAuthorized);
    QCOMPARE(result.reason, QStringLiteral("Sender not authorized"));
    QCOMPARE(server.requestCount(), 1);
}

void TestOnvifSoapClient::answersADigestChallengeOnce_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("requests");
    QTest::newRow("right password") << QStringLiteral("secret") << int(SoapResult::Status::Ok) << 2;
    QTest::newRow("wrong password") << QStringLiteral("wrong") << int(SoapResult::Status::NotAuthorized) << 2;
}

void TestOnvifSoapClient::answersADigestChallengeOnce()
{
    QFETCH(QString, password);
    QFETCH(int, status);
    QFETCH(int, requests);

    TestServer server(soapServer([](QTcpSocket *socket, const QByteArray &head, const QByteArray &) {
        if (head.contains("Authorization: Digest") && digestAnswers(head, "secret")) {
            socket->write(httpResponse(200, okReply()));
            return;
        }
        socket->write(httpResponse(401, "<html>401</html>",
                                   "WWW-Authenticate: Digest realm=\"cam\", qop=\"auth\", "
                                   "nonce=\"0123456789abcdef\", algorithm=MD5\r\n"));
    }));
    ManualClock clock;
    OnvifSoapClient client(clock);
    client.setCredentials(QStringLiteral("admin"), password);
    const SoapResult result = run(client, server.port());
    QCOMPARE(int(result.status), status);
    QCOMPARE(server.requestCount(), requests);
}

void TestOnvifSoapClient::cutsOffSlowAndLargeReplies()
{
    bool large = false;
    TestServer server(soapServer([&](QTcpSocket *socket, const QByteArray &, const QByteArray &) {
        if (!large)
            return; // never answers
        const QByteArray filler = "<x>" + QByteArray(OnvifSoapClient::MaxReplyBytes, 'a') + "</x>";
        socket->write(httpResponse(200, okReply().replace("<tds:Model>", filler + "<tds:Model>")));
    }));
    ManualClock clock;
    OnvifSoapClient client(clock);
    const QUrl service(QStringLiteral("http://127.0.0.1:%1/").arg(server.port()));

    SoapCall *slow = client.call(service, Action, {});
    QSignalSpy slowFinished(slow, &SoapCall::finished);
    QTRY_COMPARE(server.requestCount(), 1);
    clock.advance(OnvifSoapClient::RequestTimeoutMs - 1);
    QVERIFY(slowFinished.isEmpty());
    clock.advance(1);
    QTRY_COMPARE(slowFinished.size(), 1);
    QCOMPARE(slowFinished.at(0).at(0).value<SoapResult>().status, SoapResult::Status::TimedOut);

    large = true;
    QCOMPARE(run(client, server.port()).status, SoapResult::Status::TooLarge);

    // Aborted calls say nothing.
    large = false;
    SoapCall *aborted = client.call(service, Action, {});
    QSignalSpy abortedFinished(aborted, &SoapCall::finished);
    client.abortAll();
    clock.advance(OnvifSoapClient::RequestTimeoutMs);
    QTest::qWait(50);
    QVERIFY(abortedFinished.isEmpty());
}

QTEST_GUILESS_MAIN(TestOnvifSoapClient)
#include "tst_onvifsoapclient.moc"
