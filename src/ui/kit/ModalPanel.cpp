#include "ui/kit/ModalPanel.h"

#include "ui/kit/RoundedButton.h"
#include "ui/kit/Theme.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

ModalPanel::ModalPanel(const QString &title, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
    , m_panel(new QWidget(this))
    , m_title(new QLabel(title, m_panel))
    , m_buttonLayout(new QVBoxLayout)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowModality(Qt::WindowModal);
    m_title->setWordWrap(true);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setVisible(!title.isEmpty());
    auto *layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(20, 14, 20, 16);
    layout->setSpacing(10);
    layout->addWidget(m_title);
    layout->addLayout(m_buttonLayout);
    m_buttonLayout->setSpacing(8);
}

QString ModalPanel::title() const
{
    return m_title->text();
}

int ModalPanel::addButton(const QString &title)
{
    auto *button = new RoundedButton(title, m_panel);
    const int index = int(m_buttons.size());
    m_buttons.append(button);
    m_buttonLayout->addWidget(button);
    connect(button, &QAbstractButton::clicked, this, [this, index] { dismissWithButtonIndex(index); });
    restyle();
    return index;
}

void ModalPanel::setDestructiveButtonIndex(int index)
{
    m_destructive = index;
    restyle();
}

void ModalPanel::setCancelButtonIndex(int index)
{
    m_cancel = index;
    restyle();
}

void ModalPanel::restyle()
{
    for (int i = 0; i < m_buttons.size(); ++i)
        styleButton(m_buttons.at(i), i);
}

void ModalPanel::showOver(QWidget *over)
{
    QWidget *window = over ? over->window() : nullptr;
    if (window)
        setGeometry(QRect(window->mapToGlobal(QPoint(0, 0)), window->size()));
    restyle();
    open();
}

void ModalPanel::dismissWithButtonIndex(int index)
{
    emit clickedButtonAtIndex(index);
    done(index);
    emit didDismissWithButtonIndex(index);
}

void ModalPanel::resizeEvent(QResizeEvent *)
{
    placePanel();
}

void ModalPanel::paintEvent(QPaintEvent *)
{
    // The window underneath stays visible, dimmed.
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, 110));
}
