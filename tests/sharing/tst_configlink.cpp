#include "config/PropertyList.h"
#include "config/QelCrypto.h"
#include "platform/DeviceIdentity.h"
#include "platform/UrlOpener.h"
#include "sharing/ConfigLink.h"
#include "sharing/LinkIntake.h"

#include "logcapture/LogCapture.h"
#include "support/RecordingOpener.h"
#include "util/Utilities.h"

#include <QTest>

namespace {

Value camera(const char *title)
{
    Value cam = Value::dictionary();
    if (title)
        cam.insert(QStringLiteral("title"), title);
    Value video = Value::dictionary();
    video.insert(QStringLiteral("video.type"), QStringLiteral("GENMJPEG"));
    video.insert(QStringLiteral("video.host"), QStringLiteral("127.0.0.1"));
    cam.insert(QStringLiteral("video.parameters"), video);
    cam.insert(QStringLiteral("definition_version"), QStringLiteral("1"));
    return cam;
}

Value group(int cameras)
{
    Value g = Value::dictionary();
    g.insert(QStringLiteral("name"), QStringLiteral("Yard & Gate"));
    g.insert(QStringLiteral("uid"), 4);
    Value list = Value::array();
    for (int i = 0; i < cameras; ++i)
        list.append(camera("Cam"));
    g.insert(QStringLiteral("cameras"), list);
    return g;
}

QString payloadOfLink(const QString &link)
{
    return ConfigLink::payloadOf(QUrl(link));
}

} // namespace

class TestConfigLink final : public QObject
{
    Q_OBJECT

private:
    LogCapture m_log;

    QString lastLine() const { return m_log.lines().value(m_log.lines().size() - 1); }

private slots:
    void init() { m_log.clear(); }

    void roundTrips()
    {
        QString error;
        const QString link = ConfigLink::makeLink(ConfigLink::Group, group(2), &error);
        QVERIFY(link.startsWith(QLatin1StringView("vyo://group/")));
        const QUrl url(link);
        QCOMPARE(ConfigLink::typeOfHost(url.host()), std::optional(ConfigLink::Group));
        const Value back = ConfigLink::extractConfigFromEncodedData(ConfigLink::payloadOf(url), ConfigLink::Group);
        QVERIFY(back == group(2));
        QVERIFY(m_log.lines().isEmpty());

        // A percent-escaped payload, as some mail clients rewrite links, reads the same.
        const QString escaped = QStringLiteral("vyo://group/") + QString::fromLatin1(QUrl::toPercentEncoding(payloadOfLink(link)));
        QVERIFY(ConfigLink::extractConfigFromEncodedData(payloadOfLink(escaped), ConfigLink::Group) == group(2));

        const QString camLink = ConfigLink::makeLink(ConfigLink::AdhocCamera, camera("Door"), &error);
        QVERIFY(ConfigLink::extractConfigFromEncodedData(payloadOfLink(camLink), ConfigLink::AdhocCamera) == camera("Door"));
        QVERIFY(!ConfigLink::typeOfHost(QStringLiteral("settings")));
    }

