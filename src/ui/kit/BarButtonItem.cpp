#include "ui/kit/BarButtonItem.h"

namespace {
QString systemTitle(BarButtonItem::SystemItem item)
{
    switch (item) {
    case BarButtonItem::SystemItem::Done:
        return BarButtonItem::tr("Done");
    case BarButtonItem::SystemItem::Save:
        return BarButtonItem::tr("Save");
    case BarButtonItem::SystemItem::Cancel:
        return BarButtonItem::tr("Cancel");
    case BarButtonItem::SystemItem::Edit:
        return BarButtonItem::tr("Edit");
    }
    return {};
}
}

BarButtonItem::BarButtonItem(SystemItem item, QObject *parent)
    : QObject(parent)
    , m_systemItem(item)
    , m_title(systemTitle(item))
    , m_style(item == SystemItem::Done || item == SystemItem::Save ? Style::Done : Style::Plain)
{
}

BarButtonItem::BarButtonItem(const QString &title, Style style, QObject *parent)
    : QObject(parent)
    , m_title(title)
    , m_style(style)
{
}

void BarButtonItem::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    emit changed();
}

void BarButtonItem::setStyle(Style style)
{
    if (style == m_style)
        return;
    m_style = style;
    emit changed();
}

void BarButtonItem::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    emit changed();
}
