#include "discovery/OnvifDiscoverer.h"
#include "onvif/OnvifResolver.h"
#include "platform/Clock.h"
#include "support/TestSupport.h"
#include "tools/CamsimProcess.h"
#include "video/FrameProducer.h"
#include "video/OnvifVideoProfile.h"
#include "video/VideoStreamFactory.h"

#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

namespace {

const QByteArray Config = R"({"discoveryPort": %1, "cameras": [
 {"name": "Lobby Cam", "family": "onvif", "user": "admin", "password": "s&cret", "fps": 5, "hardware": "VC-1"},
 {"name": "Skewed", "family": "onvif", "prefixes": "numbered", "user": "admin", "password": "pw", "fps": 5,
  "quirks": {"clockOffset": 3600}},
 {"name": "Digest", "family": "onvif", "user": "admin", "password": "pw", "fps": 5, "quirks": {"digestOnly": true}}
]})";

quint16 freeUdpPort()
{
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost, 0);
    return socket.localPort();
}

QString titles(const QList<Value> &cameras)
{
    QStringList names;
    for (const Value &camera : cameras)
        names.append(camera.value(QStringLiteral("title")).toString());
    return names.join(QLatin1Char(','));
}

} // namespace

// The ONVIF client against vyo-camsim's ONVIF cameras: discovery, resolving with each
// quirk, playing.
class TestOnvifClientEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void discoverResolveAndPlay();
};

void TestOnvifClientEndToEnd::discoverResolveAndPlay()
{
    const quint16 discoveryPort = freeUdpPort();
    // One discoverer only listens (Hello and Bye), one probes.
    OnvifDiscoverer::Options listening = OnvifDiscoverer::loopbackOnly();
    listening.multicast = false;
    listening.announcementPort = discoveryPort;
    listening.resolveStreams = false;
    OnvifDiscoverer listener(listening, Clock::system());
    QVERIFY(listener.start());

    CamsimProcess camsim;
    QVERIFY2(camsim.start(QString::fromLatin1(Config).arg(discoveryPort).toUtf8()), qPrintable(camsim.errorOutput()));
    QTRY_COMPARE_WITH_TIMEOUT(titles(listener.detectedCameras()), QStringLiteral("Digest,Lobby Cam,Skewed"), 20000);

    OnvifDiscoverer::Options probing = OnvifDiscoverer::loopbackOnly();
    probing.multicastPort = discoveryPort;
    probing.announcementPort = 0;
    probing.resolveStreams = false;
    OnvifDiscoverer prober(probing, Clock::system());
    QVERIFY(prober.start());
    QTRY_COMPARE_WITH_TIMEOUT(titles(prober.detectedCameras()), QStringLiteral("Digest,Lobby Cam,Skewed"), 20000);
    QCOMPARE(prober.detectedCameras().at(1).value(OnvifDiscoverer::HardwareKey).toString(), QStringLiteral("VC-1"));

    // Each camera resolves with its own credentials, whatever its quirk.
    for (const char *title : { "Lobby Cam", "Skewed", "Digest" }) {
        Value video = camsim.camera(QString::fromLatin1(title)).value(QStringLiteral("video.parameters")).deepCopy();
        OnvifResolver resolver(Clock::system());
        QSignalSpy resolved(&resolver, &OnvifResolver::resolved);
        QSignalSpy failed(&resolver, &OnvifResolver::failed);
        resolver.resolve(OnvifVideoProfile::deviceService(video), video.value(QStringLiteral("video.username")).toString(),
                         video.value(QStringLiteral("video.password")).toString());
        QTRY_VERIFY_WITH_TIMEOUT(!resolved.isEmpty() || !failed.isEmpty(), 20000);
        QVERIFY2(!resolved.isEmpty(), title);
        const auto info = resolved.at(0).at(0).value<OnvifDeviceInfo>();
        QVERIFY(info.mainUri.startsWith(QLatin1String("rtsp://127.0.0.1:")));
        QVERIFY(info.gridUri != info.mainUri);
        QVERIFY(info.mainProfile()->width > info.gridProfile()->width);
        if (QLatin1String(title) == QLatin1String("Skewed"))
            QVERIFY(qAbs(info.clockOffsetMs - 3600 * 1000) < 10000);

        // A wrong password is refused, not retried.
        resolver.resolve(OnvifVideoProfile::deviceService(video), QStringLiteral("admin"), QStringLiteral("nope"));
        QTRY_VERIFY_WITH_TIMEOUT(resolved.size() > 1 || !failed.isEmpty(), 20000);
        QVERIFY2(resolved.size() == 1, title);
        QCOMPARE(failed.at(0).at(0).value<SoapResult::Status>(), SoapResult::Status::NotAuthorized);
    }

    // Played as the viewer plays it: no stored address, so the reader asks first.
    const Value lobby = camsim.camera(QStringLiteral("Lobby Cam")).value(QStringLiteral("video.parameters"));
    std::unique_ptr<FrameProducer> reader = VideoStreamFactory::createStream(lobby, true, nullptr);
    QVERIFY(reader);
    auto consumer = std::make_shared<RecordingConsumer>();
    reader->addConsumer(consumer);
    reader->start();
    QTRY_VERIFY_WITH_TIMEOUT(consumer->count() > 0, 60000);
    QVERIFY(!consumer->frames().at(0).picture.isNull());
    reader->stop();

    // Leaving says Bye.
    camsim.terminate();
    QTRY_COMPARE_WITH_TIMEOUT(listener.detectedCameras().size(), 0, 20000);
}

QTEST_GUILESS_MAIN(TestOnvifClientEndToEnd)
#include "tst_onvifclient_e2e.moc"
