#include "logcapture/LogCapture.h"
#include "ptz/TestDefinitions.h"
#include "support/TestServer.h"

#include "ptz/PTZControlFactory.h"
#include "ptz/PTZController.h"

#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace {

using Controller = std::unique_ptr<PTZController>;

const QByteArray Reply = "<?xml version=\"1.0\" encoding=\"utf-8\"?><methodresponse><result>OK</result>"
                         "</methodresponse>\r\n\r\n";

// The messages of one connection in short: "<id> <method>" or "<id> <command>".
QStringList summary(const QByteArray &received)
{
    static const QRegularExpression id(QStringLiteral("<requestid>(\\d+)</requestid>"));
    static const QRegularExpression method(QStringLiteral("<methodname>(\\w+)</methodname>"));
    static const QRegularExpression command(QStringLiteral("<command>([^<]*)</command>"));
    QStringList list;
    const QString text = QString::fromUtf8(received);
    for (const QString &message : text.split(QStringLiteral("\r\n\r\n"), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch c = command.match(message);
        list.append(id.match(message).captured(1) + QLatin1Char(' ')
                    + (c.hasMatch() ? c.captured(1) : method.match(message).captured(1)));
    }
    return list;
}

// Messages end in a blank line, as HTTP request heads do.
void answerEveryMessage(TestServer &peer)
{
    peer.setHandler(TestServer::http([](QTcpSocket *socket, const QByteArray &) { socket->write(Reply); }));
}

} // namespace

class TestMilestonePTZ final : public QObject
{
    Q_OBJECT

private:
    Controller create(TestServer &peer)
    {
        return PTZControlFactory::createControllerWithParameters(
            loopbackCamera(QStringLiteral("Milestone PTZ"), peer.port(),
                           { { "control.username", QStringLiteral("op&1") },
                             { "control.password", QStringLiteral("p<w>") },
                             { "control.camera_name", QStringLiteral("Cam \"A\"") } }),
            m_clock);
    }

    // One tick that must open a connection, run it to its end and close it.
    bool batch(TestServer &peer)
    {
        const int closed = peer.closedCount();
        tick(m_clock);
        return QTest::qWaitFor([&] { return peer.closedCount() == closed + 1; });
    }

    static void settle() { QTest::qWait(30); }

    ManualClock m_clock;

private slots:
    void eachMessageWaitsForTheReplyBefore()
    {
        LogCapture log;
        TestServer peer;
        Controller c = create(peer);
        QVERIFY(c);
        settle();
        QCOMPARE(peer.connectionCount(), 0);

        c->updateChangeX(-125, 125, 0.25);
        tick(m_clock);
        QTRY_COMPARE(summary(peer.received().value(0)).size(), 1);
        QCOMPARE(peer.received().value(0),
                 QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><methodcall><requestid>2</requestid>"
                            "<methodname>connect</methodname><username>op&amp;1</username>"
                            "<password>p&lt;w&gt;</password><cameraid>Cam &quot;A&quot;</cameraid>"
                            "<connectparam></connectparam></methodcall>\r\n\r\n"));
        settle();
        QCOMPARE(summary(peer.received().value(0)).size(), 1);

        // A reply in two pieces counts when its end arrives.
        peer.send(Reply.left(10));
        settle();
        QCOMPARE(summary(peer.received().value(0)).size(), 1);
        peer.send(Reply.mid(10));
        QTRY_COMPARE(summary(peer.received().value(0)).size(), 2);
        QVERIFY(peer.received().value(0).endsWith(
            "<?xml version=\"1.0\" encoding=\"utf-8\"?><methodcall><requestid>3</requestid>"
            "<methodname>live</methodname></methodcall>\r\n\r\n"));

        // Further drags only gather while the command is in progress.
        c->updateChangeX(-100, 0, 0.1);
        tick(m_clock);
        c->updateChangeX(-100, 0, 0.1);
        tick(m_clock);

        // Two replies at once: both consumed, the next message goes out once.
        peer.send(Reply + Reply);
        QTRY_COMPARE(summary(peer.received().value(0)).size(), 3);
        QVERIFY(peer.received().value(0).endsWith(
            "<?xml version=\"1.0\" encoding=\"utf-8\"?><methodcall><requestid>1</requestid>"
            "<methodname>ptzcommand</methodname><commandlist><command>PanTiltStart 500,-500</command>"
            "</commandlist></methodcall>\r\n\r\n"));
        peer.send(Reply);
        QTRY_COMPARE(peer.closedCount(), 1);
        QCOMPARE(peer.connectionCount(), 1);

