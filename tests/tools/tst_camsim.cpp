#include "tools/CamsimProcess.h"

#include "camsim/Timecode.h"
#include "video/FrameDecoder.h"

#include <QImage>
#include <QTcpSocket>
#include <QTest>

namespace {

const QByteArray Config = R"({"cameras": [
  {"name": "Quirky", "family": "generic", "path": "/live", "vapix": true, "auth": "basic", "user": "u", "password": "p w",
   "quirks": {"noContentLength": true, "dashedBoundary": true, "noLeadingBoundary": true, "lfOnly": true}},
  {"name": "Snapshot", "family": "generic", "path": "/snap.jpg", "quirks": {"singlePicture": true}},
  {"name": "Pelco", "family": "generic", "path": "/p", "ptz": "pelco", "serialId": 3},
  {"name": "Gem", "family": "generic", "path": "/g", "ptz": "gemineye", "serialId": 2, "cameraNumber": 2},
  {"name": "Universal", "family": "generic", "path": "/u", "ptz": "universal"},
  {"name": "Vms", "family": "milestone", "server": "vms", "cameraName": "Cam <1>", "user": "op", "password": "a&b", "fps": 10}
]})";

quint16 port(const Value &camera, const char *section, const char *key)
{
    return static_cast<quint16>(camera.value(QString::fromLatin1(section)).value(QString::fromLatin1(key)).toInteger());
}

// Reads from a socket until pred holds for what arrived, or the peer goes quiet.
template<typename Pred>
QByteArray readUntil(QTcpSocket &socket, Pred pred)
{
    QByteArray data;
    while (!pred(data) && socket.waitForReadyRead(5000))
        data += socket.readAll();
    return data;
}

QByteArray httpGet(quint16 p, const QByteArray &target, int parts, const QByteArray &extra = QByteArray())
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), p);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write("GET " + target + " HTTP/1.0\r\n" + extra + "\r\n");
    // With no parts wanted, read the whole response until the server closes.
    return readUntil(socket, [parts](const QByteArray &d) { return parts > 0 && d.count("\xff\xd9") >= parts; });
}

QByteArray frameBytes(const QByteArray &d, int index)
{
    qsizetype start = -1;
    for (int i = 0; i <= index; ++i)
        start = d.indexOf("\xff\xd8", start + 1);
    return d.mid(start, d.indexOf("\xff\xd9", start) + 2 - start);
}

QTcpSocket *connectTo(quint16 p, QObject *parent)
{
    auto *socket = new QTcpSocket(parent);
    socket->connectToHost(QStringLiteral("127.0.0.1"), p);
    socket->waitForConnected(5000);
    return socket;
}

} // namespace

class TestCamsim final : public QObject
{
    Q_OBJECT

private:
    CamsimProcess m_sim;

private slots:
    void initTestCase() { QVERIFY2(m_sim.start(Config), qPrintable(m_sim.errorOutput())); }
    void init() { m_sim.reset(); }

    void framingQuirksAndBasicAuth()
    {
        const quint16 p = port(m_sim.camera(QStringLiteral("Quirky")), "video.parameters", "video.port");
        QCOMPARE(httpGet(p, "/live", 0).left(12), QByteArray("HTTP/1.0 401"));
        const QByteArray auth = "Authorization: Basic " + QByteArray("u:p w").toBase64() + "\r\n";
        const QByteArray d = httpGet(p, "/live?resolution=320x240", 2, auth);
        const qsizetype body = d.indexOf("\r\n\r\n") + 4;
        QVERIFY(d.contains("boundary=--vyoboundary\r\n"));
        // No leading boundary: the first part's headers follow the response head.
        QVERIFY(d.mid(body).startsWith("Content-Type: image/jpeg\n\n\xff\xd8"));
        QVERIFY(d.contains("\xff\xd9\n--vyoboundary\nContent-Type: image/jpeg\n\n"));
        QVERIFY(!d.contains("Content-Length: "));
        QCOMPARE(QImage::fromData(frameBytes(d, 1), "JPEG").size(), QSize(320, 240));
    }

    void singlePicture()
    {
        const quint16 p = port(m_sim.camera(QStringLiteral("Snapshot")), "video.parameters", "video.port");
        const QByteArray d = httpGet(p, "/snap.jpg", 5);
        QVERIFY(d.startsWith("HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n"));
        QCOMPARE(d.count("\xff\xd9"), 1);
    }

