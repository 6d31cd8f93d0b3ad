#include "app/LinkServer.h"

#include "config/Value.h"
#include "sharing/ConfigLink.h"

#include "support/HostileInput.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <future>

namespace {

// The sender blocks while it waits for the answer, so it runs beside the event
// loop that serves the links.
bool forward(const QString &dir, const QUrl &url, QString *error = nullptr)
{
    auto sent = std::async(std::launch::async, [dir, url, error] { return LinkServer::forward(dir, url, error); });
    while (sent.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return sent.get();
}

} // namespace

class TestLinkServer final : public QObject
{
    Q_OBJECT

private slots:
    void forwardsLinksToTheRunningViewer()
    {
        QTemporaryDir dir;
        QList<QUrl> received;
        bool accept = true;
        LinkServer server(dir.path(), [&](const QUrl &url) {
            received.append(url);
            return accept;
        });
        QVERIFY(server.listen());

        const QUrl link(QStringLiteral("vyo://group/AbC+/d=="), QUrl::StrictMode);
        QString error;
        QVERIFY2(forward(dir.path(), link, &error), qPrintable(error));
        QCOMPARE(received, QList<QUrl>{ link });

        // A link the viewer cannot read is reported back to the sender.
        accept = false;
        QVERIFY(!forward(dir.path(), link));
        QCOMPARE(received.size(), 2);

        // A start without a link asks the viewer to show itself.
        accept = true;
        QVERIFY(forward(dir.path(), QUrl()));
        QCOMPARE(received.last(), QUrl());
    }

    void refusesWhatIsNotALink()
    {
        QTemporaryDir dir;
        int calls = 0;
        LinkServer server(dir.path(), [&](const QUrl &) { return ++calls > 0; });
        QVERIFY(server.listen());

        QVERIFY(!forward(dir.path(), QUrl(QStringLiteral("https://127.0.0.1/x"))));

        // A sender that streams without ever ending its line is cut off; the server goes on.
        QLocalSocket flood;
        flood.connectToServer(LinkServer::socketPath(dir.path()));
        QVERIFY(flood.waitForConnected(2000));
        const QByteArray chunk(64 * 1024, 'A');
        for (qsizetype sentBytes = 0; sentBytes <= LinkServer::MaxLinkBytes + chunk.size(); sentBytes += chunk.size())
            flood.write(chunk);
        QTRY_COMPARE(flood.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(calls, 0);

        QVERIFY(forward(dir.path(), QUrl(QStringLiteral("vyo://camera/x"))));
        QCOMPARE(calls, 1);
    }

    // Two starts of the viewer on one profile: the second hands its link over and exits.
    void viewerHandsOverLinks()
    {
        QTemporaryDir dir;
        QProcess viewer;
        viewer.setProcessChannelMode(QProcess::ForwardedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.remove(QStringLiteral("VYO_PROFILE_DIR"));
        viewer.setProcessEnvironment(env);
        viewer.start(QStringLiteral(VYO_VIEWER_PATH), { QStringLiteral("--profile"), dir.path() });
        QVERIFY(viewer.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(LinkServer::socketPath(dir.path())), 60000);

        Value group = Value::dictionary();
        group.insert(QStringLiteral("name"), QStringLiteral("Yard"));
        group.insert(QStringLiteral("cameras"), Value::array());
        QString error;
        const QString good = ConfigLink::makeLink(ConfigLink::Group, group, &error);
        const auto second = [&](const QString &link) {
            QProcess p;
            p.setProcessEnvironment(env);
            QStringList arguments{ QStringLiteral("--profile"), dir.path() };
            if (!link.isEmpty())
                arguments.append(link);
            p.start(QStringLiteral(VYO_VIEWER_PATH), arguments);
            if (!p.waitForFinished(60000))
                return -1;
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QCOMPARE(second(good), 0);
        QCOMPARE(second(QString()), 0);
        QCOMPARE(second(QStringLiteral("vyo://group/AAAA")), 1);
        QCOMPARE(second(QStringLiteral("https://127.0.0.1/")), 2);
        QCOMPARE(second(QStringLiteral("vyo://group/") + QLatin1StringView(NulKeyPayload)), 1);
        QCOMPARE(viewer.state(), QProcess::Running);

        viewer.terminate();
        QVERIFY(viewer.waitForFinished(60000));
        QCOMPARE(viewer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(viewer.exitCode(), 0);
    }

    void helpAndVersionNeedNoDisplay()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        for (const QString &option : { QStringLiteral("--version"), QStringLiteral("--help") }) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(VYO_VIEWER_PATH), { option });
            QVERIFY(p.waitForFinished(60000));
            QCOMPARE(p.exitCode(), 0);
            QVERIFY(p.readAllStandardOutput().startsWith(option == QStringLiteral("--version") ? "vyo " : "Usage:"));
        }
    }

    void deepProfilesAndAbsentViewers()
    {
        QTemporaryDir dir;
        const QString deep = dir.filePath(QString(120, QLatin1Char('d')));
        QVERIFY(QDir().mkpath(deep));
        QVERIFY(LinkServer::socketPath(deep).toLocal8Bit().size() <= 100);
        QVERIFY(LinkServer::socketPath(deep) != LinkServer::socketPath(dir.path()));

        QString error;
        QVERIFY(!LinkServer::forward(deep, QUrl(QStringLiteral("vyo://camera/x")), &error));
        QVERIFY(!error.isEmpty());

        LinkServer server(deep, [](const QUrl &) { return true; });
        QVERIFY(server.listen());
        QVERIFY(forward(deep, QUrl(QStringLiteral("vyo://camera/x"))));
    }
};

QTEST_GUILESS_MAIN(TestLinkServer)
#include "tst_linkserver.moc"
