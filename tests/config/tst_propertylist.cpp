#include "config/PropertyList.h"

#include "support/HostileInput.h"

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

QByteArray bigEndian(quint64 v, int size)
{
    QByteArray out(size, '\0');
    for (int i = size - 1; i >= 0; --i, v >>= 8)
        out[i] = char(v & 0xFF);
    return out;
}

// A binary property list laid out by hand from raw objects; the first is the top.
QByteArray bplist(const QList<QByteArray> &objects, int refSize = 1)
{
    QByteArray out("bplist00");
    QList<qsizetype> offsets;
    for (const QByteArray &object : objects) {
        offsets.append(out.size());
        out += object;
    }
    const qsizetype table = out.size();
    for (const qsizetype offset : offsets)
        out += bigEndian(quint64(offset), 4);
    out += QByteArray(6, '\0') + char(4) + char(refSize);
    return out + bigEndian(quint64(objects.size()), 8) + bigEndian(0, 8) + bigEndian(quint64(table), 8);
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

    // Every millisecond, after and before the reference date, reads back as written.
    void datesSurviveRepeatedSaves()
    {
        Value dates = Value::array();
        for (int ms = 0; ms < 1000; ++ms) {
            dates.append(Value::date(QDateTime(QDate(2026, 3, 1), QTime(9, 15, 7, ms), Qt::UTC)));
            dates.append(Value::date(QDateTime(QDate(1990, 3, 1), QTime(9, 15, 7, ms), Qt::UTC)));
        }
        const QByteArray first = PropertyList::toBinary(dates, nullptr);
        const Value back = PropertyList::fromData(first, nullptr);
        QVERIFY(back == dates);
        QCOMPARE(PropertyList::toBinary(back, nullptr), first);
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
        QTest::newRow("xml too deep") << "<plist>" + QByteArray("<array>").repeated(100000) + "</plist>";
        QTest::newRow("xml value without a key") << QByteArray("<plist><dict><string>x</string></dict></plist>");
        QTest::newRow("xml key with NUL") << QByteArray("<plist><dict><key>a&#0;</key><string>x</string></dict></plist>");

        // A dictionary whose key holds a NUL, as it came in a link.
        QTest::newRow("key with NUL") << QByteArray::fromBase64(NulKeyPayload);
        QList<QByteArray> nested;
        for (quint32 i = 1; i < 100000; ++i)
            nested.append("\xA1" + bigEndian(i, 4));
        nested.append("\xA0");
        QTest::newRow("too deep") << bplist(nested, 4);
        QTest::newRow("container inside itself") << bplist({ "\xA1\x00" });
        QTest::newRow("container twice") << bplist({ "\xA2\x01\x01", "\xA0" });
        QTest::newRow("reference past the objects") << bplist({ "\xA1\x05" });
        QTest::newRow("key not text") << bplist({ "\xD1\x01\x02", "\x10\x01", "\x10\x02" });
        QTest::newRow("text past the data") << bplist({ "\x5F\x10\x7F" "ab" });
        QTest::newRow("huge count") << bplist({ "\xAF\x13" + bigEndian(quint64(1) << 62, 8) });
        QTest::newRow("broken UTF-16") << bplist({ QByteArray("\x61\xD8\x00", 3) });
        QTest::newRow("NUL in text") << bplist({ QByteArray("\x51\x00", 2) });
        QByteArray outside = bplist({ "\xA0" });
        outside.replace(outside.size() - 8, 8, bigEndian(1000, 8));
        QTest::newRow("offset table outside") << outside;
        // One megabyte referenced a hundred times.
        QTest::newRow("expands too far") << bplist({ "\xAF\x10\x64" + QByteArray(100, '\x01'),
                                                     "\x4F\x12" + bigEndian(1 << 20, 4) + QByteArray(1 << 20, 'x') });
    }

    void badInputIsAnError()
    {
        QFETCH(QByteArray, data);
        QString error;
        QVERIFY(PropertyList::fromData(data, &error).isNull());
        QVERIFY(!error.isEmpty());
    }

    // Writers keep one copy of repeated text; sharing leaves is not an expansion.
    void sharedLeavesAreRead()
    {
        QString error;
        const Value list = PropertyList::fromData(bplist({ "\xA3\x01\x01\x02", "\x51x", "\x14" + bigEndian(0, 8) + bigEndian(7, 8) }), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(list == Value::array({ Value("x"), Value("x"), Value(7) }));
    }
};

QTEST_APPLESS_MAIN(TestPropertyList)
#include "tst_propertylist.moc"
