#include "video/MultipartSplitter.h"

#include "support/TestSupport.h"

#include <QTest>

namespace {

// Collects the events as a list of parts and counts the parts ended.
class Recorder final : public MultipartSplitter::Listener
{
public:
    bool partBegins() override
    {
        parts.append(QByteArray());
        return stopAfterParts < 0 || parts.size() <= stopAfterParts;
    }
    bool partData(const char *data, qsizetype size) override
    {
        if (parts.isEmpty())
            orphanBytes += size;
        else
            parts.last().append(data, size);
        return true;
    }
    bool partEnds() override
    {
        ++ended;
        return true;
    }

    QList<QByteArray> parts;
    qsizetype ended = 0;
    qsizetype orphanBytes = 0;
    qsizetype stopAfterParts = -1;
};

struct Outcome
{
    QList<QByteArray> parts;
    qsizetype ended = 0;
    MultipartSplitter::Result result = MultipartSplitter::Result::Ok;
};

Outcome run(const QByteArray &boundary, const QList<QByteArray> &chunks)
{
    Recorder recorder;
    MultipartSplitter splitter(boundary, recorder);
    Outcome outcome;
    for (const QByteArray &chunk : chunks) {
        outcome.result = splitter.feed(chunk.constData(), chunk.size());
        if (outcome.result != MultipartSplitter::Result::Ok)
            break;
    }
    outcome.parts = recorder.parts;
    outcome.ended = recorder.ended;
    return outcome;
}

const QByteArray BodyA = QByteArray("\xff\xd8 first\r\nwith --myb inside and\n--mybX lookalike\xff\xd9", 50);
const QByteArray BodyB = QByteArray("\xff\xd8second\r\n\r\n\xff\xd9");
const QByteArray BodyC = QByteArray("\xff\xd8third--myb\xff\xd9");

} // namespace

