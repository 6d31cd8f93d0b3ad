#include "discovery/BonjourDelegate.h"
#include "discovery/BonjourHandler.h"
#include "platform/AvahiBrowser.h"
#include "platform/QtAvahiPoll.h"

#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/strlst.h>

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

namespace {

class Observer final : public BonjourDelegate
{
public:
    int calls = 0;
    void bonjourListChanged() override { ++calls; }
};

// Publishes one service from this process, so that its TXT record can be changed.
class Publisher final
{
public:
    Publisher()
    {
        int error = 0;
        m_client = avahi_client_new(m_poll.poll(), AvahiClientFlags(0), nullptr, nullptr, &error);
    }
    ~Publisher()
    {
        if (m_client)
            avahi_client_free(m_client);
    }
    bool ok() const { return m_client; }

    bool publish(const QByteArray &name, const QList<QByteArray> &txt)
    {
        AvahiStringList *list = nullptr;
        for (const QByteArray &entry : txt)
            list = avahi_string_list_add(list, entry.constData());
        int rc = 0;
        if (!m_group) {
            m_group = avahi_entry_group_new(m_client, nullptr, nullptr);
            rc = avahi_entry_group_add_service_strlst(m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_INET, AvahiPublishFlags(0),
                                                      name.constData(), "_qelcam._tcp", nullptr, nullptr, 8554, list);
            if (rc >= 0)
                rc = avahi_entry_group_commit(m_group);
        } else {
            rc = avahi_entry_group_update_service_txt_strlst(m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_INET,
                                                             AvahiPublishFlags(0), name.constData(), "_qelcam._tcp",
                                                             nullptr, list);
        }
        avahi_string_list_free(list);
        return rc >= 0;
    }

private:
    QtAvahiPoll m_poll;
    AvahiClient *m_client = nullptr;
    AvahiEntryGroup *m_group = nullptr;
};

Value findCamera(const BonjourHandler &handler, const QString &title)
{
    for (const Value &camera : handler.detectedCameras()) {
        if (camera.value(QStringLiteral("title")).toString() == title)
            return camera;
    }
    return {};
}

QString video(const Value &camera, const char *key)
{
    return camera.value(QStringLiteral("video.parameters")).value(QString::fromLatin1(key)).toString();
}

} // namespace

// Against the real avahi-daemon that make test starts, confined to loopback.
class TestAvahiBrowser final : public QObject
{
    Q_OBJECT

private:
    Observer m_observer;
    std::unique_ptr<BonjourHandler> m_handler;
    QString m_suffix = QString::number(QRandomGenerator::global()->bounded(100000));

    QString unique(const char *name) const { return QString::fromLatin1(name) + QLatin1Char(' ') + m_suffix; }

private slots:
    void initTestCase()
    {
        Publisher probe;
        if (!probe.ok()) {
            if (qEnvironmentVariableIsSet("VYO_REQUIRE_AVAHI"))
                QFAIL("no avahi-daemon; scripts/start-avahi starts one");
            QSKIP("no avahi-daemon running (make test starts one)");
        }
        m_handler = BonjourHandler::create(&m_observer, std::make_unique<AvahiBrowser>());
        QVERIFY(m_handler);
    }

    void publishedServiceIsFoundAndRemoved()
    {
        QProcess publisher;
        publisher.start(QStringLiteral("avahi-publish"),
                        { QStringLiteral("-s"), unique("Porch"), QStringLiteral("_qelcam._tcp"), QStringLiteral("8081"),
                          QStringLiteral("video.type=GENMJPEG"), QStringLiteral("video.path=/live"),
                          QStringLiteral("control.protocol=Pelco D PTZ"), QStringLiteral("definition_version=1") });
        QVERIFY(publisher.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!findCamera(*m_handler, unique("Porch")).isNull(), 20000);
        const Value camera = findCamera(*m_handler, unique("Porch"));
        QCOMPARE(video(camera, "video.host"), QStringLiteral("127.0.0.1"));
        QCOMPARE(video(camera, "video.port"), QStringLiteral("8081"));
        QCOMPARE(video(camera, "video.path"), QStringLiteral("/live"));
        QCOMPARE(camera.value(QStringLiteral("control.parameters")).value(QStringLiteral("control.protocol")).toString(),
                 QStringLiteral("Pelco D PTZ"));

        publisher.kill();
        publisher.waitForFinished();
        QTRY_VERIFY_WITH_TIMEOUT(findCamera(*m_handler, unique("Porch")).isNull(), 20000);
    }

    void txtUpdatesReachTheRecord()
    {
        Publisher publisher;
        QVERIFY(publisher.ok());
        const QByteArray name = unique("Shed").toUtf8();
        QVERIFY(publisher.publish(name, { "video.type=AXISMJPEG", "video.fps=2" }));
        QTRY_VERIFY_WITH_TIMEOUT(video(findCamera(*m_handler, unique("Shed")), "video.fps") == QStringLiteral("2"), 20000);
        QVERIFY(publisher.publish(name, { "video.type=AXISMJPEG", "video.fps=7" }));
        QTRY_VERIFY_WITH_TIMEOUT(video(findCamera(*m_handler, unique("Shed")), "video.fps") == QStringLiteral("7"), 20000);
    }

    void cleanupTestCase() { m_handler.reset(); }
};

QTEST_GUILESS_MAIN(TestAvahiBrowser)
#include "tst_avahibrowser.moc"
