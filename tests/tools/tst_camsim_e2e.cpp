#include "tools/CamsimProcess.h"

#include "platform/CertificatePin.h"
#include "ptz/OnvifPTZController.h"
#include "ptz/PTZControlFactory.h"
#include "ptz/PTZController.h"
#include "util/WorkerThread.h"
#include "video/CanonVideoProfile.h"
#include "video/FrameConsumer.h"
#include "video/FrameProducer.h"
#include "video/SonyVideoProfile.h"
#include "video/VideoStreamFactory.h"

#include <QMutex>
#include <QTest>

namespace {

// Keeps the size of the first decodable picture a reader delivers.
class FirstPicture final : public FrameConsumer
{
public:
    void consumeFrame(const QImage &picture, const Value &, int) override
    {
        const QMutexLocker lock(&m_mutex);
        if (!picture.isNull() && m_size.isEmpty())
            m_size = picture.size();
    }
    QSize size() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_size;
    }

private:
    mutable QMutex m_mutex;
    QSize m_size;
};

QSize expectedSize(const Value &camera, bool thumbnail)
{
    const Value video = camera.value(QStringLiteral("video.parameters"));
    if (video.value(QStringLiteral("video.type")).toString() == QLatin1StringView("MILESTONEMJPEG"))
        return thumbnail ? QSize(320, 240) : QSize(640, 480);
    // The demo's RTSP cameras: "Harbour Gate" has a grid stream, "Quay" is smaller.
    if (video.value(QStringLiteral("video.type")).toString() == QLatin1StringView("RTSP")) {
        if (camera.value(QStringLiteral("title")).toString() == QLatin1StringView("Quay"))
            return QSize(640, 360);
        return thumbnail ? QSize(320, 240) : QSize(1280, 720);
    }
    const QString resolution = video.value(QStringLiteral("video.resolution")).toString();
    // Cameras that are sent no resolution answer with their own.
    QSize size = resolution.isEmpty() ? QSize(640, 480)
                                      : QSize(resolution.section(QLatin1Char('x'), 0, 0).toInt(),
                                              resolution.section(QLatin1Char('x'), 1, 1).toInt());
    const bool halves = video.value(QStringLiteral("video.type")).toString().startsWith(QLatin1StringView("AXIS"))
        || video.value(QStringLiteral("video.vapix")).toBool();
    if (thumbnail && halves && !resolution.isEmpty())
        size /= 2;
    return size;
}

} // namespace

// The viewer's own readers and controllers against the simulator's cameras.
class TestCamsimEndToEnd final : public QObject
{
    Q_OBJECT

private:
    CamsimProcess m_sim;
    WorkerThread m_thread{ 0.4 };

    QSize firstPicture(std::unique_ptr<FrameProducer> reader)
    {
        auto consumer = std::make_shared<FirstPicture>();
        reader->addConsumer(consumer);
        reader->start();
        // A camera that sends nothing shows as an empty size in the comparison.
        [[maybe_unused]] const bool arrived = QTest::qWaitFor([&consumer] { return !consumer->size().isEmpty(); }, 20000);
        reader->stop();
        return consumer->size();
    }

