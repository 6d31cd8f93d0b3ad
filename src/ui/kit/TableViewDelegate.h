#pragma once

#include "util/IndexPath.h"

class QWidget;
class TableView;

// Answers a table view's questions about looks and reacts to the user's taps.
//
// Header and footer views stay the delegate's: the table shows them and gives them
// back (hidden, to their former parent) on the next reload, never deleting them.
class TableViewDelegate
{
public:
    virtual ~TableViewDelegate() = default;

    // Heights below zero mean "the table's standard height".
    virtual int heightForRow(TableView *, const IndexPath &) { return -1; }
    virtual QWidget *viewForHeader(TableView *, int) { return nullptr; }
    virtual int heightForHeader(TableView *, int) { return -1; }
    virtual QWidget *viewForFooter(TableView *, int) { return nullptr; }
    virtual int heightForFooter(TableView *, int) { return -1; }

    // Returns the row to select instead, or an invalid path to refuse the selection.
    virtual IndexPath willSelectRow(TableView *, const IndexPath &path) { return path; }
    virtual void didSelectRow(TableView *, const IndexPath &) {}
    virtual void accessoryButtonTapped(TableView *, const IndexPath &) {}
    // Where a dragged row lands when let go over `proposed`.
    virtual IndexPath targetForMove(TableView *, const IndexPath &, const IndexPath &proposed)
    {
        return proposed;
    }
};
