#include "ui/kit/CellControl.h"
#include "ui/kit/RoundedButton.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"

#include <QLabel>
#include <QPointingDevice>
#include <QScrollBar>
#include <QTest>

namespace {

// Two sections of named rows; the last row of section 0 ("add") can be neither
// deleted nor moved, and moves past the movable rows land on the last movable one.
class Rows final : public TableViewDataSource, public TableViewDelegate
{
public:
    QList<QStringList> sections{{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                 QStringLiteral("add")},
                                {QStringLiteral("X")}};
    QList<IndexPath> selected;
    QList<IndexPath> refused;
    QList<IndexPath> deleted;
    int moves = 0;

    int numberOfSections(TableView *) override { return int(sections.size()); }
    int numberOfRows(TableView *, int section) override { return int(sections.at(section).size()); }
    TableViewCell *cellForRow(TableView *, const IndexPath &path) override
    {
        auto *cell = new TableViewCell;
        cell->setText(sections.at(path.section).at(path.row));
        return cell;
    }
    bool isAddRow(const IndexPath &path) const { return path == IndexPath{0, 3}; }
    bool canEditRow(TableView *, const IndexPath &path) override { return path.section == 0 && !isAddRow(path); }
    bool canMoveRow(TableView *table, const IndexPath &path) override { return canEditRow(table, path); }
    void commitDelete(TableView *table, const IndexPath &path) override
    {
        deleted.append(path);
        sections[path.section].removeAt(path.row);
        table->deleteRows({path}, TableView::RowAnimation::Left);
    }
    void moveRow(TableView *, const IndexPath &from, const IndexPath &to) override
    {
        ++moves;
        sections[to.section].insert(to.row, sections[from.section].takeAt(from.row));
    }
    IndexPath targetForMove(TableView *, const IndexPath &, const IndexPath &proposed) override
    {
        if (proposed.section != 0 || proposed.row >= 3)
            return {0, 2};
        return proposed;
    }
    IndexPath willSelectRow(TableView *, const IndexPath &path) override
    {
        if (path.section == 1) {
            refused.append(path);
            return {};
        }
        return path;
    }
    void didSelectRow(TableView *, const IndexPath &path) override { selected.append(path); }
};

// The texts of a section's rows, separated by blanks.
QString texts(TableView &table, int section)
{
    QStringList shown;
    for (int r = 0; r < table.numberOfRows(section); ++r)
        shown.append(table.cellForRow({section, r})->text());
    return shown.join(QLatin1Char(' '));
}

}

class TestTableView final : public QObject
{
    Q_OBJECT

private:
    Rows m_rows;
    std::unique_ptr<TableView> m_table;
    std::unique_ptr<QPointingDevice> m_touchScreen{QTest::createTouchDevice()};

    void click(const IndexPath &path)
    {
        TableViewCell *cell = m_table->cellForRow(path);
        QVERIFY(cell);
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(40, cell->height() / 2));
    }

