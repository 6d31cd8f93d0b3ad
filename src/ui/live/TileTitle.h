#pragma once

#include <QPixmap>
#include <QString>

class QFont;
class QPainter;
class QRect;

// A grid tile's title: the camera's name in white on the title bar artwork, across
// the top of the tile's picture. It is painted with every picture, so it is drawn
// once into a pixmap at the size it is shown, and only blitted after that.
class TileTitle final
{
public:
    static constexpr int Height = 15;

    QString text() const { return m_text; }
    void setText(const QString &text);
    // font: the tile's, made bold and small here.
    void paint(QPainter &painter, const QRect &bar, const QFont &font);

private:
    void draw(QPainter &painter, const QRect &bar, const QFont &font) const;

    QString m_text;
    QPixmap m_artwork;
    QPixmap m_drawn;
};
