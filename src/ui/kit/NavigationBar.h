#pragma once

#include <QPointer>
#include <QWidget>

class BarButton;
class BarButtonItem;
class ViewController;

// The bar across the top of a navigation stack: the top screen's title, the way
// back to the screen below, and the top screen's left and right items.
class NavigationBar final : public QWidget
{
    Q_OBJECT

public:
    explicit NavigationBar(QWidget *parent = nullptr);

    // Shows what `top` declares; `previous` names the back button (null: none).
    void showItems(ViewController *top, ViewController *previous);

    QString title() const { return m_title; }
    BarButton *backButton() const { return m_back; }
    BarButton *leftButton() const { return m_left; }
    BarButton *rightButton() const { return m_right; }

signals:
    void backTapped();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void bindItem(BarButton *button, BarButtonItem *item, QPointer<BarButtonItem> &bound);
    void refresh();
    void layoutButtons();

    QPointer<ViewController> m_top;
    QPointer<ViewController> m_previous;
    QString m_title;
    BarButton *m_back;
    BarButton *m_left;
    BarButton *m_right;
    QPointer<BarButtonItem> m_leftItem;
    QPointer<BarButtonItem> m_rightItem;
};
