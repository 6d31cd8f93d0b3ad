#include "ui/kit/TableView.h"

#include "ui/kit/Theme.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QTimer>

namespace {
constexpr int DragThreshold = 8;
constexpr int PlainHeaderHeight = 23;
constexpr int GroupedGap = 10;
constexpr int GroupedTitleHeight = 36;

// The ground of a grouped table: fine vertical stripes, as on a settings page.
class GroupedGround final : public QWidget
{
public:
    explicit GroupedGround(bool striped, QWidget *parent)
        : QWidget(parent)
        , m_striped(striped)
    {
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter p(this);
        if (!m_striped) {
            p.fillRect(event->rect(), Qt::white);
            return;
        }
        p.fillRect(event->rect(), Theme::groupedBackground());
        p.setPen(QPen(Theme::groupedStripe(), 3));
        for (int x = event->rect().left() - event->rect().left() % 7; x <= event->rect().right(); x += 7)
            p.drawLine(x, event->rect().top(), x, event->rect().bottom());
    }

private:
    bool m_striped;
};

// The slim bar that shows where the rows are while they scroll; it never takes a touch.
class ScrollIndicator final : public QWidget
{
public:
    explicit ScrollIndicator(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 110));
        p.drawRoundedRect(QRectF(rect()), width() / 2.0, width() / 2.0);
    }
};
}

TableView::TableView(Style style, QWidget *parent)
    : QScrollArea(parent)
    , m_style(style)
    , m_rowHeight(Theme::RowHeight)
    , m_content(new GroupedGround(style == Style::Grouped, this))
    , m_scrollAnimation(new QPropertyAnimation(verticalScrollBar(), "value", this))
    , m_rowAnimation(new QParallelAnimationGroup(this))
    , m_indicatorTimer(new QTimer(this))
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A finger needs no scroll bar; the indicator shows the position instead.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidget(m_content);
    setWidgetResizable(false);
    m_content->installEventFilter(this);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, style == Style::Grouped ? Theme::groupedBackground() : QColor(Qt::white));
    setPalette(pal);
    viewport()->setAutoFillBackground(true);
    m_indicator = new ScrollIndicator(viewport());
    m_indicatorTimer->setSingleShot(true);
    m_indicatorTimer->setInterval(2 * Theme::AnimationMs);
    connect(m_indicatorTimer, &QTimer::timeout, m_indicator, &QWidget::hide);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TableView::showScrollIndicator);
    m_scrollAnimation->setDuration(Theme::AnimationMs);
    m_scrollAnimation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_rowAnimation, &QAbstractAnimation::finished, this, [this] {
        for (QWidget *ghost : std::as_const(m_deletedGhosts))
            ghost->deleteLater();
        m_deletedGhosts.clear();
        m_ghostAnimations.clear();
        m_rowAnimation->clear();
    });
}

TableView::~TableView()
{
    m_rowAnimation->stop();
    clearContent();
    giveBack(m_tableHeaderBorrowed);
    giveBack(m_tableFooterBorrowed);
}

void TableView::setDataSource(TableViewDataSource *dataSource)
{
    m_dataSource = dataSource;
}

void TableView::setDelegate(TableViewDelegate *delegate)
{
    m_delegate = delegate;
}

void TableView::setRowHeight(int height)
{
    m_rowHeight = height;
    layoutContent();
}

int TableView::standardSectionFooterHeight() const
{
    return m_style == Style::Grouped ? GroupedGap : 0;
}

void TableView::setTableHeaderView(QWidget *view)
{
    giveBack(m_tableHeaderBorrowed);
    m_tableHeader = borrow(view, m_tableHeaderBorrowed);
    layoutContent();
}

void TableView::setTableFooterView(QWidget *view)
{
    giveBack(m_tableFooterBorrowed);
    m_tableFooter = borrow(view, m_tableFooterBorrowed);
    layoutContent();
}

QWidget *TableView::borrow(QWidget *view, QList<Borrowed> &into)
{
    if (!view)
        return nullptr;
    into.append(Borrowed{view, view->parentWidget()});
    view->setParent(m_content);
    view->show();
    return view;
}

