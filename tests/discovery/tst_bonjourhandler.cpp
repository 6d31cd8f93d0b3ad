#include "config/PropertyList.h"
#include "discovery/BonjourDelegate.h"
#include "discovery/BonjourHandler.h"

#include <QTest>

namespace {

// A browser driven by the test: it records what the handler asks of it.
class FakeBrowser final : public DnsSdBrowser
{
public:
    QList<DnsSdService> resolving;
    QList<DnsSdService> monitored;
    QString browsedType;

    bool browse(const QString &type) override
    {
        browsedType = type;
        return true;
    }
    void resolve(const DnsSdService &s, int) override { resolving.append(s); }
    void stopResolve(const DnsSdService &s) override { resolving.removeAll(s); }
    void startMonitoring(const DnsSdService &s) override { monitored.append(s); }
    void stopMonitoring(const DnsSdService &s) override { monitored.removeAll(s); }
    void stop() override {}

    void found(const DnsSdService &s, bool more = false) { emit serviceFound(s, more); }
    void removed(const DnsSdService &s, bool more = false) { emit serviceRemoved(s, more); }
    void resolved(const DnsSdService &s, const TxtRecord &txt, quint16 port = 8080,
                  QList<QHostAddress> addresses = { QHostAddress(QStringLiteral("192.0.2.7")) })
    {
        emit serviceResolved(s, { std::move(addresses), port, txt });
    }
    void txtChanged(const DnsSdService &s, const TxtRecord &txt) { emit txtRecordUpdated(s, txt); }
};

class Observer final : public BonjourDelegate
{
public:
    int calls = 0;
    void bonjourListChanged() override { ++calls; }
};

DnsSdService service(const char *name)
{
    return { QString::fromUtf8(name), QStringLiteral("_qelcam._tcp"), QStringLiteral("local") };
}

QStringList titles(const QList<Value> &cameras)
{
    QStringList out;
    for (const Value &c : cameras)
        out.append(c.value(QStringLiteral("title")).toString());
    return out;
}

} // namespace

class TestBonjourHandler final : public QObject
{
    Q_OBJECT

private:
    Observer m_observer;
    FakeBrowser *m_browser = nullptr;
    std::unique_ptr<BonjourHandler> m_handler;

private slots:
    void init()
    {
        m_observer.calls = 0;
        auto browser = std::make_unique<FakeBrowser>();
        m_browser = browser.get();
        m_handler = BonjourHandler::create(&m_observer, std::move(browser));
        QVERIFY(m_handler);
        m_handler->setQuietPeriod(100);
        QCOMPARE(m_browser->browsedType, QStringLiteral("_qelcam._tcp"));
    }

    void cleanup() { m_handler.reset(); }

    void burstIsPublishedOnceAndSorted()
    {
        m_browser->found(service("zebra"), true);
        m_browser->found(service("Alpha"));
        QCOMPARE(m_browser->resolving.size(), 2);
        m_browser->resolved(service("zebra"), { { "video.type", "GENMJPEG" } });
        // Another camera is still resolving: publication waits for quiet.
        QCOMPARE(m_observer.calls, 0);
        m_browser->resolved(service("Alpha"), { { "video.type", "AXISMJPEG" } });
        QCOMPARE(m_observer.calls, 1);
        QCOMPARE(titles(m_handler->detectedCameras()), (QStringList{ QStringLiteral("Alpha"), QStringLiteral("zebra") }));
        QCOMPARE(m_browser->monitored.size(), 2);
        QVERIFY(m_browser->resolving.isEmpty());
        QTest::qWait(200);
        QCOMPARE(m_observer.calls, 1);
    }

    void quietPeriodPublishesWhileOthersResolve()
    {
        m_browser->found(service("a"), true);
        m_browser->found(service("b"));
        m_browser->resolved(service("a"), {});
        QCOMPARE(m_observer.calls, 0);
        QTRY_COMPARE(m_observer.calls, 1);
        QCOMPARE(m_handler->detectedCameras().size(), 1);
    }