    // With --timecode a picture says when it was drawn, readable still after the viewer
    // has decoded it for a tile and painted it smaller.
    void timecode()
    {
        CamsimProcess timed;
        QVERIFY2(timed.start(R"({"cameras": [{"name": "Timed", "family": "generic", "path": "/t.jpg",
                                              "quirks": {"singlePicture": true}}]})",
                             { QStringLiteral("--timecode") }),
                 qPrintable(timed.errorOutput()));
        const qint64 before = Timecode::nowMs();
        const QByteArray d = httpGet(port(timed.camera(QStringLiteral("Timed")), "video.parameters", "video.port"),
                                     "/t.jpg", 1);
        const qint64 after = Timecode::nowMs();
        const QImage decoded = FrameDecoder().decode(frameBytes(d, 0), QSize(151, 104));
        QCOMPARE(decoded.size(), QSize(160, 120));
        const std::optional<quint32> stamp =
            Timecode::read(decoded.scaled(151, 104, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        QVERIFY(stamp);
        QVERIFY(Timecode::age(*stamp, after) <= after - before);
    }

    void pelcoChecksumAndStop()
    {
        QTcpSocket *s = connectTo(port(m_sim.camera(QStringLiteral("Pelco")), "control.parameters", "control.port"), this);
        // A damaged frame, then noise, then a good pan-right frame for address 3.
        s->write(QByteArray("\xff\x03\x00\x02\x40\x00\x46", 7) + "\x11"
                 + QByteArray("\xff\x03\x00\x02\x40\x00\x45", 7));
        QCOMPARE(readUntil(*s, [](const QByteArray &d) { return d.size() >= 4; }), QByteArray("\xff\x03\x00\x03", 4));
        QJsonObject st = m_sim.state(QStringLiteral("Pelco"));
        QCOMPARE(st.value(QStringLiteral("badFrames")).toInt(), 1);
        QVERIFY(st.value(QStringLiteral("moving")).toBool());
        QTRY_VERIFY(m_sim.state(QStringLiteral("Pelco")).value(QStringLiteral("pan")).toDouble() > 0);

        s->write(QByteArray("\xff\x03\x00\x00\x00\x00\x03", 7));
        readUntil(*s, [](const QByteArray &d) { return d.size() >= 4; });
        st = m_sim.state(QStringLiteral("Pelco"));
        QVERIFY(!st.value(QStringLiteral("moving")).toBool());
        QCOMPARE(st.value(QStringLiteral("commands")).toObject().value(QStringLiteral("stop")).toInt(), 1);
    }

    void geminEyeEscapesAndNak()
    {
        QTcpSocket *s = connectTo(port(m_sim.camera(QStringLiteral("Gem")), "control.parameters", "control.port"), this);
        // Address 2 escaped as 1B 82; pan right at 0xFF, tilt down, camera 2 zoom wide (byte 8).
        QByteArray frame("\x02\x1b\x82\x31\x80\xff\x40\x00\x00\xff\x00", 11);
        quint8 check = 0;
        for (const char c : QByteArray("\x02\x31\x80\xff\x40\x00\x00\xff\x00", 9))
            check ^= static_cast<quint8>(c);
        frame += static_cast<char>(check);
        frame += '\x03';
        s->write(frame);
        const QByteArray ack = readUntil(*s, [](const QByteArray &d) { return d.endsWith('\x03'); });
        QVERIFY(ack.startsWith('\x06'));
        const QJsonObject st = m_sim.state(QStringLiteral("Gem"));
        QVERIFY(st.value(QStringLiteral("moving")).toBool());
        QTRY_VERIFY(m_sim.state(QStringLiteral("Gem")).value(QStringLiteral("zoom")).toDouble() == 1.0);
        QTRY_VERIFY(m_sim.state(QStringLiteral("Gem")).value(QStringLiteral("tilt")).toDouble() < 0);

        frame[frame.size() - 2] = static_cast<char>(check ^ 0x01);
        s->write(frame);
        QVERIFY(readUntil(*s, [](const QByteArray &d) { return d.endsWith('\x03'); }).startsWith('\x15'));
        QCOMPARE(m_sim.state(QStringLiteral("Gem")).value(QStringLiteral("badFrames")).toInt(), 1);
    }

    void universalEnvelopes()
    {
        QTcpSocket *s = connectTo(port(m_sim.camera(QStringLiteral("Universal")), "control.parameters", "control.port"), this);
        s->write("<ENV><HDR><TO>SYSTEM</TO><FROM>3.3.3.3</FROM></HDR></ENV>\r"
                 "<ENV><HDR><TO>Universal</TO><FROM>3.3.3.3</FROM></HDR><CMD NAME=\"JOG\" VALUE=\"\">"
                 "<PARAM  AZ=\"-0.500000\" EL=\"0.250000\"></PARAM></CMD></ENV>\rgarbage\r");
        s->flush();
        QTRY_COMPARE(m_sim.state(QStringLiteral("Universal")).value(QStringLiteral("badFrames")).toInt(), 1);
        QTRY_VERIFY(m_sim.state(QStringLiteral("Universal")).value(QStringLiteral("pan")).toDouble() < 0);
        s->write("<ENV><HDR><TO>Universal</TO><FROM>3.3.3.3</FROM></HDR><CMD NAME=\"STOP\" VALUE=\"\"></CMD></ENV>\r");
        s->flush();
        QTRY_VERIFY(!m_sim.state(QStringLiteral("Universal")).value(QStringLiteral("moving")).toBool());
        const QJsonObject commands = m_sim.state(QStringLiteral("Universal")).value(QStringLiteral("commands")).toObject();
        QCOMPARE(commands.value(QStringLiteral("SYSTEM")).toInt(), 1);
        QCOMPARE(commands.value(QStringLiteral("JOG")).toInt(), 1);
        QCOMPARE(commands.value(QStringLiteral("STOP")).toInt(), 1);
    }

    void milestoneLoginLiveAndPtz()
    {
        const Value vms = m_sim.camera(QStringLiteral("Vms"));
        QTcpSocket *s = connectTo(port(vms, "video.parameters", "video.port"), this);
        const auto reply = [s] {
            return readUntil(*s, [](const QByteArray &d) { return d.contains("\r\n\r\n"); });
        };
        s->write("<?xml version=\"1.0\"?><methodcall><requestid>1</requestid><methodname>live</methodname>"
                 "</methodcall>\r\n\r\n");
        QVERIFY(reply().contains("not connected"));
        s->write("<?xml version=\"1.0\" encoding=\"UTF-8\"?><methodcall><requestid>10</requestid><methodname>connect"
                 "</methodname><username>op</username><password>a&amp;b</password><cameraid>Cam &lt;1&gt;</cameraid>"
                 "<connectparam></connectparam></methodcall>\r\n\r\n");
        QVERIFY(reply().contains("<requestid>10</requestid><methodname>connect</methodname><connected>yes</connected>"));
        s->write("<?xml version=\"1.0\" encoding=\"utf-8\"?><methodcall><requestid>3</requestid><methodname>ptzcommand"
                 "</methodname><commandlist><command>PanTiltStart 500,-500</command></commandlist></methodcall>\r\n\r\n");
        QVERIFY(reply().contains("<requestid>3</requestid>"));
        QTRY_VERIFY(m_sim.state(QStringLiteral("Vms")).value(QStringLiteral("tilt")).toDouble() > 0);
        QVERIFY(m_sim.state(QStringLiteral("Vms")).value(QStringLiteral("pan")).toDouble() > 0);

        s->readAll();
        s->write("<?xml version=\"1.0\" encoding=\"UTF-8\"?><methodcall><requestid>11</requestid><methodname>live"
                 "</methodname><compressionrate>103</compressionrate><sendinitialimage>no</sendinitialimage>"
                 "</methodcall>\r\n\r\n");
        const QByteArray d = readUntil(*s, [](const QByteArray &data) { return data.count("\xff\xd9") >= 1; });
        const qsizetype header = d.indexOf("ImageResponse\r\nContent-type: image/jpeg\r\nContent-length: ");
        QVERIFY(header >= 0);
        QCOMPARE(QImage::fromData(frameBytes(d, 0), "JPEG").size(), QSize(320, 240));
    }
};

QTEST_GUILESS_MAIN(TestCamsim)
#include "tst_camsim.moc"
