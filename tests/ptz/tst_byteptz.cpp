#include "logcapture/LogCapture.h"
#include "ptz/TestDefinitions.h"
#include "support/TestServer.h"

#include "ptz/PTZControlFactory.h"
#include "ptz/PTZController.h"
#include "ptz/QSUniversal.h"

#include <QTest>

#include <memory>

namespace {

using Controller = std::unique_ptr<PTZController>;

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray envelope(const QByteArray &topic, const QByteArray &command)
{
    return "<ENV><HDR><TO>" + topic + "</TO><FROM>3.3.3.3</FROM></HDR>" + command + "</CMD></ENV>\r";
}

} // namespace

class TestBytePTZ final : public QObject
{
    Q_OBJECT

private:
    // A controller connected to peer, its stream ready for the first frame.
    Controller connected(const QString &protocol, TestServer &peer, LogCapture &log,
                       std::initializer_list<std::pair<const char *, QString>> more = {},
                       const Value &title = Value())
    {
        Controller c = create(protocol, peer, more, title);
        if (c && !QTest::qWaitFor([&] { return log.count(QStringLiteral("stream opened")) == 1; }))
            return nullptr;
        return c;
    }

    Controller create(const QString &protocol, TestServer &peer,
                      std::initializer_list<std::pair<const char *, QString>> more = {},
                      const Value &title = Value())
    {
        return PTZControlFactory::createControllerWithParameters(loopbackCamera(protocol, peer.port(), more, title),
                                                                 m_clock);
    }

    // Lets the sockets run a little; for checks that something did not happen.
    static void settle() { QTest::qWait(30); }

    ManualClock m_clock;

private slots:
    void pelcoFramesPacedByReplies()
    {
        LogCapture log;
        TestServer peer;
        Controller c = create(QStringLiteral("Pelco D PTZ"), peer);
        QVERIFY(c);
        // Before the adapter has room nothing goes out; the motion keeps summing.
        c->updateChangeX(-500, 0, 0.05);
        tick(m_clock);
        c->updateChangeX(-500, 0, 0.05);
        tick(m_clock);
        QTRY_COMPARE(log.count(QStringLiteral("stream opened")), 1);
        QCOMPARE(peer.received().value(0), QByteArray());
        tick(m_clock);
        const QByteArray fullRight = hex("ff010002400043");
        QTRY_COMPARE(peer.received().value(0), fullRight);

        // A reply in two pieces counts only when whole.
        tick(m_clock);
        peer.send(hex("ff01"));
        QTRY_COMPARE(log.count(QStringLiteral("inCount is 2")), 1);
        tick(m_clock);
        peer.send(hex("0000"));
        QTRY_COMPARE(log.count(QStringLiteral("inCount is 4")), 1);
        settle();
        QCOMPARE(peer.received().value(0), fullRight);
        tick(m_clock);
        const QByteArray stop = hex("ff010000000001");
        QTRY_COMPARE(peer.received().value(0), fullRight + stop);

        // Without a reply the next frame waits out the 0.3-second allowance. Pan
        // 0.2 against tilt 0.9 is damped to tilt alone.
        c->updateChangeX(-200, 900, 1.0);
        for (int i = 0; i < 3; ++i)
            tick(m_clock);
        settle();
        QCOMPARE(peer.received().value(0), fullRight + stop);
        tick(m_clock);
        QTRY_COMPARE(peer.received().value(0), fullRight + stop + hex("ff010008003942"));

        // A tiny pan keeps its direction with speed 0. It goes at the first tick past
        // the allowance.
        c->updateChangeX(-10, 0, 1.0);
        m_clock.advance(400);
        QTRY_COMPARE(peer.received().value(0).right(7), hex("ff010002000003"));
        c->disconnect();
    }

    void geminEyeFrames_data()
    {
        QTest::addColumn<QString>("serialId");
        QTest::addColumn<QString>("camera");
        QTest::addColumn<bool>("pinch");
        QTest::addColumn<QByteArray>("motion");
        QTest::addColumn<QByteArray>("stop");
        QTest::newRow("flags escaped") << "0" << "1" << false << hex("020031 80ff0000000000 4e03")
                                       << hex("020031 1b82 000000000000 3303");
        QTest::newRow("camera 2 zooms in byte 8") << "2" << "2" << true << hex("02 1b82 31 0000000000ff00 cc03")
                                                  << hex("02 1b82 31 1b82 000000000000 3103");
        QTest::newRow("checksum escaped") << "48" << "1" << false << hex("023031 80ff0000000000 7e03")
                                          << hex("023031 1b82 000000000000 1b83 03");
    }

    void geminEyeFrames()
    {
        QFETCH(QString, serialId);
        QFETCH(QString, camera);
        QFETCH(bool, pinch);
        QFETCH(QByteArray, motion);
        QFETCH(QByteArray, stop);
        LogCapture log;
        TestServer peer;
        Controller c = connected(QStringLiteral("QuickSet GeminEye PTZ"), peer, log,
                               { { "control.serial_id", serialId }, { "control.camera_number", camera } });
        QVERIFY(c);
        if (pinch)
            c->updateChangePinch(-300, 0.1);
        else
            c->updateChangeX(-1000, 0, 0.1);
        tick(m_clock);
        QTRY_COMPARE(peer.received().value(0), motion);
        // An opened reply waits for its ETX; a NAK counts like an ACK.
        peer.send(hex("1541"));
        QTRY_COMPARE(log.count(QStringLiteral("inCount is 2")), 1);
        tick(m_clock);
        settle();
        QCOMPARE(peer.received().value(0), motion);
        peer.send(hex("03"));
        QTRY_COMPARE(log.count(QStringLiteral("inCount is 3")), 1);
        tick(m_clock);
        QTRY_COMPARE(peer.received().value(0), motion + stop);
        c->disconnect();
    }

