#include "support/ManualClock.h"
#include "support/TestServer.h"
#include "support/TestSupport.h"

#include "util/WorkerThread.h"
#include "video/MilestoneMJPEGStreamReader.h"
#include "video/MilestoneStreamSession.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

namespace {

const QByteArray Red = testJpeg(32, 24, Qt::red);
const QByteArray Blue = testJpeg(32, 24, Qt::blue);
const QByteArray LoginAnswer = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><methodresponse><requestid>10</requestid>"
                               "<result>ok</result></methodresponse>\r\n\r\n";

QByteArray picture(const QByteArray &jpeg, const QByteArray &extraHeaders = {})
{
    return "ImageResponse\r\nContent-type: image/jpeg\r\n" + extraHeaders
        + "Content-length: " + QByteArray::number(jpeg.size()) + "\r\n\r\n" + jpeg;
}

bool isBlue(const QImage &image)
{
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    return c.blue() > 200 && c.red() < 60;
}

// Answers the login with one block, then leaves the connection to the test.
class MilestoneServer final
{
public:
    MilestoneServer()
        : server([this](QTcpSocket *socket, const QByteArray &received) {
            if (!socket->property("loggedIn").toBool() && received.contains("\r\n\r\n")) {
                socket->setProperty("loggedIn", true);
                if (answerLogin)
                    socket->write(LoginAnswer);
            }
            last = socket;
        })
    {
    }

    void send(const QByteArray &bytes)
    {
        QVERIFY(last);
        last->write(bytes);
        last->flush();
    }

    TestServer server;
    QPointer<QTcpSocket> last;
    bool answerLogin = true;
};

} // namespace

class TestMilestoneReader final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MilestoneMJPEGStreamReader> makeReader(quint16 port, bool thumbnail = false)
    {
        auto reader = std::make_unique<MilestoneMJPEGStreamReader>(m_thread.get(), m_clock);
        m_params = Value::dictionary();
        m_params.insert(QStringLiteral("video.host"), QStringLiteral("127.0.0.1"));
        m_params.insert(QStringLiteral("video.port"), QString::number(port));
        m_params.insert(QStringLiteral("video.username"), QStringLiteral("a&b"));
        m_params.insert(QStringLiteral("video.password"), QStringLiteral("p<w>'\""));
        m_params.insert(QStringLiteral("video.camera_name"), QStringLiteral("Gate 1"));
        reader->setConnectionParameters(m_params, QUrl());
        reader->setThumbnailMode(thumbnail);
        m_consumer = std::make_shared<RecordingConsumer>();
        reader->addConsumer(m_consumer);
        return reader;
    }

    std::unique_ptr<WorkerThread> m_thread;
    ManualClock m_clock;
    Value m_params;
    std::shared_ptr<RecordingConsumer> m_consumer;

