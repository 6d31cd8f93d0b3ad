#pragma once

#include <QKeySequence>
#include <QObject>

class Clock;
class ClockTimer;
class Preferences;

// What kiosk mode watches in every input event of the application: it hides the
// pointer after a few seconds without movement (touches never bring it back),
// reports a spell without any input, and reports the configured key chord, the
// one way out. Main thread only; it filters the application's events while it
// lives, and the clock outlives it.
class KioskMode final : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 PointerHideMs = 3000;
    // The status with which a viewer left by the chord ends, so that a service
    // that restarts the viewer whenever it exits can tell a wanted exit.
    static constexpr int ExitStatus = 4;

    // The exit chord and the idle time are read from the preferences once, here.
    KioskMode(Clock &clock, const Preferences &preferences, QObject *parent = nullptr);
    ~KioskMode() override;

    bool isPointerHidden() const { return m_pointerHidden; }
    QKeySequence exitKeys() const { return m_exitKeys; }

signals:
    // No input for the configured minutes; again after each later spell.
    void idle();
    void exitRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setPointerHidden(bool hidden);
    void restartIdle();

    ClockTimer *m_pointerTimer;
    ClockTimer *m_idleTimer;
    qint64 m_idleMs;
    QKeySequence m_exitKeys;
    bool m_pointerHidden = false;
};
