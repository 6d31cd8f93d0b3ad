#include "ui/live/DigitalZoom.h"

#include <QTest>

// A 4:3 picture fitted in a 480x320 view: bars left and right at first.
class TestDigitalZoom final : public QObject
{
    Q_OBJECT

private:
    const QRectF m_view{ 0, 0, 480, 320 };
    const QRectF m_fitted{ 27, 0, 426, 320 };

    DigitalZoom fitted() const
    {
        DigitalZoom zoom;
        zoom.setFitted(m_view, m_fitted);
        return zoom;
    }

    // The picture point, as fractions of the picture, under a point of the view.
    static QPointF pictureAt(const DigitalZoom &zoom, QPointF point)
    {
        const QRectF placed = zoom.placed();
        return { (point.x() - placed.left()) / placed.width(), (point.y() - placed.top()) / placed.height() };
    }

private slots:
    void zoomKeepsThePointUnderTheFingers()
    {
        DigitalZoom zoom = fitted();
        QCOMPARE(zoom.placed(), m_fitted);
        QCOMPARE(zoom.visiblePart(), QRectF(0, 0, 1, 1));

        const QPointF fingers(300, 100);
        const QPointF before = pictureAt(zoom, fingers);
        zoom.zoomBy(2, fingers);
        QCOMPARE(zoom.scale(), 2.0);
        QCOMPARE(zoom.placed().size(), m_fitted.size() * 2);
        QCOMPARE(pictureAt(zoom, fingers), before);
        // Half the picture's height shows, and more than half its width (no bars now).
        QCOMPARE(zoom.visiblePart().height(), 0.5);
        QVERIFY(zoom.visiblePart().width() > 0.5);

        // No further than 8x, no smaller than the whole picture.
        zoom.zoomBy(100, fingers);
        QCOMPARE(zoom.scale(), DigitalZoom::MaxScale);
        QCOMPARE(pictureAt(zoom, fingers), before);
        zoom.zoomBy(0.001, fingers);
        QCOMPARE(zoom.scale(), 1.0);
        QCOMPARE(zoom.placed(), m_fitted);
    }

    // Zoomed near a corner or dragged away, the picture still covers the view: it stops
    // at its own edges. A side narrower than the view stays centred.
    void panStopsAtThePictureEdges()
    {
        DigitalZoom zoom = fitted();
        zoom.zoomBy(1.05, QPointF(0, 0));
        QCOMPARE(zoom.placed().top(), 0.0);
        QCOMPARE(zoom.placed().center().x(), 240.0);
        zoom.panBy(QPointF(300, -50));
        QCOMPARE(zoom.placed().center().x(), 240.0);
        QCOMPARE(zoom.placed().bottom(), 320.0);

        zoom.zoomBy(4 / 1.05, QPointF(10, 10));
        QVERIFY(zoom.placed().contains(m_view));
        zoom.panBy(QPointF(5000, 5000));
        QCOMPARE(zoom.placed().topLeft(), QPointF(0, 0));
        QCOMPARE(zoom.visiblePart().topLeft(), QPointF(0, 0));
        zoom.panBy(QPointF(-5000, -5000));
        QCOMPARE(zoom.placed().bottomRight(), m_view.bottomRight());
        QCOMPARE(zoom.visiblePart().bottomRight(), QPointF(1, 1));
        const QSizeF part = zoom.visiblePart().size();
        QCOMPARE(part.width() * zoom.placed().width(), 480.0);

        zoom.reset();
        QCOMPARE(zoom.scale(), 1.0);
        QCOMPARE(zoom.placed(), m_fitted);
    }

    // A view resized (the window turned, the picture's shape known at last) keeps the zoom
    // and the picture point at its centre.
    void refittingKeepsTheCentre()
    {
        DigitalZoom zoom = fitted();
        zoom.zoomBy(3, QPointF(100, 200));
        const QPointF centre = pictureAt(zoom, m_view.center());
        const QRectF view(0, 0, 320, 480);
        zoom.setFitted(view, QRectF(0, 120, 320, 240));
        QCOMPARE(zoom.scale(), 3.0);
        QCOMPARE(zoom.placed().size(), QSizeF(960, 720));
        QCOMPARE(pictureAt(zoom, view.center()), centre);
    }
};

QTEST_MAIN(TestDigitalZoom)
#include "tst_digitalzoom.moc"
