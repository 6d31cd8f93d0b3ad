#include "util/WorkerThread.h"
#include "video/AxisVideoProfile.h"
#include "video/CanonVideoProfile.h"
#include "video/MJPEGStreamReader.h"
#include "video/MilestoneMJPEGStreamReader.h"
#include "video/SonyVideoProfile.h"
#include "video/VideoProfile.h"
#include "video/VideoStreamFactory.h"

#include <QTest>

namespace {

Value params(std::initializer_list<std::pair<const char *, const char *>> entries)
{
    Value p = Value::dictionary();
    for (const auto &[key, value] : entries)
        p.insert(QString::fromLatin1(key), QString::fromUtf8(value));
    return p;
}

} // namespace

class TestVideoStreamFactory final : public QObject
{
    Q_OBJECT

private:
    // The URL the factory's reader asks for, "none" without a reader, "" without a URL.
    QByteArray urlFor(const Value &p, bool thumbnail = false)
    {
        const auto reader = VideoStreamFactory::createStream(p, thumbnail, &m_thread);
        if (!reader)
            return "none";
        auto *http = qobject_cast<MJPEGStreamReader *>(reader.get());
        return http ? http->url().toEncoded() : QByteArray("not http");
    }

    QString profileUrl(const VideoProfile &profile, const Value &p, bool thumbnail = false)
    {
        const auto reader = profile.streamFromParms(p, thumbnail, &m_thread);
        return reader ? qobject_cast<MJPEGStreamReader *>(reader.get())->url().toString(QUrl::FullyEncoded)
                      : QStringLiteral("none");
    }

    WorkerThread m_thread;

private slots:
    void urls_data()
    {
        QTest::addColumn<Value>("p");
        QTest::addColumn<bool>("thumbnail");
        QTest::addColumn<QByteArray>("url");
        QTest::newRow("axis thumbnail, host only")
            << params({ { "video.type", "AXISMJPEG" }, { "video.host", "cam" } }) << true
            << QByteArray("http://cam/axis-cgi/mjpg/video.cgi?camera=1&resolution=176x120&fps=1&compression=30&");
        QTest::newRow("axis full, everything")
            << params({ { "video.type", "AXISMJPEG" }, { "video.host", "10.0.0.2" }, { "video.ssl", "1" },
                        { "video.port", "8080" }, { "video.username", "root" }, { "video.password", "pw" },
                        { "video.resolution", "704x576" }, { "video.fps", "5" }, { "video.compression", "20" } })
            << false
            << QByteArray("https://root:pw@10.0.0.2:8080/axis-cgi/mjpg/video.cgi?camera=1&resolution=704x576&fps=5&compression=20&");
        QTest::newRow("axis thumbnail 704x576")
            << params({ { "video.type", "AXISMJPEG" }, { "video.host", "cam" }, { "video.resolution", "704x576" } })
            << true << QByteArray("http://cam/axis-cgi/mjpg/video.cgi?camera=1&resolution=352x288&fps=1&compression=30&");
        QTest::newRow("axis thumbnail QCIF")
            << params({ { "video.type", "AXISMJPEG" }, { "video.host", "cam" }, { "video.resolution", "QCIF" } })
            << true << QByteArray("http://cam/axis-cgi/mjpg/video.cgi?camera=1&resolution=QCIF&fps=1&compression=30&");
        QTest::newRow("axis server camera 3")
            << params({ { "video.type", "AXISSERVERMJPEG" }, { "video.host", "srv" }, { "video.camera_number", "3" } })
            << false << QByteArray("http://srv/axis-cgi/mjpg/video.cgi?camera=3&resolution=352x240&fps=1&compression=30&");
        QTest::newRow("port 80") << params({ { "video.type", "GENMJPEG" }, { "video.host", "h" }, { "video.port", "80" } })
                                 << false << QByteArray("http://h");
        QTest::newRow("port 0") << params({ { "video.type", "GENMJPEG" }, { "video.host", "h" }, { "video.port", "0" } })
                                << false << QByteArray("http://h");
        QTest::newRow("port not a number")
            << params({ { "video.type", "GENMJPEG" }, { "video.host", "h" }, { "video.port", "web" } }) << false
            << QByteArray("http://h");
        QTest::newRow("user without password")
            << params({ { "video.type", "GENMJPEG" }, { "video.host", "h" }, { "video.username", "u" },
                        { "video.path", "/mjpg" } })
            << false << QByteArray("http://h/mjpg");
        QTest::newRow("generic vapix after ?")
            << params({ { "video.type", "GENMJPEG" }, { "video.host", "h" }, { "video.path", "/v.cgi" },
                        { "video.vapix", "y" } })
            << true << QByteArray("http://h/v.cgi?resolution=176x120&fps=1&compression=30&");
        QTest::newRow("generic vapix after &")
            << params({ { "video.type", "GENMJPEG" }, { "video.host", "h" }, { "video.path", "/v.cgi?x=1" },
                        { "video.vapix", "1" }, { "video.fps", "2" } })
            << false << QByteArray("http://h/v.cgi?x=1&resolution=352x240&fps=2&compression=30&");
        QTest::newRow("generic without vapix")
            << params({ { "video.type", "GENMJPEG" }, { "video.host", "h" }, { "video.path", "/v.cgi?x=1" },
                        { "video.vapix", "n" } })
            << true << QByteArray("http://h/v.cgi?x=1");
        QTest::newRow("credentials percent-encoded")
            << params({ { "video.type", "GENMJPEG" }, { "video.host", "h" }, { "video.username", "u:1" },
                        { "video.password", "a b%@/" } })
            << false << QByteArray("http://u%3A1:a%20b%25%40%2F@h");
        QTest::newRow("no host") << params({ { "video.type", "AXISMJPEG" } }) << false << QByteArray("none");
        QTest::newRow("sony is not offered") << params({ { "video.type", "SONYMJPEG" }, { "video.host", "h" } })
                                             << false << QByteArray("none");
        QTest::newRow("type is case-sensitive") << params({ { "video.type", "axismjpeg" }, { "video.host", "h" } })
                                                << false << QByteArray("none");
        QTest::newRow("no type") << params({ { "video.host", "h" } }) << false << QByteArray("none");
    }
    void urls()
    {
        QFETCH(Value, p);
        QFETCH(bool, thumbnail);
        QFETCH(QByteArray, url);
        QCOMPARE(urlFor(p, thumbnail), url);
    }

