#include "config/LiveCameraList.h"

#include <QTest>

namespace {

Value camera(const char *title, const char *enabled, const char *host)
{
    Value cam = Value::dictionary();
    cam.insert(QStringLiteral("title"), title);
    if (enabled)
        cam.insert(QStringLiteral("enabled"), enabled);
    if (host) {
        Value video = Value::dictionary();
        video.insert(QStringLiteral("video.host"), host);
        video.insert(QStringLiteral("video.type"), QStringLiteral("GENMJPEG"));
        cam.insert(QStringLiteral("video.parameters"), video);
    }
    return cam;
}

QStringList titles(const QList<Value> &list)
{
    QStringList out;
    for (const Value &cam : list)
        out.append(cam.value(QStringLiteral("title")).toString());
    return out;
}

} // namespace

class TestLiveCameraList final : public QObject
{
    Q_OBJECT

private slots:
    void enabledGroupCamerasThenNewDetectedOnes()
    {
        Value group = Value::dictionary();
        const Value a = camera("A", "y", "10.0.0.1");
        group.insert(QStringLiteral("cameras"),
                     Value::array({ a, camera("B", "n", "10.0.0.2"), camera("C", nullptr, "10.0.0.3"),
                                    camera("D", "1", "10.0.0.4") }));
        // Detected: one equal to A (a different object), one equal to the disabled B,
        // one new, one without video parameters.
        const QList<Value> detected = { camera("A'", nullptr, "10.0.0.1"), camera("B'", nullptr, "10.0.0.2"),
                                        camera("E", nullptr, "10.0.0.5"), camera("F", nullptr, nullptr) };

        const QList<Value> off = LiveCameraList::getCurrentCameraList(group, detected, false);
        QCOMPARE(titles(off), (QStringList{ QStringLiteral("A"), QStringLiteral("D") }));
        QVERIFY(off.at(0).isSameObject(a));

        const QList<Value> on = LiveCameraList::getCurrentCameraList(group, detected, true);
        QCOMPARE(titles(on), (QStringList{ QStringLiteral("A"), QStringLiteral("D"), QStringLiteral("B'"),
                                           QStringLiteral("E") }));
    }

    void noSelectedGroup()
    {
        QVERIFY(LiveCameraList::getCurrentCameraList(Value(), {}, true).isEmpty());
        QCOMPARE(LiveCameraList::getCurrentCameraList(Value(), { camera("E", nullptr, "h") }, true).size(), 1);
    }
};

QTEST_APPLESS_MAIN(TestLiveCameraList)
#include "tst_livecameralist.moc"
