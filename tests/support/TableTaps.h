#pragma once

#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"

#include <QStringList>
#include <QTest>

// The texts of one section's rows, as the table shows them now.
inline QStringList rowTexts(const TableView *table, int section)
{
    QStringList texts;
    for (int r = 0; r < table->numberOfRows(section); ++r)
        texts << table->cellForRow({ section, r })->text();
    return texts;
}

// A click on the row's text, the way a finger selects it.
inline void tapRow(TableView *table, const IndexPath &path)
{
    TableViewCell *cell = table->cellForRow(path);
    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(40, cell->height() / 2));
}
