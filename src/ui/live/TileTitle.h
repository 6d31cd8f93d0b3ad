#pragma once

#include <QPixmap>
#include <QWidget>

// A grid tile's title: the camera's name in white on the title bar artwork. It is
// repainted with every picture of the tile below it, so it is drawn once into a
// pixmap at the size it is shown, and only blitted after that.
class TileTitle final : public QWidget
{
public:
    explicit TileTitle(QWidget *parent);

    QString text() const { return m_text; }
    void setText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void draw(QPainter &painter) const;

    QString m_text;
    QPixmap m_bar;
    QPixmap m_drawn;
};
