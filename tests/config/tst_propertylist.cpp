#include "config/PropertyList.h"

#include <QTest>

namespace {

// The XML form keeps dates to the second only.
Value sampleTree(int ms = 250)
{
    Value root = Value::dictionary();
    root.insert(QStringLiteral("text"), QStringLiteral("Käse & <brot>"));
    root.insert(QStringLiteral("empty"), QString());
    root.insert(QStringLiteral("positive"), qint64(1) << 40);
    root.insert(QStringLiteral("negative"), qint64(-7));
    root.insert(QStringLiteral("min"), std::numeric_limits<qint64>::min());
    root.insert(QStringLiteral("real"), 2.5);
    root.insert(QStringLiteral("flag"), true);
    root.insert(QStringLiteral("when"), Value::date(QDateTime(QDate(2026, 12, 7), QTime(17, 30, 5, ms), Qt::UTC)));
    root.insert(QStringLiteral("before epoch"), Value::date(QDateTime(QDate(1999, 1, 1), QTime(0, 0, 0, ms * 2), Qt::UTC)));
    root.insert(QStringLiteral("bytes"), Value::data(QByteArray("\x00\x01\xfe\xff", 4)));
    root.insert(QStringLiteral("list"), Value::array({ Value(1), Value::dictionary(), Value::array() }));
    return root;
}

} // namespace

class TestPropertyList final : public QObject
{
    Q_OBJECT

private slots:
    void binaryRoundTrip()
    {
        const Value root = sampleTree();
        QString error = QStringLiteral("stale");
        const QByteArray bytes = PropertyList::toBinary(root, &error);
        QVERIFY(bytes.startsWith("bplist00"));
        QVERIFY(error.isEmpty());
        const Value back = PropertyList::fromData(bytes, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(back.description(), root.description());
        QVERIFY(back == root);
    }

    void xmlRoundTripAndMutability()
    {
        QString error;
        const QByteArray xml = PropertyList::toXml(sampleTree(0), &error);
        QVERIFY(xml.contains("<plist"));
        Value back = PropertyList::fromData(xml, &error);
        QVERIFY(back == sampleTree(0));
        // Containers that were read can be changed in place.
        Value list = back.value(QStringLiteral("list"));
        list.value(QStringLiteral("x"));
        list.at(1).insert(QStringLiteral("k"), QStringLiteral("v"));
        QCOMPARE(back.value(QStringLiteral("list")).at(1).value(QStringLiteral("k")).toString(), QStringLiteral("v"));
    }

    void unserialisableTreesFailWithADescription()
    {
        Value camera = Value::dictionary();
        camera.insert(QStringLiteral("service"), Value::handle(std::make_shared<int>(1)));
        Value groups = Value::array({ camera });
        QString error;
        QVERIFY(PropertyList::toBinary(groups, &error).isEmpty());
        QVERIFY(error.contains(QStringLiteral("handle")));
        QVERIFY(PropertyList::toBinary(Value(), &error).isEmpty());
        QVERIFY(!error.isEmpty());

        Value deep = Value::array();
        Value inner = deep;
        for (int i = 0; i < PropertyList::MaxDepth + 2; ++i) {
            Value next = Value::array();
            inner.append(next);
            inner = next;
        }
        QVERIFY(PropertyList::toBinary(deep, &error).isEmpty());
        QVERIFY(error.contains(QStringLiteral("nesting")));
    }

    void badInputIsAnError_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("root:x:0:0:root:/root:/bin/bash\n");
        QTest::newRow("truncated binary") << PropertyList::toBinary(sampleTree(), nullptr).left(40);
        QTest::newRow("signature only") << QByteArray("bplist00");
        QTest::newRow("broken xml") << QByteArray("<?xml version=\"1.0\"?><plist><dict><key>a</key>");
        QTest::newRow("binary noise") << QByteArray("\x01\x02\x00\x03garbage", 11);
        QByteArray deep = "<plist version=\"1.0\">";
        for (int i = 0; i < 100; ++i)
            deep += "<array>";
        for (int i = 0; i < 100; ++i)
            deep += "</array>";
        deep += "</plist>";
        QTest::newRow("too deep") << deep;
    }

    void badInputIsAnError()
    {
        QFETCH(QByteArray, data);
        QString error;
        QVERIFY(PropertyList::fromData(data, &error).isNull());
        QVERIFY(!error.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestPropertyList)
#include "tst_propertylist.moc"
