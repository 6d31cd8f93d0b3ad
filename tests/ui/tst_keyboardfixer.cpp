#include "ui/kit/Alert.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/settings/FormTableViewController.h"
#include "ui/settings/FormTextField.h"
#include "ui/settings/KeyboardFixer.h"
#include "ui/settings/KeyboardSource.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsView>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>

namespace {

constexpr int FormHeight = 436;
constexpr int KeyboardHeight = 216;

// An on-screen keyboard driven by the test.
class FakeKeyboard final : public KeyboardSource
{
public:
    bool isVisible() const override { return m_visible; }
    QRectF keyboardRectangle() const override { return m_visible ? m_rect : QRectF(); }

    void show(const QRectF &rect)
    {
        m_rect = rect;
        m_visible = true;
        emit visibleChanged();
    }
    void hide()
    {
        m_visible = false;
        emit visibleChanged();
    }

private:
    bool m_visible = false;
    QRectF m_rect;
};

// Counts how often a widget changes size.
class ResizeCounter final : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            ++count;
        return false;
    }
};

}

class TestKeyboardFixer final : public QObject
{
    Q_OBJECT

private:
    FakeKeyboard *m_keyboard = nullptr;
    std::unique_ptr<KeyboardFixer> m_fixer;
    std::unique_ptr<FormTableViewController> m_form;
    QList<FormTextField *> m_fields;

    TableView *table() const { return m_form->tableView(); }

    void showKeyboard()
    {
        m_keyboard->show(QRectF(0, FormHeight - KeyboardHeight, 320, KeyboardHeight));
    }

    // The field's row lies inside the visible part of the table.
    bool rowVisible(FormTextField *field) const
    {
        const QWidget *cell = field->parentWidget();
        const QRect inViewport(cell->mapTo(table()->viewport(), QPoint(0, 0)), cell->size());
        return table()->viewport()->rect().contains(inViewport);
    }

    void focus(FormTextField *field)
    {
        field->setFocus(Qt::MouseFocusReason);
        QCOMPARE(m_fixer->currentTextObject(), field);
    }

private slots:
    void init()
    {
        m_keyboard = new FakeKeyboard;
        m_fixer = std::make_unique<KeyboardFixer>(m_keyboard);
        m_keyboard->setParent(m_fixer.get());
        m_fixer->setAnimated(false);
        m_form = std::make_unique<FormTableViewController>();
        m_form->setKeyboardFixer(m_fixer.get());
        m_form->makeEditable(true);
        const FormSectionRef section = m_form->addSection(QStringLiteral("video"));
        m_fields.clear();
        for (int i = 0; i < 9; ++i) {
            auto field = m_form->createDefaultTextfield(true);
            m_fields.append(dynamic_cast<FormTextField *>(field.get()));
            m_form->addRow(QStringLiteral("row%1").arg(i), QStringLiteral("Row %1").arg(i), field, {}, section);
        }
        m_form->resize(320, FormHeight);
        m_form->show();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        m_form->viewWillAppear(false);
        QCOMPARE(m_fixer->currentView(), table());
    }

    void cleanup()
    {
        m_form.reset();
        m_fixer.reset();
    }

    void keyboardShortensTheTableUntilItHides()
    {
        FormTextField *low = m_fields.last();
        focus(low);
        // A hardware keyboard shows nothing, so nothing moves.
        QCOMPARE(table()->height(), FormHeight);

        showKeyboard();
        QCOMPARE(table()->height(), FormHeight - KeyboardHeight);
        QVERIFY(rowVisible(low));

        // Done ends the edit; the keyboard's hide puts the table back.
        QTest::keyClick(low, Qt::Key_Return);
        QVERIFY(!m_fixer->currentTextObject());
        QVERIFY(!low->hasFocus());
        m_keyboard->hide();
        QCoreApplication::processEvents();
        QCOMPARE(table()->geometry(), QRect(0, 0, 320, FormHeight));
    }

    void animatedChangesEndInTheSameFrames()
    {
        m_fixer->setAnimated(true);
        FormTextField *low = m_fields.last();
        focus(low);
        showKeyboard();
        QTRY_COMPARE(table()->height(), FormHeight - KeyboardHeight);
        QTRY_VERIFY(rowVisible(low));
        low->clearFocus();
        m_keyboard->hide();
        QTRY_COMPARE(table()->height(), FormHeight);
    }

    void movingBetweenFieldsKeepsTheSize()
    {
        focus(m_fields.first());
        showKeyboard();
        ResizeCounter resizes;
        table()->installEventFilter(&resizes);

        // The platform may report a hide and a show for the switch.
        focus(m_fields.last());
        m_keyboard->hide();
        showKeyboard();
        QCoreApplication::processEvents();
        QCOMPARE(resizes.count, 0);
        QCOMPARE(table()->height(), FormHeight - KeyboardHeight);
        QVERIFY(rowVisible(m_fields.last()));

        // Or keep the keyboard up and report nothing.
        focus(m_fields.first());
        QVERIFY(rowVisible(m_fields.first()));
        QCOMPARE(resizes.count, 0);
        table()->removeEventFilter(&resizes);
    }

    void leavingWhileEditingRestoresTheTable()
    {
        focus(m_fields.at(5));
        showKeyboard();
        QCOMPARE(table()->height(), FormHeight - KeyboardHeight);
        m_form->viewWillDisappear(false);
        QCOMPARE(table()->height(), FormHeight);
        QVERIFY(!m_fixer->currentView());
        QVERIFY(!m_fields.at(5)->hasFocus());
        // Nothing happens once the screen has gone.
        showKeyboard();
        QCOMPARE(table()->height(), FormHeight);
    }

    // Shown twice as large in a graphics scene, as the main window shows its views,
    // the table still ends where the keyboard begins on the screen.
    void scaledByTheWindow()
    {
        QGraphicsScene scene;
        QGraphicsProxyWidget *proxy = scene.addWidget(m_form.get());
        const auto release = qScopeGuard([proxy] { proxy->setWidget(nullptr); });
        QGraphicsView view(&scene);
        view.setFrameShape(QFrame::NoFrame);
        view.setAlignment(Qt::AlignLeft | Qt::AlignTop);
        view.setTransform(QTransform::fromScale(2, 2));
        view.resize(640, 2 * FormHeight);
        view.show();
        view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        focus(m_fields.last());
        m_keyboard->show(QRectF(0, 2 * (FormHeight - KeyboardHeight), 640, 2 * KeyboardHeight));
        QCOMPARE(table()->height(), FormHeight - KeyboardHeight);
    }

    void modalPanelsStopScrollingWhileEditing()
    {
        focus(m_fields.at(2));
        showKeyboard();
        Alert alert(QStringLiteral("Problem"), QStringLiteral("Something went wrong."), m_form.get());
        alert.addButton(QStringLiteral("OK"));
        alert.showOver(m_form.get());
        QVERIFY(!table()->isScrollEnabled());
        alert.dismissWithButtonIndex(0);
        QVERIFY(table()->isScrollEnabled());
    }
};

QTEST_MAIN(TestKeyboardFixer)
#include "tst_keyboardfixer.moc"