        answerEveryMessage(peer);
        QVERIFY(batch(peer));
        QCOMPARE(summary(peer.received().value(1)), texts({ "5 connect", "6 live", "4 PanTiltStart 1000,0" }));
        c->disconnect();
    }

    void stopsPerGroupAndCombinedTicks()
    {
        TestServer peer;
        answerEveryMessage(peer);
        Controller c = create(peer);

        c->updateChangeX(-10, 0, 0.1);
        QVERIFY(batch(peer));
        // The finger lifts: one pan/tilt stop, no zoom stop.
        QVERIFY(batch(peer));
        QCOMPARE(summary(peer.received().value(1)), texts({ "5 connect", "6 live", "4 PanTiltStop" }));
        for (int i = 0; i < 3; ++i)
            tick(m_clock);
        settle();
        QCOMPARE(peer.connectionCount(), 2);

        c->updateChangePinch(300, 0.1);
        QVERIFY(batch(peer));
        QVERIFY(batch(peer));
        QCOMPARE(summary(peer.received().value(2)), texts({ "8 connect", "9 live", "7 ZoomStart -1000" }));
        QCOMPARE(summary(peer.received().value(3)), texts({ "11 connect", "12 live", "10 ZoomStop" }));

        // Pan/tilt and zoom in one tick share one connection, pan/tilt first.
        c->updateChangeX(125, -125, 0.25);
        c->updateChangePinch(-150, 1.0);
        QVERIFY(batch(peer));
        QCOMPARE(summary(peer.received().value(4)),
                 texts({ "14 connect", "15 live", "13 PanTiltStart -500,500", "16 ZoomStart 500" }));
        QVERIFY(batch(peer));
        QCOMPARE(summary(peer.received().value(5)),
                 texts({ "18 connect", "19 live", "17 PanTiltStop", "20 ZoomStop" }));

        // A hold sends no stop for either group until it ends.
        c->setHolding(true, -250, 0, 0, 0.5);
        QVERIFY(batch(peer));
        for (int i = 0; i < 3; ++i)
            tick(m_clock);
        settle();
        QCOMPARE(peer.connectionCount(), 7);
        c->setHolding(false, 0, 0, 0, 0);
        QVERIFY(batch(peer));
        QCOMPARE(summary(peer.received().value(6)).last(), QStringLiteral("21 PanTiltStart 500,0"));
        QCOMPARE(summary(peer.received().value(7)), texts({ "25 connect", "26 live", "24 PanTiltStop" }));
        c->disconnect();
    }

    void silentServerIsGivenTwoSeconds()
    {
        TestServer peer;
        Controller c = create(peer);
        c->updateChangeX(-10, 0, 0.1);
        tick(m_clock);
        QTRY_COMPARE(summary(peer.received().value(0)).size(), 1);
        // Later connections are answered; this one sends nothing more, so stays silent.
        answerEveryMessage(peer);
        m_clock.advance(1999);
        settle();
        QCOMPARE(peer.connectionCount(), 1);
        QCOMPARE(peer.closedCount(), 0);
        // At the limit it is closed and the command lost; the stop that follows starts
        // afresh, at the limit's own tick or the next.
        m_clock.advance(1);
        QTRY_VERIFY(peer.closedCount() >= 1);
        tick(m_clock);
        QTRY_COMPARE(peer.closedCount(), 2);
        QCOMPARE(peer.connectionCount(), 2);
        QCOMPARE(summary(peer.received().value(1)), texts({ "5 connect", "6 live", "4 PanTiltStop" }));
        c->disconnect();
    }

    void disconnectEndsTheCommand()
    {
        TestServer peer;
        Controller c = create(peer);
        c->updateChangeX(-10, 0, 0.1);
        tick(m_clock);
        QTRY_COMPARE(summary(peer.received().value(0)).size(), 1);
        c->disconnect();
        QTRY_COMPARE(peer.closedCount(), 1);
        QCOMPARE(m_clock.activeTimers(), 0);
        c->updateChangeX(-10, 0, 0.1);
        tick(m_clock);
        settle();
        QCOMPARE(peer.connectionCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestMilestonePTZ)
#include "tst_milestoneptz.moc"
