#include "support/TestSupport.h"
#include "tools/CamsimProcess.h"

#include "video/RTSPStreamReader.h"
#include "video/RTSPVideoProfile.h"
#include "video/VideoStreamFactory.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

const QByteArray Config = R"({"cameras": [
 {"name": "Gate", "family": "rtsp", "path": "/main", "subPath": "/sub", "fps": 10,
  "auth": "digest", "user": "viewer", "password": "p@ss:word"},
 {"name": "Quay", "family": "rtsp", "codec": "h265", "resolution": "640x360", "fps": 10, "transport": "UDP",
  "auth": "basic", "user": "viewer", "password": "secret"},
 {"name": "Stalling", "family": "rtsp", "resolution": "320x240", "fps": 10, "transport": "TCP",
  "faults": {"stallAfter": 2}}
]})";

// Exits 8 s after it started and is back 2 s later, on the same port.
QByteArray rebootingConfig(quint16 port)
{
    return QStringLiteral(R"({"cameras": [{"name": "Rebooting", "family": "rtsp", "port": %1, "resolution": "320x240",
        "fps": 10, "transport": "TCP", "faults": {"exitAfter": 8, "downFor": 2}}]})")
        .arg(port)
        .toUtf8();
}

struct Viewer
{
    Viewer(const Value &camera, bool thumbnail)
        : reader(VideoStreamFactory::createStream(camera.value(QStringLiteral("video.parameters")), thumbnail, nullptr))
    {
        consumer->setTargetSize(QSize(160, 160));
        if (reader)
            reader->addConsumer(consumer);
    }
    std::shared_ptr<RecordingConsumer> consumer = std::make_shared<RecordingConsumer>();
    std::unique_ptr<FrameProducer> reader;
};

QSize snapshotSize(const FrameProducer &reader)
{
    return QImage::fromData(reader.newestPart(), "JPEG").size();
}

} // namespace

// vyo-camsim's RTSP cameras through the viewer's reader, as the grid and the single
// view create it.
class TestRTSPCamsim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_camsim.start(Config), qPrintable(m_camsim.errorOutput())); }

    void gridAndMainStreams()
    {
        for (const bool thumbnail : { true, false }) {
            Viewer viewer(m_camsim.camera(QStringLiteral("Gate")), thumbnail);
            QVERIFY(viewer.reader);
            viewer.reader->start();
            QTRY_VERIFY_WITH_TIMEOUT(viewer.consumer->count() >= 3, 15000);
            QCOMPARE(snapshotSize(*viewer.reader), thumbnail ? QSize(320, 240) : QSize(1280, 720));
            QCOMPARE(viewer.consumer->frames().last().picture.size(), QSize(160, thumbnail ? 120 : 90));
        }
    }

    // A neighbouring page's tile: one picture, then the connection ends.
    void trickle()
    {
        Viewer viewer(m_camsim.camera(QStringLiteral("Gate")), true);
        viewer.reader->getSingleFrame(0);
        QTRY_COMPARE_WITH_TIMEOUT(viewer.consumer->count(), 1, 15000);
        QTRY_COMPARE(viewer.reader->state(), CameraState::Idle);
        QTest::qWait(500);
        QCOMPARE(viewer.consumer->count(), 1);
    }

    // vyoctl reads the grid stream as the grid would and says how it decoded it.
    void probe()
    {
        const Value params = m_camsim.camera(QStringLiteral("Gate")).value(QStringLiteral("video.parameters"));
        QProcess vyoctl;
        vyoctl.setProcessChannelMode(QProcess::MergedChannels);
        const auto text = [&params](const char *key) { return params.value(QString::fromLatin1(key)).toString(); };
        vyoctl.start(QStringLiteral(VYOCTL_PATH),
                     { QStringLiteral("probe"), QStringLiteral("--type"), QStringLiteral("RTSP"), QStringLiteral("--host"),
                       text("video.host"), QStringLiteral("--port"), text("video.port"), QStringLiteral("--path"),
                       text("video.path"), QStringLiteral("--grid-path"), text("video.grid_path"),
                       QStringLiteral("--thumbnail"), QStringLiteral("--user"), text("video.username"),
                       QStringLiteral("--password"), text("video.password"), QStringLiteral("--frames"),
                       QStringLiteral("2"), QStringLiteral("--timeout"), QStringLiteral("20") });
        QVERIFY(vyoctl.waitForFinished(30000));
        const QString output = QString::fromUtf8(vyoctl.readAll());
        QVERIFY2(vyoctl.exitCode() == 0, qPrintable(output));
        QVERIFY2(output.contains(QStringLiteral("stream: H.264, 320x240, software decoding")), qPrintable(output));
        QVERIFY2(!output.contains(text("video.password")), qPrintable(output));
    }

    void h265WithCredentials()
    {
        Value quay = m_camsim.camera(QStringLiteral("Quay"));
        {
            Viewer viewer(quay, false);
            QSignalSpy decoding(qobject_cast<RTSPStreamReader *>(viewer.reader.get()), &RTSPStreamReader::decoding);
            viewer.reader->start();
            QTRY_VERIFY_WITH_TIMEOUT(viewer.consumer->count() >= 3, 15000);
            QCOMPARE(decoding.value(0).value(0).toString(), QStringLiteral("H.265"));
            QCOMPARE(decoding.value(0).value(1).toSize(), QSize(640, 360));
        }
        Value params = quay.value(QStringLiteral("video.parameters"));
        params.insert(QStringLiteral("video.password"), QStringLiteral("wrong"));
        Viewer refused(quay, false);
        refused.reader->setConnectionParameters(params, RTSPVideoProfile::streamURL(params, false));
        refused.reader->start();
        QTRY_VERIFY_WITH_TIMEOUT(refused.reader->state() == CameraState::Unauthorized, 10000);
    }

    // A stream without pictures is torn down and read again; a camera that goes away
    // and comes back plays again by itself.
    void watchdog_data()
    {
        QTest::addColumn<QString>("camera");
        QTest::addColumn<CameraState>("fault");
        QTest::newRow("stall") << QStringLiteral("Stalling") << CameraState::Silent;
        QTest::newRow("reboot") << QStringLiteral("Rebooting") << CameraState::Unreachable;
    }
    void watchdog()
    {
        QFETCH(QString, camera);
        QFETCH(CameraState, fault);
        const bool reboots = camera == QLatin1StringView("Rebooting");
        CamsimProcess rebooting;
        quint16 port = 0;
        if (reboots) {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
            probe.close();
            QVERIFY2(rebooting.start(rebootingConfig(port)), qPrintable(rebooting.errorOutput()));
        }
        Viewer viewer((reboots ? rebooting : m_camsim).camera(camera), false);
        viewer.reader->start();
        QTRY_VERIFY_WITH_TIMEOUT(viewer.reader->state() == CameraState::Playing, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(viewer.reader->state() != CameraState::Playing, 15000);
        QCOMPARE(viewer.reader->state(), fault);
        if (reboots) {
            // Back within 10 s of the camera taking connections again, however long it was away.
            QVERIFY(QTest::qWaitFor([port] {
                QTcpSocket socket;
                socket.connectToHost(QHostAddress::LocalHost, port);
                return socket.waitForConnected(200);
            }, 60000));
            QTRY_VERIFY_WITH_TIMEOUT(viewer.reader->state() == CameraState::Playing, 10000);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(viewer.reader->state() == CameraState::Playing, 15000);
        }
    }

private:
    CamsimProcess m_camsim;
};

QTEST_GUILESS_MAIN(TestRTSPCamsim)
#include "tst_rtspcamsim.moc"
