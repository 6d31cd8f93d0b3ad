#include "ui/kit/TableViewCell.h"

#include "ui/kit/CellControl.h"
#include "ui/kit/RoundedButton.h"
#include "ui/kit/Theme.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace {
constexpr int Inset = 10;
constexpr int EditingIndent = 38;
constexpr int GripWidth = 40;
constexpr int MarkWidth = 22;
constexpr int ConfirmWidth = 70;
constexpr int MinimumTextPixels = 13;
}

TableViewCell::TableViewCell(QWidget *parent)
    : QWidget(parent)
    , m_textFont(Theme::cellFont())
    , m_textColor(Theme::cellText())
    , m_fade(new QVariantAnimation(this))
    , m_deleteControl(new CellControl(CellControl::Kind::Delete, this))
    , m_detailButton(new CellControl(CellControl::Kind::DetailDisclosure, this))
    , m_confirmButton(new RoundedButton(tr("Delete"), this))
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_deleteControl->hide();
    m_detailButton->hide();
    m_confirmButton->hide();
    m_confirmButton->setRole(RoundedButton::Role::Destructive);
    m_confirmButton->setFont(Theme::font(14, true));
    m_confirmButton->setMinimumHeight(30);
    m_fade->setDuration(Theme::AnimationMs);
    connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        m_highlightLevel = v.toDouble();
        update();
    });
    connect(m_deleteControl, &QAbstractButton::clicked, this, &TableViewCell::deleteControlTapped);
    connect(m_detailButton, &QAbstractButton::clicked, this, &TableViewCell::accessoryButtonTapped);
    connect(m_confirmButton, &QAbstractButton::clicked, this, &TableViewCell::deleteConfirmed);
}

TableViewCell::~TableViewCell()
{
    releaseAccessoryView();
}

void TableViewCell::releaseAccessoryView()
{
    if (m_accessoryView && m_accessoryView->parentWidget() == this && m_accessoryHome != this) {
        m_accessoryView->hide();
        m_accessoryView->setParent(m_accessoryHome);
    }
    m_accessoryView = nullptr;
}

void TableViewCell::setText(const QString &text)
{
    m_text = text;
    update();
}

void TableViewCell::setImage(const QPixmap &image)
{
    m_image = image;
    update();
}

void TableViewCell::setDetailText(const QString &text)
{
    m_detailText = text;
    update();
}

void TableViewCell::setTextFont(const QFont &font)
{
    m_textFont = font;
    update();
}

void TableViewCell::setTextColor(const QColor &color)
{
    m_textColor = color;
    update();
}

void TableViewCell::setTextAlignment(Qt::Alignment alignment)
{
    m_textAlignment = alignment;
    update();
}

void TableViewCell::setAccessoryType(Accessory accessory)
{
    m_accessory = accessory;
    layoutChildren();
    update();
}

void TableViewCell::setAccessoryView(QWidget *view)
{
    if (view == m_accessoryView)
        return;
    releaseAccessoryView();
    m_accessoryView = view;
    if (view) {
        m_accessoryHome = view->parentWidget();
        view->setParent(this);
        view->show();
    }
    layoutChildren();
    update();
}

void TableViewCell::setSelectionStyle(SelectionStyle style)
{
    m_selectionStyle = style;
    update();
}

void TableViewCell::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    m_fade->stop();
    m_highlightLevel = (m_highlighted || m_selected) ? 1.0 : 0.0;
    update();
}

void TableViewCell::setSelected(bool selected, bool animated)
{
    m_selected = selected;
    m_highlighted = false;
    m_fade->stop();
    const double target = selected ? 1.0 : 0.0;
    if (animated && m_highlightLevel != target) {
        m_fade->setStartValue(m_highlightLevel);
        m_fade->setEndValue(target);
        m_fade->start();
        return;
    }
    m_highlightLevel = target;
    update();
}

void TableViewCell::setPosition(Position position)
{
    m_position = position;
    update();
}

void TableViewCell::setEditingControls(bool deletable, bool movable)
{
    m_deletable = deletable;
    m_movable = movable;
    if (!deletable)
        m_confirming = false;
    m_deleteControl->setTurned(m_confirming);
    layoutChildren();
    update();
}

