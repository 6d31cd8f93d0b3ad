#include "ui/live/SnapshotNotice.h"

#include "ui/kit/Caption.h"

#include <QPainter>

SnapshotNotice::SnapshotNotice(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(parent->rect());
    m_flash.setDuration(FlashMs);
    m_flash.setStartValue(1.0);
    m_flash.setEndValue(0.0);
    m_flash.setEasingCurve(QEasingCurve::OutQuad);
    connect(&m_flash, &QVariantAnimation::valueChanged, this, [this](const QVariant &level) {
        m_flashLevel = level.toDouble();
        update();
    });
    connect(&m_flash, &QVariantAnimation::finished, this, [this] {
        m_flashLevel = 0;
        showOrHide();
    });
    m_captionTimer.setSingleShot(true);
    connect(&m_captionTimer, &QTimer::timeout, this, [this] {
        m_caption.clear();
        showOrHide();
    });
    hide();
}

void SnapshotNotice::flash()
{
    m_flashLevel = 1;
    m_flash.start();
    showOrHide();
}

void SnapshotNotice::showCaption(const QString &text)
{
    m_caption = text;
    m_captionTimer.start(CaptionMs);
    showOrHide();
}

void SnapshotNotice::showOrHide()
{
    const bool busy = m_flashLevel > 0 || !m_caption.isEmpty();
    if (busy) {
        setGeometry(parentWidget()->rect());
        show();
        raise();
        update();
    } else {
        hide();
    }
}

void SnapshotNotice::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_flashLevel > 0)
        painter.fillRect(rect(), QColor(255, 255, 255, int(220 * m_flashLevel)));
    if (!m_caption.isEmpty())
        Caption::paint(painter, QRectF(0, height() - BandMargin - BandHeight, width(), BandHeight), m_caption);
}