void TableView::giveBack(QList<Borrowed> &borrowed)
{
    for (const Borrowed &entry : std::as_const(borrowed)) {
        if (!entry.view)
            continue;
        entry.view->hide();
        entry.view->setParent(entry.home);
    }
    borrowed.clear();
}

int TableView::heightOf(const QWidget *view) const
{
    return view->testAttribute(Qt::WA_Resized) ? view->height() : view->sizeHint().height();
}

void TableView::clearContent()
{
    m_press = {};
    m_confirming = nullptr;
    m_selected = {};
    for (const Section &section : std::as_const(m_sections)) {
        for (TableViewCell *cell : section.cells) {
            cell->releaseAccessoryView();
            cell->removeEventFilter(this);
            cell->hide();
            // A tap on this very cell may be what asked for the reload.
            cell->deleteLater();
        }
    }
    m_sections.clear();
    giveBack(m_borrowed);
    for (QWidget *view : std::as_const(m_ownedViews)) {
        view->hide();
        view->deleteLater();
    }
    m_ownedViews.clear();
}

QLabel *TableView::makeTitleLabel(const QString &text, bool header)
{
    auto *label = new QLabel(text, m_content);
    label->setWordWrap(!header);
    QPalette pal = label->palette();
    if (m_style == Style::Grouped) {
        label->setFont(header ? Theme::headerFont() : Theme::footnoteFont());
        label->setAlignment(header ? Qt::AlignLeft | Qt::AlignBottom : Qt::AlignHCenter | Qt::AlignTop);
        label->setContentsMargins(20, header ? 0 : 4, 20, header ? 6 : 0);
        pal.setColor(QPalette::WindowText, Theme::headerText());
    } else {
        label->setFont(header ? Theme::font(17, true) : Theme::footnoteFont());
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setContentsMargins(12, 0, 12, 0);
        pal.setColor(QPalette::WindowText, header ? QColor(Qt::white) : Theme::headerText());
        if (header) {
            label->setAutoFillBackground(true);
            QLinearGradient bar(0, 0, 0, PlainHeaderHeight);
            bar.setColorAt(0, QColor(144, 159, 170));
            bar.setColorAt(1, QColor(184, 193, 200));
            pal.setBrush(QPalette::Window, bar);
        }
    }
    label->setPalette(pal);
    label->show();
    m_ownedViews.append(label);
    return label;
}

int TableView::defaultHeaderHeight(int section, bool titled) const
{
    if (m_style == Style::Plain)
        return titled ? PlainHeaderHeight : 0;
    if (titled)
        return GroupedTitleHeight + (section == 0 ? GroupedGap : 0);
    return GroupedGap;
}

void TableView::reloadData()
{
    m_loaded = true;
    clearContent();
    buildContent();
    layoutContent();
}