private slots:
    void init()
    {
        m_rows = Rows();
        m_table = std::make_unique<TableView>(TableView::Style::Grouped);
        m_table->setDataSource(&m_rows);
        m_table->setDelegate(&m_rows);
        m_table->resize(320, 480);
        m_table->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_table.get()));
    }

    void cleanup() { m_table.reset(); }

    void tapSelectsUnlessTheDelegateRefuses()
    {
        click({0, 1});
        QCOMPARE(m_rows.selected, (QList<IndexPath>{{0, 1}}));
        QCOMPARE(m_table->indexPathForSelectedRow(), (IndexPath{0, 1}));
        QVERIFY(m_table->cellForRow({0, 1})->isSelected());

        click({1, 0});
        QCOMPARE(m_rows.refused, (QList<IndexPath>{{1, 0}}));
        QCOMPARE(m_rows.selected.size(), 1);

        m_table->deselectRow({0, 1}, true);
        QVERIFY(!m_table->indexPathForSelectedRow().isValid());
        QVERIFY(!m_table->cellForRow({0, 1})->isSelected());

        // Two quick taps are two taps.
        m_rows.selected.clear();
        TableViewCell *cell = m_table->cellForRow({0, 0});
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(40, 20));
        QTest::mouseDClick(cell, Qt::LeftButton, {}, QPoint(40, 20));
        QTest::mouseRelease(cell, Qt::LeftButton, {}, QPoint(40, 20));
        QCOMPARE(m_rows.selected, (QList<IndexPath>{{0, 0}, {0, 0}}));
    }

    void touchTapSelectsToo()
    {
        TableViewCell *cell = m_table->cellForRow({0, 2});
        const QPoint at = cell->mapTo(m_table->window(), QPoint(40, 20));
        QTest::touchEvent(m_table->window(), m_touchScreen.get()).press(0, at);
        QTest::touchEvent(m_table->window(), m_touchScreen.get()).release(0, at);
        QCOMPARE(m_rows.selected, (QList<IndexPath>{{0, 2}}));
    }

    void dragScrollsInsteadOfSelecting()
    {
        m_rows.sections[0] = QStringList(20, QStringLiteral("row"));
        m_table->reloadData();
        TableViewCell *cell = m_table->cellForRow({0, 5});
        QTest::mousePress(cell, Qt::LeftButton, {}, QPoint(40, 20));
        QTest::mouseMove(cell, QPoint(40, 0));
        QTest::mouseMove(cell, QPoint(40, -60));
        QTest::mouseRelease(cell, Qt::LeftButton, {}, QPoint(40, -60));
        QVERIFY(m_rows.selected.isEmpty());
        QVERIFY(m_table->verticalScrollBar()->value() > 0);

        m_table->setScrollEnabled(false);
        m_table->scrollToTop(false);
        cell = m_table->cellForRow({0, 5});
        QTest::mousePress(cell, Qt::LeftButton, {}, QPoint(40, 20));
        QTest::mouseMove(cell, QPoint(40, -60));
        QTest::mouseRelease(cell, Qt::LeftButton, {}, QPoint(40, -60));
        QCOMPARE(m_table->verticalScrollBar()->value(), 0);
    }

    void deleteNeedsTheConfirmation()
    {
        m_table->setEditing(true, false);
        TableViewCell *cell = m_table->cellForRow({0, 1});
        QVERIFY(cell->deleteControl()->isVisible());
        QVERIFY(!m_table->cellForRow({0, 3})->deleteControl()->isVisible());
        QVERIFY(!m_table->cellForRow({1, 0})->deleteControl()->isVisible());

        // The minus only asks; a tap elsewhere takes the question back.
        QTest::mouseClick(cell->deleteControl(), Qt::LeftButton);
        QVERIFY(cell->isShowingDeleteConfirmation());
        QVERIFY(cell->deleteConfirmationButton()->isVisible());
        QVERIFY(m_rows.deleted.isEmpty());
        click({0, 0});
        QVERIFY(!cell->isShowingDeleteConfirmation());
        QVERIFY(m_rows.selected.isEmpty());

        // Asked again, the Delete button deletes.
        QTest::mouseClick(cell->deleteControl(), Qt::LeftButton);
        QTest::mouseClick(cell->deleteConfirmationButton(), Qt::LeftButton);
        QCOMPARE(m_rows.deleted, (QList<IndexPath>{{0, 1}}));
        QCOMPARE(texts(*m_table, 0), QStringLiteral("A C add"));
        QVERIFY(m_table->cellForRow({0, 1})->deleteControl()->isVisible());
    }

    void rowsAreReorderedByTheirGrip()
    {
        m_table->setEditing(true, false);
        TableViewCell *a = m_table->cellForRow({0, 0});
        QVERIFY(!a->reorderGripRect().isEmpty());
        QVERIFY(m_table->cellForRow({0, 3})->reorderGripRect().isEmpty());

        // Drag A by its grip down over C.
        const QPoint grip = a->reorderGripRect().center();
        const int down = m_table->rectForRow({0, 2}).center().y() - m_table->rectForRow({0, 0}).center().y();
        QTest::mousePress(a, Qt::LeftButton, {}, grip);
        QTest::mouseMove(a, grip + QPoint(0, down / 2));
        QTest::mouseMove(a, grip + QPoint(0, down));
        // The rows it passed have stepped up to make room.
        QCOMPARE(m_table->cellForRow({0, 1})->y(), m_table->rectForRow({0, 0}).top());
        QCOMPARE(m_table->cellForRow({0, 2})->y(), m_table->rectForRow({0, 1}).top());
        QTest::mouseRelease(a, Qt::LeftButton, {}, grip + QPoint(0, down));
        QCOMPARE(m_rows.moves, 1);
        QCOMPARE(texts(*m_table, 0), QStringLiteral("B C A add"));

        // Past the movable rows the delegate redirects to the last movable place.
        TableViewCell *b = m_table->cellForRow({0, 0});
        const int far = m_table->rectForRow({1, 0}).center().y() - m_table->rectForRow({0, 0}).center().y();
        QTest::mousePress(b, Qt::LeftButton, {}, grip);
        QTest::mouseMove(b, grip + QPoint(0, far));
        QTest::mouseRelease(b, Qt::LeftButton, {}, grip + QPoint(0, far));
        QCOMPARE(texts(*m_table, 0), QStringLiteral("C A B add"));
        QCOMPARE(texts(*m_table, 1), QStringLiteral("X"));

        // A press away from the grip moves nothing.
        TableViewCell *c = m_table->cellForRow({0, 0});
        QTest::mousePress(c, Qt::LeftButton, {}, QPoint(60, 20));
        QTest::mouseMove(c, QPoint(60, 20 + down));
        QTest::mouseRelease(c, Qt::LeftButton, {}, QPoint(60, 20 + down));
        QCOMPARE(m_rows.moves, 2);
    }

    void rowUpdatesShowTheNewContentAtOnce()
    {
        m_table->beginUpdates();
        m_rows.sections[0].removeFirst();
        m_table->deleteRows({{0, 0}}, TableView::RowAnimation::Left);
        m_rows.sections[1].append(QStringLiteral("Y"));
        m_table->insertRows({{1, 1}}, TableView::RowAnimation::Right);
        // Nothing changes until the batch ends.
        QCOMPARE(texts(*m_table, 0), QStringLiteral("A B C add"));
        m_table->endUpdates();
        QCOMPARE(texts(*m_table, 0), QStringLiteral("B C add"));
        QCOMPARE(texts(*m_table, 1), QStringLiteral("X Y"));
        // The picture of the deleted row goes once it has slid away.
        const auto ghosts = [this] { return m_table->widget()->findChildren<QLabel *>().size(); };
        QCOMPARE(ghosts(), 1);
        QTRY_COMPARE(ghosts(), 0);
        QCOMPARE(m_table->cellForRow({1, 1})->pos(), m_table->rectForRow({1, 1}).topLeft());
    }

    void scrollsRowsIntoView()
    {
        m_rows.sections[0] = QStringList(30, QStringLiteral("row"));
        m_table->reloadData();
        m_table->scrollToRow({0, 20}, TableView::ScrollPosition::Top, false);
        QCOMPARE(m_table->verticalScrollBar()->value(), m_table->rectForRow({0, 20}).top());
        m_table->scrollToTop(false);
        QCOMPARE(m_table->verticalScrollBar()->value(), 0);
        m_table->scrollToRow({0, 20}, TableView::ScrollPosition::Nearest, false);
        const QRect row = m_table->rectForRow({0, 20});
        QCOMPARE(m_table->verticalScrollBar()->value() + m_table->viewport()->height(), row.bottom() + 1);
    }
};

QTEST_MAIN(TestTableView)
#include "tst_tableview.moc"
