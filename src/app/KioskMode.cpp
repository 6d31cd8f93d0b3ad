#include "app/KioskMode.h"

#include "platform/Clock.h"
#include "platform/Preferences.h"
#include "util/QelLog.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

KioskMode::KioskMode(Clock &clock, const Preferences &preferences, QObject *parent)
    : QObject(parent)
    , m_pointerTimer(clock.createTimer(this))
    , m_idleTimer(clock.createTimer(this))
    , m_idleMs(preferences.kioskIdleMinutes() * qint64(60 * 1000))
    , m_exitKeys(QKeySequence::fromString(preferences.kioskExitKeys(), QKeySequence::PortableText))
{
    // One chord only: a sequence of several would need a state of its own.
    if (m_exitKeys.count() > 1)
        m_exitKeys = QKeySequence(m_exitKeys[0]);
    if (m_exitKeys.isEmpty() && !preferences.kioskExitKeys().isEmpty()) {
        QEL_LOG(LogLevel::Error,
                QStringLiteral("Kiosk exit keys not understood: %1").arg(preferences.kioskExitKeys()));
    }
    connect(m_pointerTimer, &ClockTimer::timeout, this, [this] { setPointerHidden(true); });
    connect(m_idleTimer, &ClockTimer::timeout, this, &KioskMode::idle);
    m_pointerTimer->start(PointerHideMs, false);
    restartIdle();
    QCoreApplication::instance()->installEventFilter(this);
}

KioskMode::~KioskMode()
{
    setPointerHidden(false);
}

void KioskMode::setPointerHidden(bool hidden)
{
    if (hidden == m_pointerHidden)
        return;
    m_pointerHidden = hidden;
    if (hidden)
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    else
        QGuiApplication::restoreOverrideCursor();
}

void KioskMode::restartIdle()
{
    if (m_idleMs > 0)
        m_idleTimer->start(m_idleMs, false);
}

bool KioskMode::eventFilter(QObject *watched, QEvent *event)
{
    // An event reaches the filter once for each widget it travels through; only
    // window-level deliveries count, so a key is matched once.
    if (!watched->isWindowType())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
        restartIdle();
        if (static_cast<QMouseEvent *>(event)->source() == Qt::MouseEventNotSynthesized) {
            setPointerHidden(false);
            m_pointerTimer->start(PointerHideMs, false);
        }
        break;
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::Wheel:
        restartIdle();
        break;
    case QEvent::KeyPress: {
        restartIdle();
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!m_exitKeys.isEmpty() && QKeySequence(key->keyCombination()) == m_exitKeys) {
            emit exitRequested();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
