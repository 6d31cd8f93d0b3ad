#include "config/Value.h"

#include <QSet>
#include <QTest>

class TestValue final : public QObject
{
    Q_OBJECT

private slots:
    void truthValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("truth");
        QTest::newRow("y") << QStringLiteral("y") << true;
        QTest::newRow("Yes") << QStringLiteral("Yes") << true;
        QTest::newRow("true") << QStringLiteral("true") << true;
        QTest::newRow("1") << QStringLiteral("1") << true;
        QTest::newRow("blanks, sign, zeros") << QStringLiteral("  +007") << true;
        QTest::newRow("negative") << QStringLiteral("-1") << true;
        QTest::newRow("n") << QStringLiteral("n") << false;
        QTest::newRow("0") << QStringLiteral("0") << false;
        QTest::newRow("000") << QStringLiteral("000") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("false") << QStringLiteral("false") << false;
        QTest::newRow("on") << QStringLiteral("on") << false;
        QTest::newRow("sign then letter") << QStringLiteral("-y") << true;
    }

    void truthValues()
    {
        QFETCH(QString, text);
        QFETCH(bool, truth);
        QCOMPARE(Value(text).toBool(), truth);
    }

    void absentEqualsEmpty()
    {
        Value camera = Value::dictionary();
        QVERIFY(!camera.value(QStringLiteral("enabled")).toBool());
        QCOMPARE(camera.value(QStringLiteral("video.port")).toInteger(), 0);
        QCOMPARE(camera.value(QStringLiteral("title")).toString(), QString());
        camera.insert(QStringLiteral("title"), QString());
        QVERIFY(!camera.hasText(QStringLiteral("title")));
        QVERIFY(!camera.hasText(QStringLiteral("missing")));
        camera.insert(QStringLiteral("title"), QStringLiteral("Door"));
        QVERIFY(camera.hasText(QStringLiteral("title")));
        // Reads through a leaf or an absent node give absent, writes do nothing.
        QVERIFY(camera.value(QStringLiteral("title")).value(QStringLiteral("x")).isNull());
        Value leaf(QStringLiteral("text"));
        leaf.insert(QStringLiteral("k"), 1);
        leaf.append(1);
        QCOMPARE(leaf.size(), 0);
    }

    void integersByLeadingDigits()
    {
        QCOMPARE(Value(QStringLiteral("8080")).toInteger(), 8080);
        QCOMPARE(Value(QStringLiteral(" 12abc")).toInteger(), 12);
        QCOMPARE(Value(QStringLiteral("-3")).toInteger(), -3);
        QCOMPARE(Value(QStringLiteral("abc")).toInteger(), 0);
        QCOMPARE(Value(QStringLiteral("99999999999999999999999")).toInteger(), std::numeric_limits<qint64>::max());
        QCOMPARE(Value(qint64(-5)).toInteger(), -5);
        QCOMPARE(Value(2.9).toInteger(), 2);
        QCOMPARE(Value(qint64(42)).toString(), QStringLiteral("42"));
    }

    void sharedNodesChangeInPlace()
    {
        Value group = Value::dictionary();
        Value cameras = Value::array();
        group.insert(QStringLiteral("cameras"), cameras);
        Value camera = Value::dictionary();
        cameras.append(camera);
        camera.insert(QStringLiteral("title"), QStringLiteral("Gate"));
        QCOMPARE(group.value(QStringLiteral("cameras")).at(0).value(QStringLiteral("title")).toString(),
                 QStringLiteral("Gate"));
        QVERIFY(group.value(QStringLiteral("cameras")).at(0).isSameObject(camera));
        QCOMPARE(cameras.indexOfIdentical(camera), 0);
    }

    void identityAndContentEquality()
    {
        Value a = Value::dictionary();
        a.insert(QStringLiteral("video.host"), QStringLiteral("10.0.0.1"));
        Value b = a.deepCopy();
        QVERIFY(a == b);
        QVERIFY(!a.isSameObject(b));
        QCOMPARE(qHash(a), qHash(b));
        b.insert(QStringLiteral("video.port"), QStringLiteral("80"));
        QVERIFY(a != b);
        QVERIFY(!a.contains(QStringLiteral("video.port")));

        Value list = Value::array({ a, b });
        QCOMPARE(list.indexOfIdentical(a.deepCopy()), -1);
        QCOMPARE(list.indexOfIdentical(b), 1);

        // Numbers compare by value across integer and real, and hash alike.
        QVERIFY(Value(qint64(3)) == Value(3.0));
        QCOMPARE(qHash(Value(qint64(3))), qHash(Value(3.0)));
        QVERIFY(Value(QStringLiteral("3")) != Value(3));
        QVERIFY(Value(true) != Value(1));

        QSet<Value> set{ a, a.deepCopy(), b };
        QCOMPARE(set.size(), 2);
    }

    void deepCopyIsIndependentButSharesHandles()
    {
        auto service = std::make_shared<int>(5);
        Value camera = Value::dictionary();
        Value video = Value::dictionary();
        camera.insert(QStringLiteral("video.parameters"), video);
        camera.insert(QStringLiteral("service"), Value::handle(service));
        const Value copy = camera.deepCopy();
        video.insert(QStringLiteral("video.host"), QStringLiteral("h"));
        QVERIFY(copy.value(QStringLiteral("video.parameters")).size() == 0);
        QCOMPARE(copy.value(QStringLiteral("service")).toHandle(), std::static_pointer_cast<void>(service));
        QVERIFY(copy.value(QStringLiteral("service")).isSameObject(camera.value(QStringLiteral("service"))));
    }

    void descriptionIsOneReadableLine()
    {
        Value camera = Value::dictionary();
        camera.insert(QStringLiteral("title"), QStringLiteral("Say \"hi\"\nthere"));
        camera.insert(QStringLiteral("uid"), 3);
        camera.insert(QStringLiteral("list"), Value::array({ Value(true), Value::data("\x01\xff") }));
        QCOMPARE(camera.description(),
                 QStringLiteral("{\"list\" = (true, <01ff>); \"title\" = \"Say \\\"hi\\\"\\nthere\"; \"uid\" = 3}"));
        QCOMPARE(Value().description(), QStringLiteral("(null)"));
    }
};

QTEST_APPLESS_MAIN(TestValue)
#include "tst_value.moc"
