#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/settings/FormSwitch.h"
#include "ui/settings/FormTableViewController.h"
#include "ui/settings/FormTextField.h"

#include <QPointer>
#include <QTest>

namespace {

QString s(const char *text)
{
    return QString::fromLatin1(text);
}

// A form whose one operation counts its calls.
class CountingForm final : public FormTableViewController
{
    Q_OBJECT

public:
    int shown = 0;

public slots:
    void showPTZList() { ++shown; }
};

}

class TestFormTableViewController final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CountingForm> m_form;

    void tap(const IndexPath &path)
    {
        TableViewCell *cell = m_form->tableView()->cellForRow(path);
        QVERIFY(cell);
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(30, cell->height() / 2));
    }

private slots:
    void init()
    {
        m_form = std::make_unique<CountingForm>();
        m_form->resize(320, 436);
    }

    void cleanup() { m_form.reset(); }

    void fieldsReadAndWriteTheFormValues()
    {
        FormSwitch flag;
        QCOMPARE(flag.getValue(), s("n"));
        flag.setValue(s("Yes"));
        QVERIFY(flag.isOn());
        QCOMPARE(flag.getValue(), s("y"));
        flag.setValue({});
        QVERIFY(!flag.isOn());

        FormTextField text;
        text.setValue(s("door"));
        QCOMPARE(text.getValue(), s("door"));
        text.setValue({});
        QVERIFY(text.getValue().isEmpty());
    }

    void viewValueOfRowTreatsEmptyTextAsNone()
    {
        const FormSectionRef section = m_form->addSection(s("general"));
        auto title = m_form->createDefaultTextfield(true);
        const FormRowRef titleRow = m_form->addRow(s("title"), s("Name"), title, {}, section);
        const FormRowRef ssl = m_form->addRow(s("video.ssl"), s("SSL"), m_form->createSwitch(), s("n"), section);
        QVERIFY(m_form->viewValueOfRow(titleRow).isNull());
        title->setValue(s("Door"));
        QCOMPARE(m_form->viewValueOfRow(titleRow), s("Door"));
        QCOMPARE(m_form->viewValueOfRow(ssl), s("n"));
        m_form->rowForKey(s("video.ssl"))->view->setValue(s("1"));
        QCOMPARE(m_form->viewValueOfRow(ssl), s("y"));
    }

    void textFieldsFollowEditableSwitchesStartEnabled()
    {
        const FormSectionRef section = m_form->addSection(s("general"));
        auto before = m_form->createDefaultTextfield(false);
        auto flag = m_form->createSwitch();
        m_form->addRow(s("port"), s("Port"), before, {}, section);
        m_form->addRow(s("flag"), s("Flag"), flag, s("n"), section);
        auto *field = dynamic_cast<FormTextField *>(before.get());
        QVERIFY(!field->isEnabled());
        QCOMPARE(field->width(), 95);
        QVERIFY(dynamic_cast<QWidget *>(flag.get())->isEnabled());

        m_form->makeEditable(true);
        QVERIFY(field->isEnabled());
        auto after = m_form->createDefaultTextfield(true);
        QVERIFY(dynamic_cast<QWidget *>(after.get())->isEnabled());
        QCOMPARE(dynamic_cast<QWidget *>(after.get())->width(), 200);
    }

    void tableShowsTheVisibleRowsWithTheirFields()
    {
        const FormSectionRef general = m_form->addSection(s("general"));
        auto name = m_form->createDefaultTextfield(true);
        m_form->addRow(s("title"), s("Name"), name, {}, general);
        const FormRowRef ptz = m_form->addRow(s("ptzType"), s("PTZ Type"), {}, {}, general);
        ptz->selectable = true;
        ptz->showCarat = true;
        ptz->rightLabel = s("None");
        const FormSectionRef hidden = m_form->addSection(s("hidden"));
        m_form->addRow(s("x"), s("X"), {}, {}, hidden);
        m_form->setSectionHidden(hidden, true);
        const FormSectionRef video = m_form->addSection(s("genVideo"));
        video->title = s("Video Options");
        const FormRowRef host = m_form->addRow(s("video.host"), s("Host"), m_form->createDefaultTextfield(true), {}, video);
        m_form->addRow(s("video.port"), s("Port"), m_form->createDefaultTextfield(false), {}, video);
        m_form->setRowHidden(host, true);
        m_form->show();

        TableView *table = m_form->tableView();
        QCOMPARE(table->numberOfSections(), 2);
        QCOMPARE(table->numberOfRows(1), 1);
        QCOMPARE(table->cellForRow({1, 0})->text(), s("Port"));

        TableViewCell *nameCell = table->cellForRow({0, 0});
        QCOMPARE(nameCell->accessoryView(), dynamic_cast<QWidget *>(name.get()));
        QCOMPARE(nameCell->selectionStyle(), TableViewCell::SelectionStyle::None);
        // The field sits at the right edge of its cell.
        QCOMPARE(nameCell->accessoryView()->geometry().right(), nameCell->width() - 11);

        TableViewCell *ptzCell = table->cellForRow({0, 1});
        QCOMPARE(ptzCell->detailText(), s("None"));
        QCOMPARE(ptzCell->accessoryType(), TableViewCell::Accessory::DisclosureIndicator);
        QCOMPARE(ptzCell->selectionStyle(), TableViewCell::SelectionStyle::Blue);

        // Rebuilding the cells hands the fields on rather than deleting them.
        table->reloadData();
        QCOMPARE(table->cellForRow({0, 0})->accessoryView(), dynamic_cast<QWidget *>(name.get()));
    }

    void tapsRunTheActionOfSelectableRowsOnly()
    {
        const FormSectionRef general = m_form->addSection(s("general"));
        m_form->addRow(s("plain"), s("Plain"), {}, {}, general)->action = s("showPTZList");
        const FormRowRef ptz = m_form->addRow(s("ptzType"), s("PTZ Type"), {}, {}, general);
        ptz->selectable = true;
        ptz->action = s("showPTZList");
        const FormRowRef unknown = m_form->addRow(s("odd"), s("Odd"), {}, {}, general);
        unknown->selectable = true;
        unknown->action = s("noSuchOperation");
        m_form->show();

        tap({0, 0});
        QCOMPARE(m_form->shown, 0);
        tap({0, 1});
        QCOMPARE(m_form->shown, 1);
        // The row does not stay selected.
        QVERIFY(!m_form->tableView()->indexPathForSelectedRow().isValid());
        tap({0, 2});
        QCOMPARE(m_form->shown, 1);
    }

    void footerViewAndHeight()
    {
        const FormSectionRef general = m_form->addSection(s("general"));
        m_form->addRow(s("title"), s("Name"), {}, {}, general);
        QWidget footer;
        general->footer = &footer;
        general->footerHeight = 60.0;
        m_form->show();
        QCOMPARE(m_form->viewForFooter(m_form->tableView(), 0), &footer);
        QCOMPARE(m_form->heightForFooter(m_form->tableView(), 0), 60);
        QVERIFY(footer.isVisible());
        QCOMPARE(footer.height(), 60);
        general->footerHeight.reset();
        QCOMPARE(m_form->heightForFooter(m_form->tableView(), 0), -1);
        m_form.reset();
        QVERIFY(!footer.parentWidget());
    }

    void footerOwnedByTheFormGoesWithIt()
    {
        const FormSectionRef general = m_form->addSection(s("general"));
        m_form->addRow(s("title"), s("Name"), m_form->createDefaultTextfield(true), {}, general);
        QPointer<QWidget> footer = new QWidget(m_form.get());
        general->footer = footer.data();
        m_form->show();
        QCOMPARE(footer->parentWidget()->parentWidget()->parentWidget(), m_form->tableView());
        m_form.reset();
        QVERIFY(!footer);
    }
};

QTEST_MAIN(TestFormTableViewController)
#include "tst_formtableviewcontroller.moc"