    void malformedPayloads_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<int>("type");
        QString error;
        const QString good = payloadOfLink(ConfigLink::makeLink(ConfigLink::Group, group(1), &error));
        const auto enciphered = [](const QByteArray &plain, ConfigLink::Type t) {
            return Utilities::base64Encode(*QelCrypto::encryptBlob(plain, QelCrypto::URL_INIT_VECS[t]));
        };
        QTest::newRow("wrong vector") << good << int(ConfigLink::Camera);
        QTest::newRow("short") << QStringLiteral("QQ") << int(ConfigLink::AdhocCamera);
        QTest::newRow("not a plist") << enciphered("hello there, camera", ConfigLink::Camera) << int(ConfigLink::Camera);
        Value badGroup = group(1);
        badGroup.insert(QStringLiteral("cameras"), QStringLiteral("none"));
        QTest::newRow("cameras not an array") << enciphered(PropertyList::toBinary(badGroup, nullptr), ConfigLink::Group)
                                              << int(ConfigLink::Group);
        Value badCamera = camera("x");
        badCamera.insert(QStringLiteral("video.parameters"), 7);
        QTest::newRow("video parameters not a dictionary")
            << enciphered(PropertyList::toBinary(badCamera, nullptr), ConfigLink::AdhocCamera) << int(ConfigLink::AdhocCamera);
    }

    void malformedPayloads()
    {
        QFETCH(QString, payload);
        QFETCH(int, type);
        QVERIFY(ConfigLink::extractConfigFromEncodedData(payload, ConfigLink::Type(type)).isNull());
        QVERIFY(lastLine().contains(QLatin1StringView("Failed to parse config URL using deprecated plaintext mode.")));
    }

    void restrictions()
    {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const auto withRule = [](const Value &expires, const Value &devices) {
            Value cam = camera("Ad hoc");
            Value rule = Value::dictionary();
            if (!expires.isNull())
                rule.insert(QStringLiteral("expireDate"), expires);
            if (!devices.isNull())
                rule.insert(QStringLiteral("allowedDevices"), devices);
            cam.insert(QStringLiteral("configRestrict"), rule);
            return cam;
        };
        using R = ConfigLink::Restriction;
        const Value me = Value::array({ Value(QStringLiteral("ME")) });
        QCOMPARE(ConfigLink::checkRestriction(camera("plain"), QStringLiteral("ME"), now), R::Allowed);
        QCOMPARE(ConfigLink::checkRestriction(withRule(Value(), me), QStringLiteral("ME"), now), R::Allowed);
        // Rules that cannot be read refuse.
        QCOMPARE(ConfigLink::checkRestriction(withRule(Value(QStringLiteral("2099-01-01")), Value()), QStringLiteral("ME"), now),
                 R::Expired);
        QCOMPARE(ConfigLink::checkRestriction(withRule(Value(), Value(QStringLiteral("ME"))), QStringLiteral("ME"), now),
                 R::Restricted);
    }

    // One reading of a link for the viewer and vyoctl: kind, upgraded definition, verdict.
    void intake_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("verdict");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reason");
        using V = LinkIntake::Verdict;
        const QDateTime now = QDateTime::fromString(QStringLiteral("2030-06-01T12:00:00Z"), Qt::ISODate);
        const auto make = [](ConfigLink::Type type, const Value &definition) {
            QString error;
            return ConfigLink::makeLink(type, definition, &error);
        };
        const auto adhoc = [&](const QDateTime &expires, const char *device) {
            Value cam = camera("Ad hoc");
            Value rule = Value::dictionary();
            rule.insert(QStringLiteral("expireDate"), Value::date(expires));
            rule.insert(QStringLiteral("allowedDevices"), Value::array({ Value(QString::fromLatin1(device)) }));
            cam.insert(QStringLiteral("configRestrict"), rule);
            return make(ConfigLink::AdhocCamera, cam);
        };
        Value legacy = Value::dictionary();
        Value video = Value::dictionary();
        video.insert(QStringLiteral("video.url"), QStringLiteral("http://127.0.0.1:81/axis-cgi/mjpg/video.cgi"));
        legacy.insert(QStringLiteral("video.parameters"), video);

        QTest::newRow("camera, upgraded") << make(ConfigLink::Camera, legacy) << int(V::Accepted) << int(ConfigLink::Camera) << QString();
        QTest::newRow("group") << make(ConfigLink::Group, group(2)) << int(V::Accepted) << int(ConfigLink::Group) << QString();
        QTest::newRow("ad-hoc for this device")
            << adhoc(now.addDays(1), "ME") << int(V::Accepted) << int(ConfigLink::AdhocCamera) << QString();
        QTest::newRow("ad-hoc expired")
            << adhoc(now.addDays(-1), "ME") << int(V::Expired) << int(ConfigLink::AdhocCamera) << QStringLiteral("expired");
        QTest::newRow("ad-hoc for another device") << adhoc(now.addDays(1), "OTHER") << int(V::Restricted)
                                                   << int(ConfigLink::AdhocCamera) << QStringLiteral("restricted to other devices");
        QTest::newRow("camera in a group link")
            << make(ConfigLink::Camera, camera("Cam")).replace(QStringLiteral("//camera/"), QStringLiteral("//group/"))
            << int(V::Unreadable) << int(ConfigLink::Group) << QStringLiteral("the link carries no readable definition");
        QTest::newRow("garbage") << QStringLiteral("vyo://camera/%00%FF!!") << int(V::Unreadable) << int(ConfigLink::Camera)
                                 << QStringLiteral("the link carries no readable definition");
        QTest::newRow("unknown kind") << QStringLiteral("vyo://album/abc") << int(V::NotALink) << int(ConfigLink::Camera)
                                      << QStringLiteral("unknown link type \"album\"");
        QTest::newRow("other scheme") << make(ConfigLink::Group, group(1)).replace(QStringLiteral("vyo:"), QStringLiteral("http:"))
                                      << int(V::NotALink) << int(ConfigLink::Camera) << QStringLiteral("not a vyo:// link");
    }

    void intake()
    {
        QFETCH(QString, url);
        QFETCH(int, verdict);
        QFETCH(int, kind);
        QFETCH(QString, reason);
        const LinkIntake::Result link = LinkIntake::read(QUrl(url), QStringLiteral("ME"),
                                                         QDateTime::fromString(QStringLiteral("2030-06-01T12:00:00Z"), Qt::ISODate));
        QCOMPARE(int(link.verdict), verdict);
        QCOMPARE(int(link.kind), kind);
        QCOMPARE(link.reason, reason);
        const bool carriesDefinition = verdict != int(LinkIntake::Verdict::NotALink) && verdict != int(LinkIntake::Verdict::Unreadable);
        QCOMPARE(link.definition.isDictionary(), carriesDefinition);
        if (QByteArray(QTest::currentDataTag()) == "camera, upgraded") {
            const Value video = link.definition.value(QStringLiteral("video.parameters"));
            QCOMPARE(video.value(QStringLiteral("video.host")).toString(), QStringLiteral("127.0.0.1"));
            QVERIFY(!video.contains(QStringLiteral("video.url")));
        }
        if (kind == ConfigLink::AdhocCamera)
            QVERIFY(link.definition.contains(QStringLiteral("configRestrict")));
    }

    void mailBody()
    {
        for (int count : { 0, 1, 2 }) {
            QString error;
            const QString mail = ConfigLink::groupMailUrl(group(count), &error);
            QVERIFY(mail.startsWith(QLatin1StringView("mailto:?subject=Vyo%20group&body=")));
            // The body is the whole rest of the query: no "&" may split it, and no blank.
            const QString query = mail.mid(mail.indexOf(QLatin1StringView("body=")) + 5);
            QVERIFY(!query.contains(QLatin1Char('&')) && !query.contains(QLatin1Char(' ')));
            const QStringList lines = QUrl::fromPercentEncoding(query.toLatin1()).split(QStringLiteral("\r\n"));
            const QString noun = count == 1 ? QStringLiteral("camera") : QStringLiteral("cameras");
            QCOMPARE(lines.first(), QStringLiteral("Touch the link to import the group \"Yard & Gate\" (%1 %2) into Vyo:")
                                        .arg(count)
                                        .arg(noun));
            // The link on its own line, as a mail client shows it, reads back to the group;
            // so does one whose "+" a client turned into a blank.
            const QString link = lines.value(2);
            QVERIFY(link.startsWith(QLatin1StringView("vyo://group/")));
            QVERIFY(!link.mid(12).contains(QLatin1Char('/')) && !link.contains(QLatin1Char('+')));
            const QString payload = ConfigLink::payloadOf(QUrl(link));
            QCOMPARE(ConfigLink::extractConfigFromEncodedData(payload, ConfigLink::Group), group(count));
            QString mangled = payload;
            mangled.replace(QLatin1Char('+'), QLatin1Char(' '));
            QCOMPARE(ConfigLink::payloadOf(QUrl(QStringLiteral("vyo://group/") + mangled)), payload);
        }

        Value bad = group(1);
        bad.insert(QStringLiteral("service"), Value::handle(std::make_shared<int>(0)));
        QString error;
        QVERIFY(ConfigLink::groupMailUrl(bad, &error).isEmpty());
        QVERIFY(lastLine().contains(QLatin1StringView("<ERROR")) && lastLine().contains(QLatin1StringView("Error creating email URL: ")));
        RecordingOpener opener;
        UrlOpener::setShared(&opener);
        QVERIFY(ConfigLink::emailGroup(group(2)));
        QVERIFY(!ConfigLink::emailGroup(bad));
        UrlOpener::setShared(nullptr);
        QCOMPARE(opener.opened.size(), 1);
        QCOMPARE(opener.opened.first().toString(QUrl::FullyEncoded), ConfigLink::groupMailUrl(group(2), nullptr));
    }

    void deviceIdentity()
    {
        const QString id = DeviceIdentity::uniqueIdentifier();
        QCOMPARE(id.size(), 40);
        QCOMPARE(id, DeviceIdentity::uniqueIdentifier());
        QVERIFY(DeviceIdentity::identifierFor("a") != DeviceIdentity::identifierFor("b"));
        QCOMPARE(DeviceIdentity::identifierFor("a\n"), DeviceIdentity::identifierFor("a"));
    }
};

QTEST_GUILESS_MAIN(TestConfigLink)
#include "tst_configlink.moc"
