#pragma once

#include <QAbstractButton>
#include <QMap>
#include <QPixmap>

// A rounded-rectangle push button. Without images it draws its own face in one of
// three roles; with images it stretches them: the left cap and the top cap keep
// their size, the one column and row after them are stretched, the rest is the
// right and bottom cap.
class RoundedButton : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Role { Normal, Destructive, Cancel, Dark };
    enum class State { Normal, Highlighted };

    explicit RoundedButton(const QString &title = {}, QWidget *parent = nullptr);

    void setRole(Role role);
    Role role() const { return m_role; }
    void setBackgroundImage(const QPixmap &image, State state, int leftCapWidth, int topCapHeight);
    void setTitleColor(const QColor &color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Background
    {
        QPixmap image;
        int leftCap = 0;
        int topCap = 0;
    };

    void paintImage(QPainter &painter, const Background &background) const;
    void paintFace(QPainter &painter) const;

    Role m_role = Role::Normal;
    QMap<State, Background> m_backgrounds;
    QColor m_titleColor;
};
