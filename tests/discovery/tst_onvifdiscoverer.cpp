#include "discovery/DetectedCameras.h"
#include "discovery/OnvifDiscoverer.h"
#include "discovery/WsDiscoveryMessage.h"
#include "logcapture/LogCapture.h"
#include "onvif/FakeOnvifDevice.h"
#include "platform/Clock.h"
#include "util/QelLog.h"
#include "video/OnvifVideoProfile.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

namespace {

// A device's answer or announcement in the shape cameras send: SOAP 1.2, their own
// prefixes, the discovery namespace on the body elements.
QByteArray message(const QByteArray &body, const QByteArray &envelopePrefix = "SOAP-ENV")
{
    const QByteArray p = envelopePrefix;
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + p + ":Envelope xmlns:" + p
           + "=\"http://www.w3.org/2003/05/soap-envelope\" xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\""
             " xmlns:wsd=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\""
             " xmlns:dn=\"http://www.onvif.org/ver10/network/wsdl\" xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\"><"
           + p + ":Header><wsa:RelatesTo>uuid:1</wsa:RelatesTo></" + p + ":Header><" + p + ":Body>" + body + "</" + p
           + ":Body></" + p + ":Envelope>";
}

QByteArray device(const QByteArray &endpoint, const QByteArray &xaddrs, const QByteArray &scopes,
                  const QByteArray &types = "dn:NetworkVideoTransmitter tds:Device")
{
    return "<wsa:EndpointReference><wsa:Address>" + endpoint + "</wsa:Address></wsa:EndpointReference><wsd:Types>"
           + types + "</wsd:Types><wsd:Scopes>" + scopes + "</wsd:Scopes><wsd:XAddrs>" + xaddrs
           + "</wsd:XAddrs><wsd:MetadataVersion>1</wsd:MetadataVersion>";
}

QByteArray probeMatches(const QList<QByteArray> &devices)
{
    QByteArray body = "<wsd:ProbeMatches>";
    for (const QByteArray &d : devices)
        body += "<wsd:ProbeMatch>" + d + "</wsd:ProbeMatch>";
    return message(body + "</wsd:ProbeMatches>");
}

QByteArray hello(const QByteArray &d, const QByteArray &prefix = "s")
{
    return message("<wsd:Hello>" + d + "</wsd:Hello>", prefix);
}

QByteArray bye(const QByteArray &endpoint)
{
    return message("<wsd:Bye><wsa:EndpointReference><wsa:Address>" + endpoint
                   + "</wsa:Address></wsa:EndpointReference></wsd:Bye>");
}

const QByteArray Scopes = "onvif://www.onvif.org/type/video_encoder onvif://www.onvif.org/name/Gate%20Cam "
                          "onvif://www.onvif.org/hardware/NVT-9 onvif://www.onvif.org/location/country/Yard";

// A WS-Discovery responder on 127.0.0.1 that answers each probe with matches.
struct Responder
{
    Responder()
    {
        socket.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&socket, &QUdpSocket::readyRead, &socket, [this] {
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram probe = socket.receiveDatagram();
                probes.append(probe.data());
                socket.writeDatagram(answer, probe.senderAddress(), quint16(probe.senderPort()));
            }
        });
    }
    quint16 port() const { return socket.localPort(); }

    QUdpSocket socket;
    QByteArray answer;
    QList<QByteArray> probes;
};

OnvifDiscoverer::Options loopbackTo(const Responder &responder)
{
    OnvifDiscoverer::Options options = OnvifDiscoverer::loopbackOnly();
    options.multicast = false;
    options.unicastTargets = { { QHostAddress::LocalHost, responder.port() } };
    options.announcementPort = 0;
    options.resolveStreams = false;
    return options;
}

void send(const QByteArray &datagram, quint16 port)
{
    QUdpSocket sender;
    sender.writeDatagram(datagram, QHostAddress::LocalHost, port);
}

QString title(const Value &camera)
{
    return camera.value(QStringLiteral("title")).toString();
}

} // namespace

class TestOnvifDiscoverer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QelLog::setLoggingEnabled(true); QelLog::setLoggingThreshhold(1); }
    void readsMessages();
    void probeHelloAndBye();
    void hostilePeers();
    void resolvedDevicesJoinTheGrid();
    void mergesWithDnsSd();
    void vyoctlListsThem();
};

