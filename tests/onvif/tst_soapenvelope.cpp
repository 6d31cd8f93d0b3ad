#include "onvif/OnvifNamespaces.h"
#include "onvif/OnvifSoapClient.h"
#include "onvif/SoapEnvelope.h"
#include "onvif/UsernameToken.h"

#include <QTest>
#include <QXmlStreamWriter>

using Status = SoapResult::Status;

namespace {

QByteArray soap12(const QByteArray &prefix, const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + prefix + ":Envelope xmlns:" + prefix
           + "=\"http://www.w3.org/2003/05/soap-envelope\" xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\""
             " xmlns:tt=\"http://www.onvif.org/ver10/schema\" xmlns:ter=\"http://www.onvif.org/ver10/error\"><"
           + prefix + ":Header/><" + prefix + ":Body>" + body + "</" + prefix + ":Body></" + prefix + ":Envelope>";
}

QByteArray dateTimeReply(const QByteArray &utc)
{
    return soap12("env", "<tds:GetSystemDateAndTimeResponse><tds:SystemDateAndTime>"
                         "<tt:DateTimeType>Manual</tt:DateTimeType><tt:DaylightSavings>false</tt:DaylightSavings>"
                         + utc + "</tds:SystemDateAndTime></tds:GetSystemDateAndTimeResponse>");
}

} // namespace

class TestSoapEnvelope : public QObject
{
    Q_OBJECT

private slots:
    void digestMatchesTheKnownVector();
    void requestCarriesTheTokenWithValuesEscaped();
    void replies_data();
    void replies();
    void lookupsIgnorePrefixes();
    void clockOffset();
};

void TestSoapEnvelope::digestMatchesTheKnownVector()
{
    const QByteArray nonce = QByteArray::fromBase64("LKqI6G/AikKCQrN0zqZFlg==");
    QCOMPARE(UsernameToken::passwordDigest(nonce, QStringLiteral("2010-09-16T07:50:45Z"), QStringLiteral("userpassword")),
             QStringLiteral("tuOSpGlFlIXsozq4HFNeeGeFLEI="));
    QCOMPARE(UsernameToken::nonce().size(), UsernameToken::NonceBytes);
    QVERIFY(UsernameToken::nonce() != UsernameToken::nonce());
    QCOMPARE(UsernameToken::createdText(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 6), Qt::UTC)),
             QStringLiteral("2026-01-02T03:04:05.006Z"));
}

void TestSoapEnvelope::requestCarriesTheTokenWithValuesEscaped()
{
    const QString user = QStringLiteral("a<b&\"c]]>");
    const QString password = QStringLiteral("p&ss<word>");
    const QString token = QStringLiteral("x</tt:ProfileToken><evil/>");
    const QByteArray nonce(16, 'n');
    const QDateTime created(QDate(2026, 12, 8), QTime(19, 0), Qt::UTC);
    const QByteArray bytes = SoapEnvelope::request(
        [&](QXmlStreamWriter &writer) {
            writer.writeStartElement(OnvifNs::Media, QStringLiteral("GetStreamUri"));
            writer.writeTextElement(OnvifNs::Media, QStringLiteral("ProfileToken"), token);
            writer.writeEndElement();
        },
        user, password, nonce, created);
    QVERIFY(!bytes.contains(password.toUtf8()));
    QVERIFY(bytes.contains("<trt:GetStreamUri><trt:ProfileToken>"));

    QString error;
    const std::optional<XmlElement> root = XmlElement::parse(bytes, &error);
    QVERIFY2(root, qPrintable(error));
    QVERIFY(root->is(OnvifNs::Soap12, QStringLiteral("Envelope")));
    const XmlElement *usernameToken = root->find(OnvifNs::Wsse, QStringLiteral("UsernameToken"));
    QVERIFY(usernameToken);
    QCOMPARE(usernameToken->childText(OnvifNs::Wsse, QStringLiteral("Username")), user);
    QCOMPARE(usernameToken->childText(OnvifNs::Wsse, QStringLiteral("Nonce")), QString::fromLatin1(nonce.toBase64()));
    const QString createdText = usernameToken->childText(OnvifNs::Wsu, QStringLiteral("Created"));
    QCOMPARE(createdText, QStringLiteral("2026-12-08T19:00:00.000Z"));
    const XmlElement *digest = usernameToken->child(OnvifNs::Wsse, QStringLiteral("Password"));
    QVERIFY(digest && digest->attribute(QStringLiteral("Type")).endsWith(QLatin1String("#PasswordDigest")));
    QCOMPARE(digest->text(), UsernameToken::passwordDigest(nonce, createdText, password));
    const XmlElement *body = root->child(OnvifNs::Soap12, QStringLiteral("Body"));
    QVERIFY(body);
    QCOMPARE(body->find(OnvifNs::Media, QStringLiteral("ProfileToken"))->text(), token);

    // Without a user there is no header at all.
    const QByteArray anonymous = SoapEnvelope::request({}, QString(), password, nonce, created);
    QVERIFY(!anonymous.contains("Security"));
    QVERIFY(!anonymous.contains("Header"));
}

