#include "support/ManualClock.h"

#include "video/FrameCache.h"

#include <QTest>

namespace {

Value source(const QString &name)
{
    Value p = Value::dictionary();
    p.insert(QStringLiteral("video.host"), name);
    return p;
}

QImage image(int width)
{
    QImage picture(width, 1, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    return picture;
}

} // namespace

class TestFrameCache final : public QObject
{
    Q_OBJECT

private slots:
    // Capacity 3 with A, B, C: a first frame from D evicts A only; a new frame from B
    // evicts nothing and only refreshes B.
    void evictsTheLongestSilent()
    {
        ManualClock clock;
        FrameCache cache(3, clock);
        for (const char *name : { "A", "B", "C" }) {
            cache.consumeFrame(image(1), source(QString::fromLatin1(name)), 10);
            clock.advance(10);
        }
        cache.consumeFrame(image(2), source(QStringLiteral("D")), 10);
        QVERIFY(!cache.cachedFrameForSource(source(QStringLiteral("A"))));
        QCOMPARE(cache.count(), 3);
        clock.advance(10);
        const qint64 before = clock.now();
        cache.consumeFrame(image(5), source(QStringLiteral("B")), 10);
        QCOMPARE(cache.count(), 3);
        const auto b = cache.cachedFrameForSource(source(QStringLiteral("B")));
        QVERIFY(b);
        QCOMPARE(b->image().width(), 5);
        QCOMPARE(b->timeStamp(), before);
        // B is now the newest: the next stranger evicts C.
        clock.advance(10);
        cache.consumeFrame(image(1), source(QStringLiteral("E")), 10);
        QVERIFY(!cache.cachedFrameForSource(source(QStringLiteral("C"))));
        QVERIFY(cache.cachedFrameForSource(source(QStringLiteral("B"))));
        QVERIFY(cache.cachedFrameForSource(source(QStringLiteral("D"))));
    }

    void capacityOne()
    {
        ManualClock clock;
        FrameCache cache(1, clock);
        cache.consumeFrame(image(1), source(QStringLiteral("A")), 0);
        clock.advance(1);
        cache.consumeFrame(image(1), source(QStringLiteral("B")), 0);
        QCOMPARE(cache.count(), 1);
        QVERIFY(cache.cachedFrameForSource(source(QStringLiteral("B"))));
    }

    // Keys compare by content; the cache's key is its own copy; a frame without a
    // picture replaces the picture but refreshes the time.
    void keysAndEmptyFrames()
    {
        ManualClock clock;
        FrameCache cache(36, clock);
        Value a = source(QStringLiteral("A"));
        cache.consumeFrame(image(3), a, 0);
        QVERIFY(cache.cachedFrameForSource(source(QStringLiteral("A"))));
        a.insert(QStringLiteral("video.host"), QStringLiteral("Z"));
        QVERIFY(cache.cachedFrameForSource(source(QStringLiteral("A"))));
        QVERIFY(!cache.cachedFrameForSource(a));

        clock.advance(100);
        cache.consumeFrame(QImage(), source(QStringLiteral("A")), 0);
        const auto entry = cache.cachedFrameForSource(source(QStringLiteral("A")));
        QVERIFY(entry->image().isNull());
        QCOMPARE(entry->timeStamp(), clock.now());
        QCOMPARE(CachedFrame(QImage(), 1).compare(CachedFrame(QImage(), 2)), -1);
    }
};

QTEST_GUILESS_MAIN(TestFrameCache)
#include "tst_framecache.moc"
