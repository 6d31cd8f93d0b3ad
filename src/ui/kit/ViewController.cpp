#include "ui/kit/ViewController.h"

#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Theme.h"

ViewController::ViewController(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Theme::groupedBackground());
    setPalette(pal);
}

BarButtonItem *ViewController::leftBarButtonItem() const
{
    return m_leftItem;
}

BarButtonItem *ViewController::rightBarButtonItem() const
{
    return m_rightItem;
}

NavigationController *ViewController::navigationController() const
{
    return m_navigationController;
}

void ViewController::setTitle(const QString &title)
{
    m_title = title;
    emit navigationItemChanged(false);
}

BarButtonItem *ViewController::adopt(BarButtonItem *item)
{
    if (item && !item->parent())
        item->setParent(this);
    return item;
}

void ViewController::setLeftBarButtonItem(BarButtonItem *item, bool animated)
{
    m_leftItem = adopt(item);
    emit navigationItemChanged(animated);
}

void ViewController::setRightBarButtonItem(BarButtonItem *item, bool animated)
{
    m_rightItem = adopt(item);
    emit navigationItemChanged(animated);
}

void ViewController::setHidesBackButton(bool hides, bool animated)
{
    m_hidesBackButton = hides;
    emit navigationItemChanged(animated);
}

void ViewController::setEditing(bool editing, bool)
{
    m_editing = editing;
    if (m_editItem) {
        m_editItem->setTitle(editing ? tr("Done") : tr("Edit"));
        m_editItem->setStyle(editing ? BarButtonItem::Style::Done : BarButtonItem::Style::Plain);
    }
}

BarButtonItem *ViewController::editButtonItem()
{
    if (!m_editItem) {
        m_editItem = new BarButtonItem(BarButtonItem::SystemItem::Edit, this);
        connect(m_editItem, &BarButtonItem::triggered, this, [this] { setEditing(!m_editing, true); });
        setEditing(m_editing, false);
    }
    return m_editItem;
}

void ViewController::viewWillAppear(bool) {}
void ViewController::viewDidAppear(bool) {}
void ViewController::viewWillDisappear(bool) {}
void ViewController::viewDidDisappear(bool) {}