class TestMultipartSplitter final : public QObject
{
    Q_OBJECT

private slots:
    void boundaryParameter_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("boundary");
        QTest::newRow("plain") << QByteArray("multipart/x-mixed-replace;boundary=myb") << QByteArray("myb");
        QTest::newRow("quoted, blanks") << QByteArray("multipart/x-mixed-replace; boundary = \"my b\"") << QByteArray("my b");
        QTest::newRow("dashes kept") << QByteArray("multipart/x-mixed-replace; Boundary=--myb") << QByteArray("--myb");
        QTest::newRow("other parameters") << QByteArray("multipart/x-mixed-replace; charset=x; boundary=myb; q=1")
                                          << QByteArray("myb");
        QTest::newRow("none") << QByteArray("image/jpeg") << QByteArray();
    }
    void boundaryParameter()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, boundary);
        QCOMPARE(MultipartSplitter::boundaryFromContentType(contentType), boundary);
    }

    // Every stream is fed whole, in every split into two pieces, and byte by byte:
    // the parts must always come out the same.
    void streams_data()
    {
        QTest::addColumn<QByteArray>("boundary");
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QList<QByteArray>>("parts");
        const QList<QByteArray> abc = { BodyA, BodyB, BodyC };
        auto part = [](const QByteArray &body, const QByteArray &headers) {
            return "--myb\r\n" + headers + "\r\n" + body + "\r\n";
        };
        auto len = [](const QByteArray &body) { return "Content-Length: " + QByteArray::number(body.size()) + "\r\n"; };

        QTest::newRow("with lengths") << QByteArray("myb")
                                      << part(BodyA, "Content-Type: image/jpeg\r\n" + len(BodyA))
                                             + part(BodyB, len(BodyB)) + part(BodyC, len(BodyC)) + "--myb--\r\n"
                                      << abc;
        QTest::newRow("without lengths") << QByteArray("myb")
                                         << part(BodyA, "Content-Type: image/jpeg\r\n") + part(BodyB, "")
                                                + part(BodyC, "X-Time: 1\r\n") + "--myb--\r\n"
                                         << abc;
        QTest::newRow("mixed, headers in any order")
            << QByteArray("myb")
            << part(BodyA, len(BodyA) + "X-Frame: 7\r\ncontent-type: image/jpeg\r\n") + part(BodyB, "")
                   + part(BodyC, "CONTENT-LENGTH:" + QByteArray::number(BodyC.size()) + "\r\n") + "--myb--\r\n"
            << abc;
        QByteArray lfOnly = "--myb\nContent-Type: image/jpeg\n\n" + BodyA + "\n--myb\n" + len(BodyB).replace("\r", "")
            + "\n" + BodyB + "\n--myb\n\n" + BodyC + "\n--myb--\n";
        QTest::newRow("LF only") << QByteArray("myb") << lfOnly << abc;
        QTest::newRow("dashes in the parameter") << QByteArray("--myb")
                                                 << part(BodyA, "") + part(BodyB, len(BodyB)) + part(BodyC, "")
                                                        + "--myb--\r\n"
                                                 << abc;
        QTest::newRow("no leading boundary line")
            << QByteArray("myb")
            << "Content-Type: image/jpeg\r\n\r\n" + BodyA + "\r\n" + part(BodyB, "") + part(BodyC, len(BodyC))
                   + "--myb--\r\n"
            << abc;
        QTest::newRow("no leading boundary or headers")
            << QByteArray("myb") << BodyA + "\r\n" + part(BodyB, "") + part(BodyC, "") + "--myb--\r\n" << abc;
        QTest::newRow("preamble, padding, epilogue")
            << QByteArray("myb")
            << "This is a multipart stream\r\n\r\n--myb  \r\n\r\n" + BodyA + "\r\n--myb\t\r\n\r\n" + BodyB + "\r\n"
                   + part(BodyC, "") + "--myb--\r\ntrailing junk\r\n--myb\r\n\r\nnot a part"
            << abc;
        QTest::newRow("length too short: rest dropped")
            << QByteArray("myb")
            << part(BodyA, "Content-Length: 10\r\n") + part(BodyB, "") + part(BodyC, "") + "--myb--\r\n"
            << QList<QByteArray>{ BodyA.left(10), BodyB, BodyC };
        QTest::newRow("empty part") << QByteArray("myb") << part("", "") + part(BodyB, len(BodyB)) + "--myb--\r\n"
                                    << QList<QByteArray>{ QByteArray(), BodyB };
    }
    void streams()
    {
        QFETCH(QByteArray, boundary);
        QFETCH(QByteArray, stream);
        QFETCH(QList<QByteArray>, parts);

        Outcome whole = run(boundary, { stream });
        QCOMPARE(whole.result, MultipartSplitter::Result::Ok);
        QCOMPARE(whole.parts, parts);
        QCOMPARE(whole.ended, parts.size());

        for (qsizetype at = 1; at < stream.size(); ++at) {
            const Outcome split = run(boundary, { stream.left(at), stream.mid(at) });
            if (split.parts != parts)
                QFAIL(qPrintable(QStringLiteral("split at %1 differs").arg(at)));
        }
        QList<QByteArray> bytes;
        for (const char c : stream)
            bytes.append(QByteArray(1, c));
        QCOMPARE(run(boundary, bytes).parts, parts);
    }

    // A part is handed on once complete, before anything of the next one is seen:
    // by its length, or by the end of its JPEG picture, whose embedded thumbnail
    // does not count. What follows the picture up to the delimiter is dropped.
    void partsEndAsSoonAsTheyAreComplete()
    {
        const QByteArray picture = testJpeg(16, 16, Qt::red);
        const QByteArray thumbnail = testJpeg(8, 8, Qt::blue);
        const QByteArray app1 = "\xff\xe1" + QByteArray(1, char((thumbnail.size() + 2) >> 8))
            + QByteArray(1, char((thumbnail.size() + 2) & 0xff)) + thumbnail;
        const QByteArray withThumbnail = picture.left(2) + app1 + picture.mid(2);
        const QList<QByteArray> streams = {
            "--myb\r\nContent-Length: " + QByteArray::number(BodyA.size()) + "\r\n\r\n" + BodyA,
            "--myb\r\n\r\n" + withThumbnail,
        };
        for (const QByteArray &stream : streams) {
            for (qsizetype at = 1; at < stream.size(); ++at) {
                const Outcome outcome = run("myb", { stream.left(at), stream.mid(at) });
                QCOMPARE(outcome.ended, 1);
                QCOMPARE(outcome.parts.first().size(), stream.size() - stream.indexOf("\r\n\r\n") - 4);
            }
        }
        const Outcome trailing = run("myb", { "--myb\r\n\r\n" + withThumbnail + "\r\njunk\r\n--myb\r\n\r\n" + BodyB + "\r\n--myb--\r\n" });
        QCOMPARE(trailing.parts, QList<QByteArray>({ withThumbnail, BodyB }));
    }

    void endlessHeadersAreMalformed()
    {
        const QByteArray stream = "--myb\r\nX-Pad: " + QByteArray(MultipartSplitter::MaxHeaderBlock, 'a');
        Recorder recorder;
        MultipartSplitter splitter("myb", recorder);
        QCOMPARE(splitter.feed(stream.constData(), stream.size()), MultipartSplitter::Result::Malformed);
        QVERIFY(!splitter.error().isEmpty());
        QVERIFY(recorder.parts.isEmpty());
    }

    void listenerCanStopAFeed()
    {
        const QByteArray stream = "--myb\r\n\r\n" + BodyA + "\r\n--myb\r\n\r\n" + BodyB + "\r\n--myb\r\n\r\n";
        Recorder recorder;
        recorder.stopAfterParts = 1;
        MultipartSplitter splitter("myb", recorder);
        QCOMPARE(splitter.feed(stream.constData(), stream.size()), MultipartSplitter::Result::Stopped);
        QCOMPARE(recorder.parts.size(), 2);
        QCOMPARE(recorder.parts.first(), BodyA);
        QVERIFY(recorder.parts.last().isEmpty());
    }

    // A body without a delimiter in sight is passed on as it comes, holding back only
    // what might begin one.
    void longBodiesStreamThrough()
    {
        Recorder recorder;
        MultipartSplitter splitter("myb", recorder);
        const QByteArray head = "--myb\r\n\r\n";
        splitter.feed(head.constData(), head.size());
        const QByteArray chunk(100000, 'x');
        for (int i = 0; i < 10; ++i)
            QCOMPARE(splitter.feed(chunk.constData(), chunk.size()), MultipartSplitter::Result::Ok);
        QCOMPARE(recorder.parts.size(), 1);
        QVERIFY(recorder.parts.first().size() >= 10 * chunk.size() - 16);
    }
};

QTEST_GUILESS_MAIN(TestMultipartSplitter)
#include "tst_multipartsplitter.moc"
