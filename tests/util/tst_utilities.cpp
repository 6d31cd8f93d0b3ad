#include "util/Utilities.h"

#include <QTest>

class TestUtilities final : public QObject
{
    Q_OBJECT

private slots:
    void base64Rfc4648_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QString>("encoded");
        // RFC 4648 section 10.
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("f") << QByteArray("f") << QStringLiteral("Zg==");
        QTest::newRow("fo") << QByteArray("fo") << QStringLiteral("Zm8=");
        QTest::newRow("foo") << QByteArray("foo") << QStringLiteral("Zm9v");
        QTest::newRow("foob") << QByteArray("foob") << QStringLiteral("Zm9vYg==");
        QTest::newRow("fooba") << QByteArray("fooba") << QStringLiteral("Zm9vYmE=");
        QTest::newRow("foobar") << QByteArray("foobar") << QStringLiteral("Zm9vYmFy");
        QTest::newRow("high bytes") << QByteArray("\xff\xfe\xfd\x00\x80", 5) << QStringLiteral("//79AIA=");
    }

    void base64Rfc4648()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QString, encoded);
        QCOMPARE(Utilities::base64Encode(plain), encoded);
        QCOMPARE(Utilities::base64Decode(encoded), plain);
    }

    void base64RoundTripsEveryLengthWithoutLineBreaks()
    {
        QByteArray data;
        for (int n = 0; n < 300; ++n) {
            const QString text = Utilities::base64Encode(data);
            QCOMPARE(text.size(), (n + 2) / 3 * 4);
            QVERIFY(!text.contains(QLatin1Char('\n')));
            QCOMPARE(text.endsWith(QLatin1StringView("==")), n % 3 == 1);
            QCOMPARE(text.endsWith(QLatin1Char('=')), n % 3 != 0);
            QCOMPARE(Utilities::base64Decode(text), data);
            QCOMPARE(QByteArray::fromBase64(text.toLatin1()), data);
            data.append(static_cast<char>((n * 37 + 11) & 0xFF));
        }
    }

    void base64DecodeIsLenient()
    {
        // "-" is outside the alphabet and reads as 0 ("A"); the length is still full.
        QCOMPARE(Utilities::base64Decode(QStringLiteral("Zm9-")), Utilities::base64Decode(QStringLiteral("Zm9A")));
        QCOMPARE(Utilities::base64Decode(QStringLiteral("Zm9-")).size(), 3);
        // Non-ASCII text decodes as zeros rather than failing.
        QCOMPARE(Utilities::base64Decode(QStringLiteral("\u00e9\u00e9\u00e9\u00e9")), QByteArray(3, '\0'));
    }

    void base64DecodeStaysInsideShortAndUnalignedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("one char") << QStringLiteral("Z") << 0;
        QTest::newRow("one pad") << QStringLiteral("=") << 0;
        QTest::newRow("two pads") << QStringLiteral("==") << 0;
        QTest::newRow("two chars") << QStringLiteral("Zm") << 0;
        QTest::newRow("three chars") << QStringLiteral("Zm9") << 0;
        QTest::newRow("five chars") << QStringLiteral("Zm9vY") << 3;
        QTest::newRow("six chars") << QStringLiteral("Zm9vYg") << 3;
        QTest::newRow("seven with pad") << QStringLiteral("Zm9vYg=") << 2;
        QTest::newRow("pads only") << QStringLiteral("====") << 1;
    }

    void base64DecodeStaysInsideShortAndUnalignedText()
    {
        // The sanitizers catch any read before the text or write past the output.
        QFETCH(QString, text);
        QFETCH(int, length);
        QCOMPARE(Utilities::base64Decode(text).size(), length);
    }

    void decimalValues()
    {
        QCOMPARE(getDecimalValue('A'), 0);
        QCOMPARE(getDecimalValue('z'), 51);
        QCOMPARE(getDecimalValue('0'), 52);
        QCOMPARE(getDecimalValue('+'), 62);
        QCOMPARE(getDecimalValue('/'), 63);
        for (char c : { '=', '-', '_', ' ', '\n', static_cast<char>(0xC3) })
            QCOMPARE(getDecimalValue(c), 0);
    }

    void indexOfStringIsAByteOffset()
    {
        QCOMPARE(Utilities::indexOfString(QStringLiteral("?"), QStringLiteral("/axis-cgi/mjpg/video.cgi")), -1);
        QCOMPARE(Utilities::indexOfString(QStringLiteral("?"), QStringLiteral("a?b")), 1);
        // "é" is two bytes in UTF-8, so the "?" after it is at byte 2, not character 1.
        QCOMPARE(Utilities::indexOfString(QStringLiteral("?"), QStringLiteral("\u00e9?")), 2);
        QCOMPARE(Utilities::indexOfString(QString(), QStringLiteral("abc")), 0);
        // Text past a NUL is not searched, as with C strings.
        QCOMPARE(Utilities::indexOfString(QStringLiteral("b"), QString::fromLatin1("a\0b", 3)), -1);
    }

    void memmemEdges()
    {
        const char hay[] = { 'a', 'b', 'c', '\r', '\n', '\r', '\n' };
        QCOMPARE(vyo::memmem(hay, sizeof hay, "", 0), static_cast<const void *>(hay));
        QCOMPARE(vyo::memmem(hay, 2, "abc", 3), nullptr);
        QCOMPARE(vyo::memmem(hay, sizeof hay, "\r\n\r\n", 4), static_cast<const void *>(hay + 3));
        QCOMPARE(vyo::memmem(hay, sizeof hay, "abc", 3), static_cast<const void *>(hay));
        QCOMPARE(vyo::memmem(hay, sizeof hay, "abd", 3), nullptr);
        QCOMPARE(vyo::memmem(hay, 0, "a", 1), nullptr);
        // A match ending exactly at the haystack's end, in an exactly-sized heap
        // buffer so that any read past it is caught.
        const QByteArray exact("xxabc");
        auto *heap = new char[5];
        std::memcpy(heap, exact.constData(), 5);
        QCOMPARE(vyo::memmem(heap, 5, "abc", 3), static_cast<const void *>(heap + 2));
        QCOMPARE(vyo::memmem(heap, 5, "abcd", 4), nullptr);
        delete[] heap;
    }
};

QTEST_APPLESS_MAIN(TestUtilities)
#include "tst_utilities.moc"
