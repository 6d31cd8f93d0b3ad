#include "support/ManualClock.h"
#include "support/TestServer.h"
#include "support/TestSupport.h"

#include "util/WorkerThread.h"
#include "video/MJPEGStreamReader.h"
#include "video/StreamSession.h"
#include "video/MJPEGStreamSession.h"

#include <QCryptographicHash>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <tuple>

namespace {

const QByteArray Red = testJpeg(32, 24, Qt::red);
const QByteArray Green = testJpeg(32, 24, Qt::green);
const QByteArray Blue = testJpeg(32, 24, Qt::blue);

QColor colourOf(const QImage &picture)
{
    const QColor c = picture.pixelColor(picture.width() / 2, picture.height() / 2);
    if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
        return Qt::red;
    if (c.green() > 200 && c.red() < 60 && c.blue() < 60)
        return Qt::green;
    if (c.blue() > 200 && c.red() < 60 && c.green() < 60)
        return Qt::blue;
    return Qt::black;
}

// Writes bytes a few at a time, so that the reader sees them in many reads.
void drip(QTcpSocket *socket, const QByteArray &bytes, qsizetype piece, bool closeAtEnd)
{
    auto *timer = new QTimer(socket);
    auto offset = std::make_shared<qsizetype>(0);
    QObject::connect(timer, &QTimer::timeout, socket, [=] {
        socket->write(bytes.mid(*offset, piece));
        socket->flush();
        *offset += piece;
        if (*offset >= bytes.size()) {
            timer->stop();
            if (closeAtEnd)
                socket->disconnectFromHost();
        }
    });
    timer->start(1);
}

QByteArray chunked(const QByteArray &body, qsizetype chunk)
{
    QByteArray out;
    for (qsizetype at = 0; at < body.size(); at += chunk) {
        const QByteArray piece = body.mid(at, chunk);
        out += QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
    }
    return out + "0\r\n\r\n";
}

QByteArray md5(const QByteArray &text)
{
    return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
}

QByteArray authField(const QByteArray &header, const QByteArray &name)
{
    const qsizetype at = header.indexOf(name + "=");
    if (at < 0)
        return {};
    qsizetype from = at + name.size() + 1;
    const bool quoted = header.at(from) == '"';
    if (quoted)
        ++from;
    const qsizetype to = header.indexOf(quoted ? '"' : ',', from);
    return header.mid(from, to < 0 ? -1 : to - from).trimmed();
}

QByteArray headerValue(const QByteArray &request, const QByteArray &name)
{
    for (const QByteArray &line : request.split('\n')) {
        if (line.toLower().startsWith(name.toLower() + ":"))
            return line.mid(name.size() + 1).trimmed();
    }
    return {};
}

const QByteArray Unauthorized = "HTTP/1.1 401 Unauthorized\r\nContent-Length: 0\r\n";

} // namespace