    void sonyAndCanon()
    {
        const Value p = params({ { "video.host", "h" }, { "video.ssl", "y" }, { "video.port", "81" },
                                 { "video.username", "u" }, { "video.password", "p" }, { "video.fps", "4" } });
        QCOMPARE(profileUrl(SonyVideoProfile(), p, true), QStringLiteral("https://u:p@h:81/image?speed=4"));
        QCOMPARE(profileUrl(CanonVideoProfile(), p, true),
                 QStringLiteral("http://u:p@h:81/-wvhttp-01-/video.cgi?v=jpg:320x240:3:4000"));
        const Value bare = params({ { "video.host", "h" }, { "video.resolution", "640x480" } });
        QCOMPARE(profileUrl(CanonVideoProfile(), bare, true),
                 QStringLiteral("http://h/-wvhttp-01-/video.cgi?v=jpg:640x480:3:1000"));
        QCOMPARE(profileUrl(SonyVideoProfile(), Value::dictionary()), QStringLiteral("none"));
    }

    void thumbSize()
    {
        QCOMPARE(AxisVideoProfile::getThumbSizeFromFull(QStringLiteral("352x240")), QStringLiteral("176x120"));
        QCOMPARE(AxisVideoProfile::getThumbSizeFromFull(QStringLiteral("351x241")), QStringLiteral("175x120"));
        QCOMPARE(AxisVideoProfile::getThumbSizeFromFull(QStringLiteral("0x240")), QStringLiteral("0x240"));
        QCOMPARE(AxisVideoProfile::getThumbSizeFromFull(QStringLiteral("352X240")), QStringLiteral("352X240"));
        QCOMPARE(AxisVideoProfile::getThumbSizeFromFull(QStringLiteral("352x240x2")), QStringLiteral("352x240x2"));
        QCOMPARE(AxisVideoProfile::getThumbSizeFromFull(QStringLiteral("4CIF")), QStringLiteral("4CIF"));
    }

    // The reader keeps its own copy: later edits of the definition do not reach it.
    void readersKeepACopyOfTheParameters()
    {
        Value p = params({ { "video.type", "MILESTONEMJPEG" }, { "video.camera_name", "Gate" } });
        const auto reader = VideoStreamFactory::createStream(p, true, &m_thread);
        auto *milestone = qobject_cast<MilestoneMJPEGStreamReader *>(reader.get());
        QVERIFY(milestone);
        QVERIFY(milestone->thumbnailMode());
        QCOMPARE(reader->getConnectionParameters(), p);
        p.insert(QStringLiteral("video.camera_name"), QStringLiteral("Door"));
        QCOMPARE(reader->getConnectionParameters().value(QStringLiteral("video.camera_name")).toString(),
                 QStringLiteral("Gate"));
    }
};

QTEST_GUILESS_MAIN(TestVideoStreamFactory)
#include "tst_videostreamfactory.moc"
