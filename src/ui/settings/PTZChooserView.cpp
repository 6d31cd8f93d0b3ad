#include "ui/settings/PTZChooserView.h"

#include "ptz/PTZProfile.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"

PTZChooserView::PTZChooserView(QList<const PTZProfile *> types, const PTZProfile *currentProfile, QWidget *parent)
    : ViewController(parent)
    , m_types(std::move(types))
    , m_currentProfile(currentProfile)
    , m_table(new TableView(TableView::Style::Plain, this))
{
    setTitle(tr("PTZ Type"));
    m_table->setDataSource(this);
    m_table->setDelegate(this);
}

void PTZChooserView::resizeEvent(QResizeEvent *)
{
    m_table->setGeometry(rect());
}

int PTZChooserView::numberOfRows(TableView *, int)
{
    return int(m_types.size()) + 1;
}

// Row 0 is None; row n is the profile n - 1.
TableViewCell *PTZChooserView::cellForRow(TableView *, const IndexPath &path)
{
    auto *cell = new TableViewCell;
    const PTZProfile *profile = path.row == 0 ? nullptr : m_types.value(path.row - 1);
    cell->setText(profile ? profile->description() : tr("None"));
    if (profile == m_currentProfile)
        cell->setAccessoryType(TableViewCell::Accessory::Checkmark);
    return cell;
}

void PTZChooserView::didSelectRow(TableView *table, const IndexPath &path)
{
    table->deselectRow(path, false);
    emit chosen(path.row == 0 ? nullptr : m_types.value(path.row - 1));
    if (NavigationController *stack = navigationController())
        stack->popViewController(true);
}