void TestOnvifDiscoverer::readsMessages()
{
    QString error;
    // Two matches, one with a second address and a non-HTTP one that is dropped.
    std::optional<WsDiscoveryMessage::Parsed> parsed = WsDiscoveryMessage::parse(
        probeMatches({ device("urn:uuid:a", "http://127.0.0.1:8080/onvif/device_service ftp://127.0.0.1/x", Scopes),
                       device("urn:uuid:b", "http://127.0.0.2/onvif/device_service", "") }),
        &error);
    QVERIFY2(parsed, qPrintable(error));
    QCOMPARE(parsed->kind, WsDiscoveryMessage::Kind::ProbeMatches);
    QCOMPARE(parsed->relatesTo, QStringLiteral("uuid:1"));
    QCOMPARE(parsed->devices.size(), 2);
    const DiscoveredDevice &a = parsed->devices.at(0);
    QCOMPARE(a.endpoint, QStringLiteral("urn:uuid:a"));
    QCOMPARE(a.xaddrs, QList<QUrl>{ QUrl(QStringLiteral("http://127.0.0.1:8080/onvif/device_service")) });
    QCOMPARE(a.name, QStringLiteral("Gate Cam"));
    QCOMPARE(a.hardware, QStringLiteral("NVT-9"));
    QCOMPARE(a.location, QStringLiteral("country/Yard"));
    QVERIFY(parsed->devices.at(1).name.isEmpty());

    // A SOAP 1.1 Hello with default namespaces; a Hello of something else is no camera.
    parsed = WsDiscoveryMessage::parse(
        "<Envelope xmlns=\"http://schemas.xmlsoap.org/soap/envelope/\"><Body>"
        "<Hello xmlns=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\">"
        "<EndpointReference xmlns=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\"><Address>urn:uuid:c</Address>"
        "</EndpointReference><Types xmlns:x=\"http://www.onvif.org/ver10/network/wsdl\">x:NetworkVideoTransmitter"
        "</Types><XAddrs>http://127.0.0.1/onvif/device_service</XAddrs></Hello></Body></Envelope>",
        &error);
    QVERIFY2(parsed, qPrintable(error));
    QCOMPARE(parsed->kind, WsDiscoveryMessage::Kind::Hello);
    QCOMPARE(parsed->devices.size(), 1);
    parsed = WsDiscoveryMessage::parse(hello(device("urn:uuid:p", "http://127.0.0.1/", "", "wsdp:Device")), &error);
    QVERIFY(parsed && parsed->devices.isEmpty());

    parsed = WsDiscoveryMessage::parse(bye("urn:uuid:a"), &error);
    QVERIFY(parsed && parsed->kind == WsDiscoveryMessage::Kind::Bye);
    QCOMPARE(parsed->devices.value(0).endpoint, QStringLiteral("urn:uuid:a"));

    QVERIFY(!WsDiscoveryMessage::parse("<a><b></a>", &error));
    QVERIFY(!WsDiscoveryMessage::parse("<x:Envelope xmlns:x=\"urn:other\"><x:Body/></x:Envelope>", &error));
    QVERIFY(!WsDiscoveryMessage::parse(QByteArray(WsDiscoveryMessage::MaxDatagramBytes + 1, '<'), &error));
}

void TestOnvifDiscoverer::probeHelloAndBye()
{
    Responder responder;
    responder.answer = probeMatches({ device("urn:uuid:a", "http://127.0.0.1:8080/onvif/device_service", Scopes) });
    OnvifDiscoverer discoverer(loopbackTo(responder), Clock::system());
    QVERIFY(discoverer.start());
    QTRY_COMPARE(discoverer.detectedCameras().size(), 1);
    QCOMPARE(responder.probes.size(), 1);
    const Value camera = discoverer.detectedCameras().at(0);
    QCOMPARE(title(camera), QStringLiteral("Gate Cam"));
    QVERIFY(DetectedCameras::isOnvif(camera));
    const Value video = camera.value(QStringLiteral("video.parameters"));
    QCOMPARE(video.value(QStringLiteral("video.type")).toString(), OnvifVideoProfile::Type);
    QCOMPARE(video.value(QStringLiteral("video.port")).toString(), QStringLiteral("8080"));

    // The same answer again changes nothing; a Hello adds, a Bye removes.
    QSignalSpy changed(&discoverer, &OnvifDiscoverer::changed);
    discoverer.probe();
    QTRY_COMPARE(responder.probes.size(), 2);
    send(hello(device("urn:uuid:b", "http://127.0.0.1/onvif/device_service", "onvif://www.onvif.org/hardware/Box")),
         discoverer.announcementPort());
    QTRY_COMPARE(discoverer.detectedCameras().size(), 2);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(title(discoverer.detectedCameras().at(0)), QStringLiteral("Box"));
    send(bye("urn:uuid:a"), discoverer.announcementPort());
    QTRY_COMPARE(discoverer.detectedCameras().size(), 1);
    QCOMPARE(title(discoverer.detectedCameras().at(0)), QStringLiteral("Box"));
}