void TestSoapEnvelope::replies_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("detail"); // the body element's local name, or the reason

    QTest::newRow("SOAP 1.2, its own prefixes")
        << soap12("SOAP-ENV", "<tds:GetDeviceInformationResponse><tds:Model>M</tds:Model>"
                              "</tds:GetDeviceInformationResponse>")
        << 200 << int(Status::Ok) << QStringLiteral("GetDeviceInformationResponse");
    QTest::newRow("SOAP 1.1, default namespace in the body")
        << QByteArray("<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body>"
                      "<GetProfilesResponse xmlns=\"http://www.onvif.org/ver10/media/wsdl\"/></s:Body></s:Envelope>")
        << 200 << int(Status::Ok) << QStringLiteral("GetProfilesResponse");
    QTest::newRow("SOAP 1.2 fault, refused credentials in a nested subcode")
        << soap12("env", "<env:Fault><env:Code><env:Value>env:Sender</env:Value><env:Subcode>"
                         "<env:Value>ter:NotAuthorized</env:Value></env:Subcode></env:Code>"
                         "<env:Reason><env:Text xml:lang=\"en\">Sender not Authorized</env:Text></env:Reason>"
                         "</env:Fault>")
        << 400 << int(Status::NotAuthorized) << QStringLiteral("Sender not Authorized");
    QTest::newRow("SOAP 1.2 fault, unsupported action")
        << soap12("soap", "<soap:Fault><soap:Code><soap:Value>soap:Receiver</soap:Value><soap:Subcode>"
                          "<soap:Value>ter:ActionNotSupported</soap:Value><soap:Subcode><soap:Value>"
                          "ter:NoSuchService</soap:Value></soap:Subcode></soap:Subcode></soap:Code>"
                          "<soap:Reason><soap:Text xml:lang=\"en\">Optional Action Not Implemented</soap:Text>"
                          "</soap:Reason></soap:Fault>")
        << 500 << int(Status::Fault) << QStringLiteral("Optional Action Not Implemented");
    QTest::newRow("SOAP 1.1 fault")
        << QByteArray("<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                      "<SOAP-ENV:Body><SOAP-ENV:Fault><faultcode>SOAP-ENV:Client</faultcode>"
                      "<faultstring>Invalid argument</faultstring></SOAP-ENV:Fault></SOAP-ENV:Body>"
                      "</SOAP-ENV:Envelope>")
        << 500 << int(Status::Fault) << QStringLiteral("Invalid argument");
    QTest::newRow("fault without a reason")
        << soap12("env", "<env:Fault><env:Code><env:Value>env:Receiver</env:Value></env:Code></env:Fault>")
        << 500 << int(Status::Fault) << QStringLiteral("Receiver");
    QTest::newRow("401 with an HTML page") << QByteArray("<html><body>401 Unauthorized<br></body></html>") << 401
                                           << int(Status::NotAuthorized) << QString();
    QTest::newRow("HTTP error around a plain response")
        << soap12("env", "<tds:GetDeviceInformationResponse/>") << 500 << int(Status::NetworkError)
        << QStringLiteral("HTTP status 500");
    QTest::newRow("truncated") << soap12("env", "<tds:GetDeviceInformationResponse/>").chopped(12) << 200
                               << int(Status::Malformed) << QString();
    QTest::newRow("not XML") << QByteArray("\x00\xff garbage", 10) << 200 << int(Status::Malformed) << QString();
    QTest::newRow("not SOAP") << QByteArray("<html><body>hello</body></html>") << 200 << int(Status::Malformed)
                              << QStringLiteral("not a SOAP envelope");
    QTest::newRow("no body")
        << QByteArray("<e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\"><e:Header/></e:Envelope>")
        << 200 << int(Status::Malformed) << QStringLiteral("SOAP envelope without a body");
    QTest::newRow("empty body") << soap12("env", "") << 200 << int(Status::Malformed)
                                << QStringLiteral("empty SOAP body");
    QTest::newRow("entity expansion")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE e [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>"
                      "<e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\"><e:Body><x>&b;</x></e:Body>"
                      "</e:Envelope>")
        << 200 << int(Status::Malformed) << QStringLiteral("document type declarations are not accepted");
    QTest::newRow("nested too deeply")
        << soap12("env", QByteArray("<a>").repeated(200) + QByteArray("</a>").repeated(200)) << 200
        << int(Status::Malformed) << QStringLiteral("elements nested too deeply");
    QTest::newRow("too many elements")
        << soap12("env", "<a>" + QByteArray("<b/>").repeated(XmlElement::MaxElements) + "</a>") << 200
        << int(Status::Malformed) << QStringLiteral("too many elements");
    QTest::newRow("a second root") << soap12("env", "<tds:X/>") + "<more/>" << 200 << int(Status::Malformed)
                                   << QString();
}