    // Plays a one-finger drag (or a pinch) into the controller, 20 ms per event,
    // then lifts and waits for the head to come to rest.
    QJsonObject steer(const Value &camera, float dx, float dy, float pinch)
    {
        const QString title = camera.value(QStringLiteral("title")).toString();
        std::unique_ptr<PTZController> controller = PTZControlFactory::createControllerWithParameters(camera);
        if (!controller)
            return {};
        // An ONVIF controller asks the device about its head before it steers.
        if (auto *onvif = qobject_cast<OnvifPTZController *>(controller.get());
            onvif && !QTest::qWaitFor([onvif] { return onvif->isReady(); }, 10000))
            return {};
        for (int i = 0; i < 30; ++i) {
            if (pinch != 0)
                controller->updateChangePinch(pinch, 0.02);
            else
                controller->updateChangeX(dx, dy, 0.02);
            QTest::qWait(20);
        }
        // A head that never stops shows as "moving" in the checks that follow.
        [[maybe_unused]] const bool rested
            = QTest::qWaitFor([&] { return !m_sim.state(title).value(QStringLiteral("moving")).toBool(); }, 5000);
        QTest::qWait(300);
        controller->disconnect();
        return m_sim.state(title);
    }

private slots:
    void initTestCase()
    {
        m_thread.start();
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorOutput()));
        QCOMPARE(m_sim.cameras().size(), 12);
    }

    void cleanupTestCase()
    {
        m_thread.cancel();
        m_thread.wait();
    }

    void everyCameraStreams_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("thumbnail");
        // The last two, the ONVIF cameras, stream once their addresses are resolved.
        for (int i = 0; i < 10; ++i) {
            const QString title = m_sim.cameras().at(i).value(QStringLiteral("title")).toString();
            QTest::newRow(qPrintable(title + QStringLiteral(" full"))) << i << false;
            QTest::newRow(qPrintable(title + QStringLiteral(" thumbnail"))) << i << true;
        }
    }

    void everyCameraStreams()
    {
        QFETCH(int, index);
        QFETCH(bool, thumbnail);
        const Value camera = m_sim.cameras().at(index);
        auto reader = VideoStreamFactory::createStream(camera.value(QStringLiteral("video.parameters")), thumbnail, &m_thread);
        QVERIFY(reader);
        QCOMPARE(firstPicture(std::move(reader)), expectedSize(camera, thumbnail));
    }

    void sonyAndCanonProfilesStream()
    {
        for (const char *title : { "Market", "Museum" }) {
            Value video = m_sim.camera(QString::fromLatin1(title)).value(QStringLiteral("video.parameters")).deepCopy();
            video.remove(QStringLiteral("video.path"));
            const bool sony = QByteArray(title) == "Market";
            video.insert(QStringLiteral("video.type"), sony ? QStringLiteral("SONYMJPEG") : QStringLiteral("CANONMJPEG"));
            const SonyVideoProfile sonyProfile;
            const CanonVideoProfile canonProfile;
            const VideoProfile &profile = sony ? static_cast<const VideoProfile &>(sonyProfile) : canonProfile;
            auto reader = profile.streamFromParms(video, false, &m_thread);
            QVERIFY(reader);
            QCOMPARE(firstPicture(std::move(reader)), sony ? QSize(640, 480) : QSize(320, 240));
        }
    }

    void everyHeadFollowsTheFinger_data()
    {
        QTest::addColumn<QString>("title");
        for (const Value &camera : m_sim.cameras().items()) {
            if (camera.contains(QStringLiteral("control.parameters"))) {
                const QString title = camera.value(QStringLiteral("title")).toString();
                QTest::newRow(qPrintable(title)) << title;
            }
        }
    }

    void everyHeadFollowsTheFinger()
    {
        QFETCH(QString, title);
        const Value camera = m_sim.camera(title);
        const auto changeOf = [&](const char *axis, float dx, float dy, float pinch) {
            m_sim.reset();
            const double before = m_sim.state(title).value(QString::fromLatin1(axis)).toDouble();
            const QJsonObject after = steer(camera, dx, dy, pinch);
            return std::pair(after, after.value(QString::fromLatin1(axis)).toDouble() - before);
        };
        // The finger moves left: the camera turns right, and rests after the lift.
        auto [state, change] = changeOf("pan", -12, 0, 0);
        QVERIFY2(!state.isEmpty(), "no controller");
        QVERIFY2(change > 0.5, qPrintable(QString::number(change)));
        QVERIFY(!state.value(QStringLiteral("moving")).toBool());
        const double pan = state.value(QStringLiteral("pan")).toDouble();
        QTest::qWait(300);
        QCOMPARE(m_sim.state(title).value(QStringLiteral("pan")).toDouble(), pan);

        // The finger moves down: the camera tilts up.
        std::tie(state, change) = changeOf("tilt", 0, 12, 0);
        QVERIFY2(change > 0.5, qPrintable(QString::number(change)));

        // Spreading fingers zoom in.
        std::tie(state, change) = changeOf("zoom", 0, 0, 15);
        QVERIFY2(change > 0.05, qPrintable(QString::number(change)));
        QCOMPARE(state.value(QStringLiteral("badFrames")).toInt(), 0);
    }

    // A self-signed camera plays only once its certificate is trusted, and steers on
    // that trust; restarted with a new certificate it is refused until trusted again.
    void selfSignedCameraTrustedOnFirstUse()
    {
        const auto config = [](quint16 port) {
            return QStringLiteral(R"({"cameras": [{"name": "Secure", "family": "axis", "https": true, "ptz": "axis",
                                      "auth": "digest", "user": "u", "password": "p", "port": %1}]})")
                .arg(port)
                .toUtf8();
        };
        auto sim = std::make_unique<CamsimProcess>();
        QVERIFY2(sim->start(config(0)), qPrintable(sim->errorOutput()));
        const Value camera = sim->camera(QStringLiteral("Secure"));
        const auto videoOf = [](const Value &definition) { return definition.value(QStringLiteral("video.parameters")); };
        const auto presentedBy = [this](const Value &video, CameraState expected) {
            auto reader = VideoStreamFactory::createStream(video, false, &m_thread);
            reader->start();
            [[maybe_unused]] const bool refused = QTest::qWaitFor([&] { return reader->state() == expected; }, 10000);
            return std::pair(reader->state(), reader->presentedCertificate());
        };
        const auto [untrusted, fingerprint] = presentedBy(videoOf(camera), CameraState::UntrustedCertificate);
        QCOMPARE(untrusted, CameraState::UntrustedCertificate);
        QCOMPARE(fingerprint.size(), 64);

        const Value trusted = CertificatePin::trusting(camera, fingerprint);
        QCOMPARE(firstPicture(VideoStreamFactory::createStream(videoOf(trusted), false, &m_thread)), expectedSize(trusted, false));
        std::unique_ptr<PTZController> controller = PTZControlFactory::createControllerWithParameters(trusted);
        QVERIFY(controller);
        for (int i = 0; i < 10; ++i) {
            controller->updateChangeX(-12, 0, 0.02);
            QTest::qWait(20);
        }
        QTRY_VERIFY(!sim->state(QStringLiteral("Secure")).value(QStringLiteral("commands")).toObject().isEmpty());
        controller->disconnect();

        const auto port = static_cast<quint16>(videoOf(camera).value(QStringLiteral("video.port")).toInteger());
        sim = std::make_unique<CamsimProcess>();
        QVERIFY2(sim->start(config(port)), qPrintable(sim->errorOutput()));
        const auto [changed, newFingerprint] = presentedBy(videoOf(trusted), CameraState::CertificateChanged);
        QCOMPARE(changed, CameraState::CertificateChanged);
        QVERIFY(newFingerprint.size() == 64 && newFingerprint != fingerprint);
    }
};

QTEST_GUILESS_MAIN(TestCamsimEndToEnd)
#include "tst_camsim_e2e.moc"
