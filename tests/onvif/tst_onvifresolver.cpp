#include "onvif/FakeOnvifDevice.h"
#include "onvif/OnvifResolver.h"
#include "support/ManualClock.h"
#include "video/OnvifStreamReader.h"
#include "video/OnvifVideoProfile.h"
#include "video/VideoStreamFactory.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

class TestOnvifResolver : public QObject
{
    Q_OBJECT

private slots:
    void resolvesMediaWithTheDevicesClock();
    void olderAndNewerDevices();
    void readerAsksAgainWhenTheStoredAddressFails();

private:
    static QVariantList run(OnvifResolver &resolver, const FakeOnvifDevice &device, const QString &password,
                            const QString &main = {}, const QString &grid = {})
    {
        QSignalSpy resolved(&resolver, &OnvifResolver::resolved);
        QSignalSpy failed(&resolver, &OnvifResolver::failed);
        resolver.resolve(device.deviceService(), QStringLiteral("admin"), password, main, grid);
        if (!QTest::qWaitFor([&] { return !resolved.isEmpty() || !failed.isEmpty(); }, 20000))
            return {};
        return resolved.isEmpty() ? failed.at(0) : resolved.at(0);
    }
};

void TestOnvifResolver::resolvesMediaWithTheDevicesClock()
{
    FakeOnvifDevice device;
    device.clockOffsetMs = 3600 * 1000;
    device.serveMedia();
    ManualClock clock;
    OnvifResolver resolver(clock);
    const QVariantList result = run(resolver, device, QStringLiteral("secret"));
    QCOMPARE(result.size(), 1);
    const auto info = result.at(0).value<OnvifDeviceInfo>();

    QVERIFY(qAbs(info.clockOffsetMs - 3600 * 1000) < 5000);
    const QString local = QStringLiteral("http://127.0.0.1:%1/onvif/").arg(device.port());
    QCOMPARE(info.mediaService.toString(), local + QStringLiteral("media_service"));
    QCOMPARE(info.ptzService.toString(), local + QStringLiteral("ptz_service"));
    QVERIFY(!info.usesMedia2());
    QCOMPARE(info.profiles.size(), 3);
    QCOMPARE(info.mainProfile()->summary(), QStringLiteral("MainStream (H.264, 1920x1080)"));
    QCOMPARE(info.gridProfile()->token, QStringLiteral("sub"));
    QCOMPARE(info.mainUri, QStringLiteral("rtsp://127.0.0.1:8554/main"));
    QCOMPARE(info.gridUri, QStringLiteral("rtsp://127.0.0.1:8554/sub"));
    QCOMPARE(info.snapshotUri, QStringLiteral("http://127.0.0.1/snap/main.jpg"));
    QCOMPARE(device.operations(),
             QStringList({ QStringLiteral("GetSystemDateAndTime"), QStringLiteral("GetServices"),
                           QStringLiteral("GetProfiles"), QStringLiteral("GetStreamUri"),
                           QStringLiteral("GetStreamUri"), QStringLiteral("GetSnapshotUri") }));

    // What the definition keeps, and the address played with the credentials put in.
    Value params = Value::dictionary();
    params.insert(QStringLiteral("video.username"), QStringLiteral("ad min"));
    params.insert(QStringLiteral("video.password"), QStringLiteral("p@ss:word"));
    OnvifVideoProfile::storeResolution(params, info);
    QCOMPARE(params.value(OnvifVideoProfile::GridSummaryKey).toString(), QStringLiteral("SubStream (H.264, 640x360)"));
    const QUrl played = OnvifVideoProfile::streamURL(params, true);
    QCOMPARE(played.userName(), QStringLiteral("ad min"));
    QCOMPARE(played.password(), QStringLiteral("p@ss:word"));
    QCOMPARE(played.adjusted(QUrl::RemoveUserInfo).toString(), QStringLiteral("rtsp://127.0.0.1:8554/sub"));
}

