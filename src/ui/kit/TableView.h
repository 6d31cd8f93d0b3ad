#pragma once

#include "util/IndexPath.h"

#include <QList>
#include <QPointer>
#include <QScrollArea>

class QLabel;
class QParallelAnimationGroup;
class QPropertyAnimation;
class QTimer;
class TableViewCell;
class TableViewDataSource;
class TableViewDelegate;

// A scrolling list of rows in sections, asked for its content by a data source and
// reporting taps to a delegate. Plain style: full-width rows under grey section
// bars. Grouped style: inset sections with rounded corners on a tinted ground.
//
// Rows scroll with a finger or a mouse drag; a tap selects. In edit mode rows the
// data source allows show a red minus that asks for a Delete confirmation, and a
// grip at the right by which they are dragged to a new place.
class TableView final : public QScrollArea
{
    Q_OBJECT

public:
    enum class Style { Plain, Grouped };
    enum class RowAnimation { None, Fade, Left, Right };
    enum class ScrollPosition { Top, Middle, Bottom, Nearest };

    explicit TableView(Style style, QWidget *parent = nullptr);
    ~TableView() override;

    Style style() const { return m_style; }
    // Neither is owned.
    void setDataSource(TableViewDataSource *dataSource);
    void setDelegate(TableViewDelegate *delegate);
    int rowHeight() const { return m_rowHeight; }
    void setRowHeight(int height);
    int standardSectionFooterHeight() const;
    // Shown above the first and below the last section; borrowed like section views.
    void setTableHeaderView(QWidget *view);
    QWidget *tableHeaderView() const { return m_tableHeader; }
    void setTableFooterView(QWidget *view);
    QWidget *tableFooterView() const { return m_tableFooter; }

    // Asks the data source and delegate again for everything; clears the selection.
    // A table that was never loaded loads when first shown.
    void reloadData();
    int numberOfSections() const;
    int numberOfRows(int section) const;
    TableViewCell *cellForRow(const IndexPath &path) const;
    IndexPath indexPathForCell(const TableViewCell *cell) const;
    // In the coordinates of widget().
    QRect rectForRow(const IndexPath &path) const;

    IndexPath indexPathForSelectedRow() const { return m_selected; }
    void selectRow(const IndexPath &path, bool animated);
    void deselectRow(const IndexPath &path, bool animated);

    void scrollToRow(const IndexPath &path, ScrollPosition position, bool animated);
    void scrollToTop(bool animated);
    // Scrolls as little as needed to show the rectangle (coordinates of widget()).
    void scrollRectToVisible(const QRect &rect, bool animated);
    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled);

    bool isEditing() const { return m_editing; }
    void setEditing(bool editing, bool animated);

    // Row changes the data source has already made. Between beginUpdates and
    // endUpdates they are shown together; deleted paths count in the old layout,
    // inserted ones in the new.
    void beginUpdates();
    void endUpdates();
    void insertRows(const QList<IndexPath> &paths, RowAnimation animation);
    void deleteRows(const QList<IndexPath> &paths, RowAnimation animation);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct Section
    {
        QPointer<QWidget> header;
        int headerHeight = 0;
        QList<TableViewCell *> cells;
        QList<int> rowHeights;
        QList<int> rowTops;
        QPointer<QWidget> footer;
        int footerHeight = 0;
    };
    struct Borrowed
    {
        QPointer<QWidget> view;
        QPointer<QWidget> home;
    };
    struct Press
    {
        QPointer<TableViewCell> cell;
        QPoint globalStart;
        int scrollStart = 0;
        bool scrolling = false;
        bool reordering = false;
        int grabOffset = 0;
        IndexPath from;
    };

    void clearContent();
    void buildContent();
    void layoutContent();
    QWidget *borrow(QWidget *view, QList<Borrowed> &into);
    static void giveBack(QList<Borrowed> &borrowed);
    int heightOf(const QWidget *view) const;
    QLabel *makeTitleLabel(const QString &text, bool header);
    int defaultHeaderHeight(int section, bool titled) const;
    void animateScrollTo(int value, bool animated);
    void showScrollIndicator();

    void pressed(TableViewCell *cell, const QPoint &globalPos);
    void moved(const QPoint &globalPos);
    void released(const QPoint &globalPos);
    void tapped(TableViewCell *cell);
    IndexPath pathAtContentY(int y) const;
    void makeRoomFor(const IndexPath &proposed);
    void cancelDeleteConfirmation();
    void confirmDelete(TableViewCell *cell);
    void commitDelete(TableViewCell *cell);
    void applyEditingControls();
    void animateUpdates();
    void finishRowAnimation();

    Style m_style;
    TableViewDataSource *m_dataSource = nullptr;
    TableViewDelegate *m_delegate = nullptr;
    int m_rowHeight;
    QWidget *m_content;
    QList<Section> m_sections;
    QList<Borrowed> m_borrowed;
    QList<Borrowed> m_tableHeaderBorrowed;
    QList<Borrowed> m_tableFooterBorrowed;
    QList<QWidget *> m_ownedViews;
    QPointer<QWidget> m_tableHeader;
    QPointer<QWidget> m_tableFooter;
    IndexPath m_selected;
    bool m_loaded = false;
    bool m_editing = false;
    bool m_scrollEnabled = true;
    QPointer<TableViewCell> m_confirming;
    Press m_press;
    QPropertyAnimation *m_scrollAnimation;

    int m_updateDepth = 0;
    QList<QWidget *> m_deletedGhosts;
    QList<RowAnimation> m_ghostAnimations;
    QList<QPair<IndexPath, RowAnimation>> m_inserted;
    QParallelAnimationGroup *m_rowAnimation;
    QWidget *m_indicator = nullptr;
    QTimer *m_indicatorTimer;
};
