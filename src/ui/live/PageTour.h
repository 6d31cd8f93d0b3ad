#pragma once

#include <QHash>
#include <QObject>

class Clock;
class ClockTimer;

// The grid's own page turns: one every interval while the grid is on screen, none
// for a minute after the last touch, so that nobody has a page taken from under
// a finger. Main thread only; the clock outlives it.
class PageTour final : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 PauseMs = 60 * 1000;

    PageTour(Clock &clock, QObject *parent);

    // 0 ends the tour.
    void setIntervalSeconds(int seconds);
    int intervalSeconds() const { return int(m_intervalMs / 1000); }
    // On screen and not idle.
    void setShown(bool shown);
    void touched();
    bool isTurning() const;

    // What a page's cameras were doing when it was last on or beside the screen.
    void notePage(int page, bool allFailing);
    // The pages hold other cameras now.
    void forgetPages();
    // Where the tour goes from the current page among count pages: the next one,
    // round from the last to the first, not noted as failing; the current page when
    // all others are.
    int nextPage(int current, int count) const;

signals:
    void turnDue();

private:
    void schedule();

    Clock &m_clock;
    ClockTimer *m_timer;
    qint64 m_intervalMs = 0;
    qint64 m_pausedUntil;
    bool m_shown = false;
    QHash<int, bool> m_failing;
};