    void malformedRepliesAreSurvived()
    {
        LogCapture log;
        TestServer peer;
        Controller c = connected(QStringLiteral("QuickSet GeminEye PTZ"), peer, log);
        QVERIFY(c);
        c->updateChangeX(-1000, 0, 0.1);
        tick(m_clock);
        QTRY_VERIFY(!peer.received().value(0).isEmpty());
        // An ACK that never ends would fill the buffer for good.
        peer.send(hex("06") + QByteArray(2000, 'A'));
        QTRY_VERIFY(log.count(QStringLiteral("without ETX discarded")) >= 1);
        peer.send(hex("0603"));
        QTRY_VERIFY(log.count(QStringLiteral("inCount is 2")) >= 1);
        const qsizetype before = peer.received().value(0).size();
        tick(m_clock);
        QTRY_VERIFY(peer.received().value(0).size() > before);
        c->disconnect();
    }

    void closingFromEitherSideSilences()
    {
        LogCapture log;
        TestServer peer;
        Controller closedByPeer = connected(QStringLiteral("Pelco D PTZ"), peer, log);
        QVERIFY(closedByPeer);
        peer.openSockets().first()->disconnectFromHost();
        QTRY_COMPARE(log.count(QStringLiteral("stream closed")), 1);
        log.clear();
        Controller closedByUs = connected(QStringLiteral("Pelco D PTZ"), peer, log);
        QVERIFY(closedByUs);
        closedByUs->disconnect();
        QTRY_COMPARE(peer.closedCount(), 2);
        // Only the controller closed by the peer still ticks.
        QCOMPARE(m_clock.activeTimers(), 1);

        closedByPeer->updateChangeX(-1000, 0, 0.1);
        closedByUs->updateChangeX(-1000, 0, 0.1);
        m_clock.advance(1000);
        settle();
        QCOMPARE(peer.received().value(0) + peer.received().value(1), QByteArray());
        QCOMPARE(peer.connectionCount(), 2);
        closedByPeer->disconnect();
    }

    void universalMessages()
    {
        LogCapture log;
        TestServer peer;
        Controller c = connected(QStringLiteral("QuickSet Universal PTZ"), peer, log, {}, QStringLiteral("Lobby"));
        QVERIFY(c);
        // The first motion only opens the conversation.
        c->updateChangeX(-300, 0, 0.1);
        tick(m_clock);
        const QByteArray system = "<ENV><HDR><TO>SYSTEM</TO><FROM>3.3.3.3</FROM></HDR></ENV>\r";
        QTRY_COMPARE(peer.received().value(0), system);

        // The head never answers, so the next message waits out the 0.3 s allowance.
        c->updateChangeX(0, 500, 1.0);
        for (int i = 0; i < 3; ++i)
            tick(m_clock);
        settle();
        QCOMPARE(peer.received().value(0), system);
        tick(m_clock);
        const QByteArray jog =
            envelope("Lobby", "<CMD NAME=\"JOG\" VALUE=\"\"><PARAM  AZ=\"-0.000000\" EL=\"0.500000\"></PARAM>");
        QTRY_COMPARE(peer.received().value(0), system + jog);

        // A pinch in the same tick as a drag sends the zoom alone.
        c->updateChangeX(-800, 0, 1.0);
        c->updateChangePinch(150, 1.0);
        m_clock.advance(300);
        tick(m_clock);
        const QByteArray jogcam =
            envelope("Lobby", "<CMD NAME=\"JOGCAM\" VALUE=\"\"><PARAM  Z=\"0.500000\" F=\"0\"></PARAM>");
        QTRY_COMPARE(peer.received().value(0), system + jog + jogcam);

        m_clock.advance(300);
        tick(m_clock);
        const QByteArray stop = envelope("Lobby", "<CMD NAME=\"STOP\" VALUE=\"\">");
        QTRY_COMPARE(peer.received().value(0), system + jog + jogcam + stop);
        m_clock.advance(300);
        tick(m_clock);
        settle();
        QCOMPARE(peer.received().value(0), system + jog + jogcam + stop);
        c->disconnect();
    }

    void universalTitles()
    {
        QCOMPARE(QSUniversal::topicForTitle(QString()), QByteArray("unnamed"));
        QCOMPARE(QSUniversal::topicForTitle(QStringLiteral("A&B <\"x\">")),
                 QByteArray("A&amp;B &lt;&quot;x&quot;&gt;"));
        QCOMPARE(QSUniversal::topicForTitle(QStringLiteral("Caf\u00e9 \U0001F4F7\t1")), QByteArray("Caf? ??1"));
        QCOMPARE(QSUniversal::topicForTitle(QString(300, QLatin1Char('x'))), QByteArray(127, 'x'));
        // An entity is never cut in half.
        QCOMPARE(QSUniversal::topicForTitle(QString(124, QLatin1Char('x')) + QLatin1Char('&')), QByteArray(124, 'x'));
    }
};

QTEST_GUILESS_MAIN(TestBytePTZ)
#include "tst_byteptz.moc"
