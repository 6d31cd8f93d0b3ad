#include "ui/kit/BarButton.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ViewController.h"

#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

namespace {

// Writes its appear/disappear calls into a shared journal.
class Screen final : public ViewController
{
public:
    Screen(const QString &name, QStringList *journal, QWidget *parent = nullptr)
        : ViewController(parent)
        , m_journal(journal)
    {
        setTitle(name);
    }

    void viewWillAppear(bool) override { m_journal->append(title() + QStringLiteral(" willAppear")); }
    void viewDidAppear(bool) override { m_journal->append(title() + QStringLiteral(" didAppear")); }
    void viewWillDisappear(bool) override { m_journal->append(title() + QStringLiteral(" willDisappear")); }
    void viewDidDisappear(bool) override { m_journal->append(title() + QStringLiteral(" didDisappear")); }

private:
    QStringList *m_journal;
};

QStringList names(const NavigationController &stack)
{
    QStringList titles;
    for (const ViewController *controller : stack.viewControllers())
        titles.append(controller->title());
    return titles;
}

QString s(const char *text)
{
    return QString::fromLatin1(text);
}

}

class TestNavigationController final : public QObject
{
    Q_OBJECT

private:
    QStringList m_journal;
    std::unique_ptr<NavigationController> m_stack;
    Screen *m_root = nullptr;

private slots:
    void init()
    {
        m_journal.clear();
        m_root = new Screen(s("Settings"), &m_journal);
        m_stack = std::make_unique<NavigationController>(m_root);
        m_stack->resize(320, 480);
        m_stack->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_stack.get()));
        m_journal.clear();
    }

    void cleanup() { m_stack.reset(); }

    void pushAndPopCallTheHooksInOrder()
    {
        auto *groups = new Screen(s("Groups"), &m_journal);
        m_stack->pushViewController(groups, false);
        QCOMPARE(m_stack->topViewController(), groups);
        QCOMPARE(m_journal, (QStringList{s("Settings willDisappear"), s("Groups willAppear"),
                                         s("Settings didDisappear"), s("Groups didAppear")}));
        QVERIFY(groups->isVisible());
        QVERIFY(!m_root->isVisible());
        QCOMPARE(groups->navigationController(), m_stack.get());

        m_journal.clear();
        QPointer<ViewController> popped = m_stack->popViewController(false);
        QCOMPARE(popped.data(), groups);
        QCOMPARE(m_journal, (QStringList{s("Groups willDisappear"), s("Settings willAppear"),
                                         s("Groups didDisappear"), s("Settings didAppear")}));
        QVERIFY(!m_stack->popViewController(false));
        // A screen pushed without a parent belonged to the stack.
        QTRY_VERIFY(!popped);
    }

    void borrowedScreensGoBackToTheirOwner()
    {
        QWidget owner;
        auto *kept = new Screen(s("Kept"), &m_journal, &owner);
        m_stack->pushViewController(kept, false);
        m_stack->popToRootViewController(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(kept->parentWidget(), &owner);
        QVERIFY(!kept->navigationController());
        m_stack->pushViewController(kept, false);
        QCOMPARE(m_stack->topViewController(), kept);
    }

    void popToAndReplaceTheStack()
    {
        auto *a = new Screen(s("A"), &m_journal);
        auto *b = new Screen(s("B"), &m_journal);
        auto *c = new Screen(s("C"), &m_journal);
        m_stack->pushViewController(a, false);
        m_stack->pushViewController(b, false);
        m_stack->pushViewController(c, false);
        QCOMPARE(names(*m_stack), (QStringList{s("Settings"), s("A"), s("B"), s("C")}));

        QCOMPARE(m_stack->popToViewController(a, false), (QList<ViewController *>{b, c}));
        QCOMPARE(names(*m_stack), (QStringList{s("Settings"), s("A")}));

        auto *d = new Screen(s("D"), &m_journal);
        m_journal.clear();
        m_stack->setViewControllers({m_root, a, d}, false);
        QCOMPARE(names(*m_stack), (QStringList{s("Settings"), s("A"), s("D")}));
        QCOMPARE(m_journal.first(), s("A willDisappear"));
        QCOMPARE(m_stack->navigationBar()->title(), s("D"));
        QCOMPARE(m_stack->navigationBar()->backButton()->text(), s("A"));
    }

    void animatedPushSlidesAndFinishes()
    {
        auto *groups = new Screen(s("Groups"), &m_journal);
        QSignalSpy finished(m_stack.get(), &NavigationController::transitionFinished);
        m_stack->pushViewController(groups, true);
        QVERIFY(m_stack->isTransitioning());
        QCOMPARE(m_journal.last(), s("Groups willAppear"));
        QVERIFY(finished.wait());
        QVERIFY(!m_stack->isTransitioning());
        QCOMPARE(groups->pos(), QPoint(0, 0));
        QVERIFY(!m_root->isVisible());
        QCOMPARE(m_journal.last(), s("Groups didAppear"));

        // A change during a transition first completes the running one.
        m_stack->popViewController(true);
        m_stack->pushViewController(new Screen(s("Other"), &m_journal), false);
        QCOMPARE(names(*m_stack), (QStringList{s("Settings"), s("Other")}));
        QVERIFY(m_stack->topViewController()->isVisible());
    }

    // Escape goes back: the left item where there is one, else the back button, if shown.
    void escapeGoesBack()
    {
        auto *done = new BarButtonItem(BarButtonItem::SystemItem::Done);
        m_root->setLeftBarButtonItem(done);
        QSignalSpy doneTapped(done, &BarButtonItem::triggered);
        auto *editor = new Screen(s("Camera"), &m_journal);
        m_stack->pushViewController(editor, false);
        editor->setHidesBackButton(true);
        QTest::keyClick(m_stack.get(), Qt::Key_Escape);
        QCOMPARE(m_stack->topViewController(), editor);
        editor->setHidesBackButton(false);
        QTest::keyClick(m_stack.get(), Qt::Key_Escape);
        QVERIFY(finishedOrDone());
        QCOMPARE(m_stack->topViewController(), m_root);
        QCOMPARE(doneTapped.size(), 0);
        QTest::keyClick(m_stack.get(), Qt::Key_Escape);
        QCOMPARE(doneTapped.size(), 1);
    }

    // Coming back to a screen gives the focus back to its field, cursor where it was
    // and nothing selected, however the screen on top was left.
    void focusComesBackWhereItWas()
    {
        auto *editor = new Screen(s("Camera"), &m_journal);
        auto *name = new QLineEdit(s("Gate"), editor);
        auto *host = new QLineEdit(s("127.0.0.1"), editor);
        host->move(0, 40);
        m_stack->pushViewController(editor, false);
        m_stack->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_stack.get()));
        host->setFocus();
        host->setCursorPosition(3);
        auto *chooser = new Screen(s("PTZ Type"), &m_journal);
        auto *filter = new QLineEdit(chooser);
        m_stack->pushViewController(chooser, true);
        QVERIFY(finishedOrDone());
        filter->setFocus();
        m_stack->popViewController(true);
        QVERIFY(finishedOrDone());
        QVERIFY(host->hasFocus());
        QCOMPARE(host->cursorPosition(), 3);
        QVERIFY(!name->hasSelectedText() && !host->hasSelectedText());
    }

    void barShowsBackAndItemButtons()
    {
        NavigationBar *bar = m_stack->navigationBar();
        QVERIFY(!bar->backButton()->isVisible());
        auto *editor = new Screen(s("Camera"), &m_journal);
        auto *save = new BarButtonItem(BarButtonItem::SystemItem::Save);
        editor->setRightBarButtonItem(save);
        m_stack->pushViewController(editor, false);
        QCOMPARE(save->parent(), editor);
        QVERIFY(bar->backButton()->isVisible());
        QCOMPARE(bar->backButton()->text(), s("Settings"));

        QSignalSpy saved(save, &BarButtonItem::triggered);
        QTest::mouseClick(bar->rightButton(), Qt::LeftButton);
        QCOMPARE(saved.size(), 1);
        save->setEnabled(false);
        QVERIFY(!bar->rightButton()->isEnabled());

        editor->setHidesBackButton(true);
        QVERIFY(!bar->backButton()->isVisible());
        editor->setHidesBackButton(false);
        // A left item takes the back button's place.
        editor->setLeftBarButtonItem(new BarButtonItem(BarButtonItem::SystemItem::Cancel));
        QVERIFY(!bar->backButton()->isVisible());
        editor->setLeftBarButtonItem(nullptr);

        QTest::mouseClick(bar->backButton(), Qt::LeftButton);
        QVERIFY(finishedOrDone());
        QCOMPARE(m_stack->topViewController(), m_root);
    }

private:
    bool finishedOrDone()
    {
        if (!m_stack->isTransitioning())
            return true;
        QSignalSpy finished(m_stack.get(), &NavigationController::transitionFinished);
        return finished.wait();
    }
};

QTEST_MAIN(TestNavigationController)
#include "tst_navigationcontroller.moc"
