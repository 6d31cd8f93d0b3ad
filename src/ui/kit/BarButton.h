#pragma once

#include <QAbstractButton>

// How the navigation bar draws one button: bordered, blue for the done style,
// arrow-shaped for the way back.
class BarButton final : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Shape { Plain, Done, Back };

    explicit BarButton(QWidget *parent = nullptr);

    void setShape(Shape shape);
    Shape shape() const { return m_shape; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Shape m_shape = Shape::Plain;
};
