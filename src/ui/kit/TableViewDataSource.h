#pragma once

#include "util/IndexPath.h"

#include <QString>

class TableView;
class TableViewCell;

// Answers a table view's questions about its content. Cells are made anew for each
// request and belong to the table; the table asks again on every reload.
class TableViewDataSource
{
public:
    virtual ~TableViewDataSource() = default;

    virtual int numberOfSections(TableView *) { return 1; }
    virtual int numberOfRows(TableView *table, int section) = 0;
    virtual TableViewCell *cellForRow(TableView *table, const IndexPath &path) = 0;
    virtual QString titleForHeader(TableView *, int) { return {}; }
    virtual QString titleForFooter(TableView *, int) { return {}; }

    // Edit mode: which rows offer delete and reordering, and the changes the user confirmed.
    // The source changes its data first; the table then asks for the new content.
    virtual bool canEditRow(TableView *, const IndexPath &) { return false; }
    virtual bool canMoveRow(TableView *, const IndexPath &) { return false; }
    virtual void commitDelete(TableView *, const IndexPath &) {}
    virtual void moveRow(TableView *, const IndexPath &, const IndexPath &) {}
};
