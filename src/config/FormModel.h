#pragma once

#include "config/FormSection.h"
#include "util/IndexPath.h"

#include <QHash>
#include <QList>
#include <QString>

#include <unordered_set>

// The bookkeeping of a keyed form: sections and rows in declared order, the
// key registries, what is hidden, and the mapping between declared records and
// the visible positions a table shows. Hidden records keep their place, so
// showing them again needs no re-declaration.
//
// One registry serves the whole form: row keys are unique across sections, and
// a removed section's rows stay registered until a later row takes the key or
// all content is removed (profiles read keys whichever section holds them).
class FormModel final
{
public:
    FormSectionRef addSection(const QString &key);
    void removeSection(const QString &key);
    FormRowRef addRow(const QString &key, const QString &label, std::shared_ptr<FormField> view,
                      const QString &defaultValue, const FormSectionRef &section);
    void setRowHidden(const FormRowRef &row, bool hidden);
    void setSectionHidden(const FormSectionRef &section, bool hidden);
    void removeAllContent();

    FormSectionRef sectionForKey(const QString &key) const;
    FormRowRef rowForKey(const QString &key) const;
    static QString viewValueOfRow(const FormRowRef &row);

    // Puts every registered row's default back into its view.
    void resetFields();
    // Enables or disables the view of every registered row.
    void makeEditable(bool editable);
    bool isEditable() const { return m_editable; }

    // Visible numbering.
    int numberOfSections() const;
    int numberOfRows(int visibleSection) const;
    FormSectionRef currentSectionForIndex(int visibleSection) const;
    // For a hidden or removed section: the number of visible sections.
    int currentIndexForSection(const FormSectionRef &section) const;
    FormSectionRef sectionForRow(const FormRowRef &row) const;
    FormRowRef currentRowForIndexPath(const IndexPath &path) const;
    IndexPath currentIndexPathForRow(const FormRowRef &row) const;

private:
    QList<FormSectionRef> m_hierarchy;
    QHash<QString, FormSectionRef> m_sections;
    std::unordered_set<FormSectionRef> m_hiddenSections;
    QHash<QString, FormRowRef> m_rows;
    bool m_editable = false;
};
