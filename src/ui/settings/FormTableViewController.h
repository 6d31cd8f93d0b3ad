#pragma once

#include "config/FormHost.h"
#include "config/FormModel.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

#include <QPointer>

class KeyboardFixer;

// A table screen that is a keyed form. Sections and rows are declared at run time,
// each row with a label and optionally a field (switch or text field) at the
// right edge of its cell; values are read back by row key. Hidden sections and
// rows keep their place but are not shown.
//
// A row's "action" names an invokable method (slot or Q_INVOKABLE) of the screen,
// run when the row is tapped.
class FormTableViewController : public ViewController,
                                public FormHost,
                                public TableViewDataSource,
                                public TableViewDelegate
{
    Q_OBJECT

public:
    explicit FormTableViewController(TableView::Style style = TableView::Style::Grouped,
                                     QWidget *parent = nullptr);

    TableView *tableView() const { return m_table; }
    // Not owned; the screen hands it its table while on screen.
    void setKeyboardFixer(KeyboardFixer *fixer);

    // FormHost.
    void setTitle(const QString &title) override;
    FormSectionRef addSection(const QString &key) override;
    void removeSection(const QString &key) override;
    FormSectionRef sectionForKey(const QString &key) const override;
    FormRowRef addRow(const QString &key, const QString &label, std::shared_ptr<FormField> view,
                      const QString &defaultValue, const FormSectionRef &section) override;
    FormRowRef rowForKey(const QString &key) const override;
    QString viewValueOfRow(const FormRowRef &row) const override;
    std::shared_ptr<FormTextEntry> createDefaultTextfield(bool large) override;
    std::shared_ptr<FormField> createSwitch() override;
    std::shared_ptr<FormField> createChoice(const QString &title, const QStringList &values,
                                            const QStringList &labels) override;

    void setRowHidden(const FormRowRef &row, bool hidden);
    void setSectionHidden(const FormSectionRef &section, bool hidden);
    void removeAllContent();
    void resetFields();
    virtual void makeEditable(bool editable);
    bool isEditable() const { return m_model.isEditable(); }
    // Declared records and visible positions.
    const FormModel &model() const { return m_model; }

    // TableViewDataSource.
    int numberOfSections(TableView *table) override;
    int numberOfRows(TableView *table, int section) override;
    TableViewCell *cellForRow(TableView *table, const IndexPath &path) override;
    QString titleForHeader(TableView *table, int section) override;
    // TableViewDelegate.
    QWidget *viewForFooter(TableView *table, int section) override;
    int heightForFooter(TableView *table, int section) override;
    IndexPath willSelectRow(TableView *table, const IndexPath &path) override;
    void didSelectRow(TableView *table, const IndexPath &path) override;

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Where the text fields of a section start: one column, right of its widest label.
    static int textFieldColumn(const FormSection &section);

    FormModel m_model;
    TableView *m_table;
    QPointer<KeyboardFixer> m_keyboardFixer;
};
