#include "app/MainWindow.h"

#include "ui/kit/Theme.h"

#include <QCloseEvent>
#include <QShortcut>

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Vyo"));
    setFixedSize(Landscape);
    Theme::fillBlack(this);
    // Quitting closes the window, which stores the groups on the way out.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this, &QWidget::close);
}

void MainWindow::setPortrait(bool portrait)
{
    m_portrait = portrait;
    if (!isFullScreen())
        setFixedSize(portrait ? Portrait : Landscape);
}

void MainWindow::setIdle(bool idle)
{
    if (idle == m_idle)
        return;
    m_idle = idle;
    if (idle)
        emit becameIdle();
    else
        emit becameActive();
}

void MainWindow::changeEvent(QEvent *event)
{
    // Losing focus is not idleness: people watch cameras while they work elsewhere.
    if (event->type() == QEvent::WindowStateChange)
        setIdle(windowState() & Qt::WindowMinimized);
    QWidget::changeEvent(event);
}

void MainWindow::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous() || isMinimized())
        setIdle(true);
    QWidget::hideEvent(event);
}

void MainWindow::showEvent(QShowEvent *event)
{
    if (!isMinimized())
        setIdle(false);
    QWidget::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    emit closing();
    event->accept();
}