void TestSoapEnvelope::replies()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, httpStatus);
    QFETCH(int, status);
    QFETCH(QString, detail);

    const SoapResult result = SoapEnvelope::reply(bytes, httpStatus);
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.httpStatus, httpStatus);
    if (result.ok()) {
        QVERIFY(result.body);
        QCOMPARE(result.body->name(), detail);
    } else {
        QVERIFY(!result.reason.isEmpty());
        if (!detail.isEmpty())
            QCOMPARE(result.reason, detail);
    }
}

void TestSoapEnvelope::lookupsIgnorePrefixes()
{
    // The same namespace under two prefixes, a default namespace, and a prefix reused
    // for another namespace further down.
    const QByteArray bytes = "<a:root xmlns:a=\"urn:one\" xmlns:b=\"urn:one\"><b:item id=\"1\">first</b:item>"
                             "<item xmlns=\"urn:one\" a:id=\"2\"> second </item>"
                             "<a:other xmlns:a=\"urn:two\"><a:item>deep</a:item></a:other></a:root>";
    QString error;
    const std::optional<XmlElement> root = XmlElement::parse(bytes, &error);
    QVERIFY2(root, qPrintable(error));
    const QString one = QStringLiteral("urn:one");
    const QString two = QStringLiteral("urn:two");
    const QList<const XmlElement *> items = root->children(one, QStringLiteral("item"));
    QCOMPARE(items.size(), 2);
    QCOMPARE(items[0]->attribute(QStringLiteral("id")), QStringLiteral("1"));
    QCOMPARE(items[1]->attribute(QStringLiteral("id")), QStringLiteral("2"));
    QCOMPARE(items[1]->text(), QStringLiteral("second"));
    QVERIFY(!root->child(two, QStringLiteral("item")));
    QCOMPARE(root->find(two, QStringLiteral("item"))->text(), QStringLiteral("deep"));
    QCOMPARE(root->childText(one, QStringLiteral("missing")), QString());
}

void TestSoapEnvelope::clockOffset()
{
    const QDateTime now(QDate(2026, 12, 8), QTime(19, 0), Qt::UTC);
    auto offsetOf = [&](const QByteArray &utc) -> std::optional<qint64> {
        const SoapResult result = SoapEnvelope::reply(dateTimeReply(utc), 200);
        return result.ok() ? OnvifSoapClient::clockOffset(*result.body, now) : std::nullopt;
    };
    // An hour ahead, across midnight the other way, and without the optional UTC time.
    QCOMPARE(offsetOf("<tt:UTCDateTime><tt:Time><tt:Hour>20</tt:Hour><tt:Minute>0</tt:Minute><tt:Second>0"
                      "</tt:Second></tt:Time><tt:Date><tt:Year>2026</tt:Year><tt:Month>12</tt:Month><tt:Day>8"
                      "</tt:Day></tt:Date></tt:UTCDateTime>"),
             std::optional<qint64>(3600 * 1000));
    QCOMPARE(offsetOf("<tt:UTCDateTime><tt:Date><tt:Year>2026</tt:Year><tt:Month>12</tt:Month><tt:Day>7</tt:Day>"
                      "</tt:Date><tt:Time><tt:Hour>23</tt:Hour><tt:Minute>59</tt:Minute><tt:Second>30</tt:Second>"
                      "</tt:Time></tt:UTCDateTime>"),
             std::optional<qint64>(-(19 * 3600 + 30) * 1000));
    QCOMPARE(offsetOf("<tt:LocalDateTime/>"), std::nullopt);
    QCOMPARE(offsetOf("<tt:UTCDateTime><tt:Time><tt:Hour>25</tt:Hour><tt:Minute>0</tt:Minute><tt:Second>0"
                      "</tt:Second></tt:Time><tt:Date><tt:Year>2026</tt:Year><tt:Month>12</tt:Month><tt:Day>8"
                      "</tt:Day></tt:Date></tt:UTCDateTime>"),
             std::nullopt);
}

QTEST_GUILESS_MAIN(TestSoapEnvelope)
#include "tst_soapenvelope.moc"