void TableViewCell::setShowingDeleteConfirmation(bool showing)
{
    m_confirming = showing && m_deletable;
    m_deleteControl->setTurned(m_confirming);
    layoutChildren();
    update();
}

QRect TableViewCell::reorderGripRect() const
{
    if (!m_movable || m_confirming)
        return {};
    return {width() - GripWidth, 0, GripWidth, height()};
}

void TableViewCell::setAccessoryColumn(int x)
{
    m_accessoryColumn = x;
    if (testAttribute(Qt::WA_Resized))
        layoutChildren();
}

int TableViewCell::accessoryWidth() const
{
    if (m_deletable || m_movable) {
        if (m_confirming)
            return ConfirmWidth + Inset;
        return m_movable ? GripWidth : 0;
    }
    if (m_accessoryView)
        return m_accessoryView->width() + Inset;
    switch (m_accessory) {
    case Accessory::None:
        return 0;
    case Accessory::DisclosureIndicator:
    case Accessory::Checkmark:
        return MarkWidth + 4;
    case Accessory::DetailDisclosureButton:
        return m_detailButton->width() + 2;
    }
    return 0;
}

QRect TableViewCell::contentRect() const
{
    const int left = (m_deletable ? EditingIndent : 0) + Inset;
    const int right = width() - Inset - accessoryWidth();
    return {left, 0, qMax(0, right - left), height()};
}

void TableViewCell::layoutChildren()
{
    const bool editing = m_deletable || m_movable;
    m_deleteControl->setVisible(m_deletable);
    m_deleteControl->move(4, (height() - m_deleteControl->height()) / 2);
    m_confirmButton->setVisible(m_confirming);
    m_confirmButton->setGeometry(width() - Inset - ConfirmWidth, (height() - 30) / 2, ConfirmWidth, 30);

    const bool showDetailButton = !editing && !m_accessoryView
                                  && m_accessory == Accessory::DetailDisclosureButton;
    m_detailButton->setVisible(showDetailButton);
    m_detailButton->move(width() - m_detailButton->width() - 2, (height() - m_detailButton->height()) / 2);

    if (m_accessoryView) {
        QSize size = m_accessoryView->testAttribute(Qt::WA_Resized) ? m_accessoryView->size()
                                                                    : m_accessoryView->sizeHint();
        size.setHeight(qMin(size.height(), height()));
        if (m_accessoryColumn > 0)
            size.setWidth(qMax(0, width() - Inset - m_accessoryColumn));
        m_accessoryView->setGeometry(width() - Inset - size.width(), (height() - size.height()) / 2,
                                     size.width(), size.height());
        m_accessoryView->setVisible(!editing);
    }
}

void TableViewCell::resizeEvent(QResizeEvent *)
{
    layoutChildren();
}

QPainterPath TableViewCell::shape() const
{
    QPainterPath path;
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, 0.5);
    if (m_position == Position::Plain) {
        path.addRect(rect());
        return path;
    }
    const bool roundTop = m_position == Position::Single || m_position == Position::Top;
    const bool roundBottom = m_position == Position::Single || m_position == Position::Bottom;
    const double radius = Theme::CornerRadius;
    const QRectF bottomAdjusted = roundBottom ? r.adjusted(0, 0, 0, -1) : r;
    path.addRoundedRect(bottomAdjusted, radius, radius);
    // Square off the corners that continue into the neighbouring rows.
    QPainterPath squares;
    if (!roundTop)
        squares.addRect(QRectF(r.left(), r.top(), r.width(), radius));
    if (!roundBottom)
        squares.addRect(QRectF(r.left(), r.bottom() - radius, r.width(), radius));
    return path.united(squares).simplified();
}

