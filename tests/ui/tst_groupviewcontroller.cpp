#include "config/PropertyList.h"
#include "config/QelCrypto.h"
#include "platform/UrlOpener.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/CellControl.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/RoundedButton.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/kit/TextField.h"
#include "ui/settings/CameraDetailView.h"
#include "ui/settings/GroupViewController.h"
#include "ui/settings/ProtocolChooserView.h"
#include "util/QelLog.h"
#include "util/Utilities.h"

#include "LogCapture.h"

#include <QTest>

namespace {

QString s(const char *text)
{
    return QString::fromLatin1(text);
}

Value camera(const char *title, bool ptz = false)
{
    Value c = Value::dictionary();
    c.insert(s("title"), s(title));
    Value video = Value::dictionary();
    video.insert(s("video.type"), s("AXISMJPEG"));
    video.insert(s("video.host"), s("127.0.0.1"));
    c.insert(s("video.parameters"), video);
    if (ptz) {
        Value control = Value::dictionary();
        control.insert(s("control.protocol"), s("Axis PTZ"));
        c.insert(s("control.parameters"), control);
    }
    return c;
}

Value group(const char *name, const Value::Array &cameras)
{
    Value g = Value::dictionary();
    g.insert(s("name"), s(name));
    g.insert(s("uid"), 4);
    g.insert(s("cameras"), Value::array(cameras));
    return g;
}

QStringList rows(const TableView *table, int section)
{
    QStringList texts;
    for (int r = 0; r < table->numberOfRows(section); ++r)
        texts << table->cellForRow({section, r})->text();
    return texts;
}

void tap(TableView *table, const IndexPath &path)
{
    TableViewCell *cell = table->cellForRow(path);
    QVERIFY(cell);
    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(40, cell->height() / 2));
}

class RecordingOpener final : public UrlOpener
{
public:
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return true;
    }
    QList<QUrl> opened;
};

// The group a mail carries, read back without the sharing code: the link in the
// body, its payload unescaped, Base64, deciphered with the group vector, parsed.
Value groupInMail(const QUrl &mail)
{
    const QString encoded = mail.toString(QUrl::FullyEncoded);
    const qsizetype body = encoded.indexOf(s("body="));
    if (body < 0)
        return {};
    const QString html = QUrl::fromPercentEncoding(encoded.mid(body + 5).toLatin1());
    const qsizetype start = html.indexOf(s("href='vyo://group/"));
    if (start < 0)
        return {};
    const qsizetype from = start + qsizetype(qstrlen("href='vyo://group/"));
    const QString payload = QUrl::fromPercentEncoding(html.mid(from, html.indexOf(QLatin1Char('\''), from) - from).toLatin1());
    const std::optional<QByteArray> plain =
        QelCrypto::decryptBlob(Utilities::base64Decode(payload), QelCrypto::URL_INIT_VECS[1]);
    return plain ? PropertyList::fromData(*plain, nullptr) : Value();
}

} // namespace

class TestGroupViewController final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<NavigationController> m_stack;
    GroupViewController *m_editor = nullptr;
    LogCapture m_log;

    // The editor on a stack above a stand-in for the group list.
    void show(const Value &g)
    {
        m_stack = std::make_unique<NavigationController>(new ViewController);
        m_stack->resize(320, 480);
        m_editor = new GroupViewController;
        m_editor->setCurrentGroup(g);
        m_stack->pushViewController(m_editor, false);
        m_stack->show();
    }

    TableView *table() const { return m_editor->tableView(); }

