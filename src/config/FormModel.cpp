#include "config/FormModel.h"

FormSectionRef FormModel::addSection(const QString &key)
{
    auto section = std::make_shared<FormSection>();
    m_sections.insert(key, section);
    m_hierarchy.append(section);
    return section;
}

void FormModel::removeSection(const QString &key)
{
    const FormSectionRef section = m_sections.take(key);
    if (section)
        m_hierarchy.removeOne(section);
}

FormRowRef FormModel::addRow(const QString &key, const QString &label,
                             std::shared_ptr<FormField> view, const QString &defaultValue,
                             const FormSectionRef &section)
{
    if (!section)
        return {};
    auto row = std::make_shared<FormRow>();
    row->label = label;
    row->view = std::move(view);
    row->defaultValue = defaultValue;
    section->rows.append(row);
    m_rows.insert(key, row);
    return row;
}

void FormModel::setRowHidden(const FormRowRef &row, bool hidden)
{
    const FormSectionRef section = sectionForRow(row);
    if (!section)
        return;
    if (hidden)
        section->hiddenRows.insert(row);
    else
        section->hiddenRows.erase(row);
}

void FormModel::setSectionHidden(const FormSectionRef &section, bool hidden)
{
    if (!section)
        return;
    if (hidden)
        m_hiddenSections.insert(section);
    else
        m_hiddenSections.erase(section);
}

void FormModel::removeAllContent()
{
    m_hierarchy.clear();
    m_sections.clear();
    m_hiddenSections.clear();
    m_rows.clear();
}

FormSectionRef FormModel::sectionForKey(const QString &key) const
{
    return m_sections.value(key);
}

FormRowRef FormModel::rowForKey(const QString &key) const
{
    return m_rows.value(key);
}

QString FormModel::viewValueOfRow(const FormRowRef &row)
{
    if (!row || !row->view)
        return {};
    const QString value = row->view->getValue();
    return value.isEmpty() ? QString() : value;
}

void FormModel::resetFields()
{
    for (const FormRowRef &row : std::as_const(m_rows)) {
        if (row->view)
            row->view->setValue(row->defaultValue);
    }
}

void FormModel::makeEditable(bool editable)
{
    m_editable = editable;
    for (const FormRowRef &row : std::as_const(m_rows)) {
        if (row->view)
            row->view->setEnabled(editable);
    }
}

int FormModel::numberOfSections() const
{
    return currentIndexForSection({});
}

int FormModel::numberOfRows(int visibleSection) const
{
    const FormSectionRef section = currentSectionForIndex(visibleSection);
    if (!section)
        return 0;
    return int(section->rows.size() - qsizetype(section->hiddenRows.size()));
}

FormSectionRef FormModel::currentSectionForIndex(int visibleSection) const
{
    int index = 0;
    for (const FormSectionRef &section : m_hierarchy) {
        if (m_hiddenSections.contains(section))
            continue;
        if (index == visibleSection)
            return section;
        ++index;
    }
    return {};
}

int FormModel::currentIndexForSection(const FormSectionRef &section) const
{
    int index = 0;
    for (const FormSectionRef &candidate : m_hierarchy) {
        if (section && candidate == section && !m_hiddenSections.contains(candidate))
            return index;
        if (!m_hiddenSections.contains(candidate))
            ++index;
    }
    return index;
}

FormSectionRef FormModel::sectionForRow(const FormRowRef &row) const
{
    if (!row)
        return {};
    for (const FormSectionRef &section : m_hierarchy) {
        if (section->rows.contains(row))
            return section;
    }
    return {};
}

FormRowRef FormModel::currentRowForIndexPath(const IndexPath &path) const
{
    const FormSectionRef section = currentSectionForIndex(path.section);
    if (!section)
        return {};
    int index = 0;
    for (const FormRowRef &row : std::as_const(section->rows)) {
        if (section->hiddenRows.contains(row))
            continue;
        if (index == path.row)
            return row;
        ++index;
    }
    return {};
}

IndexPath FormModel::currentIndexPathForRow(const FormRowRef &row) const
{
    const FormSectionRef section = sectionForRow(row);
    if (!section)
        return {};
    int index = 0;
    for (const FormRowRef &candidate : std::as_const(section->rows)) {
        if (candidate == row)
            break;
        if (!section->hiddenRows.contains(candidate))
            ++index;
    }
    return {currentIndexForSection(section), index};
}
