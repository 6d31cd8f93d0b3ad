#include "TcpPeer.h"

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
void answerPelco(TcpPeer &peer)
{
    peer.setResponder([](QByteArray &unanswered) {
        QByteArray answer;
        while (unanswered.size() >= 7) {
            answer += QByteArray::fromHex("ff010000");
            unanswered.remove(0, 7);
        }
        return answer;
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
        TcpPeer peer;
        answerPelco(peer);
        const Run run = vyoctl({ QStringLiteral("--trace"), QStringLiteral("--protocol"), QStringLiteral("Pelco D PTZ"),
                                 QStringLiteral("--host"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
                                 peer.portText(), QStringLiteral("--drag"), QStringLiteral("-300,0@0.3"),
                                 QStringLiteral("--drag"), QStringLiteral("0,300@0.3") });
        QVERIFY2(run.code == 0, run.err.constData());
        QTRY_COMPARE(peer.closedCount(), 1);
        const QList<QByteArray> sent = frames(peer.received());
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
        const QString closedPort = QString::number(closed.serverPort());
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        const QString drag = QStringLiteral("--drag=10,0");
        QTest::newRow("unknown protocol")
            << QStringList({ QStringLiteral("--protocol"), QStringLiteral("Pelco"), drag }) << 2;
        QTest::newRow("no action") << QStringList({ QStringLiteral("--protocol"), QStringLiteral("Axis PTZ"),
                                                    QStringLiteral("--host"), QStringLiteral("127.0.0.1") })
                                   << 2;
        QTest::newRow("bad drag") << QStringList({ QStringLiteral("--protocol"), QStringLiteral("Axis PTZ"),
                                                   QStringLiteral("--host"), QStringLiteral("127.0.0.1"),
                                                   QStringLiteral("--drag"), QStringLiteral("10@0") })
                                  << 2;
        QTest::newRow("no host") << QStringList({ QStringLiteral("--protocol"), QStringLiteral("Sony PTZ"), drag })
                                 << 1;
        QTest::newRow("unreachable canon")
            << QStringList({ QStringLiteral("--protocol"), QStringLiteral("Canon PTZ"), QStringLiteral("--host"),
                             QStringLiteral("127.0.0.1"), QStringLiteral("--port"), closedPort, drag })
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