void TableView::buildContent()
{
    if (!m_dataSource)
        return;
    const int sections = m_dataSource->numberOfSections(this);
    for (int s = 0; s < sections; ++s) {
        Section section;
        QWidget *header = m_delegate ? m_delegate->viewForHeader(this, s) : nullptr;
        const QString headerTitle = m_dataSource->titleForHeader(this, s);
        if (header)
            section.header = borrow(header, m_borrowed);
        else if (!headerTitle.isEmpty())
            section.header = makeTitleLabel(headerTitle, true);
        const int headerHeight = m_delegate ? m_delegate->heightForHeader(this, s) : -1;
        section.headerHeight = headerHeight >= 0 ? headerHeight
                               : header           ? heightOf(header)
                                                  : defaultHeaderHeight(s, !headerTitle.isEmpty());

        const int rows = m_dataSource->numberOfRows(this, s);
        for (int r = 0; r < rows; ++r) {
            TableViewCell *cell = m_dataSource->cellForRow(this, {s, r});
            if (!cell)
                cell = new TableViewCell;
            cell->setParent(m_content);
            cell->installEventFilter(this);
            cell->show();
            connect(cell, &TableViewCell::deleteControlTapped, this, [this, cell] { confirmDelete(cell); });
            connect(cell, &TableViewCell::deleteConfirmed, this, [this, cell] { commitDelete(cell); });
            connect(cell, &TableViewCell::accessoryButtonTapped, this, [this, cell] {
                const IndexPath path = indexPathForCell(cell);
                if (m_delegate && path.isValid())
                    m_delegate->accessoryButtonTapped(this, path);
            });
            const int height = m_delegate ? m_delegate->heightForRow(this, {s, r}) : -1;
            section.cells.append(cell);
            section.rowHeights.append(height >= 0 ? height : m_rowHeight);
        }

        QWidget *footer = m_delegate ? m_delegate->viewForFooter(this, s) : nullptr;
        const QString footerTitle = m_dataSource->titleForFooter(this, s);
        if (footer)
            section.footer = borrow(footer, m_borrowed);
        else if (!footerTitle.isEmpty())
            section.footer = makeTitleLabel(footerTitle, false);
        const int footerHeight = m_delegate ? m_delegate->heightForFooter(this, s) : -1;
        if (footerHeight >= 0)
            section.footerHeight = footerHeight;
        else if (section.footer)
            section.footerHeight = footer ? heightOf(footer)
                                          : section.footer->heightForWidth(viewport()->width()) + GroupedGap;
        else
            section.footerHeight = standardSectionFooterHeight();
        m_sections.append(section);
    }
    applyEditingControls();
}

void TableView::layoutContent()
{
    const int width = viewport()->width();
    const int inset = m_style == Style::Grouped ? Theme::GroupedInset : 0;
    int y = 0;
    if (m_tableHeader) {
        m_tableHeader->setGeometry(0, 0, width, heightOf(m_tableHeader));
        y += m_tableHeader->height();
    }
    for (Section &section : m_sections) {
        if (section.header)
            section.header->setGeometry(0, y, width, section.headerHeight);
        y += section.headerHeight;
        section.rowTops.clear();
        const qsizetype count = section.cells.size();
        for (qsizetype r = 0; r < count; ++r) {
            TableViewCell *cell = section.cells.at(r);
            section.rowTops.append(y);
            cell->setGeometry(inset, y, width - 2 * inset, section.rowHeights.at(r));
            if (m_style == Style::Plain)
                cell->setPosition(TableViewCell::Position::Plain);
            else if (count == 1)
                cell->setPosition(TableViewCell::Position::Single);
            else if (r == 0)
                cell->setPosition(TableViewCell::Position::Top);
            else if (r == count - 1)
                cell->setPosition(TableViewCell::Position::Bottom);
            else
                cell->setPosition(TableViewCell::Position::Middle);
            y += section.rowHeights.at(r);
        }
        if (section.footer)
            section.footer->setGeometry(0, y, width, section.footerHeight);
        y += section.footerHeight;
    }
    if (m_tableFooter) {
        m_tableFooter->setGeometry(0, y, width, heightOf(m_tableFooter));
        y += m_tableFooter->height();
    }
    m_content->resize(width, qMax(y, viewport()->height()));
}

void TableView::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    layoutContent();
}

void TableView::showEvent(QShowEvent *event)
{
    QScrollArea::showEvent(event);
    if (!m_loaded)
        reloadData();
}

int TableView::numberOfSections() const
{
    return int(m_sections.size());
}

int TableView::numberOfRows(int section) const
{
    return section >= 0 && section < m_sections.size() ? int(m_sections.at(section).cells.size()) : 0;
}

TableViewCell *TableView::cellForRow(const IndexPath &path) const
{
    if (path.section < 0 || path.section >= m_sections.size())
        return nullptr;
    return m_sections.at(path.section).cells.value(path.row);
}

IndexPath TableView::indexPathForCell(const TableViewCell *cell) const
{
    for (int s = 0; s < m_sections.size(); ++s) {
        const qsizetype row = m_sections.at(s).cells.indexOf(cell);
        if (row >= 0)
            return {s, int(row)};
    }
    return {};
}

