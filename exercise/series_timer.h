#pragma once

#include "exercise/series.h"

#include <QObject>
#include <QTimer>

// One of an exercise window's four timers: the series keeps its state, this drives a real
// precise timer to match it. Unlike QTimer::start(), starting a running timer changes nothing.
class SeriesTimer : public QObject {
    Q_OBJECT
public:
    SeriesTimer(const QString& name, cyfrolia::TimerState& state, QObject* parent);

    int interval() const { return m_state.interval; }
    bool isActive() const { return m_state.running; }

    // Whether the real timer is armed right now.
    bool isArmed() const { return m_timer.isActive(); }

    // Arms or disarms the real timer as the series says; a fresh start of the series' timer
    // restarts its interval.
    void sync(bool armed);

signals:
    void timeout();

private:
    cyfrolia::TimerState& m_state;
    QTimer m_timer;
    std::uint64_t m_starts = 0;
};
