#include "config/QelCrypto.h"

#include "logcapture/LogCapture.h"

#include <QTest>

class TestQelCrypto final : public QObject
{
    Q_OBJECT

private:
    LogCapture m_log;

private slots:
    void init() { m_log.clear(); }

    void knownAnswers()
    {
        // Produced independently with: openssl enc -des-cbc -K <key> -iv <iv>
        QCOMPARE(QelCrypto::encryptBlob("hello vyo", QelCrypto::STORAGE_IV)->toHex(),
                 QByteArray("440ce7ff9e92c724bd014009f662786d"));
        QCOMPARE(QelCrypto::encryptBlob({}, QelCrypto::STORAGE_IV)->toHex(), QByteArray("314748ec016048e7"));
        QCOMPARE(QelCrypto::encryptBlob("12345678", QelCrypto::URL_INIT_VECS[1])->toHex(),
                 QByteArray("da08d1a8740b2d3a8cde1db23021e1e3"));
    }

    void sizesAndRoundTrips()
    {
        for (int n : { 0, 1, 7, 8, 9, 15, 16, 17, 1000 }) {
            QByteArray plain(n, '\0');
            for (int i = 0; i < n; ++i)
                plain[i] = static_cast<char>(i * 7);
            for (const QelCrypto::Block &iv : { QelCrypto::STORAGE_IV, QelCrypto::URL_INIT_VECS[0],
                                                QelCrypto::URL_INIT_VECS[2] }) {
                const auto cipher = QelCrypto::encryptBlob(plain, iv);
                QVERIFY(cipher);
                QCOMPARE(cipher->size(), 8 * (n / 8 + 1));
                const auto back = QelCrypto::decryptBlob(*cipher, iv);
                QVERIFY(back);
                QCOMPARE(*back, plain);
            }
        }
        QVERIFY(m_log.lines().isEmpty());
    }

    void plainDataFailsWithOneLogLine()
    {
        const QByteArray plist("<?xml version=\"1.0\"?><plist><array/></plist>");
        QVERIFY(plist.size() % 8 != 0);
        QVERIFY(!QelCrypto::decryptBlob(plist, QelCrypto::STORAGE_IV));
        QCOMPARE(m_log.lines().size(), 1);
        QVERIFY(m_log.lines().first().contains(QLatin1StringView("<DEBUG - File: QelCrypto.cpp")));
        QVERIFY(m_log.lines().first().contains(QLatin1StringView("Failed to decrypt data: -4303")));

        QVERIFY(!QelCrypto::decryptBlob({}, QelCrypto::STORAGE_IV));
        // Aligned plain text almost never ends in valid padding.
        QVERIFY(!QelCrypto::decryptBlob(QByteArray(16, 'A'), QelCrypto::STORAGE_IV));
        QVERIFY(m_log.lines().last().contains(QLatin1StringView("Failed to decrypt data: -4304")));
    }
};

QTEST_APPLESS_MAIN(TestQelCrypto)
#include "tst_qelcrypto.moc"
