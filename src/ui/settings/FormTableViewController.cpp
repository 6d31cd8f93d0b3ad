#include "ui/settings/FormTableViewController.h"

#include "ui/kit/TableViewCell.h"
#include "ui/kit/Theme.h"
#include "ui/settings/FormChoice.h"
#include "ui/settings/FormSwitch.h"
#include "ui/settings/FormTextField.h"
#include "ui/settings/KeyboardFixer.h"
#include "util/QelLog.h"

#include <algorithm>

namespace {
constexpr int LargeFieldWidth = 200;
constexpr int SmallFieldWidth = 95;
constexpr int FieldHeight = 30;
// The cell's own margin at its left, and the gap between a label and its field.
constexpr int CellInset = 10;
constexpr int LabelGap = 12;
}

FormTableViewController::FormTableViewController(TableView::Style style, QWidget *parent)
    : ViewController(parent)
    , m_table(new TableView(style, this))
{
    m_table->setDataSource(this);
    m_table->setDelegate(this);
}

void FormTableViewController::setKeyboardFixer(KeyboardFixer *fixer)
{
    m_keyboardFixer = fixer;
}

void FormTableViewController::resizeEvent(QResizeEvent *)
{
    m_table->setGeometry(rect());
}

void FormTableViewController::setTitle(const QString &title)
{
    ViewController::setTitle(title);
}

FormSectionRef FormTableViewController::addSection(const QString &key)
{
    return m_model.addSection(key);
}

void FormTableViewController::removeSection(const QString &key)
{
    m_model.removeSection(key);
}

FormSectionRef FormTableViewController::sectionForKey(const QString &key) const
{
    return m_model.sectionForKey(key);
}

FormRowRef FormTableViewController::addRow(const QString &key, const QString &label,
                                           std::shared_ptr<FormField> view,
                                           const QString &defaultValue, const FormSectionRef &section)
{
    return m_model.addRow(key, label, std::move(view), defaultValue, section);
}

FormRowRef FormTableViewController::rowForKey(const QString &key) const
{
    return m_model.rowForKey(key);
}

QString FormTableViewController::viewValueOfRow(const FormRowRef &row) const
{
    return FormModel::viewValueOfRow(row);
}

std::shared_ptr<FormTextEntry> FormTableViewController::createDefaultTextfield(bool large)
{
    auto field = std::make_shared<FormTextField>();
    field->resize(large ? LargeFieldWidth : SmallFieldWidth, FieldHeight);
    field->setAutocorrection(false);
    field->setCapitalization(FormTextEntry::Capitalization::None);
    field->setEnabled(m_model.isEditable());
    return field;
}

std::shared_ptr<FormField> FormTableViewController::createSwitch()
{
    return std::make_shared<FormSwitch>();
}

std::shared_ptr<FormField> FormTableViewController::createChoice(const QString &title, const QStringList &values,
                                                                 const QStringList &labels)
{
    auto choice = std::make_shared<FormChoice>(title, values, labels);
    choice->resize(std::max(SmallFieldWidth, choice->sizeHint().width()), FieldHeight);
    choice->setEnabled(m_model.isEditable());
    return choice;
}

void FormTableViewController::setRowHidden(const FormRowRef &row, bool hidden)
{
    m_model.setRowHidden(row, hidden);
}

void FormTableViewController::setSectionHidden(const FormSectionRef &section, bool hidden)
{
    m_model.setSectionHidden(section, hidden);
}

void FormTableViewController::removeAllContent()
{
    m_model.removeAllContent();
}

void FormTableViewController::resetFields()
{
    m_model.resetFields();
}

void FormTableViewController::makeEditable(bool editable)
{
    m_model.makeEditable(editable);
}

int FormTableViewController::numberOfSections(TableView *)
{
    return m_model.numberOfSections();
}

int FormTableViewController::numberOfRows(TableView *, int section)
{
    return m_model.numberOfRows(section);
}

TableViewCell *FormTableViewController::cellForRow(TableView *, const IndexPath &path)
{
    auto *cell = new TableViewCell;
    const FormRowRef row = m_model.currentRowForIndexPath(path);
    if (!row)
        return cell;
    if (!row->selectable)
        cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
    if (row->showCarat)
        cell->setAccessoryType(TableViewCell::Accessory::DisclosureIndicator);
    cell->setText(row->label);
    cell->setAccessoryView(dynamic_cast<QWidget *>(row->view.get()));
    if (auto *text = dynamic_cast<FormTextField *>(row->view.get())) {
        text->resize(SmallFieldWidth, FieldHeight);
        if (const FormSectionRef section = m_model.currentSectionForIndex(path.section))
            cell->setAccessoryColumn(textFieldColumn(*section));
    }
    if (!row->rightLabel.isNull())
        cell->setDetailText(row->rightLabel);
    return cell;
}

int FormTableViewController::textFieldColumn(const FormSection &section)
{
    const QFontMetrics metrics(Theme::cellFont());
    int widest = 0;
    for (const FormRowRef &row : section.rows) {
        if (dynamic_cast<FormTextField *>(row->view.get()))
            widest = std::max(widest, metrics.horizontalAdvance(row->label));
    }
    return CellInset + widest + LabelGap;
}

QString FormTableViewController::titleForHeader(TableView *, int section)
{
    const FormSectionRef record = m_model.currentSectionForIndex(section);
    return record ? record->title : QString();
}

QWidget *FormTableViewController::viewForFooter(TableView *, int section)
{
    const FormSectionRef record = m_model.currentSectionForIndex(section);
    return record ? qobject_cast<QWidget *>(record->footer.data()) : nullptr;
}

int FormTableViewController::heightForFooter(TableView *, int section)
{
    const FormSectionRef record = m_model.currentSectionForIndex(section);
    return record && record->footerHeight ? int(*record->footerHeight) : -1;
}

IndexPath FormTableViewController::willSelectRow(TableView *, const IndexPath &path)
{
    const FormRowRef row = m_model.currentRowForIndexPath(path);
    return row && row->selectable ? path : IndexPath();
}

void FormTableViewController::didSelectRow(TableView *table, const IndexPath &path)
{
    table->deselectRow(path, false);
    const FormRowRef row = m_model.currentRowForIndexPath(path);
    if (!row || row->action.isEmpty())
        return;
    if (!QMetaObject::invokeMethod(this, row->action.toLatin1().constData()))
        QEL_LOG(LogLevel::Error, QStringLiteral("Form has no operation named %1").arg(row->action));
}

void FormTableViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    if (m_keyboardFixer)
        m_keyboardFixer->viewWillAppear(m_table);
}

void FormTableViewController::viewWillDisappear(bool animated)
{
    if (m_keyboardFixer)
        m_keyboardFixer->viewWillDisappear();
    ViewController::viewWillDisappear(animated);
}
