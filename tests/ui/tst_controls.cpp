#include "ui/kit/ActionSheet.h"
#include "ui/kit/RoundedButton.h"
#include "ui/kit/Switch.h"
#include "ui/kit/TextField.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

class TestControls final : public QObject
{
    Q_OBJECT

private slots:
    void switchTurnsByTapAndByDrag()
    {
        Switch flag;
        QSignalSpy changes(&flag, &Switch::valueChanged);
        flag.setOn(true);
        QVERIFY(flag.isOn());
        QCOMPARE(changes.size(), 0);

        QTest::mouseClick(&flag, Qt::LeftButton);
        QVERIFY(!flag.isOn());
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.last().first().toBool(), false);

        // Dragging the knob most of the way over turns it on; a short drag back does not.
        const QPoint left(10, flag.height() / 2);
        QTest::mousePress(&flag, Qt::LeftButton, {}, left);
        QTest::mouseMove(&flag, left + QPoint(20, 0));
        QTest::mouseMove(&flag, left + QPoint(60, 0));
        QTest::mouseRelease(&flag, Qt::LeftButton, {}, left + QPoint(60, 0));
        QVERIFY(flag.isOn());
        QTest::mousePress(&flag, Qt::LeftButton, {}, left + QPoint(60, 0));
        QTest::mouseMove(&flag, left + QPoint(50, 0));
        QTest::mouseRelease(&flag, Qt::LeftButton, {}, left + QPoint(50, 0));
        QVERIFY(flag.isOn());
        QCOMPARE(changes.size(), 2);
    }

    void secureEntryHidesTheText()
    {
        TextField field;
        field.setSecureEntry(true);
        QCOMPARE(field.echoMode(), QLineEdit::Password);
        QVERIFY(field.inputMethodHints().testFlag(Qt::ImhHiddenText));
    }

    // Words are capitalised as an on-screen keyboard commits them; a hardware
    // keyboard's text stays as typed, and so does text already in the field.
    void textFieldCapitalisesOnlyOnScreenTyping()
    {
        TextField field;
        field.setCapitalization(TextField::Capitalization::Words);
        QTest::keyClicks(&field, QStringLiteral("kitchen cam"));
        QCOMPARE(field.text(), QStringLiteral("kitchen cam"));

        field.setText(QStringLiteral("xis-cam"));
        field.setCursorPosition(0);
        QInputMethodEvent letter;
        letter.setCommitString(QStringLiteral("a"));
        QApplication::sendEvent(&field, &letter);
        QCOMPARE(field.text(), QStringLiteral("Axis-cam"));
        field.setCursorPosition(1);
        QInputMethodEvent inside;
        inside.setCommitString(QStringLiteral("x"));
        QApplication::sendEvent(&field, &inside);
        QCOMPARE(field.text(), QStringLiteral("Axxis-cam"));

        field.clear();
        QInputMethodEvent words;
        words.setCommitString(QStringLiteral("front gate"));
        QApplication::sendEvent(&field, &words);
        QCOMPARE(field.text(), QStringLiteral("Front Gate"));
    }

    void clearButtonOnlyWhileEditingAndDoneEndsEditing()
    {
        QWidget window;
        auto *field = new TextField(&window);
        auto *other = new TextField(&window);
        other->move(0, 40);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        QVERIFY(!field->isClearButtonEnabled());
        field->setFocus();
        QVERIFY(field->isClearButtonEnabled());
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(!field->hasFocus());
        QVERIFY(!field->isClearButtonEnabled());
    }

    void buttonStretchesTheMiddleOfItsImage()
    {
        // Red left cap of 12, one green column to stretch, blue right cap.
        QPixmap image(25, 10);
        QPainter paint(&image);
        paint.fillRect(0, 0, 12, 10, Qt::red);
        paint.fillRect(12, 0, 1, 10, Qt::green);
        paint.fillRect(13, 0, 12, 10, Qt::blue);
        paint.end();
        RoundedButton button;
        button.setBackgroundImage(image, RoundedButton::State::Normal, 12, 0);
        button.setTitleColor(Qt::transparent);
        button.resize(200, 44);
        const QImage drawn = button.grab().toImage();
        QCOMPARE(drawn.pixelColor(5, 22), QColor(Qt::red));
        QCOMPARE(drawn.pixelColor(100, 22), QColor(Qt::green));
        QCOMPARE(drawn.pixelColor(194, 22), QColor(Qt::blue));
        QCOMPARE(drawn.pixelColor(100, 2), QColor(Qt::green));
    }

    void actionSheetReportsTheChosenButton()
    {
        QWidget window;
        window.resize(320, 480);
        window.show();
        ActionSheet sheet(QStringLiteral("Received a camera"), &window);
        sheet.addButton(QStringLiteral("Add To a Group"));
        const int discard = sheet.addButton(QStringLiteral("Discard"));
        sheet.setDestructiveButtonIndex(discard);

        QSignalSpy clicked(&sheet, &ModalPanel::clickedButtonAtIndex);
        QSignalSpy dismissed(&sheet, &ModalPanel::didDismissWithButtonIndex);
        sheet.showOver(&window);
        QVERIFY(sheet.isVisible());
        QVERIFY(sheet.isModal() || sheet.windowModality() != Qt::NonModal);
        QTest::mouseClick(sheet.button(discard), Qt::LeftButton);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.first().first().toInt(), discard);
        QCOMPARE(dismissed.first().first().toInt(), discard);
        QVERIFY(!sheet.isVisible());
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