private slots:
    void init() { m_log.clear(); }
    void cleanup() { m_stack.reset(); }

    void rowsAndTheirScreens()
    {
        const Value c1 = camera("Gate", true);
        const Value c2 = camera("Yard");
        const Value g = group("Home", {c1, c2});
        QelLog::setLoggingEnabled(true);
        QelLog::setLoggingThreshhold(0);
        show(g);
        QCOMPARE(m_editor->title(), s("Home"));
        QCOMPARE(m_editor->nameField()->text(), s("Home"));
        QCOMPARE(m_editor->nameField()->placeholderText(), s("unnamed"));
        QCOMPARE(m_editor->rightBarButtonItem(), m_editor->editButtonItem());
        QCOMPARE(rows(table(), 0), QStringList{s("Name")});
        QCOMPARE(table()->cellForRow({0, 0})->accessoryView(), m_editor->nameField());
        QCOMPARE(m_editor->titleForHeader(table(), 1), s("Cameras"));
        QCOMPARE(rows(table(), 1), (QStringList{s("Gate"), s("Yard"), s("add new camera...")}));
        QCOMPARE(table()->cellForRow({1, 0})->accessoryType(), TableViewCell::Accessory::DisclosureIndicator);
        QCOMPARE(table()->tableFooterView(), m_editor->singleFooter());
        QVERIFY(m_editor->emailButton()->isEnabled());
        QCOMPARE(m_log.count(s("Got cell request for section: 1, row:2")), 1);
        QCOMPARE(m_log.count(s("Made new cell for section: 1, row:2")), 1);
        QCOMPARE(m_log.count(s("Returned cell for section: 1, row:2")), 1);
        QVERIFY(!m_editor->cellForRow(table(), {2, 0}));
        const QStringList unknown = m_log.matching(s("Got cell request for unknown section: 2"));
        QCOMPARE(unknown.size(), 1);
        QVERIFY(unknown.first().contains(s("<ERROR")));
        QVERIFY(!m_editor->willSelectRow(table(), {0, 0}).isValid());

        tap(table(), {1, 1});
        auto *detail = qobject_cast<CameraDetailView *>(m_stack->topViewController());
        QVERIFY(detail);
        QVERIFY(detail->currentGroup().isSameObject(g));
        QVERIFY(detail->cameraDefinition().isSameObject(c2));
        QVERIFY(detail->isEditable());
        m_stack->popViewController(false);

        tap(table(), {1, 2});
        auto *chooser = qobject_cast<ProtocolChooserView *>(m_stack->topViewController());
        QVERIFY(chooser);
        QVERIFY(chooser->currentGroup().isSameObject(g));
    }

    void editModeDeletesAndReorders()
    {
        const Value c1 = camera("One");
        const Value c2 = camera("Two");
        const Value c3 = camera("Three");
        const Value g = group("Home", {c1, c2, c3});
        show(g);
        m_editor->editButtonItem()->triggered();
        QVERIFY(m_editor->isEditing());
        QVERIFY(table()->isEditing());
        QVERIFY(m_editor->hidesBackButton());
        QVERIFY(!table()->tableFooterView());
        QCOMPARE(rows(table(), 1), (QStringList{s("One"), s("Two"), s("Three")}));
        QVERIFY(!m_editor->canEditRow(table(), {0, 0}));
        QVERIFY(!m_editor->canMoveRow(table(), {0, 0}));
        QVERIFY(m_editor->canMoveRow(table(), {1, 2}));

        // Nothing lands in the name section or past the last camera.
        QCOMPARE(m_editor->targetForMove(table(), {1, 2}, {0, 0}), (IndexPath{1, 0}));
        QCOMPARE(m_editor->targetForMove(table(), {1, 0}, {1, 3}), (IndexPath{1, 2}));
        QCOMPARE(m_editor->targetForMove(table(), {1, 0}, {1, 1}), (IndexPath{1, 1}));
        m_editor->moveRow(table(), {1, 0}, {1, 2});
        const Value cameras = g.value(s("cameras"));
        QVERIFY(cameras.at(0).isSameObject(c2) && cameras.at(1).isSameObject(c3) && cameras.at(2).isSameObject(c1));

        for (int left = 3; left > 0; --left) {
            TableViewCell *cell = table()->cellForRow({1, 0});
            cell->deleteControl()->click();
            cell->deleteConfirmationButton()->click();
            QCOMPARE(cameras.size(), left - 1);
        }
        QCOMPARE(rows(table(), 1), QStringList{s("no cameras defined")});
        QVERIFY(!m_editor->willSelectRow(table(), {1, 0}).isValid());
        QVERIFY(!m_editor->emailButton()->isEnabled());

        m_editor->editButtonItem()->triggered();
        QVERIFY(!m_editor->hidesBackButton());
        QCOMPARE(table()->tableFooterView(), m_editor->singleFooter());
        QCOMPARE(rows(table(), 1), QStringList{s("add new camera...")});
    }

    void emailSendsChosenCamerasInGroupOrder()
    {
        const Value c1 = camera("One", true);
        const Value c2 = camera("Two");
        const Value c3 = camera("Three");
        const Value g = group("Home & Away", {c1, c2, c3});
        show(g);
        RecordingOpener opener;
        UrlOpener::setShared(&opener);

        m_editor->emailButton()->click();
        QVERIFY(m_editor->isEmailing());
        QVERIFY(m_editor->hidesBackButton());
        QCOMPARE(m_editor->leftBarButtonItem(), m_editor->cancelEmailButton());
        QCOMPARE(m_editor->rightBarButtonItem(), m_editor->sendButton());
        QCOMPARE(m_editor->sendButton()->title(), s("Send"));
        QVERIFY(!m_editor->sendButton()->isEnabled());
        QCOMPARE(table()->tableFooterView(), m_editor->doubleFooter());
        QCOMPARE(rows(table(), 1), (QStringList{s("One"), s("Two"), s("Three")}));
        QCOMPARE(table()->cellForRow({1, 0})->accessoryType(), TableViewCell::Accessory::None);

        tap(table(), {1, 2});
        QVERIFY(m_editor->sendButton()->isEnabled());
        QCOMPARE(table()->cellForRow({1, 2})->accessoryType(), TableViewCell::Accessory::Checkmark);
        tap(table(), {1, 2});
        QVERIFY(!m_editor->sendButton()->isEnabled());
        QCOMPARE(table()->cellForRow({1, 2})->accessoryType(), TableViewCell::Accessory::None);

        m_editor->selectAllButton()->click();
        QVERIFY(m_editor->sendButton()->isEnabled());
        QCOMPARE(m_editor->selectedCameras().size(), 3);
        m_editor->deselectAllButton()->click();
        QVERIFY(!m_editor->sendButton()->isEnabled());
        QVERIFY(m_editor->selectedCameras().isEmpty());

        tap(table(), {1, 2});
        tap(table(), {1, 0});
        QCOMPARE(m_editor->selectedCameras().size(), 2);
        m_editor->sendButton()->triggered();
        UrlOpener::setShared(nullptr);

        QCOMPARE(opener.opened.size(), 1);
        const Value sent = groupInMail(opener.opened.first());
        QVERIFY(sent.isDictionary());
        QCOMPARE(sent.value(s("name")).toString(), s("Home & Away"));
        QCOMPARE(sent.value(s("cameras")).size(), 2);
        QCOMPARE(sent.value(s("cameras")).at(0), c1);
        QCOMPARE(sent.value(s("cameras")).at(1), c3);
        // The group itself is left as it was.
        QCOMPARE(g.value(s("cameras")).size(), 3);

        QVERIFY(!m_editor->isEmailing());
        QVERIFY(!m_editor->leftBarButtonItem());
        QCOMPARE(m_editor->rightBarButtonItem(), m_editor->editButtonItem());
        QVERIFY(!m_editor->hidesBackButton());
        QCOMPARE(table()->tableFooterView(), m_editor->singleFooter());
        QCOMPARE(rows(table(), 1).last(), s("add new camera..."));
    }

    void emailModeOnAnEmptyGroupAndCancel()
    {
        show(group("Empty", {}));
        QVERIFY(!m_editor->emailButton()->isEnabled());
        m_editor->startEmailPressed();
        QCOMPARE(rows(table(), 1), QStringList{s("no cameras defined")});
        m_editor->selectAllButton()->click();
        QVERIFY(!m_editor->sendButton()->isEnabled());
        m_editor->cancelEmailButton()->triggered();
        QVERIFY(!m_editor->isEmailing());
        QCOMPARE(rows(table(), 1), QStringList{s("add new camera...")});
    }

    void nameFollowsTheField()
    {
        const Value g = group("Home", {});
        show(g);
        m_editor->nameField()->setText(s("Garden"));
        emit m_editor->nameField()->editingFinished();
        QCOMPARE(g.value(s("name")).toString(), s("Garden"));
        QCOMPARE(m_editor->title(), s("Garden"));

        // An empty name is stored as the hint when the screen is left.
        m_editor->nameField()->clear();
        m_stack->popViewController(false);
        QCOMPARE(g.value(s("name")).toString(), s("unnamed"));
        QCOMPARE(m_editor->title(), s("unnamed"));
    }
};

QTEST_MAIN(TestGroupViewController)
#include "tst_groupviewcontroller.moc"
