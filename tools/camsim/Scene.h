#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// The world every simulated camera looks at: a procedurally drawn panorama from
// which a view is cut by pan, tilt and field of view.
class Scene final
{
public:
    static constexpr int PixelsPerDegree = 10;
    // The panorama spans more than a full turn so that no view has to wrap.
    static constexpr double PanSpan = 420.0;
    static constexpr double TiltSpan = 140.0;

    // With timecode, every picture carries the moment it was drawn (see Timecode).
    explicit Scene(bool timecode = false);

    struct Overlay
    {
        QString name;
        quint64 frame = 0;
        double pan = 0;
        double tilt = 0;
        double zoom = 1;
    };

    QImage render(double pan, double tilt, double fieldOfView, QSize size, const Overlay &overlay) const;
    // JPEG of the view; quality 1 to 100.
    QByteArray renderJpeg(double pan, double tilt, double fieldOfView, QSize size, int quality,
                          const Overlay &overlay) const;

private:
    QImage m_panorama;
    bool m_timecode;
};
