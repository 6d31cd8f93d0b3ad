#include "logcapture/LogCapture.h"
#include "support/TestServer.h"

#include "util/QelLog.h"
#include "video/FrameConsumer.h"
#include "video/RTSPStreamReader.h"
#include "video/RTSPVideoProfile.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

// GStreamer's RTSP server (tests/video/rtsp_server.py) on 127.0.0.1.
class PythonServer
{
public:
    explicit PythonServer(const QStringList &args, quint16 port = 0)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        QStringList{ QStringLiteral(VYO_RTSP_SERVER), QStringLiteral("--port"), QString::number(port) }
                            + args);
        // The first start of GStreamer builds its plugin registry: it may take a while.
        while (!m_process.canReadLine() && m_process.waitForReadyRead(60000)) {
        }
        const QByteArray line = m_process.readLine().trimmed();
        if (line.startsWith("port "))
            m_port = static_cast<quint16>(line.mid(5).toUInt());
    }
    ~PythonServer()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    quint16 port() const { return m_port; }
    void signal(int number) { ::kill(static_cast<pid_t>(m_process.processId()), number); }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

// Counts pictures; can hold the reader back (not ready) or block its thread once.
class Consumer final : public FrameConsumer
{
public:
    void consumeFrame(const QImage &picture, const Value &, int) override
    {
        int blockMs;
        {
            const QMutexLocker lock(&m_mutex);
            if (!picture.isNull()) {
                ++m_pictures;
                m_size = picture.size();
            }
            blockMs = std::exchange(m_blockOnceMs, 0);
        }
        QThread::msleep(static_cast<unsigned long>(blockMs));
    }
    void framesSkipped(int count) override
    {
        const QMutexLocker lock(&m_mutex);
        m_skipped += count;
    }
    QSize targetSize() const override { return { 160, 160 }; }
    bool readyForFrame(const std::shared_ptr<FrameWaker> &waker) override
    {
        const QMutexLocker lock(&m_mutex);
        if (m_holding)
            m_waker = waker;
        return !m_holding;
    }

    int pictures() const { const QMutexLocker lock(&m_mutex); return m_pictures; }
    int skipped() const { const QMutexLocker lock(&m_mutex); return m_skipped; }
    QSize size() const { const QMutexLocker lock(&m_mutex); return m_size; }
    void blockOnce(int ms) { const QMutexLocker lock(&m_mutex); m_blockOnceMs = ms; }
    void hold(bool on)
    {
        std::shared_ptr<FrameWaker> waker;
        {
            const QMutexLocker lock(&m_mutex);
            m_holding = on;
            waker = std::exchange(m_waker, nullptr);
        }
        if (!on && waker)
            waker->wake();
    }

private:
    mutable QMutex m_mutex;
    int m_pictures = 0;
    int m_skipped = 0;
    int m_blockOnceMs = 0;
    bool m_holding = false;
    std::shared_ptr<FrameWaker> m_waker;
    QSize m_size;
};

Value definition(quint16 port, const QString &path, const QString &transport = {}, const QString &user = {},
                 const QString &password = {})
{
    Value params = Value::dictionary();
    params.insert(QStringLiteral("video.type"), QStringLiteral("RTSP"));
    params.insert(QStringLiteral("video.host"), QStringLiteral("127.0.0.1"));
    params.insert(QStringLiteral("video.port"), QString::number(port));
    params.insert(QStringLiteral("video.path"), path);
    if (!transport.isEmpty())
        params.insert(QStringLiteral("video.transport"), transport);
    if (!user.isEmpty()) {
        params.insert(QStringLiteral("video.username"), user);
        params.insert(QStringLiteral("video.password"), password);
    }
    return params;
}

struct Reader
{
    explicit Reader(const Value &params, bool thumbnail = false)
    {
        reader = std::make_unique<RTSPStreamReader>();
        reader->setConnectionParameters(params, RTSPVideoProfile::streamURL(params, thumbnail));
        reader->addConsumer(consumer);
    }
    std::shared_ptr<Consumer> consumer = std::make_shared<Consumer>();
    std::unique_ptr<RTSPStreamReader> reader;
};

} // namespace

class TestRTSPReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QelLog::setLoggingEnabled(true);
        QelLog::setLoggingThreshhold(0);
    }

    void playsEveryCodecOverEveryTransport_data()
    {
        QTest::addColumn<QString>("codec");
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("name");
        QTest::newRow("H.264 automatic") << "h264" << "" << "H.264";
        QTest::newRow("H.264 TCP") << "h264" << "TCP" << "H.264";
        QTest::newRow("H.264 UDP") << "h264" << "udp" << "H.264";
        QTest::newRow("H.265 TCP") << "h265" << "TCP" << "H.265";
    }
    void playsEveryCodecOverEveryTransport()
    {
        QFETCH(QString, codec);
        QFETCH(QString, transport);
        QFETCH(QString, name);
        PythonServer server({ QStringLiteral("--codec"), codec, QStringLiteral("--size"), QStringLiteral("320x240") });
        QVERIFY(server.port());
        Reader r(definition(server.port(), QStringLiteral("/stream"), transport));
        QSignalSpy decoding(r.reader.get(), &RTSPStreamReader::decoding);
        QSignalSpy states(r.reader.get(), &FrameProducer::stateChanged);
        r.reader->start();
        QTRY_VERIFY_WITH_TIMEOUT(r.consumer->pictures() >= 10, 15000);
        // Scaled in one pass to fit what the consumer paints, in proportion.
        QCOMPARE(r.consumer->size(), QSize(160, 120));
        QCOMPARE(decoding.size(), 1);
        QCOMPARE(decoding.at(0).at(0).toString(), name);
        QCOMPARE(decoding.at(0).at(1).toSize(), QSize(320, 240));
        QCOMPARE(decoding.at(0).at(2).toBool(), false); // no GPU here: the software fall-back
        QCOMPARE(states.size(), 2);
        QCOMPARE(states.at(1).at(0).value<CameraState>(), CameraState::Playing);
        // The snapshot is the newest picture at full size.
        const QImage snapshot = QImage::fromData(r.reader->newestPart(), "JPEG");
        QCOMPARE(snapshot.size(), QSize(320, 240));
    }

    void gridAndMainStreams()
    {
        PythonServer main({ QStringLiteral("--size"), QStringLiteral("640x480"), QStringLiteral("--path"),
                            QStringLiteral("/main") });
        QVERIFY(main.port());
        Value params = definition(main.port(), QStringLiteral("/main"));
        QCOMPARE(RTSPVideoProfile::streamURL(params, true).path(), QStringLiteral("/main"));
        params.insert(QStringLiteral("video.grid_path"), QStringLiteral("/sub"));
        QCOMPARE(RTSPVideoProfile::streamURL(params, true).path(), QStringLiteral("/sub"));
        QCOMPARE(RTSPVideoProfile::streamURL(params, false).path(), QStringLiteral("/main"));
        Reader r(params, false);
        r.reader->start();
        QTRY_VERIFY_WITH_TIMEOUT(r.consumer->pictures() >= 1, 15000);
        QCOMPARE(QImage::fromData(r.reader->newestPart(), "JPEG").size(), QSize(640, 480));
    }

    void credentialsAndPaths()
    {
        const QString password = QStringLiteral("p&ss:w@rd");
        PythonServer server({ QStringLiteral("--user"), QStringLiteral("viewer"), QStringLiteral("--password"), password });
        QVERIFY(server.port());
        LogCapture log;
        {
            Reader good(definition(server.port(), QStringLiteral("/stream"), {}, QStringLiteral("viewer"), password));
            good.reader->start();
            QTRY_VERIFY_WITH_TIMEOUT(good.consumer->pictures() >= 1, 15000);
        }
        const struct
        {
            QString path;
            QString password;
            CameraState state;
        } refusals[] = { { QStringLiteral("/stream"), QStringLiteral("wrong-secret"), CameraState::Unauthorized },
                         { QStringLiteral("/nothing"), password, CameraState::NotFound } };
        for (const auto &refusal : refusals) {
            Reader bad(definition(server.port(), refusal.path, {}, QStringLiteral("viewer"), refusal.password));
            QSignalSpy states(bad.reader.get(), &FrameProducer::stateChanged);
            bad.reader->start();
            QTRY_VERIFY_WITH_TIMEOUT(bad.reader->state() == refusal.state, 10000);
            QVERIFY(bad.reader->isWaiting());
            QCOMPARE(bad.consumer->pictures(), 0);
        }
        QCOMPARE(log.count(QStringLiteral("reconnecting in 2.0 s")), 2);
        QVERIFY(log.contains(QStringLiteral("RTSP 401")));
        QVERIFY(log.contains(QStringLiteral("RTSP 404")));
        for (const QString &secret : { password, QStringLiteral("wrong-secret"), QStringLiteral("p%26ss") })
            QVERIFY2(!log.lines().join(u'\n').contains(secret), qPrintable(secret));
    }

    void unreachableAndForeignServers()
    {
        quint16 closedPort;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            closedPort = probe.serverPort();
        }
        TestServer foreign(TestServer::http([](QTcpSocket *socket, const QByteArray &) {
            socket->write("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello");
            socket->disconnectFromHost();
        }));
        const struct
        {
            quint16 port;
            CameraState state;
        } cases[] = { { closedPort, CameraState::Unreachable }, { foreign.port(), CameraState::NotVideo } };
        for (const auto &c : cases) {
            Reader r(definition(c.port, QStringLiteral("/stream")));
            r.reader->start();
            QTRY_VERIFY_WITH_TIMEOUT(r.reader->state() == c.state, 10000);
            QVERIFY(r.reader->isWaiting());
        }
    }

    // Stopping and destroying never wait on the network: a server that accepts and
    // never answers, then one streaming.
    void stopAndDestroyAtAnyTime()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        PythonServer streaming({});
        QVERIFY(streaming.port());
        for (const quint16 port : { silent.serverPort(), streaming.port() }) {
            for (int round = 0; round < 3; ++round) {
                Reader r(definition(port, QStringLiteral("/stream"), QStringLiteral("TCP")));
                r.reader->start();
                QTest::qWait(300 * round);
                QElapsedTimer timer;
                timer.start();
                if (round == 1) {
                    r.reader->stop();
                    QCOMPARE(r.reader->state(), CameraState::Idle);
                    r.reader->start();
                }
                r.reader.reset();
                QVERIFY2(timer.elapsed() < 2500, "a reader waited for the network's 5-s time-out");
            }
        }
    }

    // At most one picture waits for a consumer that cannot show it; a reader that
    // falls behind drops frames up to a key frame and is current again.
    void latencyDoesNotBuildUp()
    {
        PythonServer server({ QStringLiteral("--fps"), QStringLiteral("30") });
        QVERIFY(server.port());
        Reader r(definition(server.port(), QStringLiteral("/stream"), QStringLiteral("TCP")));
        r.reader->start();
        QTRY_VERIFY_WITH_TIMEOUT(r.consumer->pictures() >= 5, 15000);

        r.consumer->hold(true);
        QTest::qWait(200);
        const int held = r.consumer->pictures();
        QTest::qWait(500);
        QCOMPARE(r.consumer->pictures(), held);
        QVERIFY(r.consumer->skipped() >= 10);
        r.consumer->hold(false);
        QTRY_VERIFY(r.consumer->pictures() > held);

        const int skippedBefore = r.consumer->skipped();
        r.consumer->blockOnce(2000);
        QTRY_VERIFY_WITH_TIMEOUT(r.consumer->pictures() >= held + 10, 10000);
        // Two seconds of frames piled up; most were never decoded.
        QVERIFY2(r.consumer->skipped() - skippedBefore >= 30, qPrintable(QString::number(r.consumer->skipped())));
    }

    // A server that stalls is torn down after 5 s; one killed and started again on
    // the same port comes back by itself.
    void watchdogAndRestart()
    {
        auto server = std::make_unique<PythonServer>(QStringList{});
        const quint16 port = server->port();
        QVERIFY(port);
        Reader r(definition(port, QStringLiteral("/stream"), QStringLiteral("TCP")));
        r.reader->start();
        QTRY_VERIFY_WITH_TIMEOUT(r.consumer->pictures() >= 1, 15000);
        server->signal(SIGSTOP);
        QTRY_VERIFY_WITH_TIMEOUT(r.reader->state() == CameraState::Silent, 8000);
        server->signal(SIGCONT);
        QTRY_VERIFY_WITH_TIMEOUT(r.reader->state() == CameraState::Playing, 12000);

        server.reset();
        QTRY_VERIFY_WITH_TIMEOUT(r.reader->state() != CameraState::Playing, 8000);
        server = std::make_unique<PythonServer>(QStringList{}, port);
        QCOMPARE(server->port(), port);
        const int before = r.consumer->pictures();
        QTRY_VERIFY_WITH_TIMEOUT(r.consumer->pictures() > before, 12000);
        QTRY_COMPARE(r.reader->state(), CameraState::Playing);
    }
};

QTEST_GUILESS_MAIN(TestRTSPReader)
#include "tst_rtspreader.moc"
