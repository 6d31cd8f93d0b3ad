#include "tools/CamsimProcess.h"

#include "config/CameraProfileUpdater.h"
#include "config/PropertyList.h"
#include "logcapture/LogCapture.h"
#include "platform/AtomicFile.h"
#include "ptz/PTZControlFactory.h"
#include "ptz/PTZController.h"
#include "util/WorkerThread.h"
#include "video/FrameConsumer.h"
#include "video/FrameProducer.h"
#include "video/VideoStreamFactory.h"

#include <QAtomicInt>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

// Passwords with what breaks URLs, XML and naive masking.
const QStringList Passwords = {
    QStringLiteral("Sec ret%41w0rd"), QStringLiteral("p@ss:w/rd?#frag"), QStringLiteral("100%%pure<&\"'>"),
    QStringLiteral("Milestone pass 9"), QStringLiteral("Legacy:Secret77"),
};

QByteArray cameraList()
{
    const auto pw = [](int i) { return QString(Passwords.at(i)).replace(QLatin1Char('"'), QStringLiteral("\\\"")).toUtf8(); };
    return R"({ "cameras": [
        { "name": "Axis", "family": "axis", "ptz": "axis", "auth": "digest", "user": "root", "password": ")" + pw(0) + R"(" },
        { "name": "Sony", "family": "sony", "ptz": "sony", "auth": "basic", "user": "admin", "password": ")" + pw(1) + R"(" },
        { "name": "Canon", "family": "canon", "ptz": "canon", "auth": "basic", "user": "viewer", "password": ")" + pw(2) + R"(" },
        { "name": "Depot", "family": "milestone", "server": "vms", "ptz": "milestone", "user": "operator", "password": ")" + pw(3) + R"(" },
        { "name": "Yard", "family": "axisserver", "server": "vs", "ptz": "pelco", "serialId": 1, "auth": "basic", "user": "root", "password": ")" + pw(0) + R"(" },
        { "name": "Gate", "family": "generic", "path": "/video.mjpg", "ptz": "universal", "auth": "digest", "user": "u", "password": ")" + pw(1) + R"(" },
        { "name": "Pier", "family": "axisserver", "server": "vs", "input": 2, "ptz": "gemineye", "serialId": 0, "auth": "basic", "user": "root", "password": ")" + pw(0) + R"(" }
    ] })";
}

class Counter final : public FrameConsumer
{
public:
    void consumeFrame(const QImage &picture, const Value &, int) override
    {
        if (!picture.isNull())
            m_pictures.ref();
    }
    int pictures() const { return m_pictures.loadRelaxed(); }

private:
    QAtomicInt m_pictures;
};

} // namespace

// A whole session at log level 0 (streams, every PTZ protocol, an import with an
// upgrade) must not print any password, in any of its encodings.
class TestLogSecrets final : public QObject
{
    Q_OBJECT

private:
    LogCapture m_log;
    CamsimProcess m_sim;
    WorkerThread m_thread{ 0.4 };
    QStringList m_otherOutput;

private slots:
    void initTestCase()
    {
        m_thread.start();
        QVERIFY2(m_sim.start(cameraList()), qPrintable(m_sim.errorOutput()));
    }

    void cleanupTestCase()
    {
        m_thread.cancel();
        m_thread.wait();
    }

    void everyCameraStreams()
    {
        for (const Value &camera : m_sim.cameras().items()) {
            auto reader = VideoStreamFactory::createStream(camera.value(QStringLiteral("video.parameters")), false, &m_thread);
            QVERIFY(reader);
            auto counter = std::make_shared<Counter>();
            reader->addConsumer(counter);
            reader->start();
            QTRY_VERIFY2_WITH_TIMEOUT(counter->pictures() > 0, qPrintable(camera.value(QStringLiteral("title")).toString()), 20000);
            reader->stop();
        }
    }

    void everyHeadIsSteered()
    {
        for (const Value &camera : m_sim.cameras().items()) {
            const QString title = camera.value(QStringLiteral("title")).toString();
            std::unique_ptr<PTZController> controller = PTZControlFactory::createControllerWithParameters(camera);
            QVERIFY2(controller, qPrintable(title));
            for (int i = 0; i < 20; ++i) {
                controller->updateChangeX(-12, 0, 0.02);
                QTest::qWait(20);
            }
            QTRY_VERIFY2_WITH_TIMEOUT(m_sim.state(title).value(QStringLiteral("pan")).toDouble() != 0, qPrintable(title), 10000);
            controller->disconnect();
        }
    }

    // vyoctl imports the group with a camera of the old layout, whose URL holds
    // its credentials; the viewer's own upgrade runs on the same definitions.
    void importAndUpgrade()
    {
        Value group = Value::dictionary();
        group.insert(QStringLiteral("name"), QStringLiteral("Imported"));
        Value cameras = m_sim.cameras().deepCopy();
        Value legacy = Value::dictionary();
        Value video = Value::dictionary();
        video.insert(QStringLiteral("video.url"),
                     QStringLiteral("http://old:%1@127.0.0.1:81/mjpg").arg(QString::fromLatin1(QUrl::toPercentEncoding(Passwords.at(4)))));
        legacy.insert(QStringLiteral("title"), QStringLiteral("Old"));
        legacy.insert(QStringLiteral("video.parameters"), video);
        cameras.append(legacy);
        group.insert(QStringLiteral("cameras"), cameras);

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("groups.plist"));
        QVERIFY(AtomicFile::write(file, PropertyList::toXml(Value::array({ group }), nullptr)));
        QProcess vyoctl;
        vyoctl.start(QStringLiteral(VYOCTL_PATH), { QStringLiteral("--log-level"), QStringLiteral("0"), QStringLiteral("--profile"),
                                                    dir.filePath(QStringLiteral("p")), QStringLiteral("import"), file });
        QVERIFY(vyoctl.waitForFinished(60000));
        QCOMPARE(vyoctl.exitCode(), 0);
        const QString err = QString::fromUtf8(vyoctl.readAllStandardError());
        QVERIFY(err.contains(QLatin1StringView("Video URL:")));
        m_otherOutput += err.split(QLatin1Char('\n'));

        CameraProfileUpdater::convertGroupDefinition(group.deepCopy());
        CameraProfileUpdater::loadFilter(Value::array({ group }));
    }

    void noPasswordWasLogged()
    {
        const QStringList lines = m_log.lines() + m_otherOutput;
        QVERIFY(lines.size() > 100);
        for (const QString &password : Passwords) {
            for (const QString &form : { password, QString::fromLatin1(QUrl::toPercentEncoding(password)),
                                         password.toHtmlEscaped() }) {
                for (const QString &line : lines)
                    QVERIFY2(!line.contains(form), qPrintable(line));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestLogSecrets)
#include "tst_logsecrets.moc"
