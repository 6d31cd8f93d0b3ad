// artgen: draws the viewer's artwork and its shutter sound into a directory, so
// that every picture the views name is made from code in this repository.
// "artgen --icons DIR SIZE..." draws the icon the desktop shows instead, as SVG
// and as PNGs of the sizes given.

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSvgGenerator>

#include <cmath>
#include <functional>
#include <cstdio>
#include <random>

namespace {

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void joystick(QPainter &p, double size)
{
    // A stick on a base, the sign that a camera can be steered.
    const double s = size;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.22, s * 0.22);
    p.setBrush(QColor(235, 235, 235));
    p.drawEllipse(QRectF(s * 0.18, s * 0.66, s * 0.64, s * 0.2));
    p.setPen(QPen(QColor(235, 235, 235), s * 0.1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.5, s * 0.74), QPointF(s * 0.5, s * 0.36));
    p.setPen(Qt::NoPen);
    QRadialGradient knob(QPointF(s * 0.45, s * 0.25), s * 0.2);
    knob.setColorAt(0, QColor(255, 120, 110));
    knob.setColorAt(1, QColor(190, 30, 30));
    p.setBrush(knob);
    p.drawEllipse(QPointF(s * 0.5, s * 0.3), s * 0.16, s * 0.16);
}

QImage button(QColor top, QColor bottom)
{
    QImage image = canvas(24, 34);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 34);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setBrush(g);
    p.setPen(QPen(QColor(0, 0, 0, 140), 1));
    p.drawRoundedRect(QRectF(0.5, 2.5, 23, 29), 6, 6);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.drawLine(QPointF(5, 3.5), QPointF(19, 3.5));
    return image;
}

// Eight teeth round a hole: the settings sign.
QPainterPath gear(QPointF c, double outer, double inner, double hole)
{
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double angle = i * M_PI / teeth;
        const double r = (i % 2 == 0) ? outer : inner;
        const double a0 = angle - M_PI / (teeth * 2.4);
        const double a1 = angle + M_PI / (teeth * 2.4);
        const QPointF p0 = c + QPointF(std::cos(a0) * r, std::sin(a0) * r);
        const QPointF p1 = c + QPointF(std::cos(a1) * r, std::sin(a1) * r);
        if (i == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    path.addEllipse(c, hole, hole);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

QImage gears()
{
    QImage image = canvas(30, 30);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(gear(QPointF(15, 15), 12.5, 9.5, 4.2), QColor(240, 240, 240));
    return image;
}

QImage cameraButton()
{
    // The snapshot button's camera, white on the translucent toolbar.
    QImage image = canvas(26, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 245, 245));
    QPainterPath body;
    body.addRoundedRect(QRectF(1, 5, 24, 14), 3, 3);
    body.addRect(QRectF(8, 2, 10, 4));
    QPainterPath lens;
    lens.addEllipse(QPointF(13, 12), 4.6, 4.6);
    p.drawPath(body.subtracted(lens));
    p.drawEllipse(QPointF(13, 12), 2.6, 2.6);
    return image;
}

QImage presetsButton()
{
    // The presets button's star, white on the translucent toolbar like the camera.
    QImage image = canvas(26, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 245, 245));
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 ? 3.9 : 9.4;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        star << QPointF(13 + radius * std::cos(angle), 10.6 + radius * std::sin(angle));
    }
    p.drawPolygon(star);
    return image;
}

QImage titleBar()
{
    QImage image = canvas(16, 15);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, 15);
    g.setColorAt(0, QColor(0, 0, 0, 170));
    g.setColorAt(1, QColor(0, 0, 0, 90));
    p.fillRect(image.rect(), g);
    return image;
}

QImage whiteCircle()
{
    QImage image = canvas(72, 72);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 5));
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(QRectF(4, 4, 64, 64));
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(36, 36), 7, 7);
    return image;
}

// The settings rows' icons: a coloured rounded square with a white glyph, 29 points.
QImage badge(QColor top, QColor bottom, const std::function<void(QPainter &)> &glyph)
{
    QImage image = canvas(29, 29);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 29);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 28, 28), 6.5, 6.5);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    glyph(p);
    return image;
}

