#include "camsim/Scene.h"

#include "camsim/Timecode.h"

#include <QBuffer>
#include <QDateTime>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int Ppd = Scene::PixelsPerDegree;
constexpr double PanOrigin = Scene::PanSpan / 2; // degrees left of pan 0
constexpr double TiltTop = Scene::TiltSpan / 2;   // degrees above the horizon

double xOf(double pan)
{
    return (pan + PanOrigin) * Ppd;
}

double yOf(double tilt)
{
    return (TiltTop - tilt) * Ppd;
}

// Calls draw once for each copy of a feature at pan, every full turn across the panorama.
template<typename F>
void everyTurn(double pan, F draw)
{
    for (double p = pan - 360; p <= PanOrigin + 30; p += 360) {
        if (p >= -PanOrigin - 30)
            draw(xOf(p));
    }
}

void drawLandmarks(QPainter &p)
{
    const double horizon = yOf(0);
    QFont label = p.font();
    label.setPixelSize(40);
    label.setBold(true);
    p.setFont(label);

    // Mountains, a sawtooth of distinct heights.
    QPainterPath hills;
    hills.moveTo(0, horizon);
    for (int deg = -210; deg <= 210; deg += 15) {
        const int h = 30 + ((deg * 7 + 400) % 9) * 22;
        hills.lineTo(xOf(deg), horizon - h);
        hills.lineTo(xOf(deg + 7.5), horizon - h / 3.0);
    }
    hills.lineTo(xOf(210), horizon);
    hills.closeSubpath();
    p.fillPath(hills, QColor(96, 110, 140));

    // A red-and-white lighthouse at pan 0.
    everyTurn(0, [&](double x) {
        for (int band = 0; band < 6; ++band)
            p.fillRect(QRectF(x - 40, horizon - 300 + band * 50, 80, 50), band % 2 ? Qt::white : QColor(200, 30, 30));
        p.fillRect(QRectF(x - 55, horizon - 340, 110, 40), QColor(250, 220, 80));
        p.setPen(Qt::black);
        p.drawText(QRectF(x - 200, horizon + 20, 400, 50), Qt::AlignCenter, QStringLiteral("LIGHTHOUSE"));
    });
    // A blue tower at pan 60.
    everyTurn(60, [&](double x) {
        p.fillRect(QRectF(x - 60, horizon - 420, 120, 420), QColor(40, 80, 200));
        for (int row = 0; row < 8; ++row)
            p.fillRect(QRectF(x - 40, horizon - 400 + row * 50, 80, 25), QColor(180, 220, 255));
        p.setPen(Qt::white);
        p.drawText(QRectF(x - 200, horizon + 20, 400, 50), Qt::AlignCenter, QStringLiteral("TOWER"));
    });
    // Green trees around pan -70.
    everyTurn(-70, [&](double x) {
        for (int i = -3; i <= 3; ++i) {
            const double tx = x + i * 70;
            p.fillRect(QRectF(tx - 8, horizon - 60, 16, 60), QColor(100, 60, 20));
            p.setBrush(QColor(30, 140 + i * 10, 40));
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(tx, horizon - 100), 45, 60);
        }
        p.setPen(Qt::white);
        p.drawText(QRectF(x - 200, horizon + 20, 400, 50), Qt::AlignCenter, QStringLiteral("FOREST"));
    });
    // A yellow sun high at pan 120.
    everyTurn(120, [&](double x) {
        p.setBrush(QColor(255, 210, 40));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(x, yOf(35)), 90, 90);
        p.setPen(Qt::black);
        p.drawText(QRectF(x - 200, yOf(35) - 25, 400, 50), Qt::AlignCenter, QStringLiteral("SUN"));
    });
    // An orange bridge at pan 180 / -180.
    everyTurn(180, [&](double x) {
        p.setPen(QPen(QColor(230, 110, 20), 16));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(x - 300, horizon - 200, 600, 400), 0, 180 * 16);
        p.fillRect(QRectF(x - 320, horizon - 20, 640, 24), QColor(230, 110, 20));
        p.setPen(Qt::white);
        p.drawText(QRectF(x - 200, horizon + 20, 400, 50), Qt::AlignCenter, QStringLiteral("BRIDGE"));
    });
    // A purple pyramid at pan -130.
    everyTurn(-130, [&](double x) {
        QPainterPath pyramid;
        pyramid.moveTo(x - 220, horizon);
        pyramid.lineTo(x, horizon - 260);
        pyramid.lineTo(x + 220, horizon);
        pyramid.closeSubpath();
        p.fillPath(pyramid, QColor(140, 60, 170));
        p.setPen(Qt::white);
        p.drawText(QRectF(x - 200, horizon + 20, 400, 50), Qt::AlignCenter, QStringLiteral("PYRAMID"));
    });
}

