#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/settings/FormSwitch.h"
#include "ui/kit/Theme.h"
#include "ui/settings/FormTableViewController.h"

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

    // The real widgets read back through the form: switches as "y"/"n", empty text as none.
    void viewValueOfRowReadsTheWidgets()
    {
        const FormSectionRef section = m_form->addSection(s("general"));
        auto title = m_form->createDefaultTextfield(true);
        auto ssl = m_form->createSwitch();
        const FormRowRef titleRow = m_form->addRow(s("title"), s("Name"), title, {}, section);
        const FormRowRef sslRow = m_form->addRow(s("video.ssl"), s("SSL"), ssl, s("n"), section);
        QVERIFY(m_form->viewValueOfRow(titleRow).isNull());
        title->setValue(s("Door"));
        QCOMPARE(m_form->viewValueOfRow(titleRow), s("Door"));
        title->setValue({});
        QVERIFY(m_form->viewValueOfRow(titleRow).isNull());
        QCOMPARE(m_form->viewValueOfRow(sslRow), s("n"));
        ssl->setValue(s("Yes"));
        QVERIFY(dynamic_cast<FormSwitch *>(ssl.get())->isOn());
        QCOMPARE(m_form->viewValueOfRow(sslRow), s("y"));
        ssl->setValue({});
        QCOMPARE(m_form->viewValueOfRow(sslRow), s("n"));
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

        TableViewCell *ptzCell = table->cellForRow({0, 1});
        QCOMPARE(ptzCell->detailText(), s("None"));
        QCOMPARE(ptzCell->accessoryType(), TableViewCell::Accessory::DisclosureIndicator);
        QCOMPARE(ptzCell->selectionStyle(), TableViewCell::SelectionStyle::Blue);

        // Rebuilding the cells hands the fields on rather than deleting them.
        table->reloadData();
        QCOMPARE(table->cellForRow({0, 0})->accessoryView(), dynamic_cast<QWidget *>(name.get()));
    }

    // The text fields of a section, wide or narrow, start in one column just right
    // of the widest label and reach the right margin.
    void textFieldsLineUp()
    {
        const FormSectionRef video = m_form->addSection(s("video"));
        auto host = m_form->createDefaultTextfield(true);
        auto path = m_form->createDefaultTextfield(false);
        m_form->addRow(s("video.host"), s("Host"), host, {}, video);
        m_form->addRow(s("video.path"), s("URL"), path, {}, video);
        m_form->addRow(s("video.username"), s("Username"), m_form->createDefaultTextfield(false), {}, video);
        m_form->resize(320, 480);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        const auto *hostField = dynamic_cast<QWidget *>(host.get());
        const auto *pathField = dynamic_cast<QWidget *>(path.get());
        QCOMPARE(hostField->x(), pathField->x());
        QCOMPARE(hostField->width(), pathField->width());
        const QRect label = m_form->tableView()->cellForRow({0, 2})->contentsRect();
        QVERIFY(hostField->x() > QFontMetrics(Theme::cellFont()).horizontalAdvance(s("Username")));
        QVERIFY(pathField->geometry().right() > label.width() - 20);
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

    // A borrowed footer is shown at its height and given back; one the form owns goes with it.
    void footersAreShownAndOwnedRightly()
    {
        const FormSectionRef general = m_form->addSection(s("general"));
        m_form->addRow(s("title"), s("Name"), {}, {}, general);
        const FormSectionRef other = m_form->addSection(s("other"));
        m_form->addRow(s("x"), s("X"), {}, {}, other);
        QWidget borrowed;
        general->footer = &borrowed;
        general->footerHeight = 60.0;
        QPointer<QWidget> owned = new QWidget(m_form.get());
        other->footer = owned.data();
        m_form->show();
        QVERIFY(borrowed.isVisible());
        QCOMPARE(borrowed.height(), 60);
        m_form.reset();
        QVERIFY(!borrowed.parentWidget());
        QVERIFY(!owned);
    }
};

QTEST_MAIN(TestFormTableViewController)
#include "tst_formtableviewcontroller.moc"
