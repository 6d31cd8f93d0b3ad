#include "ui/kit/NavigationController.h"

#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/Theme.h"
#include "ui/kit/ViewController.h"

#include <QKeyEvent>
#include <QParallelAnimationGroup>
#include <algorithm>
#include <QPropertyAnimation>

NavigationController::NavigationController(ViewController *root, QWidget *parent)
    : QWidget(parent)
    , m_bar(new NavigationBar(this))
    , m_content(new QWidget(this))
    , m_animation(new QParallelAnimationGroup(this))
{
    connect(m_bar, &NavigationBar::backTapped, this, [this] { popViewController(true); });
    connect(m_animation, &QAbstractAnimation::finished, this, &NavigationController::completeTransition);
    if (root)
        pushViewController(root, false);
}

NavigationController::~NavigationController()
{
    m_animation->stop();
    // Screens borrowed from elsewhere go back to their owners, if those still exist.
    for (const Entry &entry : std::as_const(m_stack)) {
        if (!entry.owned && entry.controller && entry.originalParent)
            entry.controller->setParent(entry.originalParent);
    }
}

QList<ViewController *> NavigationController::viewControllers() const
{
    QList<ViewController *> controllers;
    for (const Entry &entry : m_stack)
        controllers.append(entry.controller);
    return controllers;
}

ViewController *NavigationController::topViewController() const
{
    return m_stack.isEmpty() ? nullptr : m_stack.last().controller.data();
}

void NavigationController::keyPressEvent(QKeyEvent *event)
{
    ViewController *top = topViewController();
    if (event->key() != Qt::Key_Escape || !top || isTransitioning()) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (BarButtonItem *left = top->leftBarButtonItem()) {
        if (left->isEnabled())
            emit left->triggered();
    } else if (m_stack.size() > 1 && !top->hidesBackButton()) {
        popViewController(true);
    }
}

bool NavigationController::isTransitioning() const
{
    return m_animating;
}

void NavigationController::pushViewController(ViewController *controller, bool animated)
{
    if (!controller)
        return;
    QList<ViewController *> controllers = viewControllers();
    controllers.removeAll(controller);
    controllers.append(controller);
    changeStack(controllers, Direction::Forward, animated);
}

ViewController *NavigationController::popViewController(bool animated)
{
    if (m_stack.size() < 2)
        return nullptr;
    ViewController *top = topViewController();
    QList<ViewController *> controllers = viewControllers();
    controllers.removeLast();
    changeStack(controllers, Direction::Backward, animated);
    return top;
}

QList<ViewController *> NavigationController::popToViewController(ViewController *controller,
                                                                   bool animated)
{
    QList<ViewController *> controllers = viewControllers();
    const qsizetype index = controllers.indexOf(controller);
    if (index < 0)
        return {};
    const QList<ViewController *> popped = controllers.mid(index + 1);
    controllers.resize(index + 1);
    changeStack(controllers, Direction::Backward, animated);
    return popped;
}

QList<ViewController *> NavigationController::popToRootViewController(bool animated)
{
    if (m_stack.isEmpty())
        return {};
    return popToViewController(m_stack.first().controller, animated);
}

void NavigationController::setViewControllers(const QList<ViewController *> &controllers,
                                              bool animated)
{
    // A new top that was already on the stack is a way back; anything else goes forward.
    const bool backward = !controllers.isEmpty() && contains(m_stack, controllers.last())
                          && controllers.last() != topViewController();
    changeStack(controllers, backward ? Direction::Backward : Direction::Forward, animated);
}

bool NavigationController::contains(const QList<Entry> &entries, const ViewController *controller) const
{
    return std::any_of(entries.cbegin(), entries.cend(),
                       [controller](const Entry &e) { return e.controller == controller; });
}