void TableViewCell::paintBackground(QPainter &p, const QPainterPath &path) const
{
    p.fillPath(path, Qt::white);
    if (m_highlightLevel > 0 && m_selectionStyle != SelectionStyle::None) {
        p.save();
        p.setOpacity(m_highlightLevel);
        if (m_selectionStyle == SelectionStyle::Blue) {
            QLinearGradient fill(0, 0, 0, height());
            fill.setColorAt(0, Theme::selectionTop());
            fill.setColorAt(1, Theme::selectionBottom());
            p.fillPath(path, fill);
        } else {
            p.fillPath(path, Theme::graySelection());
        }
        p.restore();
    }
    p.setPen(QPen(Theme::separator(), 1));
    if (m_position == Position::Plain) {
        p.drawLine(0, height() - 1, width(), height() - 1);
        return;
    }
    if (m_position == Position::Top || m_position == Position::Middle)
        p.drawLine(QPointF(1, height() - 0.5), QPointF(width() - 1, height() - 0.5));
    p.setPen(QPen(Theme::sectionBorder(), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void TableViewCell::paintAccessoryMark(QPainter &p, const QColor &color) const
{
    const QPointF centre(width() - Inset - MarkWidth / 2.0, height() / 2.0);
    QPainterPath mark;
    if (m_accessory == Accessory::DisclosureIndicator) {
        mark.moveTo(centre + QPointF(-3, -6));
        mark.lineTo(centre + QPointF(3, 0));
        mark.lineTo(centre + QPointF(-3, 6));
        p.setPen(QPen(m_highlightLevel > 0.5 ? QColor(Qt::white) : QColor(128, 128, 128), 3,
                      Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    } else {
        mark.moveTo(centre + QPointF(-7, 0));
        mark.lineTo(centre + QPointF(-2, 6));
        mark.lineTo(centre + QPointF(8, -8));
        p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    p.setBrush(Qt::NoBrush);
    p.drawPath(mark);
}

void TableViewCell::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = shape();
    paintBackground(p, path);
    p.setClipPath(path);

    const bool inverted = m_highlightLevel > 0.5 && m_selectionStyle == SelectionStyle::Blue;
    QRect content = contentRect();
    if (!m_image.isNull()) {
        const QSize size = m_image.deviceIndependentSize().toSize().boundedTo(QSize(32, height() - 8));
        p.drawPixmap(QRect(QPoint(content.left(), (height() - size.height()) / 2), size), m_image);
        content.setLeft(content.left() + size.width() + Inset);
    }

    int detailWidth = 0;
    if (!m_detailText.isEmpty()) {
        p.setFont(Theme::detailFont());
        const int wanted = p.fontMetrics().horizontalAdvance(m_detailText);
        // A little slack: elision measures fractional advances.
        detailWidth = qMin(wanted + 4, content.width() * 3 / 5);
        const QRect detail(content.right() - detailWidth, 0, detailWidth, height());
        p.setPen(inverted ? QColor(Qt::white) : Theme::detailText());
        p.drawText(detail, Qt::AlignRight | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(m_detailText, Qt::ElideRight, detailWidth));
        detailWidth += Inset;
    }

    p.setPen(inverted ? QColor(Qt::white) : m_textColor);
    const QRect textRect = content.adjusted(0, 0, -detailWidth, 0);
    // A label squeezed by a wide field shrinks a little before it is cut short.
    QFont font = m_textFont;
    const int wanted = QFontMetrics(font).horizontalAdvance(m_text);
    if (wanted > textRect.width() && font.pixelSize() > 0)
        font.setPixelSize(qMax(MinimumTextPixels, font.pixelSize() * textRect.width() / wanted));
    p.setFont(font);
    p.drawText(textRect, int(m_textAlignment),
               p.fontMetrics().elidedText(m_text, Qt::ElideRight, textRect.width()));

    const bool editing = m_deletable || m_movable;
    if (!editing && !m_accessoryView
        && (m_accessory == Accessory::DisclosureIndicator || m_accessory == Accessory::Checkmark))
        paintAccessoryMark(p, inverted ? QColor(Qt::white) : Theme::detailText());

    if (m_movable && !m_confirming) {
        // Three grip lines where the finger picks the row up.
        const QRect grip = reorderGripRect();
        p.setPen(QPen(QColor(170, 170, 170), 2));
        for (int i = -1; i <= 1; ++i) {
            const int y = grip.center().y() + i * 5;
            p.drawLine(grip.left() + 10, y, grip.right() - 12, y);
        }
    }
}