void TestOnvifResolver::olderAndNewerDevices()
{
    ManualClock clock;
    {
        // No GetServices: the addresses come from GetCapabilities; no snapshots.
        FakeOnvifDevice device;
        device.setReply(QStringLiteral("GetCapabilities"),
                        "<tds:GetCapabilitiesResponse><tds:Capabilities><tt:Media><tt:XAddr>"
                        "http://127.0.0.1:{port}/media</tt:XAddr></tt:Media></tds:Capabilities>"
                        "</tds:GetCapabilitiesResponse>");
        device.setReply(QStringLiteral("GetProfiles"), FakeOnvifDevice::MediaProfiles);
        device.setReply(QStringLiteral("GetStreamUri"), FakeOnvifDevice::MediaStreamUri);
        OnvifResolver resolver(clock);
        const auto info = run(resolver, device, QStringLiteral("secret")).value(0).value<OnvifDeviceInfo>();
        QCOMPARE(info.mediaService.path(), QStringLiteral("/media"));
        QVERIFY(info.ptzService.isEmpty());
        QCOMPARE(info.mainUri, QStringLiteral("rtsp://127.0.0.1:8554/main"));
        QVERIFY(info.snapshotUri.isEmpty());
    }
    {
        // Media2, with H.265 main and H.264 grid.
        FakeOnvifDevice device;
        device.setReply(QStringLiteral("GetServices"),
                        "<tds:GetServicesResponse><tds:Service><tds:Namespace>http://www.onvif.org/ver20/media/wsdl"
                        "</tds:Namespace><tds:XAddr>http://127.0.0.1:{port}/media2</tds:XAddr></tds:Service>"
                        "</tds:GetServicesResponse>");
        device.setReply(QStringLiteral("GetProfiles"),
                        "<tr2:GetProfilesResponse><tr2:Profiles token=\"p0\"><tr2:Name>High</tr2:Name>"
                        "<tr2:Configurations><tr2:VideoEncoder><tt:Encoding>H265</tt:Encoding><tt:Resolution>"
                        "<tt:Width>2560</tt:Width><tt:Height>1440</tt:Height></tt:Resolution></tr2:VideoEncoder>"
                        "</tr2:Configurations></tr2:Profiles><tr2:Profiles token=\"p1\"><tr2:Name>Low</tr2:Name>"
                        "<tr2:Configurations><tr2:VideoEncoder><tt:Encoding>H264</tt:Encoding><tt:Resolution>"
                        "<tt:Width>704</tt:Width><tt:Height>480</tt:Height></tt:Resolution></tr2:VideoEncoder>"
                        "</tr2:Configurations></tr2:Profiles></tr2:GetProfilesResponse>");
        device.setReply(QStringLiteral("GetStreamUri"),
                        "<tr2:GetStreamUriResponse><tr2:Uri>rtsp://127.0.0.1/{token}</tr2:Uri></tr2:GetStreamUriResponse>");
        OnvifResolver resolver(clock);
        const auto info = run(resolver, device, QStringLiteral("secret")).value(0).value<OnvifDeviceInfo>();
        QVERIFY(info.usesMedia2());
        QCOMPARE(info.mainProfile()->summary(), QStringLiteral("High (H.265, 2560x1440)"));
        QCOMPARE(info.gridUri, QStringLiteral("rtsp://127.0.0.1/p1"));
    }
}

void TestOnvifResolver::readerAsksAgainWhenTheStoredAddressFails()
{
    FakeOnvifDevice device;
    device.serveMedia();
    // Nothing listens at the stored address any more.
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 stalePort = closed.serverPort();
    closed.close();

    Value params = Value::dictionary();
    params.insert(QStringLiteral("video.type"), OnvifVideoProfile::Type);
    params.insert(QStringLiteral("video.host"), QStringLiteral("127.0.0.1"));
    params.insert(QStringLiteral("video.port"), QString::number(device.port()));
    params.insert(QStringLiteral("video.username"), QStringLiteral("admin"));
    params.insert(QStringLiteral("video.password"), QStringLiteral("secret"));
    params.insert(OnvifVideoProfile::MainUriKey, QStringLiteral("rtsp://127.0.0.1:%1/old").arg(stalePort));

    std::unique_ptr<FrameProducer> producer = VideoStreamFactory::createStream(params, false, nullptr);
    auto *reader = qobject_cast<OnvifStreamReader *>(producer.get());
    QVERIFY(reader);
    QCOMPARE(reader->streamURL().path(), QStringLiteral("/old"));
    reader->start();
    QTRY_COMPARE_WITH_TIMEOUT(reader->streamURL().path(), QStringLiteral("/main"), 20000);
    QCOMPARE(reader->streamURL().password(), QStringLiteral("secret"));
    QVERIFY(reader->requestDescription().contains(QLatin1String("****")));
    reader->stop();
    QCOMPARE(device.operations().count(QStringLiteral("GetSystemDateAndTime")), 1);
}

QTEST_GUILESS_MAIN(TestOnvifResolver)
#include "tst_onvifresolver.moc"