class TestMJPEGStreamReader final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MJPEGStreamReader> makeReader(quint16 port, const QByteArray &path = "/video")
    {
        auto reader = std::make_unique<MJPEGStreamReader>(m_thread.get(), m_clock);
        m_params = Value::dictionary();
        m_params.insert(QStringLiteral("video.host"), QStringLiteral("127.0.0.1"));
        reader->setConnectionParameters(
            m_params, QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(QString::fromLatin1(path))));
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

    // Each part goes out as soon as it is complete, with or without its length; of
    // parts complete together only the newest is decoded, carrying the bytes of those
    // it skipped; when the stream ends the reader comes back after the spacing.
    void partsArriveWhenComplete()
    {
        LogCapture log;
        TestServer server(TestServer::http([](QTcpSocket *socket, const QByteArray &) {
            socket->write(multipartHead("myb") + multipartPart("myb", Red) + "--myb\r\n\r\n" + Green);
            QTimer::singleShot(200, socket, [socket] {
                socket->write("\r\n" + multipartPart("myb", Blue));
                socket->disconnectFromHost();
            });
        }));
        auto reader = makeReader(server.port());
        reader->start();
        QTRY_VERIFY(log.contains(QStringLiteral("unending mjpeg stream somehow 'finished'")));
        QTRY_COMPARE(m_consumer->count() + m_consumer->skipped(), 3);
        const auto frames = m_consumer->frames();
        QCOMPARE(colourOf(frames.last().picture), QColor(Qt::blue));
        int bytes = 0;
        for (const auto &frame : frames)
            bytes += frame.bytes;
        QCOMPARE(bytes, Red.size() + Green.size() + Blue.size());
        QVERIFY(frames.at(0).source.isSameObject(reader->getConnectionParameters()));
        QCOMPARE(frames.at(0).source, m_params);
        QVERIFY(!frames.at(0).source.isSameObject(m_params));

        QTRY_VERIFY(reader->isWaiting());
        QCOMPARE(server.requestCount(), 1);
        m_clock.advance(StreamReader::ReconnectSpacingMs);
        QTRY_COMPARE(server.requestCount(), 2);
        QTRY_COMPARE(m_consumer->count() + m_consumer->skipped(), 6);
        const QByteArray request = server.received().first();
        QVERIFY(request.startsWith("GET /video HTTP/1.1\r\n"));
        QVERIFY(request.contains("Cache-Control: no-cache"));
    }

    // Streams that bend the HTTP framing, dripped a few bytes at a time; the splitter's
    // own quirks are covered in tst_multipartsplitter.
    void quirkyStreams_data()
    {
        QTest::addColumn<QByteArray>("response");
        QTest::newRow("no first boundary, LF only")
            << "HTTP/1.0 200 OK\nContent-Type: multipart/x-mixed-replace;boundary=myb\n\n"
                   + ("Content-Length: " + QByteArray::number(Red.size()) + "\n\n" + Red + "\n--myb\n"
                      + "X-A: 1\nContent-Type: image/jpeg\n\n" + Green + "\n--myb\n\n" + Blue);
        QTest::newRow("chunked") << "HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace;boundary=myb\r\n"
                                    "Transfer-Encoding: chunked\r\n\r\n"
                                        + chunked(multipartPart("myb", Red) + multipartPart("myb", Green, false)
                                                      + multipartPart("myb", Blue),
                                                  97);
    }
    void quirkyStreams()
    {
        QFETCH(QByteArray, response);
        TestServer server(TestServer::http([response](QTcpSocket *socket, const QByteArray &) {
            drip(socket, response, 61, false);
        }));
        auto reader = makeReader(server.port());
        reader->start();
        QTRY_COMPARE(m_consumer->count() + m_consumer->skipped(), 2);
        const auto frames = m_consumer->frames();
        QCOMPARE(colourOf(frames.first().picture), frames.size() == 2 ? QColor(Qt::red) : QColor(Qt::green));
        QCOMPARE(colourOf(frames.last().picture), QColor(Qt::green));
    }

    // A snapshot URL answers with one picture: it is shown, and fetched again after the spacing.
    void singlePictureResponses()
    {
        TestServer server(TestServer::http([](QTcpSocket *socket, const QByteArray &) {
            socket->write("HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: "
                          + QByteArray::number(Blue.size()) + "\r\n\r\n" + Blue);
            socket->disconnectFromHost();
        }));
        auto reader = makeReader(server.port(), "/snapshot.jpg");
        reader->start();
        QTRY_COMPARE(m_consumer->count(), 1);
        QCOMPARE(colourOf(m_consumer->frames().first().picture), QColor(Qt::blue));
        QCOMPARE(m_consumer->frames().first().bytes, Blue.size());
        QTRY_VERIFY(reader->isWaiting());
        m_clock.advance(StreamReader::ReconnectSpacingMs);
        QTRY_COMPARE(m_consumer->count(), 2);
    }

    // What goes wrong is the reader's state, announced once however often it retries,
    // and its log line is written once a minute; a picture clears the state.
    void failuresAreStates_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<CameraState>("state");
        const auto status = [](const QByteArray &line) {
            return "HTTP/1.1 " + line + "\r\nWWW-Authenticate: Basic realm=\"cam\"\r\nContent-Length: 0\r\n\r\n";
        };
        QTest::newRow("refused") << QByteArray() << CameraState::Unreachable;
        QTest::newRow("401") << status("401 Unauthorized") << CameraState::Unauthorized;
        QTest::newRow("403") << status("403 Forbidden") << CameraState::Unauthorized;
        QTest::newRow("404") << status("404 Not Found") << CameraState::NotFound;
        QTest::newRow("silent") << multipartHead("myb") << CameraState::Silent;
        QTest::newRow("garbage parts") << multipartHead("myb") + multipartPart("myb", "junk") + multipartPart("myb", "more")
                                       << CameraState::NotVideo;
    }
    void failuresAreStates()
    {
        QFETCH(QByteArray, answer);
        QFETCH(CameraState, state);
        LogCapture log;
        bool healthy = false;
        TestServer server(TestServer::http([&](QTcpSocket *socket, const QByteArray &) {
            if (healthy)
                socket->write(multipartHead("myb") + multipartPart("myb", Red));
            else if (answer.isEmpty())
                socket->abort();
            else
                socket->write(answer);
        }));
        auto reader = makeReader(server.port());
        QSignalSpy states(reader.get(), &FrameProducer::stateChanged);
        reader->start();
        // A second at a time, once the connection has ended or had its chance to.
        const auto advanceUntil = [&](const std::function<bool()> &done) {
            for (int pass = 0; pass < 200 && !done(); ++pass) {
                std::ignore = QTest::qWaitFor([&] { return reader->isWaiting() || done(); }, 50);
                m_clock.advance(1000);
            }
        };
        advanceUntil([&server] { return server.requestCount() >= 4; });
        QTRY_COMPARE(states.count(), 2);
        QCOMPARE(states.at(0).at(0).value<CameraState>(), CameraState::Connecting);
        QCOMPARE(states.at(1).at(0).value<CameraState>(), state);
        QCOMPARE(reader->state(), state);
        QCOMPARE(log.count(QStringLiteral("Connecting to MJPG stream")), 1);

        // Four failures in a row: a camera that answers waits 16 s for the next try, one
        // that cannot be reached is asked again after 4 s, so a reboot is short.
        const int requests = server.requestCount();
        advanceUntil([&reader] { return reader->isWaiting(); });
        m_clock.advance(StreamReader::UnreachableBackOffMs);
        if (state == CameraState::Unreachable) {
            QTRY_COMPARE(server.requestCount(), requests + 1);
        } else {
            QTest::qWait(100);
            QCOMPARE(server.requestCount(), requests);
        }

        healthy = true;
        advanceUntil([&reader] { return reader->state() == CameraState::Playing; });
        QCOMPARE(reader->state(), CameraState::Playing);
        QCOMPARE(states.count(), 3);
    }

    void urlCredentialsAnswerChallenges_data()
    {
        QTest::addColumn<bool>("digest");
        QTest::newRow("basic") << false;
        QTest::newRow("digest") << true;
    }
    void urlCredentialsAnswerChallenges()
    {
        QFETCH(bool, digest);
        const QByteArray stream = multipartHead("myb") + multipartPart("myb", Red) + multipartPart("myb", Green);
        TestServer server(TestServer::http([&](QTcpSocket *socket, const QByteArray &request) {
            const QByteArray auth = headerValue(request, "Authorization");
            bool good = false;
            if (!digest) {
                good = auth == "Basic " + QByteArray("user:p@ss").toBase64();
            } else if (auth.startsWith("Digest ")) {
                const QByteArray ha1 = md5("user:cam:p@ss");
                const QByteArray ha2 = md5("GET:" + authField(auth, "uri"));
                const QByteArray expected = md5(ha1 + ":n0nce:" + authField(auth, "nc") + ":"
                                                + authField(auth, "cnonce") + ":auth:" + ha2);
                good = authField(auth, "username") == "user" && authField(auth, "response") == expected;
            }
            if (good) {
                socket->write(stream);
                return;
            }
            socket->write(Unauthorized
                          + (digest ? "WWW-Authenticate: Digest realm=\"cam\", nonce=\"n0nce\", qop=\"auth\"\r\n\r\n"
                                    : "WWW-Authenticate: Basic realm=\"cam\"\r\n\r\n"));
        }));
        auto reader = std::make_unique<MJPEGStreamReader>(m_thread.get(), m_clock);
        QUrl url(QStringLiteral("http://127.0.0.1/video"));
        url.setPort(server.port());
        url.setUserName(QStringLiteral("user"));
        url.setPassword(QStringLiteral("p@ss"));
        reader->setConnectionParameters(Value::dictionary(), url);
        auto consumer = std::make_shared<RecordingConsumer>();
        reader->addConsumer(consumer);
        reader->start();
        // Parts that come together are decoded newest first: any of them shows the way in.
        QTRY_VERIFY(consumer->count() >= 1);
        QVERIFY(!consumer->frames().first().picture.isNull());
        QVERIFY(reader->requestDescription().contains(QStringLiteral("user:****@")));
        QVERIFY(!reader->requestDescription().contains(QStringLiteral("p@ss")));
    }

    // After the first frame the reader closes the connection and ends idle.
    void singleFrameMode()
    {
        TestServer server(TestServer::http([](QTcpSocket *socket, const QByteArray &) {
            socket->write(multipartHead("myb") + multipartPart("myb", Red) + multipartPart("myb", Green)
                          + multipartPart("myb", Blue));
        }));
        auto reader = makeReader(server.port());
        reader->getSingleFrame(0);
        QTRY_COMPARE(m_consumer->count(), 1);
        QTRY_COMPARE(server.openSockets().size(), 0);
        QTRY_VERIFY(!reader->isActive());
        QCOMPARE(colourOf(m_consumer->frames().first().picture), QColor(Qt::red));
        m_clock.advance(10 * StreamReader::ReconnectSpacingMs);
        QVERIFY(!reader->isWaiting());
        QCOMPARE(server.requestCount(), 1);
        QCOMPARE(m_consumer->count(), 1);
    }

    // start 0.5 s after a connection waits until 2 s after it; a second start before
    // then keeps the same moment. New parameters clear the spacing.
    void reconnectSpacing()
    {
        // Parts keep coming, so that no connection ends by the 2-second silence limit.
        TestServer server(TestServer::http([](QTcpSocket *socket, const QByteArray &) {
            socket->write(multipartHead("myb"));
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket] { socket->write(multipartPart("myb", Red)); });
            timer->start(100);
        }));
        auto reader = makeReader(server.port());
        reader->start();
        QTRY_COMPARE(server.requestCount(), 1);
        m_clock.advance(500);
        reader->start();
        QVERIFY(reader->isWaiting());
        m_clock.advance(1000);
        reader->start();
        m_clock.advance(499);
        QTRY_VERIFY(reader->isWaiting());
        QCOMPARE(server.requestCount(), 1);
        m_clock.advance(1);
        QTRY_COMPARE(server.requestCount(), 2);
        QVERIFY(!reader->isWaiting());

        reader->setConnectionParameters(m_params, reader->url());
        reader->start();
        QVERIFY(!reader->isWaiting());
        QTRY_COMPARE(server.requestCount(), 3);
    }

    // stop while a reconnect is pending leaves the reader idle for good, and news of the
    // closed connection does not bring it back.
    void stopCancelsAPendingStart()
    {
        TestServer server(TestServer::http([](QTcpSocket *socket, const QByteArray &) {
            socket->write(multipartHead("myb") + multipartPart("myb", Red));
            QTimer::singleShot(50, socket, [socket] { socket->disconnectFromHost(); });
        }));
        auto reader = makeReader(server.port());
        reader->start();
        reader->stop();
        reader->start();
        QTRY_VERIFY(reader->isWaiting());
        reader->stop();
        QVERIFY(!reader->isWaiting());
        m_clock.advance(10 * StreamReader::ReconnectSpacingMs);
        QTest::qWait(100);
        QVERIFY(!reader->isWaiting());
        QVERIFY(server.requestCount() <= 1);
    }

    void noUrlStaysIdle()
    {
        LogCapture log;
        MJPEGStreamReader reader(m_thread.get(), m_clock);
        reader.setConnectionParameters(Value::dictionary(), QUrl());
        reader.start();
        reader.getSingleFrame(0);
        QVERIFY(!reader.isWaiting());
        QTest::qWait(20);
        for (const QString &line : log.lines())
            QVERIFY2(line.contains(QStringLiteral("Got video parameters")), qPrintable(line));
    }

    // A part that does not decode is a frame without a picture, its bytes counted; the
    // log hears of such parts at most once a minute.
    void undecodableParts()
    {
        LogCapture log;
        TestServer server(TestServer::http([](QTcpSocket *socket, const QByteArray &) {
            socket->write(multipartHead("myb") + multipartPart("myb", "not a picture"));
            // Later, so that the first part is decoded on its own.
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket] { socket->write(multipartPart("myb", "junk")); });
            QTimer::singleShot(200, timer, [socket, timer] {
                socket->write(multipartPart("myb", Red));
                timer->start(10);
            });
        }));
        auto reader = makeReader(server.port());
        reader->start();
        QTRY_VERIFY(m_consumer->count() >= 4);
        QVERIFY(m_consumer->frames().first().picture.isNull());
        QCOMPARE(m_consumer->frames().first().bytes, 13);
        QCOMPARE(log.count(QStringLiteral("undecodable picture")), 1);
        m_clock.advance(StreamSession::FailureLogSpacingMs);
        QTRY_COMPARE(log.count(QStringLiteral("undecodable picture")), 2);
    }

    // The largest size the consumers state is decoded for, full size when none states
    // one; a new size holds from the next picture on, on the same connection.
    void decodeSizeFollowsTheConsumers()
    {
        const QByteArray picture = testJpeg(640, 480, Qt::red);
        TestServer server(TestServer::multipartStream(20, [picture] { return picture; }));
        auto reader = makeReader(server.port());
        auto second = std::make_shared<RecordingConsumer>();
        reader->addConsumer(second);
        reader->start();
        QTRY_VERIFY(m_consumer->count() >= 1);
        QCOMPARE(m_consumer->frames().last().picture.size(), QSize(640, 480));
        m_consumer->setTargetSize(QSize(100, 70));
        second->setTargetSize(QSize(151, 104));
        QTRY_COMPARE(m_consumer->frames().last().picture.size(), QSize(160, 120));
        second->setTargetSize(QSize(300, 200));
        QTRY_COMPARE(second->frames().last().picture.size(), QSize(320, 240));
        QCOMPARE(server.requestCount(), 1);
    }

    // A part that never ends is cut off at 16 MiB: a logged failure and a reconnect.
    void oversizedPartIsAFailure()
    {
        LogCapture log;
        TestServer server(TestServer::http([](QTcpSocket *socket, const QByteArray &) {
            socket->write(multipartHead("myb") + "--myb\r\n\r\n");
            const QByteArray filler(1024 * 1024, 'x');
            for (int i = 0; i < 17; ++i)
                socket->write(filler);
        }));
        auto reader = makeReader(server.port());
        reader->start();
        QTRY_VERIFY_WITH_TIMEOUT(log.contains(QStringLiteral("mjpeg stream part over 16777216 bytes")), 30000);
        QTRY_VERIFY(reader->isWaiting());
        QCOMPARE(m_consumer->count(), 0);
    }

    // A camera at one picture every 3 seconds plays: the silence allowed is three
    // frame intervals of "video.fps", and never less than 2 seconds.
    void slowCameraPlaysAndSilenceEndsIt()
    {
        QCOMPARE(MJPEGStreamSession::silenceLimitMs(Value::dictionary()), 2000);
        LogCapture log;
        QPointer<QTcpSocket> camera;
        TestServer server(TestServer::http([&camera](QTcpSocket *socket, const QByteArray &) {
            camera = socket;
            socket->write(multipartHead("myb") + multipartPart("myb", Red, false));
        }));
        auto reader = makeReader(server.port());
        m_params.insert(QStringLiteral("video.fps"), QStringLiteral("0.3333"));
        reader->setConnectionParameters(m_params, reader->url());
        reader->start();
        QTRY_COMPARE(m_consumer->count(), 1);
        for (int frame = 2; frame <= 3; ++frame) {
            m_clock.advance(3000);
            camera->write(multipartPart("myb", Green, false));
            QTRY_COMPARE(m_consumer->count(), frame);
        }
        m_clock.advance(8999);
        QTest::qWait(50);
        QVERIFY(!log.contains(QStringLiteral("error in mjpeg stream")));
        m_clock.advance(1);
        QTRY_VERIFY(log.contains(QStringLiteral("error in mjpeg stream: nothing for 9000 ms")));
        // It had played: back at once.
        QTRY_COMPARE(server.requestCount(), 2);
    }

    // A camera that never ends its response headers, or sends parts that are no
    // pictures, is dropped; reconnects then back off, and a picture resets them. One
    // that stops sending pictures but goes on sending parts is dropped too.
    void connectionsWithoutPicturesBackOff()
    {
        LogCapture log;
        int mode = 0;
        TestServer server(TestServer::http([&mode](QTcpSocket *socket, const QByteArray &) {
            auto *timer = new QTimer(socket);
            if (mode == 0) {
                socket->write("HTTP/1.1 200 OK\r\nX-Pad: ");
                connect(timer, &QTimer::timeout, socket, [socket] { socket->write(QByteArray(1024, 'a')); });
            } else if (mode == 1) {
                socket->write(multipartHead("myb"));
                connect(timer, &QTimer::timeout, socket, [socket] { socket->write(multipartPart("myb", "no picture")); });
            } else if (mode == 2) {
                socket->write(multipartHead("myb") + multipartPart("myb", Red));
                socket->disconnectFromHost();
            } else {
                socket->write(multipartHead("myb") + multipartPart("myb", Red));
                connect(timer, &QTimer::timeout, socket, [socket] { socket->write(multipartPart("myb", "no picture")); });
            }
            timer->start(5);
        }));
        auto reader = makeReader(server.port());
        reader->start();
        QTRY_COMPARE(server.requestCount(), 1);
        mode = 1;
        QTest::qWait(100);
        m_clock.advance(2000);
        QTRY_VERIFY(log.contains(QStringLiteral("error in mjpeg stream: nothing for 2000 ms")));
        // The connection is closed: nothing of the endless line stays with the reader.
        QTRY_VERIFY_WITH_TIMEOUT(server.openSockets().isEmpty(), 20000);

        for (const qint64 wait : { 2000, 4000, 8000, 16000, 30000, 30000 }) {
            const int requests = server.requestCount();
            QVERIFY(reader->isWaiting());
            m_clock.advance(wait - 1);
            QTest::qWait(20);
            QCOMPARE(server.requestCount(), requests);
            m_clock.advance(1);
            QTRY_COMPARE(server.requestCount(), requests + 1);
            // Parts keep coming, so only the bound on the first picture ends the connection.
            for (qint64 t = 0; t < MJPEGStreamSession::MinFirstPictureMs; t += 1000) {
                const qsizetype parts = m_consumer->count();
                QTRY_VERIFY(m_consumer->count() > parts);
                m_clock.advance(1000);
            }
            QTRY_VERIFY(reader->isWaiting());
        }
        QVERIFY(log.contains(QStringLiteral("error in mjpeg stream: no picture within 10000 ms")));

        const auto pictures = [this] {
            const auto frames = m_consumer->frames();
            return std::count_if(frames.cbegin(), frames.cend(), [](const auto &f) { return !f.picture.isNull(); });
        };
        mode = 2;
        m_clock.advance(30000);
        QTRY_COMPARE(pictures(), 1);
        QTRY_VERIFY(reader->isWaiting());
        mode = 3;
        m_clock.advance(StreamReader::ReconnectSpacingMs);
        QTRY_COMPARE(pictures(), 2);
        for (qint64 t = 0; t < MJPEGStreamSession::MinPictureGapMs; t += 1000) {
            const qsizetype parts = m_consumer->count();
            QTRY_VERIFY(m_consumer->count() > parts);
            m_clock.advance(1000);
        }
        QTRY_VERIFY(log.contains(QStringLiteral("error in mjpeg stream: no picture within 5000 ms")));
        // It had played, and its connection lasted longer than the spacing: back at once.
        QTRY_COMPARE(pictures(), 3);
    }

    // Readers destroyed in every state, with frames in flight: the sanitizers watch.
    void destroyWhileStreaming()
    {
        TestServer server(TestServer::http([](QTcpSocket *socket, const QByteArray &) {
            socket->write(multipartHead("myb"));
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket] { socket->write(multipartPart("myb", Green)); });
            timer->start(2);
        }));
        for (int round = 0; round < 3; ++round) {
            auto reader = makeReader(server.port());
            reader->start();
            if (round > 0)
                QTRY_VERIFY(m_consumer->count() >= round);
            reader.reset();
        }
        auto reader = makeReader(server.port());
        reader->start();
        QTRY_VERIFY(m_consumer->count() >= 2);
        reader->stop();
        m_thread.reset();
        reader.reset();
    }
};

QTEST_GUILESS_MAIN(TestMJPEGStreamReader)
#include "tst_mjpegstreamreader.moc"
