#include "logcapture/LogCapture.h"
#include "ptz/TestDefinitions.h"
#include "tools/CamsimProcess.h"

#include "ptz/OnvifPTZController.h"
#include "ptz/PTZControlFactory.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QByteArray Config = R"({"discoveryPort": 37022, "cameras": [
 {"name": "Lobby", "family": "onvif", "ptz": "onvif", "user": "admin", "password": "s&cret", "fps": 5},
 {"name": "Pier", "family": "onvif", "ptz": "onvif", "prefixes": "numbered", "user": "admin", "password": "pw",
  "fps": 5, "quirks": {"ignoreStop": true, "clockOffset": 3600}},
 {"name": "Digest", "family": "onvif", "ptz": "onvif", "user": "admin", "password": "pw", "fps": 5,
  "quirks": {"digestOnly": true}},
 {"name": "Fixed", "family": "onvif", "fps": 5}
]})";

} // namespace

// The ONVIF PTZ controller against vyo-camsim's ONVIF devices: what gestures send,
// the stop that a device ignores, the clock and Digest quirks, presets.
class TestOnvifPTZ final : public QObject
{
    Q_OBJECT

private:
    CamsimProcess m_sim;
    ManualClock m_clock;

    std::unique_ptr<OnvifPTZController> connectTo(const char *title, const char *password = nullptr)
    {
        Value camera = m_sim.camera(QString::fromLatin1(title)).deepCopy();
        if (password)
            camera.value(QStringLiteral("control.parameters")).insert(QStringLiteral("control.password"),
                                                                       QString::fromLatin1(password));
        std::unique_ptr<PTZController> made = PTZControlFactory::createControllerWithParameters(camera, m_clock);
        auto *onvif = qobject_cast<OnvifPTZController *>(made.get());
        if (!onvif)
            return nullptr;
        made.release();
        return std::unique_ptr<OnvifPTZController>(onvif);
    }

    // The moves and stops the camera received since the last reset.
    QStringList commands(const char *title) const
    {
        QStringList list;
        const QJsonArray recent = m_sim.state(QString::fromLatin1(title)).value(QStringLiteral("recentCommands")).toArray();
        for (const QJsonValue &c : recent) {
            if (c.toString().startsWith(QLatin1StringView("ContinuousMove")) || c.toString().startsWith(QLatin1StringView("Stop")))
                list.append(c.toString());
        }
        return list;
    }

    // Ticks, the network running in between, until the camera got count commands.
    bool tickUntil(const char *title, int count)
    {
        for (int i = 0; i < 100; ++i) {
            tick(m_clock);
            QTest::qWait(20);
            if (commands(title).size() >= count)
                return true;
        }
        return false;
    }

private slots:
    void initTestCase() { QVERIFY2(m_sim.start(Config), qPrintable(m_sim.errorOutput())); }
    void init() { m_sim.reset(); }

    // Full speed at the Axis finger speeds, scaled down with the finger; every move
    // with a Timeout; one Stop after the motion, none while holding, where the move
    // is sent again before its Timeout runs out.
    void dragsPinchesAndHolds()
    {
        auto controller = connectTo("Lobby");
        QVERIFY(controller);
        QTRY_VERIFY(controller->isReady());
        QVERIFY(commands("Lobby").isEmpty());

        controller->updateChangeX(-50, 35, 0.05);
        QVERIFY(tickUntil("Lobby", 1));
        controller->updateChangeX(25, 0, 0.1);
        controller->updateChangePinch(-15, 0.05);
        QVERIFY(tickUntil("Lobby", 2));
        controller->updateChangePinch(3, 0.1);
        QVERIFY(tickUntil("Lobby", 3));
        QVERIFY(tickUntil("Lobby", 4));
        idleTicks(5);
        QCOMPARE(commands("Lobby"), texts({ "ContinuousMove pan=1 tilt=1 zoom=0 timeout=PT2S",
                                            "ContinuousMove pan=-0.25 tilt=0 zoom=-1 timeout=PT2S",
                                            "ContinuousMove pan=0 tilt=0 zoom=0.1 timeout=PT2S",
                                            "Stop panTilt=true zoom=true" }));
        QVERIFY(!m_sim.state(QStringLiteral("Lobby")).value(QStringLiteral("moving")).toBool());

        m_sim.reset();
        controller->setHolding(true, -20, 0, 0, 0.1);
        QVERIFY(tickUntil("Lobby", 1));
        for (int i = 0; i < 25; ++i) {
            tick(m_clock);
            QTest::qWait(5);
        }
        QTRY_COMPARE(commands("Lobby").size(), 3);
        QVERIFY(m_sim.state(QStringLiteral("Lobby")).value(QStringLiteral("moving")).toBool());
        controller->setHolding(false, 0, 0, 0, 0);
        QVERIFY(tickUntil("Lobby", 4));
        QCOMPARE(commands("Lobby"), texts({ "ContinuousMove pan=0.2 tilt=0 zoom=0 timeout=PT2S",
                                            "ContinuousMove pan=0.2 tilt=0 zoom=0 timeout=PT2S",
                                            "ContinuousMove pan=0.2 tilt=0 zoom=0 timeout=PT2S",
                                            "Stop panTilt=true zoom=true" }));
        controller->disconnect();
    }