void cameraGlyph(QPainter &p, QPointF at, double scale)
{
    // A box camera seen from the side: body and a lens hood.
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    QPainterPath body;
    body.addRoundedRect(QRectF(0, 2, 13, 8), 1.6, 1.6);
    body.moveTo(13, 4.5);
    body.lineTo(18, 2);
    body.lineTo(18, 10);
    body.lineTo(13, 7.5);
    body.closeSubpath();
    p.drawPath(body);
    p.restore();
}

QImage cameraIcon()
{
    return badge(QColor(120, 128, 140), QColor(74, 80, 92), [](QPainter &p) { cameraGlyph(p, QPointF(5, 8.5), 1.05); });
}

QImage ptzIcon()
{
    return badge(QColor(236, 120, 52), QColor(196, 72, 22), [](QPainter &p) {
        cameraGlyph(p, QPointF(7, 4.5), 0.85);
        // Arrows beneath: the head turns.
        QPainterPath arrows;
        arrows.moveTo(4, 21);
        arrows.lineTo(8.5, 17.5);
        arrows.lineTo(8.5, 24.5);
        arrows.closeSubpath();
        arrows.moveTo(25, 21);
        arrows.lineTo(20.5, 17.5);
        arrows.lineTo(20.5, 24.5);
        arrows.closeSubpath();
        p.drawPath(arrows);
        p.drawRect(QRectF(8.5, 20, 12, 2));
    });
}

QImage groupIcon()
{
    return badge(QColor(86, 140, 214), QColor(30, 80, 160), [](QPainter &p) {
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 2; ++col)
                p.drawRoundedRect(QRectF(6 + col * 9, 6 + row * 9, 7.5, 7.5), 1.5, 1.5);
        }
    });
}

QImage settingsIcon()
{
    return badge(QColor(150, 156, 166), QColor(96, 102, 114), [](QPainter &p) {
        p.drawPath(gear(QPointF(14.5, 14.5), 10.5, 8, 3.6));
    });
}

QImage bonjourIcon()
{
    // Waves going out from a point: what the network announces.
    return badge(QColor(84, 190, 110), QColor(34, 140, 64), [](QPainter &p) {
        p.drawEllipse(QPointF(8, 21), 2.6, 2.6);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
        for (double r : { 7.5, 13.0, 18.5 })
            p.drawArc(QRectF(8 - r, 21 - r, 2 * r, 2 * r), 0, 90 * 16);
    });
}

QImage check(bool checked)
{
    QImage image = canvas(22, 22);
    if (!checked)
        return image;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(50, 79, 133), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath mark;
    mark.moveTo(4, 12);
    mark.lineTo(9, 17);
    mark.lineTo(18, 5);
    p.drawPath(mark);
    return image;
}

void lensMark(QPainter &p, const QRectF &box)
{
    // The product's mark: a camera lens, rings round a glinting pupil.
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient ring(box.center(), box.width() / 2);
    ring.setColorAt(0, QColor(70, 120, 200));
    ring.setColorAt(1, QColor(24, 52, 110));
    p.setPen(Qt::NoPen);
    p.setBrush(ring);
    p.drawEllipse(box);
    p.setBrush(QColor(12, 16, 28));
    p.drawEllipse(box.center(), box.width() * 0.3, box.width() * 0.3);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(box.center() - QPointF(box.width() * 0.09, box.width() * 0.09), box.width() * 0.08,
                  box.width() * 0.08);
}

QImage logo()
{
    QImage image = canvas(180, 64);
    QPainter p(&image);
    lensMark(p, QRectF(4, 4, 56, 56));
    QFont font;
    font.setPixelSize(46);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(50, 79, 133));
    p.drawText(QRectF(70, 0, 110, 64), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Vyo"));
    return image;
}

// The application icon, drawn on a 128-unit square; every size and the SVG come from here.
void drawAppIcon(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 128);
    g.setColorAt(0, QColor(58, 62, 72));
    g.setColorAt(1, QColor(20, 22, 28));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 26, 26);
    lensMark(p, QRectF(22, 22, 84, 84));
}

QImage appIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.scale(size / 128.0, size / 128.0);
    drawAppIcon(p);
    return image;
}