QRect TableView::rectForRow(const IndexPath &path) const
{
    if (!cellForRow(path))
        return {};
    const Section &section = m_sections.at(path.section);
    const int inset = m_style == Style::Grouped ? Theme::GroupedInset : 0;
    return {inset, section.rowTops.value(path.row), viewport()->width() - 2 * inset,
            section.rowHeights.at(path.row)};
}

void TableView::selectRow(const IndexPath &path, bool animated)
{
    if (m_selected.isValid() && m_selected != path)
        deselectRow(m_selected, false);
    TableViewCell *cell = cellForRow(path);
    if (!cell)
        return;
    m_selected = path;
    cell->setSelected(true, animated);
}

void TableView::deselectRow(const IndexPath &path, bool animated)
{
    if (path == m_selected)
        m_selected = {};
    if (TableViewCell *cell = cellForRow(path))
        cell->setSelected(false, animated);
}

void TableView::animateScrollTo(int value, bool animated)
{
    m_scrollAnimation->stop();
    value = qBound(verticalScrollBar()->minimum(), value, verticalScrollBar()->maximum());
    if (!animated) {
        verticalScrollBar()->setValue(value);
        return;
    }
    m_scrollAnimation->setStartValue(verticalScrollBar()->value());
    m_scrollAnimation->setEndValue(value);
    m_scrollAnimation->start();
}

void TableView::scrollToRow(const IndexPath &path, ScrollPosition position, bool animated)
{
    const QRect row = rectForRow(path);
    if (row.isNull())
        return;
    const int visible = viewport()->height();
    switch (position) {
    case ScrollPosition::Top:
        animateScrollTo(row.top(), animated);
        break;
    case ScrollPosition::Middle:
        animateScrollTo(row.center().y() - visible / 2, animated);
        break;
    case ScrollPosition::Bottom:
        animateScrollTo(row.bottom() + 1 - visible, animated);
        break;
    case ScrollPosition::Nearest:
        scrollRectToVisible(row, animated);
        break;
    }
}

void TableView::showScrollIndicator()
{
    const int visible = viewport()->height();
    const int total = m_content->height();
    if (total <= visible)
        return;
    const int length = qMax(20, visible * visible / total);
    const int travel = visible - length - 4;
    const int y = 2 + travel * verticalScrollBar()->value() / qMax(1, verticalScrollBar()->maximum());
    m_indicator->setGeometry(viewport()->width() - 7, y, 5, length);
    m_indicator->show();
    m_indicator->raise();
    m_indicatorTimer->start();
}

void TableView::scrollToTop(bool animated)
{
    animateScrollTo(0, animated);
}

void TableView::scrollRectToVisible(const QRect &rect, bool animated)
{
    const int top = verticalScrollBar()->value();
    const int visible = viewport()->height();
    if (rect.top() < top)
        animateScrollTo(rect.top(), animated);
    else if (rect.bottom() + 1 > top + visible)
        animateScrollTo(qMin(rect.top(), rect.bottom() + 1 - visible), animated);
}

void TableView::setScrollEnabled(bool enabled)
{
    m_scrollEnabled = enabled;
}

bool TableView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Wheel && !m_scrollEnabled)
        return true;
    return QScrollArea::viewportEvent(event);
}

void TableView::setEditing(bool editing, bool)
{
    if (editing == m_editing)
        return;
    m_editing = editing;
    cancelDeleteConfirmation();
    if (m_selected.isValid())
        deselectRow(m_selected, false);
    applyEditingControls();
}

void TableView::applyEditingControls()
{
    for (int s = 0; s < m_sections.size(); ++s) {
        const QList<TableViewCell *> &cells = m_sections.at(s).cells;
        for (int r = 0; r < cells.size(); ++r) {
            const bool deletable = m_editing && m_dataSource->canEditRow(this, {s, r});
            const bool movable = m_editing && m_dataSource->canMoveRow(this, {s, r});
            cells.at(r)->setEditingControls(deletable, movable);
        }
    }
}

void TableView::cancelDeleteConfirmation()
{
    if (m_confirming)
        m_confirming->setShowingDeleteConfirmation(false);
    m_confirming = nullptr;
}

