#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class NavigationBar;
class QParallelAnimationGroup;
class ViewController;

// A stack of screens under a navigation bar, changed with sliding transitions.
//
// A screen pushed without a parent belongs to the stack and is deleted (later)
// when it leaves it; a screen that has a parent is only shown here and goes
// back to that parent, hidden, when it leaves (and is deleted if that parent has gone).
class NavigationController final : public QWidget
{
    Q_OBJECT

public:
    explicit NavigationController(ViewController *root = nullptr, QWidget *parent = nullptr);
    ~NavigationController() override;

    void pushViewController(ViewController *controller, bool animated);
    // Returns the screen taken off, or null when only the root is left.
    ViewController *popViewController(bool animated);
    QList<ViewController *> popToViewController(ViewController *controller, bool animated);
    QList<ViewController *> popToRootViewController(bool animated);
    void setViewControllers(const QList<ViewController *> &controllers, bool animated);

    QList<ViewController *> viewControllers() const;
    ViewController *topViewController() const;
    NavigationBar *navigationBar() const { return m_bar; }
    bool isTransitioning() const;

signals:
    // A change of the stack has finished, with or without animation.
    void transitionFinished();

protected:
    void resizeEvent(QResizeEvent *event) override;
    // Escape is the way back: the top screen's left bar button (Done, Cancel) when
    // it has one, otherwise the back button.
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Entry
    {
        QPointer<ViewController> controller;
        QPointer<QWidget> originalParent;
        bool owned = false;
        // Where the keyboard focus was when a screen was pushed over this one.
        QPointer<QWidget> focus;
    };
    enum class Direction { Forward, Backward };

    void changeStack(const QList<ViewController *> &controllers, Direction direction, bool animated);
    void completeTransition();
    // A screen that goes keeps its focused field for its return, and the focus
    // stays with the stack rather than jumping to the next field (selecting its text).
    void keepFocusOf(ViewController *leaving);
    void restoreFocusOf(ViewController *arriving);
    void release(const Entry &entry);
    void layoutControllers();
    QRect contentRect() const;
    bool contains(const QList<Entry> &entries, const ViewController *controller) const;

    NavigationBar *m_bar;
    QWidget *m_content;
    QList<Entry> m_stack;
    // The transition in flight: what leaves, what comes, what is released at its end.
    QParallelAnimationGroup *m_animation = nullptr;
    QPointer<ViewController> m_leaving;
    QPointer<ViewController> m_arriving;
    QList<Entry> m_released;
    bool m_animating = false;
    bool m_transitionAnimated = false;
};
