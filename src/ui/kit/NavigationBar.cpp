#include "ui/kit/NavigationBar.h"

#include "ui/kit/BarButton.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/Theme.h"
#include "ui/kit/ViewController.h"

#include <QPainter>

namespace {
constexpr int Margin = 5;
// Longer titles would crowd the screen's own title.
constexpr int LongestBackTitle = 12;
constexpr int TitleFontSize = 20;
constexpr int SmallestTitleFontSize = 14;
}

NavigationBar::NavigationBar(QWidget *parent)
    : QWidget(parent)
    , m_back(new BarButton(this))
    , m_left(new BarButton(this))
    , m_right(new BarButton(this))
{
    setFixedHeight(Theme::NavigationBarHeight);
    m_back->setShape(BarButton::Shape::Back);
    m_back->hide();
    m_left->hide();
    m_right->hide();
    connect(m_back, &QAbstractButton::clicked, this, &NavigationBar::backTapped);
    connect(m_left, &QAbstractButton::clicked, this, [this] {
        if (m_leftItem && m_leftItem->isEnabled())
            emit m_leftItem->triggered();
    });
    connect(m_right, &QAbstractButton::clicked, this, [this] {
        if (m_rightItem && m_rightItem->isEnabled())
            emit m_rightItem->triggered();
    });
}

void NavigationBar::showItems(ViewController *top, ViewController *previous)
{
    if (m_top)
        disconnect(m_top, nullptr, this, nullptr);
    m_top = top;
    m_previous = previous;
    if (m_top)
        connect(m_top, &ViewController::navigationItemChanged, this, &NavigationBar::refresh);
    refresh();
}

void NavigationBar::bindItem(BarButton *button, BarButtonItem *item, QPointer<BarButtonItem> &bound)
{
    if (bound != item) {
        if (bound)
            disconnect(bound, nullptr, this, nullptr);
        bound = item;
        if (item)
            connect(item, &BarButtonItem::changed, this, &NavigationBar::refresh);
    }
    button->setVisible(item != nullptr);
    if (!item)
        return;
    button->setText(item->title());
    button->setShape(item->style() == BarButtonItem::Style::Done ? BarButton::Shape::Done
                                                                  : BarButton::Shape::Plain);
    button->setEnabled(item->isEnabled());
}

void NavigationBar::refresh()
{
    m_title = m_top ? m_top->title() : QString();
    bindItem(m_left, m_top ? m_top->leftBarButtonItem() : nullptr, m_leftItem);
    bindItem(m_right, m_top ? m_top->rightBarButtonItem() : nullptr, m_rightItem);

    const bool showBack = m_top && m_previous && !m_top->hidesBackButton() && !m_leftItem;
    m_back->setVisible(showBack);
    if (showBack) {
        const QString title = m_previous->title();
        m_back->setText(title.isEmpty() || title.size() > LongestBackTitle ? tr("Back") : title);
    }
    layoutButtons();
    update();
}

void NavigationBar::layoutButtons()
{
    const int y = (height() - m_back->sizeHint().height()) / 2;
    m_back->setGeometry(QRect(QPoint(Margin, y), m_back->sizeHint()));
    m_left->setGeometry(QRect(QPoint(Margin, y), m_left->sizeHint()));
    const QSize right = m_right->sizeHint();
    m_right->setGeometry(QRect(QPoint(width() - Margin - right.width(), y), right));
}

void NavigationBar::resizeEvent(QResizeEvent *)
{
    layoutButtons();
}

void NavigationBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, Theme::barTop());
    fill.setColorAt(0.5, Theme::barTop().darker(112));
    fill.setColorAt(0.5001, Theme::barBottom().lighter(110));
    fill.setColorAt(1, Theme::barBottom());
    p.fillRect(rect(), fill);
    p.setPen(QColor(45, 54, 66));
    p.drawLine(0, height() - 1, width(), height() - 1);

    // The title keeps clear of whichever buttons are showing.
    int leftEdge = Margin;
    for (const BarButton *button : {m_back, m_left}) {
        if (button->isVisible())
            leftEdge = qMax(leftEdge, button->geometry().right() + Margin);
    }
    const int rightEdge = m_right->isVisible() ? m_right->geometry().left() - Margin : width() - Margin;
    // A long title gets a smaller font, down to a size still read at a glance,
    // before it is cut short.
    for (int size = TitleFontSize; size >= SmallestTitleFontSize; --size) {
        p.setFont(Theme::font(size, true));
        if (p.fontMetrics().horizontalAdvance(m_title) + 2 <= rightEdge - leftEdge)
            break;
    }
    // Centred on the bar when it fits there, otherwise centred in the room left.
    const int wanted = p.fontMetrics().horizontalAdvance(m_title) + 2;
    QRect titleRect((width() - wanted) / 2, 0, wanted, height());
    if (titleRect.left() < leftEdge || titleRect.right() > rightEdge)
        titleRect = QRect(leftEdge, 0, qMax(0, rightEdge - leftEdge), height());
    const QString shown = p.fontMetrics().elidedText(m_title, Qt::ElideRight, titleRect.width());
    p.setPen(QColor(0, 0, 0, 110));
    p.drawText(titleRect.translated(0, -1), Qt::AlignCenter, shown);
    p.setPen(Qt::white);
    p.drawText(titleRect, Qt::AlignCenter, shown);
}
