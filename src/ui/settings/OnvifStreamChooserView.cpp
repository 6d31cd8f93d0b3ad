#include "ui/settings/OnvifStreamChooserView.h"

#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"

OnvifStreamChooserView::OnvifStreamChooserView(const QString &title, QList<OnvifMediaProfile> profiles,
                                               const QString &currentToken, QWidget *parent)
    : ViewController(parent)
    , m_profiles(std::move(profiles))
    , m_currentToken(currentToken)
    , m_table(new TableView(TableView::Style::Plain, this))
{
    setTitle(title);
    m_table->setDataSource(this);
    m_table->setDelegate(this);
}

void OnvifStreamChooserView::resizeEvent(QResizeEvent *)
{
    m_table->setGeometry(rect());
}

int OnvifStreamChooserView::numberOfRows(TableView *, int)
{
    return int(m_profiles.size());
}

TableViewCell *OnvifStreamChooserView::cellForRow(TableView *, const IndexPath &path)
{
    auto *cell = new TableViewCell;
    const OnvifMediaProfile &profile = m_profiles.at(path.row);
    cell->setText(profile.summary());
    if (profile.token == m_currentToken)
        cell->setAccessoryType(TableViewCell::Accessory::Checkmark);
    return cell;
}

void OnvifStreamChooserView::didSelectRow(TableView *table, const IndexPath &path)
{
    table->deselectRow(path, false);
    if (path.row < 0 || path.row >= m_profiles.size())
        return;
    emit chosen(m_profiles.at(path.row));
    if (NavigationController *stack = navigationController())
        stack->popViewController(true);
}