    // The device answers Stop and keeps moving: GetStatus shows it and a zero move
    // follows. Its clock is an hour ahead, which the UsernameToken has to follow.
    void stopIgnored()
    {
        auto controller = connectTo("Pier");
        QTRY_VERIFY(controller->isReady());
        controller->updateChangeX(-10, 0, 0.1);
        QVERIFY(tickUntil("Pier", 1));
        QVERIFY(tickUntil("Pier", 3));
        QCOMPARE(commands("Pier"), texts({ "ContinuousMove pan=0.1 tilt=0 zoom=0 timeout=PT2S",
                                           "Stop panTilt=true zoom=true",
                                           "ContinuousMove pan=0 tilt=0 zoom=0 timeout=PT2S" }));
        QVERIFY(!m_sim.state(QStringLiteral("Pier")).value(QStringLiteral("moving")).toBool());
        controller->disconnect();
    }

    // A device that wants HTTP Digest steers; a refused password is one log line and
    // no traffic after it; a camera without PTZ is never ready and offers no presets.
    void authenticationAndNoPtz()
    {
        auto digest = connectTo("Digest");
        QTRY_VERIFY(digest->isReady());
        digest->updateChangeX(0, -70, 0.1);
        QVERIFY(tickUntil("Digest", 1));
        QCOMPARE(commands("Digest"), texts({ "ContinuousMove pan=0 tilt=-1 zoom=0 timeout=PT2S" }));

        LogCapture log;
        auto refused = connectTo("Lobby", "wrong");
        QTRY_COMPARE(log.count(QStringLiteral("ONVIF PTZ: GetCapabilities failed")), 1);
        // The user turned PTZ on for an ONVIF camera without a head.
        const quint16 port = static_cast<quint16>(m_sim.camera(QStringLiteral("Fixed"))
                                                      .value(QStringLiteral("video.parameters"))
                                                      .value(QStringLiteral("video.port"))
                                                      .toInteger());
        std::unique_ptr<PTZController> fixed =
            PTZControlFactory::createControllerWithParameters(loopbackCamera(QStringLiteral("ONVIF PTZ"), port), m_clock);
        QTRY_COMPARE(m_sim.state(QStringLiteral("Fixed")).value(QStringLiteral("commands")).toObject().value(
                         QStringLiteral("GetCapabilities")).toInt(),
                     1);
        for (PTZController *c : { static_cast<PTZController *>(refused.get()), fixed.get() }) {
            c->updateChangeX(-50, 0, 0.1);
            idleTicks(5);
            QVERIFY(!c->supportsPresets());
        }
        QVERIFY(!refused->isReady());
        QCOMPARE(log.count(QStringLiteral("ONVIF PTZ: GetCapabilities failed")), 1);
        QVERIFY(commands("Lobby").isEmpty());
    }

    void presets()
    {
        auto controller = connectTo("Lobby");
        QSignalSpy support(controller.get(), &PTZController::presetSupportChanged);
        QVERIFY(support.wait(10000));
        QVERIFY(controller->supportsPresets());
        QSignalSpy saved(controller.get(), &PTZController::presetSaved);
        QSignalSpy listed(controller.get(), &PTZController::presetsListed);
        QSignalSpy failed(controller.get(), &PTZController::presetFailed);
        const double pan = m_sim.state(QStringLiteral("Lobby")).value(QStringLiteral("pan")).toDouble();
        controller->savePreset(QStringLiteral("Gate & <Quay>"));
        QVERIFY(saved.wait(5000));
        controller->listPresets();
        QVERIFY(listed.wait(5000));
        const auto presets = listed.takeFirst().at(0).value<QList<PTZPreset>>();
        QCOMPARE(presets.size(), 1);
        QCOMPARE(presets.at(0).name, QStringLiteral("Gate & <Quay>"));

        controller->updateChangeX(-100, 0, 0.1);
        QVERIFY(tickUntil("Lobby", 2));
        QTRY_VERIFY(m_sim.state(QStringLiteral("Lobby")).value(QStringLiteral("pan")).toDouble() > pan + 1);
        idleTicks(5);
        controller->gotoPreset(presets.at(0).token);
        QTRY_COMPARE(m_sim.state(QStringLiteral("Lobby")).value(QStringLiteral("pan")).toDouble(), pan);
        controller->gotoPreset(QStringLiteral("no such"));
        QVERIFY(failed.wait(5000));
        QVERIFY(!failed.at(0).at(0).toString().isEmpty());
    }

private:
    void idleTicks(int count)
    {
        for (int i = 0; i < count; ++i) {
            tick(m_clock);
            QTest::qWait(10);
        }
    }
};

QTEST_GUILESS_MAIN(TestOnvifPTZ)
#include "tst_onvifptz.moc"