void NavigationController::changeStack(const QList<ViewController *> &controllers,
                                       Direction direction, bool animated)
{
    if (m_animating)
        m_animation->setCurrentTime(m_animation->totalDuration());

    ViewController *oldTop = topViewController();
    QList<Entry> stack;
    for (ViewController *controller : controllers) {
        if (!controller || contains(stack, controller))
            continue;
        const auto found = std::find_if(m_stack.cbegin(), m_stack.cend(),
                                        [controller](const Entry &e) { return e.controller == controller; });
        if (found != m_stack.cend()) {
            stack.append(*found);
            continue;
        }
        Entry entry{controller, controller->parentWidget(), controller->parentWidget() == nullptr, nullptr};
        controller->setParent(m_content);
        controller->hide();
        controller->m_navigationController = this;
        stack.append(entry);
    }
    for (const Entry &entry : std::as_const(m_stack)) {
        if (!contains(stack, entry.controller))
            m_released.append(entry);
    }
    m_stack = stack;

    ViewController *newTop = topViewController();
    m_bar->showItems(newTop, m_stack.size() > 1 ? m_stack.at(m_stack.size() - 2).controller.data()
                                                : nullptr);
    m_leaving = oldTop != newTop ? oldTop : nullptr;
    m_arriving = oldTop != newTop ? newTop : nullptr;
    m_transitionAnimated = animated && m_leaving && m_arriving;

    if (m_leaving)
        m_leaving->viewWillDisappear(m_transitionAnimated);
    if (m_arriving) {
        m_arriving->setGeometry(contentRect());
        m_arriving->viewWillAppear(m_transitionAnimated);
        m_arriving->show();
        m_arriving->raise();
    }
    if (!m_transitionAnimated) {
        completeTransition();
        return;
    }

    // Forward: the new screen comes in from the right and pushes the old one out
    // to the left; backward the other way round.
    const int width = m_content->width();
    const int sign = direction == Direction::Forward ? 1 : -1;
    m_animation->clear();
    const auto slide = [this](QWidget *widget, QPoint from, QPoint to) {
        auto *animation = new QPropertyAnimation(widget, "pos", m_animation);
        animation->setStartValue(from);
        animation->setEndValue(to);
        animation->setDuration(Theme::AnimationMs);
        animation->setEasingCurve(QEasingCurve::OutCubic);
        m_animation->addAnimation(animation);
    };
    slide(m_arriving, QPoint(sign * width, 0), QPoint(0, 0));
    slide(m_leaving, QPoint(0, 0), QPoint(-sign * width, 0));
    m_animating = true;
    m_content->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    m_animation->start();
}

void NavigationController::completeTransition()
{
    const bool animated = m_transitionAnimated;
    m_animating = false;
    m_content->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    if (m_leaving) {
        keepFocusOf(m_leaving);
        m_leaving->hide();
        m_leaving->move(0, 0);
        m_leaving->viewDidDisappear(animated);
    }
    if (m_arriving) {
        m_arriving->move(0, 0);
        restoreFocusOf(m_arriving);
        m_arriving->viewDidAppear(animated);
    }
    m_leaving = nullptr;
    m_arriving = nullptr;
    const QList<Entry> released = std::exchange(m_released, {});
    for (const Entry &entry : released)
        release(entry);
    emit transitionFinished();
}

void NavigationController::keepFocusOf(ViewController *leaving)
{
    // Asked of the window rather than the application, which sees no focus inside a
    // graphics scene (the main window shows its views scaled in one).
    QWidget *focused = window()->focusWidget();
    if (!focused || !focused->hasFocus() || !leaving->isAncestorOf(focused))
        return;
    for (Entry &entry : m_stack) {
        if (entry.controller == leaving)
            entry.focus = focused;
    }
    setFocus(Qt::OtherFocusReason);
}

void NavigationController::restoreFocusOf(ViewController *arriving)
{
    for (Entry &entry : m_stack) {
        if (entry.controller == arriving && entry.focus) {
            // Not a Tab: a line edit keeps its cursor instead of selecting all.
            std::exchange(entry.focus, nullptr)->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void NavigationController::release(const Entry &entry)
{
    ViewController *controller = entry.controller;
    if (!controller || contains(m_stack, controller))
        return;
    controller->hide();
    controller->m_navigationController = nullptr;
    if (entry.owned || !entry.originalParent)
        controller->deleteLater();
    else
        controller->setParent(entry.originalParent);
}

QRect NavigationController::contentRect() const
{
    return QRect(QPoint(0, 0), m_content->size());
}

void NavigationController::layoutControllers()
{
    m_bar->setGeometry(0, 0, width(), Theme::NavigationBarHeight);
    m_content->setGeometry(0, Theme::NavigationBarHeight, width(),
                           qMax(0, height() - Theme::NavigationBarHeight));
    for (const Entry &entry : std::as_const(m_stack)) {
        if (entry.controller)
            entry.controller->resize(m_content->size());
    }
}

void NavigationController::resizeEvent(QResizeEvent *)
{
    layoutControllers();
}