void TableView::confirmDelete(TableViewCell *cell)
{
    const bool same = m_confirming == cell;
    cancelDeleteConfirmation();
    if (same)
        return;
    m_confirming = cell;
    cell->setShowingDeleteConfirmation(true);
}

void TableView::commitDelete(TableViewCell *cell)
{
    const IndexPath path = indexPathForCell(cell);
    cancelDeleteConfirmation();
    if (path.isValid() && m_dataSource)
        m_dataSource->commitDelete(this, path);
}

bool TableView::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick
        && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return QScrollArea::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint global = mouse->globalPosition().toPoint();
    // The second of two quick taps arrives as a double click; it is a tap all the same.
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        if (mouse->button() != Qt::LeftButton)
            return false;
        pressed(qobject_cast<TableViewCell *>(watched), global);
    } else if (type == QEvent::MouseMove) {
        moved(global);
    } else if (mouse->button() == Qt::LeftButton) {
        released(global);
    }
    return true;
}

void TableView::pressed(TableViewCell *cell, const QPoint &globalPos)
{
    m_press = {};
    m_scrollAnimation->stop();
    m_press.globalStart = globalPos;
    m_press.scrollStart = verticalScrollBar()->value();
    // A touch anywhere but on the Delete button takes a pending confirmation back.
    if (m_confirming) {
        cancelDeleteConfirmation();
        return;
    }
    m_press.cell = cell;
    if (!cell)
        return;
    const QPoint local = cell->mapFromGlobal(globalPos);
    if (m_editing && cell->reorderGripRect().contains(local)) {
        m_press.reordering = true;
        m_press.from = indexPathForCell(cell);
        m_press.grabOffset = local.y();
        cell->raise();
        return;
    }
    if (!m_editing && cell->selectionStyle() != TableViewCell::SelectionStyle::None)
        cell->setHighlighted(true);
}

void TableView::moved(const QPoint &globalPos)
{
    const int dy = globalPos.y() - m_press.globalStart.y();
    if (m_press.reordering && m_press.cell) {
        const QPoint inContent = m_content->mapFromGlobal(globalPos);
        const int top = qBound(0, inContent.y() - m_press.grabOffset,
                               m_content->height() - m_press.cell->height());
        m_press.cell->move(m_press.cell->x(), top);
        makeRoomFor(pathAtContentY(m_press.cell->geometry().center().y()));
        return;
    }
    if (!m_press.scrolling && qAbs(dy) >= DragThreshold && m_scrollEnabled) {
        m_press.scrolling = true;
        if (m_press.cell)
            m_press.cell->setHighlighted(false);
    }
    if (m_press.scrolling)
        verticalScrollBar()->setValue(m_press.scrollStart - dy);
}

void TableView::released(const QPoint &globalPos)
{
    const Press press = std::exchange(m_press, {});
    TableViewCell *cell = press.cell;
    if (!cell)
        return;
    if (press.reordering) {
        const QPoint centre = cell->geometry().center();
        IndexPath target = pathAtContentY(centre.y());
        if (m_delegate && target.isValid())
            target = m_delegate->targetForMove(this, press.from, target);
        if (target.isValid() && target != press.from)
            m_dataSource->moveRow(this, press.from, target);
        reloadData();
        return;
    }
    if (press.scrolling)
        return;
    cell->setHighlighted(false);
    if (cell->rect().contains(cell->mapFromGlobal(globalPos)))
        tapped(cell);
}

// The rows between the dragged row's old place and the one under it step aside.
void TableView::makeRoomFor(const IndexPath &proposed)
{
    const IndexPath from = m_press.from;
    const int room = m_press.cell->height();
    for (int s = 0; s < m_sections.size(); ++s) {
        const Section &section = m_sections.at(s);
        for (int r = 0; r < section.cells.size(); ++r) {
            TableViewCell *cell = section.cells.at(r);
            if (cell == m_press.cell)
                continue;
            int y = section.rowTops.at(r);
            if (s == from.section && proposed.section == from.section) {
                if (r > from.row && r <= proposed.row)
                    y -= room;
                else if (r < from.row && r >= proposed.row)
                    y += room;
            }
            cell->move(cell->x(), y);
        }
    }
}

