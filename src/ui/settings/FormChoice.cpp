#include "ui/settings/FormChoice.h"

#include "ui/kit/ActionSheet.h"
#include "ui/kit/Theme.h"

#include <QPainter>

#include <algorithm>

namespace {
constexpr int ChevronWidth = 18;
}

FormChoice::FormChoice(const QString &title, const QStringList &values, const QStringList &labels, QWidget *parent)
    : QAbstractButton(parent)
    , m_title(title)
    , m_values(values)
    , m_labels(labels)
{
    setFocusPolicy(Qt::StrongFocus);
    setFont(Theme::detailFont());
    setValue(QString());
    connect(this, &QAbstractButton::clicked, this, &FormChoice::choose);
}

QString FormChoice::getValue() const
{
    return m_value;
}

void FormChoice::setValue(const QString &value)
{
    m_value = value.isEmpty() ? m_values.value(0) : value;
    const qsizetype index = m_values.indexOf(m_value);
    setText(index >= 0 ? m_labels.value(index, m_value) : m_value);
}

void FormChoice::setEnabled(bool enabled)
{
    QAbstractButton::setEnabled(enabled);
}

QSize FormChoice::sizeHint() const
{
    int widest = 0;
    for (const QString &label : m_labels)
        widest = std::max(widest, fontMetrics().horizontalAdvance(label));
    return { widest + ChevronWidth + 4, Theme::RowHeight - 8 };
}

void FormChoice::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(isEnabled() ? Theme::detailText() : Theme::dimmedText());
    // A chevron says the value opens a list, as long as it can be changed.
    const int chevron = isEnabled() ? ChevronWidth : 0;
    painter.drawText(rect().adjusted(0, 0, -chevron, 0), Qt::AlignVCenter | Qt::AlignRight, text());
    if (chevron) {
        const QPointF tip(width() - 6.0, height() / 2.0);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Theme::dimmedText(), 2.0));
        painter.drawPolyline(QList<QPointF>{ tip + QPointF(-5, -5), tip, tip + QPointF(-5, 5) });
    }
    if (hasFocus()) {
        painter.setPen(QPen(Theme::tint(), 1.0, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void FormChoice::choose()
{
    QWidget *over = window();
    auto *sheet = new ActionSheet(m_title, over);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    for (qsizetype i = 0; i < m_values.size(); ++i)
        sheet->addButton(m_labels.value(i, m_values.at(i)));
    sheet->setCancelButtonIndex(sheet->addButton(tr("Cancel")));
    connect(sheet, &ModalPanel::clickedButtonAtIndex, this, [this](int index) {
        if (index >= 0 && index < m_values.size())
            setValue(m_values.at(index));
    });
    sheet->showOver(over);
}
