#include "ui/kit/Alert.h"

#include "ui/kit/RoundedButton.h"
#include "ui/kit/TextField.h"
#include "ui/kit/Theme.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {
constexpr int Width = 284;
}

Alert *Alert::inform(const QString &title, const QString &message, QWidget *over)
{
    auto *alert = new Alert(title, message, over);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->addButton(tr("OK"));
    alert->showOver(over);
    return alert;
}

Alert::Alert(const QString &title, const QString &message, QWidget *parent)
    : ModalPanel(title, parent)
    , m_message(new QLabel(message, panel()))
{
    titleLabel()->setFont(Theme::font(18, true));
    m_message->setFont(Theme::font(16));
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setVisible(!message.isEmpty());
    for (QLabel *label : {titleLabel(), m_message}) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(pal);
    }
    auto *layout = static_cast<QVBoxLayout *>(panel()->layout());
    layout->insertWidget(1, m_message);
}

QString Alert::message() const
{
    return m_message->text();
}

void Alert::setMessage(const QString &message)
{
    m_message->setText(message);
    m_message->setVisible(!message.isEmpty());
    placePanel();
}

TextField *Alert::addTextField(const QString &placeholder)
{
    auto *field = new TextField(panel());
    field->setPlaceholderText(placeholder);
    field->setFont(Theme::font(16));
    field->setMinimumHeight(32);
    field->setStyleSheet(QStringLiteral("background: white; color: black; border-radius: 4px; padding: 0 6px;"));
    static_cast<QVBoxLayout *>(panel()->layout())->insertWidget(2, field);
    field->setFocus();
    return field;
}

void Alert::styleButton(RoundedButton *button, int index) const
{
    button->setRole(index == destructiveIndex() ? RoundedButton::Role::Destructive
                                                : RoundedButton::Role::Dark);
}

void Alert::placePanel()
{
    const int width = qMin(Width, this->width() - 20);
    const int height = panel()->heightForWidth(width) > 0 ? panel()->heightForWidth(width)
                                                          : panel()->sizeHint().height();
    panel()->setGeometry((this->width() - width) / 2, (this->height() - height) / 2, width, height);
}

void Alert::paintEvent(QPaintEvent *event)
{
    ModalPanel::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(panel()->geometry()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(box, 10, 10);
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, QColor(66, 86, 128, 240));
    fill.setColorAt(1, QColor(24, 38, 78, 240));
    p.setPen(QPen(QColor(230, 234, 242), 2));
    p.setBrush(fill);
    p.drawPath(path);
}