void TestOnvifDiscoverer::hostilePeers()
{
    LogCapture log;
    Responder responder;
    QList<QByteArray> many;
    for (int i = 0; i < WsDiscoveryMessage::MaxMatches + 8; ++i)
        many.append(device("urn:uuid:m" + QByteArray::number(i), "http://127.0.0.1/onvif/device_service", ""));
    responder.answer = probeMatches(many);
    OnvifDiscoverer discoverer(loopbackTo(responder), Clock::system());
    QVERIFY(discoverer.start());
    QTRY_COMPARE(discoverer.devices().size(), WsDiscoveryMessage::MaxMatches);

    // A flood of garbage and of new devices: bounded, logged once, still answering.
    // Each datagram gets its turn, so that the socket's buffer drops none.
    for (int i = 0; i < 200; ++i) {
        send("not xml " + QByteArray::number(i % 2), discoverer.announcementPort());
        QCoreApplication::processEvents();
    }
    for (int i = 0; i < OnvifDiscoverer::MaxDevices; ++i) {
        send(hello(device("urn:uuid:h" + QByteArray::number(i), "http://127.0.0.1/onvif/device_service", "")),
             discoverer.announcementPort());
        QCoreApplication::processEvents();
    }
    QTRY_COMPARE(discoverer.devices().size(), OnvifDiscoverer::MaxDevices);
    QTest::qWait(100);
    QCOMPARE(log.count(QStringLiteral("unreadable message")), 1);
    QCOMPARE(log.count(QStringLiteral("devices; the rest are left out")), 1);
}

void TestOnvifDiscoverer::resolvedDevicesJoinTheGrid()
{
    FakeOnvifDevice onvifDevice;
    onvifDevice.requiresToken = false;
    onvifDevice.serveMedia();
    Responder responder;
    responder.answer = probeMatches({ device("urn:uuid:a", onvifDevice.deviceService().toEncoded(), Scopes) });
    OnvifDiscoverer::Options options = loopbackTo(responder);
    options.resolveStreams = true;
    OnvifDiscoverer discoverer(options, Clock::system());
    QVERIFY(discoverer.start());
    QTRY_COMPARE(discoverer.detectedCameras().size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!DetectedCameras::playable(discoverer.detectedCameras()).isEmpty(), 20000);
    const Value video = discoverer.detectedCameras().at(0).value(QStringLiteral("video.parameters"));
    QCOMPARE(video.value(OnvifVideoProfile::MainUriKey).toString(), QStringLiteral("rtsp://127.0.0.1:8554/main"));
}

void TestOnvifDiscoverer::mergesWithDnsSd()
{
    DiscoveredDevice same{ QStringLiteral("urn:uuid:s"), { QUrl(QStringLiteral("http://127.0.0.5/onvif")) }, {}, {}, {} };
    // At the same host as the DNS-SD camera, but another port: another camera.
    DiscoveredDevice other{ QStringLiteral("urn:uuid:o"), { QUrl(QStringLiteral("http://127.0.0.5:8080/onvif")) }, {}, {}, {} };
    Value dnsSd = Value::dictionary();
    Value dnsSdVideo = Value::dictionary();
    dnsSdVideo.insert(QStringLiteral("video.type"), QStringLiteral("AXISMJPEG"));
    dnsSdVideo.insert(QStringLiteral("video.host"), QStringLiteral("127.0.0.5"));
    dnsSd.insert(QStringLiteral("video.parameters"), dnsSdVideo);
    const QList<Value> onvif = { OnvifDiscoverer::makeCamera(same), OnvifDiscoverer::makeCamera(other) };

    // Found both ways: one row, the DNS-SD one, marked; asked twice, still so.
    for (int round = 0; round < 2; ++round) {
        const QList<Value> merged = DetectedCameras::merge({ dnsSd }, onvif);
        QCOMPARE(merged.size(), 2);
        QVERIFY(merged.at(0).isSameObject(dnsSd));
        QVERIFY(DetectedCameras::isOnvif(merged.at(0)));
        // The ONVIF-only one waits for its stream before joining the grid.
        QCOMPARE(DetectedCameras::playable(merged).size(), 1);
    }
}

void TestOnvifDiscoverer::vyoctlListsThem()
{
    Responder responder;
    responder.answer = probeMatches({ device("urn:uuid:a", "http://127.0.0.1:8080/onvif/device_service", Scopes) });
    QProcess vyoctl;
    vyoctl.start(QStringLiteral(VYOCTL_PATH),
                 { QStringLiteral("discover"), QStringLiteral("--onvif"), QStringLiteral("--timeout"),
                   QStringLiteral("1"), QStringLiteral("--probe-address"),
                   QStringLiteral("127.0.0.1:%1").arg(responder.port()) });
    QTRY_COMPARE_WITH_TIMEOUT(vyoctl.state(), QProcess::NotRunning, 30000);
    QCOMPARE(vyoctl.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(vyoctl.readAllStandardOutput()),
             QStringLiteral("Gate Cam\t127.0.0.1\t8080\tNVT-9\tcountry/Yard\turn:uuid:a\n"));
}

QTEST_GUILESS_MAIN(TestOnvifDiscoverer)
#include "tst_onvifdiscoverer.moc"