private slots:
    void init()
    {
        m_thread = std::make_unique<WorkerThread>();
        m_thread->start();
    }
    void cleanup() { m_thread.reset(); }

    // Login on connect, with the credentials escaped; live only after the server's first
    // block, each once.
    void loginThenLive_data()
    {
        QTest::addColumn<bool>("thumbnail");
        QTest::addColumn<QByteArray>("compression");
        QTest::newRow("full size") << false << QByteArray("<compressionrate>101</compressionrate>");
        QTest::newRow("thumbnail") << true << QByteArray("<compressionrate>103</compressionrate>");
    }
    void loginThenLive()
    {
        QFETCH(bool, thumbnail);
        QFETCH(QByteArray, compression);
        MilestoneServer ms;
        ms.answerLogin = false;
        auto reader = makeReader(ms.server.port(), thumbnail);
        reader->start();
        const QByteArray login = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><methodcall><requestid>10</requestid>"
                                 "<methodname>connect</methodname><username>a&amp;b</username>"
                                 "<password>p&lt;w&gt;&apos;&quot;</password><cameraid>Gate 1</cameraid>"
                                 "<connectparam></connectparam></methodcall>\r\n\r\n";
        const QByteArray live = MilestoneStreamSession::liveRequest(thumbnail);
        QVERIFY(live.contains(compression) && live.endsWith("</methodcall>\r\n\r\n"));
        QTRY_COMPARE(ms.server.received().value(0), login);
        QTest::qWait(50);
        QCOMPARE(ms.server.received().value(0), login);
        ms.send(LoginAnswer);
        QTRY_COMPARE(ms.server.received().value(0), login + live);
        ms.send("Other reply\r\n\r\n" + picture(Red));
        QTRY_COMPARE(m_consumer->count(), 1);
        QCOMPARE(ms.server.received().value(0), login + live);
        QCOMPARE(ms.server.connectionCount(), 1);
    }

    // A body split over three reads gives one frame after the third; its byte count
    // covers every byte since the connection began.
    void splitBody()
    {
        MilestoneServer ms;
        auto reader = makeReader(ms.server.port());
        reader->start();
        QTRY_VERIFY(ms.server.received().value(0).endsWith(MilestoneStreamSession::liveRequest(false)));
        const QByteArray message = picture(Red);
        const qsizetype third = message.size() / 3;
        ms.send(message.left(third));
        QTest::qWait(30);
        ms.send(message.mid(third, third));
        QTest::qWait(30);
        QCOMPARE(m_consumer->count(), 0);
        ms.send(message.mid(2 * third));
        QTRY_COMPARE(m_consumer->count(), 1);
        const auto frame = m_consumer->frames().first();
        QVERIFY(!frame.picture.isNull());
        QCOMPARE(frame.bytes, LoginAnswer.size() + message.size());
        QVERIFY(frame.source.isSameObject(reader->getConnectionParameters()));
    }

    // Two pictures in one read: only the newer one is delivered, counting both; a
    // block without "Content-length: " is skipped.
    void twoPicturesInOneRead()
    {
        MilestoneServer ms;
        auto reader = makeReader(ms.server.port());
        reader->start();
        QTRY_VERIFY(ms.server.received().value(0).endsWith(MilestoneStreamSession::liveRequest(false)));
        const QByteArray both = picture(Red) + "Status: alive\r\n\r\n" + picture(Blue, "X-Time: 1\r\n");
        ms.send(both);
        QTRY_COMPARE(m_consumer->count(), 1);
        QTest::qWait(30);
        QCOMPARE(m_consumer->count(), 1);
        QVERIFY(isBlue(m_consumer->frames().first().picture));
        QCOMPARE(m_consumer->frames().first().bytes, LoginAnswer.size() + both.size());
    }

    void singleFrameClosesTheStream()
    {
        MilestoneServer ms;
        auto reader = makeReader(ms.server.port());
        reader->getSingleFrame(0);
        QTRY_VERIFY(ms.server.received().value(0).endsWith(MilestoneStreamSession::liveRequest(false)));
        ms.send(picture(Red) + picture(Blue));
        QTRY_COMPARE(m_consumer->count(), 1);
        QTRY_VERIFY(!ms.last || ms.last->state() != QAbstractSocket::ConnectedState);
        QTRY_VERIFY(!reader->isActive());
        m_clock.advance(20000);
        QTest::qWait(30);
        QCOMPARE(ms.server.connectionCount(), 1);
    }

    // Five seconds without a byte restart the connection; bytes in between keep it.
    void heartbeat()
    {
        LogCapture log;
        MilestoneServer ms;
        ms.answerLogin = false;
        auto reader = makeReader(ms.server.port());
        reader->start();
        QTRY_VERIFY(!ms.server.received().value(0).isEmpty());
        ms.send(LoginAnswer);
        QTRY_VERIFY(ms.server.received().value(0).endsWith(MilestoneStreamSession::liveRequest(false)));
        m_clock.advance(MilestoneStreamSession::HeartbeatMs);
        QTest::qWait(30);
        QVERIFY(!log.contains(QStringLiteral("ho heartbeat")));
        QCOMPARE(ms.server.connectionCount(), 1);

        m_clock.advance(MilestoneStreamSession::HeartbeatMs);
        QTRY_VERIFY(log.contains(QStringLiteral("Error in Milestone MJPG stream, ho heartbeat.")));
        QTRY_COMPARE(ms.server.connectionCount(), 2);
    }

    // A refused login is told at once, without the live request; retries neither
    // announce it again nor log it again within the minute.
    void refusedLoginIsReportedAtOnce()
    {
        LogCapture log;
        MilestoneServer ms;
        ms.answerLogin = false;
        auto reader = makeReader(ms.server.port());
        QSignalSpy states(reader.get(), &FrameProducer::stateChanged);
        reader->start();
        const QByteArray refusal = "<?xml version=\"1.0\"?><methodresponse><requestid>10</requestid><methodname>connect"
                                   "</methodname><connected>no</connected></methodresponse>\r\n\r\n";
        for (int connection = 1; connection <= 2; ++connection) {
            QTRY_COMPARE(ms.server.connectionCount(), connection);
            QTRY_VERIFY(!ms.server.received().value(connection - 1).isEmpty());
            ms.send(refusal);
            QTRY_VERIFY(reader->isWaiting());
            QVERIFY(!ms.server.received().value(connection - 1).contains("live"));
            m_clock.advance(StreamReader::MaxBackOffMs);
        }
        QCOMPARE(reader->state(), CameraState::Unauthorized);
        QCOMPARE(states.count(), 2);
        QCOMPARE(log.count(QStringLiteral("login refused for camera \"Gate 1\"")), 1);
    }

    void badContentLengthIsAFailure_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("negative") << QByteArray("-5");
        QTest::newRow("absurd") << QByteArray("999999999999");
    }
    void badContentLengthIsAFailure()
    {
        QFETCH(QByteArray, value);
        LogCapture log;
        MilestoneServer ms;
        auto reader = makeReader(ms.server.port());
        reader->start();
        QTRY_VERIFY(ms.server.received().value(0).endsWith(MilestoneStreamSession::liveRequest(false)));
        ms.send("ImageResponse\r\nContent-length: " + value + "\r\n\r\nxxxx");
        QTRY_VERIFY(log.contains(QStringLiteral("bad Content-length")));
        QTRY_VERIFY(reader->isWaiting());
        m_clock.advance(2000);
        QTRY_COMPARE(ms.server.connectionCount(), 2);
    }

    void overflowingInputIsAFailure()
    {
        LogCapture log;
        MilestoneServer ms;
        auto reader = makeReader(ms.server.port());
        reader->start();
        QTRY_VERIFY(ms.server.received().value(0).endsWith(MilestoneStreamSession::liveRequest(false)));
        const QByteArray filler(1024 * 1024, 'x');
        for (int i = 0; i < 17; ++i)
            ms.send(filler);
        QTRY_VERIFY_WITH_TIMEOUT(log.contains(QStringLiteral("bytes without a picture")), 30000);
        QCOMPARE(m_consumer->count(), 0);
    }

    void serverEndReconnectsAfterSpacing()
    {
        LogCapture log;
        MilestoneServer ms;
        auto reader = makeReader(ms.server.port());
        reader->start();
        QTRY_VERIFY(ms.server.received().value(0).endsWith(MilestoneStreamSession::liveRequest(false)));
        ms.last->disconnectFromHost();
        QTRY_VERIFY(log.contains(QStringLiteral("Error in Milestone MJPG stream.")));
        QTRY_VERIFY(reader->isWaiting());
        QCOMPARE(ms.server.connectionCount(), 1);
        m_clock.advance(2000);
        QTRY_COMPARE(ms.server.connectionCount(), 2);
        QTRY_VERIFY(ms.server.received().value(1).endsWith(MilestoneStreamSession::liveRequest(false)));
    }

    void addressDefaults()
    {
        LogCapture log;
        MilestoneMJPEGStreamReader noHost(m_thread.get(), m_clock);
        noHost.setConnectionParameters(Value::dictionary(), QUrl());
        noHost.start();
        QVERIFY(!noHost.isWaiting());

        Value params = Value::dictionary();
        params.insert(QStringLiteral("video.host"), QStringLiteral("127.0.0.1"));
        MilestoneMJPEGStreamReader noPort(m_thread.get(), m_clock);
        noPort.setConnectionParameters(params, QUrl());
        QVERIFY(noPort.requestDescription().startsWith(QStringLiteral("TCP 127.0.0.1:80,")));
        noPort.start();
        QTRY_VERIFY(log.contains(QStringLiteral("Connecting to Milestone MJPG stream: 127.0.0.1:80")));
        QCOMPARE(log.lines().filter(QStringLiteral("Connecting")).size(), 2);
        noPort.stop();
    }

    void destroyWhileStreaming()
    {
        MilestoneServer ms;
        for (int round = 0; round < 3; ++round) {
            auto reader = makeReader(ms.server.port());
            reader->start();
            if (round > 0) {
                QTRY_VERIFY(ms.last && ms.server.connectionCount() > round);
                ms.send(picture(Red) + picture(Blue));
                ms.send(picture(Red));
            }
            reader.reset();
        }
        auto reader = makeReader(ms.server.port());
        reader->start();
        m_thread.reset();
        reader.reset();
    }
};

QTEST_GUILESS_MAIN(TestMilestoneReader)
#include "tst_milestonereader.moc"