bool saveAppIconSvg(const QString &path)
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(128, 128));
    svg.setViewBox(QRect(0, 0, 128, 128));
    svg.setTitle(QStringLiteral("Vyo"));
    QPainter p;
    if (!p.begin(&svg))
        return false;
    drawAppIcon(p);
    return p.end();
}

QByteArray shutterWav()
{
    // A short mechanical click: two decaying noise bursts, 16-bit mono.
    constexpr int rate = 22050;
    constexpr int samples = rate / 6;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    QByteArray pcm;
    QDataStream out(&pcm, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    double low = 0;
    for (int i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double first = std::exp(-t * 90.0);
        const double second = t > 0.07 ? 0.7 * std::exp(-(t - 0.07) * 110.0) : 0.0;
        low = 0.6 * low + 0.4 * noise(rng);
        const double v = low * (first + second) * 0.8;
        out << static_cast<qint16>(std::lround(std::clamp(v, -1.0, 1.0) * 32000));
    }
    QByteArray wav;
    QDataStream w(&wav, QIODevice::WriteOnly);
    w.setByteOrder(QDataStream::LittleEndian);
    w.writeRawData("RIFF", 4);
    w << static_cast<quint32>(36 + pcm.size());
    w.writeRawData("WAVEfmt ", 8);
    w << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2) << quint16(16);
    w.writeRawData("data", 4);
    w << static_cast<quint32>(pcm.size());
    w.writeRawData(pcm.constData(), static_cast<int>(pcm.size()));
    return wav;
}

bool save(const QImage &image, const QDir &dir, const char *name)
{
    return image.save(dir.filePath(QString::fromLatin1(name)), "PNG");
}

// The scalable icon and one PNG per size asked for: vyo.svg, vyo-SIZE.png.
bool writeIcons(const QDir &dir, const QStringList &sizes)
{
    if (!QDir().mkpath(dir.path()) || !saveAppIconSvg(dir.filePath(QStringLiteral("vyo.svg"))))
        return false;
    for (const QString &text : sizes) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size < 16 || size > 1024)
            return false;
        if (!appIcon(size).save(dir.filePath(QStringLiteral("vyo-%1.png").arg(size)), "PNG"))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() >= 3 && arguments.at(1) == QLatin1StringView("--icons")) {
        if (writeIcons(QDir(arguments.at(2)), arguments.mid(3)))
            return 0;
        std::fprintf(stderr, "artgen: cannot write the icons into %s\n", argv[2]);
        return 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen OUTPUT-DIR | artgen --icons DIR SIZE...\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QDir dir(root.filePath(QStringLiteral("images")));
    const QDir sounds(root.filePath(QStringLiteral("sounds")));
    QDir().mkpath(dir.path());
    QDir().mkpath(sounds.path());

    QImage small = canvas(22, 22);
    {
        QPainter p(&small);
        joystick(p, 22);
    }
    QImage large = canvas(44, 44);
    {
        QPainter p(&large);
        joystick(p, 44);
    }
    bool ok = save(gears(), dir, "gears.png")
        && save(button(QColor(86, 140, 214), QColor(30, 80, 160)), dir, "blue_btn.png")
        && save(button(QColor(70, 70, 74), QColor(12, 12, 14)), dir, "black_btn.png")
        && save(titleBar(), dir, "small_title_bar.png") && save(small, dir, "joystick_small.png")
        && save(large, dir, "joystick_large.png") && save(whiteCircle(), dir, "white_circle.png")
        && save(cameraButton(), dir, "camera_button.png") && save(presetsButton(), dir, "presets_button.png") && save(cameraIcon(), dir, "camera_icon.png")
        && save(ptzIcon(), dir, "ptz_icon.png") && save(groupIcon(), dir, "group_icon.png")
        && save(settingsIcon(), dir, "settings_icon.png") && save(bonjourIcon(), dir, "bonjour_icon.png")
        && save(check(true), dir, "check.png") && save(check(false), dir, "no_check.png")
        && save(logo(), dir, "logo.png") && save(appIcon(128), dir, "vyo.png");
    QFile wav(sounds.filePath(QStringLiteral("shutter.wav")));
    ok = ok && wav.open(QIODevice::WriteOnly) && wav.write(shutterWav()) > 0;
    if (!ok) {
        std::fprintf(stderr, "artgen: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