IndexPath TableView::pathAtContentY(int y) const
{
    IndexPath last;
    for (int s = 0; s < m_sections.size(); ++s) {
        const Section &section = m_sections.at(s);
        for (int r = 0; r < section.cells.size(); ++r) {
            last = {s, r};
            if (y < section.rowTops.at(r) + section.rowHeights.at(r))
                return last;
        }
    }
    return last;
}

void TableView::tapped(TableViewCell *cell)
{
    if (m_editing)
        return;
    const IndexPath path = indexPathForCell(cell);
    const IndexPath target = m_delegate ? m_delegate->willSelectRow(this, path) : path;
    if (!target.isValid())
        return;
    selectRow(target, false);
    if (m_delegate)
        m_delegate->didSelectRow(this, target);
}

void TableView::beginUpdates()
{
    ++m_updateDepth;
}

void TableView::endUpdates()
{
    if (m_updateDepth > 0 && --m_updateDepth == 0)
        animateUpdates();
}

void TableView::finishRowAnimation()
{
    if (m_rowAnimation->state() == QAbstractAnimation::Running)
        m_rowAnimation->setCurrentTime(m_rowAnimation->totalDuration());
}

void TableView::deleteRows(const QList<IndexPath> &paths, RowAnimation animation)
{
    finishRowAnimation();
    for (const IndexPath &path : paths) {
        TableViewCell *cell = cellForRow(path);
        if (!cell || animation == RowAnimation::None)
            continue;
        // The row leaves as a picture of itself while the table already shows what follows.
        auto *ghost = new QLabel(m_content);
        ghost->setPixmap(cell->grab());
        ghost->setGeometry(cell->geometry());
        ghost->show();
        m_deletedGhosts.append(ghost);
        m_ghostAnimations.append(animation);
    }
    if (m_updateDepth == 0)
        animateUpdates();
}

void TableView::insertRows(const QList<IndexPath> &paths, RowAnimation animation)
{
    finishRowAnimation();
    for (const IndexPath &path : paths)
        m_inserted.append({path, animation});
    if (m_updateDepth == 0)
        animateUpdates();
}

void TableView::animateUpdates()
{
    const QList<QPair<IndexPath, RowAnimation>> inserted = std::exchange(m_inserted, {});
    reloadData();
    const int width = viewport()->width();
    const auto slide = [this](QWidget *widget, QPoint from, QPoint to) {
        auto *animation = new QPropertyAnimation(widget, "pos", m_rowAnimation);
        animation->setStartValue(from);
        animation->setEndValue(to);
        animation->setDuration(Theme::AnimationMs);
        m_rowAnimation->addAnimation(animation);
    };
    for (qsizetype i = 0; i < m_deletedGhosts.size(); ++i) {
        QWidget *ghost = m_deletedGhosts.at(i);
        ghost->raise();
        const RowAnimation animation = m_ghostAnimations.at(i);
        if (animation == RowAnimation::Fade) {
            auto *effect = new QGraphicsOpacityEffect(ghost);
            ghost->setGraphicsEffect(effect);
            auto *fade = new QPropertyAnimation(effect, "opacity", m_rowAnimation);
            fade->setStartValue(1.0);
            fade->setEndValue(0.0);
            fade->setDuration(Theme::AnimationMs);
            m_rowAnimation->addAnimation(fade);
        } else {
            const int dx = animation == RowAnimation::Left ? -width : width;
            slide(ghost, ghost->pos(), ghost->pos() + QPoint(dx, 0));
        }
    }
    for (const auto &[path, animation] : inserted) {
        TableViewCell *cell = cellForRow(path);
        if (!cell || (animation != RowAnimation::Left && animation != RowAnimation::Right))
            continue;
        // An inserted row slides in from the side its animation names.
        const int dx = animation == RowAnimation::Left ? -width : width;
        slide(cell, cell->pos() + QPoint(dx, 0), cell->pos());
    }
    if (m_rowAnimation->animationCount() > 0)
        m_rowAnimation->start();
}
