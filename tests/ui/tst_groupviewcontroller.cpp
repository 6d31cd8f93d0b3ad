#include "config/PropertyList.h"
#include "config/QelCrypto.h"
#include "platform/UrlOpener.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/CellControl.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/RoundedButton.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/settings/GroupViewController.h"
#include "util/Utilities.h"

#include "support/RecordingOpener.h"
#include "support/TestSupport.h"
#include "support/TableTaps.h"

#include <QTest>

namespace {

QString s(const char *text)
{
    return QString::fromLatin1(text);
}

Value camera(const char *title)
{
    Value c = Value::dictionary();
    c.insert(s("title"), s(title));
    Value video = Value::dictionary();
    video.insert(s("video.type"), s("AXISMJPEG"));
    c.insert(s("video.parameters"), video);
    return c;
}

QStringList cameraRows(const TableView *table)
{
    return rowTexts(table, 1);
}

void tap(TableView *table, int row)
{
    tapRow(table, { 1, row });
}

// The group a mail carries, read back without the sharing code: the link in the
// body, its payload unescaped, Base64, deciphered with the group vector, parsed.
Value groupInMail(const QUrl &mail)
{
    const QString encoded = mail.toString(QUrl::FullyEncoded);
    const QString body = QUrl::fromPercentEncoding(encoded.mid(encoded.indexOf(s("body=")) + 5).toLatin1());
    const QString prefix = s("vyo://group/");
    const qsizetype from = body.indexOf(prefix) + prefix.size();
    const QString payload =
        QUrl::fromPercentEncoding(body.mid(from, body.indexOf(QLatin1Char('\r'), from) - from).toLatin1());
    const std::optional<QByteArray> plain =
        QelCrypto::decryptBlob(Utilities::base64Decode(payload), QelCrypto::URL_INIT_VECS[1]);
    return plain ? PropertyList::fromData(*plain, nullptr) : Value();
}

} // namespace

class TestGroupViewController final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScratchStore> m_scratch;
    std::unique_ptr<NavigationController> m_stack;
    GroupViewController *m_editor = nullptr;
    Value m_cameras;

    TableView *table() const { return m_editor->tableView(); }

private slots:
    void init()
    {
        m_cameras = Value::array({camera("One"), camera("Two"), camera("Three")});
        Value group = Value::dictionary();
        group.insert(s("name"), s("Home & Away"));
        group.insert(s("cameras"), m_cameras);
        m_scratch = std::make_unique<ScratchStore>();
        m_editor = new GroupViewController(m_scratch->store);
        m_editor->setCurrentGroup(group);
        m_stack = std::make_unique<NavigationController>(new ViewController);
        m_stack->resize(320, 480);
        m_stack->pushViewController(m_editor, false);
        m_stack->show();
    }

    void cleanup()
    {
        m_stack.reset();
        m_scratch.reset();
    }

    void editModeKeepsMovesAmongTheCameras()
    {
        m_editor->setEditing(true, false);
        QVERIFY(m_editor->hidesBackButton());
        QVERIFY(!table()->tableFooterView());
        QCOMPARE(m_editor->targetForMove(table(), {1, 2}, {0, 0}), (IndexPath{1, 0}));
        QCOMPARE(m_editor->targetForMove(table(), {1, 0}, {1, 3}), (IndexPath{1, 2}));
        QCOMPARE(m_editor->targetForMove(table(), {1, 0}, {1, 1}), (IndexPath{1, 1}));

        for (int left = 2; left >= 0; --left) {
            TableViewCell *cell = table()->cellForRow({1, 0});
            cell->deleteControl()->click();
            cell->deleteConfirmationButton()->click();
            QCOMPARE(m_cameras.size(), left);
        }
        QCOMPARE(cameraRows(table()), QStringList{s("no cameras defined")});
        QVERIFY(!m_editor->emailButton()->isEnabled());
        m_editor->setEditing(false, false);
        QCOMPARE(cameraRows(table()), QStringList{s("add new camera...")});
        QVERIFY(!m_editor->hidesBackButton());
    }

    void tourRowOffersTheChoicesAndSetsTheGroup()
    {
        QCOMPARE(table()->cellForRow({0, 1})->detailText(), s("Off"));
        tapRow(table(), {0, 1});
        auto *sheet = m_stack->window()->findChild<ActionSheet *>();
        QVERIFY(sheet);
        QCOMPARE(sheet->buttonCount(), 6);
        QCOMPARE(sheet->button(3)->text(), s("30 s"));
        sheet->dismissWithButtonIndex(3);
        QCOMPARE(GroupStore::tourSeconds(m_editor->currentGroup()), 30);
        QCOMPARE(table()->cellForRow({0, 1})->detailText(), s("30 s"));
    }

    void emailSendsChosenCamerasInGroupOrder()
    {
        RecordingOpener opener;
        UrlOpener::setShared(&opener);
        m_editor->emailButton()->click();
        QCOMPARE(m_editor->rightBarButtonItem(), m_editor->sendButton());
        QVERIFY(!m_editor->sendButton()->isEnabled());
        QCOMPARE(cameraRows(table()), (QStringList{s("One"), s("Two"), s("Three")}));

        tap(table(), 2);
        QVERIFY(m_editor->sendButton()->isEnabled());
        QCOMPARE(table()->cellForRow({1, 2})->accessoryType(), TableViewCell::Accessory::Checkmark);
        tap(table(), 2);
        QVERIFY(!m_editor->sendButton()->isEnabled());
        m_editor->selectAllButton()->click();
        QVERIFY(m_editor->sendButton()->isEnabled());
        m_editor->deselectAllButton()->click();
        QVERIFY(!m_editor->sendButton()->isEnabled());

        tap(table(), 2);
        tap(table(), 0);
        emit m_editor->sendButton()->triggered();
        UrlOpener::setShared(nullptr);

        QCOMPARE(opener.opened.size(), 1);
        const Value sent = groupInMail(opener.opened.first());
        QCOMPARE(sent.value(s("name")).toString(), s("Home & Away"));
        QCOMPARE(sent.value(s("cameras")), Value::array({m_cameras.at(0), m_cameras.at(2)}));
        QVERIFY(!m_editor->isEmailing());
        QCOMPARE(m_editor->rightBarButtonItem(), m_editor->editButtonItem());
        QVERIFY(!m_editor->hidesBackButton());
    }
};

QTEST_MAIN(TestGroupViewController)
#include "tst_groupviewcontroller.moc"