void drawGrid(QPainter &p, int width, int height)
{
    QFont small = p.font();
    small.setPixelSize(18);
    small.setBold(false);
    p.setFont(small);
    for (int deg = -210; deg <= 210; deg += 10) {
        const double x = xOf(deg);
        p.setPen(QPen(QColor(255, 255, 255, deg % 30 == 0 ? 140 : 60), deg % 30 == 0 ? 2 : 1));
        p.drawLine(QPointF(x, 0), QPointF(x, height));
        int shown = deg;
        while (shown > 180)
            shown -= 360;
        while (shown <= -180)
            shown += 360;
        p.drawText(QPointF(x + 4, yOf(0) - 6), QString::number(shown));
    }
    for (int deg = -70; deg <= 70; deg += 10) {
        p.setPen(QPen(QColor(255, 255, 255, deg == 0 ? 200 : 60), deg == 0 ? 3 : 1));
        p.drawLine(QPointF(0, yOf(deg)), QPointF(width, yOf(deg)));
        if (deg != 0) {
            for (int pan = -180; pan <= 180; pan += 90)
                p.drawText(QPointF(xOf(pan) + 4, yOf(deg) - 4), QString::number(deg));
        }
    }
}

} // namespace

Scene::Scene(bool timecode)
    : m_panorama(static_cast<int>(PanSpan * Ppd), static_cast<int>(TiltSpan * Ppd), QImage::Format_RGB32)
    , m_timecode(timecode)
{
    QPainter p(&m_panorama);
    p.setRenderHint(QPainter::Antialiasing);
    const int w = m_panorama.width();
    const double horizon = yOf(0);
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(20, 60, 140));
    sky.setColorAt(1, QColor(150, 200, 240));
    p.fillRect(QRectF(0, 0, w, horizon), sky);
    QLinearGradient ground(0, horizon, 0, m_panorama.height());
    ground.setColorAt(0, QColor(70, 130, 60));
    ground.setColorAt(1, QColor(30, 60, 25));
    p.fillRect(QRectF(0, horizon, w, m_panorama.height() - horizon), ground);
    drawLandmarks(p);
    drawGrid(p, w, m_panorama.height());
}

QImage Scene::render(double pan, double tilt, double fieldOfView, QSize size, const Overlay &overlay) const
{
    QImage view(size, QImage::Format_RGB32);
    const double hfov = fieldOfView;
    const double vfov = hfov * size.height() / std::max(1, size.width());
    const QRectF source(xOf(pan - hfov / 2), yOf(tilt + vfov / 2), hfov * Ppd, vfov * Ppd);
    QPainter p(&view);
    p.setRenderHint(QPainter::SmoothPixmapTransform, size.width() <= 800);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(size)), m_panorama, source);

    // A cross at the centre shows where the head points.
    p.setPen(QPen(QColor(255, 255, 255, 160), 1));
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    p.drawLine(c - QPointF(8, 0), c + QPointF(8, 0));
    p.drawLine(c - QPointF(0, 8), c + QPointF(0, 8));

    QFont font = p.font();
    font.setPixelSize(std::max(9, size.height() / 16));
    p.setFont(font);
    const QString lines = QStringLiteral("%1\n%2  #%3\nP %4  T %5  Z %6x")
                              .arg(overlay.name,
                                   QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz")))
                              .arg(overlay.frame)
                              .arg(overlay.pan, 0, 'f', 1)
                              .arg(overlay.tilt, 0, 'f', 1)
                              .arg(overlay.zoom, 0, 'f', 1);
    // Below the band where viewers lay title bars, above the one where they caption.
    const QRectF box(4, size.height() / 6.0, size.width() - 8, size.height() * 2 / 3.0);
    p.setPen(Qt::black);
    p.drawText(box.translated(1, 1), Qt::AlignLeft | Qt::AlignTop, lines);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop, lines);
    p.end();
    if (m_timecode)
        Timecode::draw(view, Timecode::nowMs());
    return view;
}

QByteArray Scene::renderJpeg(double pan, double tilt, double fieldOfView, QSize size, int quality,
                             const Overlay &overlay) const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(std::clamp(quality, 1, 100));
    writer.write(render(pan, tilt, fieldOfView, size, overlay));
    return bytes;
}
