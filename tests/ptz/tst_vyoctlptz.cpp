#include "support/TestServer.h"

#include <QProcess>
#include <QTcpServer>
#include <QTest>

namespace {

// Runs vyoctl while the test's peers keep serving.
struct Run
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

// The arguments, separated by '|'.
QStringList args(const QString &joined)
{
    return joined.split(QLatin1Char('|'));
}

Run vyoctl(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VYOCTL_PATH), QStringList({ QStringLiteral("ptz") }) + arguments);
    Run run;
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// Answers every 7-byte frame with a 4-byte reply, as a Pelco D receiver does.
void answerPelco(TestServer &peer)
{
    peer.setHandler([](QTcpSocket *socket, const QByteArray &received) {
        const qsizetype frames = received.size() / 7;
        for (qsizetype i = socket->property("answered").toLongLong(); i < frames; ++i)
            socket->write(QByteArray::fromHex("ff010000"));
        socket->setProperty("answered", frames);
    });
}

QList<QByteArray> frames(const QByteArray &bytes)
{
    QList<QByteArray> list;
    for (qsizetype i = 0; i + 7 <= bytes.size(); i += 7)
        list.append(bytes.mid(i, 7));
    return list;
}

} // namespace

class TestVyoctlPTZ final : public QObject
{
    Q_OBJECT

private slots:
    void dragsInOrderThenOneStop()
    {
        TestServer peer;
        answerPelco(peer);
        const Run run = vyoctl(args(QStringLiteral("--trace|--protocol|Pelco D PTZ|--host|127.0.0.1|--port|%1|"
                                                   "--drag|-300,0@0.3|--drag|0,300@0.3")
                                        .arg(peer.port())));
        QVERIFY2(run.code == 0, run.err.constData());
        QTRY_COMPARE(peer.closedCount(), 1);
        const QList<QByteArray> sent = frames(peer.received().value(0));
        QVERIFY(sent.size() >= 3);
        QCOMPARE(sent.first(), QByteArray::fromHex("ff010002400043"));
        QCOMPARE(sent.at(sent.size() - 2).at(3), char(0x08));
        const QByteArray stop = QByteArray::fromHex("ff010000000001");
        QCOMPARE(sent.last(), stop);
        QCOMPARE(sent.count(stop), 1);
        QVERIFY(run.out.contains("sending: FF 01 00 02 40 00 43"));
        QVERIFY(run.out.contains("sending: FF 01 00 00 00 00 01"));
    }

    void refusals_data()
    {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost, 0);
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::newRow("unknown protocol") << args(QStringLiteral("--protocol|Pelco|--drag=10,0")) << 2;
        QTest::newRow("no action") << args(QStringLiteral("--protocol|Axis PTZ|--host|127.0.0.1")) << 2;
        QTest::newRow("bad drag") << args(QStringLiteral("--protocol|Axis PTZ|--host|127.0.0.1|--drag|10@0")) << 2;
        QTest::newRow("no host") << args(QStringLiteral("--protocol|Sony PTZ|--drag=10,0")) << 1;
        QTest::newRow("unreachable canon")
            << args(QStringLiteral("--protocol|Canon PTZ|--host|127.0.0.1|--port|%1|--drag=10,0")
                        .arg(closed.serverPort()))
            << 1;
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        const Run run = vyoctl(arguments);
        QCOMPARE(run.code, code);
        QVERIFY(run.err.startsWith("vyoctl: "));
    }
};

QTEST_GUILESS_MAIN(TestVyoctlPTZ)
#include "tst_vyoctlptz.moc"