    void recordsFromTxt()
    {
        m_browser->found(service("Door"));
        m_browser->resolved(service("Door"),
                            { { "video.type", "AXISMJPEG" },
                              { "video.fps", "5" },
                              { "control.protocol", "Axis PTZ" },
                              { "definition_version", "1" },
                              { "video.bad", QByteArray("\xff\xfe", 2) },
                              { "novalue", QByteArray() },
                              { "empty", "" } },
                            8081, { QHostAddress(QStringLiteral("fe80::1")), QHostAddress(QStringLiteral("10.1.2.3")) });
        const Value cam = m_handler->detectedCameras().first();
        const Value video = cam.value(QStringLiteral("video.parameters"));
        QCOMPARE(video.value(QStringLiteral("video.host")).toString(), QStringLiteral("10.1.2.3"));
        QCOMPARE(video.value(QStringLiteral("video.port")).toString(), QStringLiteral("8081"));
        QCOMPARE(video.value(QStringLiteral("video.type")).toString(), QStringLiteral("AXISMJPEG"));
        QVERIFY(!video.contains(QStringLiteral("video.bad")));
        QCOMPARE(cam.value(QStringLiteral("control.parameters")).value(QStringLiteral("control.protocol")).toString(),
                 QStringLiteral("Axis PTZ"));
        QCOMPARE(cam.value(QStringLiteral("definition_version")).toString(), QStringLiteral("1"));
        QVERIFY(!cam.contains(QStringLiteral("novalue")));
        QVERIFY(cam.contains(QStringLiteral("empty")));
        QVERIFY(cam.value(QStringLiteral("service")).isHandle());
        // The live handle never reaches a file or a link.
        QString error;
        QVERIFY(PropertyList::toBinary(Value::array({ cam }), &error).isEmpty());

        m_browser->found(service("Given"));
        m_browser->resolved(service("Given"), { { "video.host", "cam.example" }, { "video.port", "81" } }, 9000,
                            { QHostAddress(QStringLiteral("fe80::2")) });
        const Value given = m_handler->detectedCameras().at(1).value(QStringLiteral("video.parameters"));
        QCOMPARE(given.value(QStringLiteral("video.host")).toString(), QStringLiteral("cam.example"));
        QCOMPARE(given.value(QStringLiteral("video.port")).toString(), QStringLiteral("81"));
        QVERIFY(!m_handler->detectedCameras().at(1).contains(QStringLiteral("control.parameters")));

        m_browser->found(service("V6"));
        m_browser->resolved(service("V6"), {}, 80, { QHostAddress(QStringLiteral("fe80::3")) });
        QVERIFY(!m_handler->detectedCameras().at(2).value(QStringLiteral("video.parameters")).contains(QStringLiteral("video.host")));
    }

    void removals()
    {
        for (const char *name : { "a", "b", "c", "d" }) {
            m_browser->found(service(name));
            m_browser->resolved(service(name), {});
        }
        QCOMPARE(m_observer.calls, 4);
        // Removed while resolving: never listed, never published.
        m_browser->found(service("e"));
        m_browser->removed(service("e"));
        QCOMPARE(m_observer.calls, 4);
        QVERIFY(m_browser->resolving.isEmpty());
        // A burst of three removals is published once, at its end.
        m_browser->removed(service("a"), true);
        m_browser->removed(service("c"), true);
        m_browser->removed(service("d"));
        QCOMPARE(m_observer.calls, 5);
        QCOMPARE(titles(m_handler->detectedCameras()), QStringList{ QStringLiteral("b") });
        QCOMPARE(m_browser->monitored, QList<DnsSdService>{ service("b") });
        m_browser->removed(service("unknown"));
        QCOMPARE(m_observer.calls, 5);
    }

    void txtUpdateReplacesTheRecord()
    {
        m_browser->found(service("b"));
        m_browser->resolved(service("b"), { { "video.fps", "1" } }, 81);
        m_browser->found(service("c"));
        m_browser->resolved(service("c"), {});
        const Value before = m_handler->detectedCameras().first();
        m_browser->txtChanged(service("b"), { { "video.fps", "9" } });
        QCOMPARE(m_observer.calls, 3);
        const Value after = m_handler->detectedCameras().first();
        QVERIFY(!after.isSameObject(before));
        QCOMPARE(after.value(QStringLiteral("title")).toString(), QStringLiteral("b"));
        const Value video = after.value(QStringLiteral("video.parameters"));
        QCOMPARE(video.value(QStringLiteral("video.fps")).toString(), QStringLiteral("9"));
        QCOMPARE(video.value(QStringLiteral("video.host")).toString(), QStringLiteral("192.0.2.7"));
        QCOMPARE(video.value(QStringLiteral("video.port")).toString(), QStringLiteral("81"));
        m_browser->txtChanged(service("nobody"), {});
        QCOMPARE(m_observer.calls, 3);
    }

    void failedResolveIsDropped()
    {
        m_browser->found(service("slow"));
        emit m_browser->resolveFailed(service("slow"));
        QVERIFY(m_browser->resolving.isEmpty());
        m_browser->resolved(service("slow"), {});
        QVERIFY(m_handler->detectedCameras().isEmpty());
        QCOMPARE(m_observer.calls, 0);
    }
};

QTEST_GUILESS_MAIN(TestBonjourHandler)
#include "tst_bonjourhandler.moc"
