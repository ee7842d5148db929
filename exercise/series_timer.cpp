#include "exercise/series_timer.h"

SeriesTimer::SeriesTimer(const QString& name, cyfrolia::TimerState& state, QObject* parent)
    : QObject(parent), m_state(state) {
    setObjectName(name);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SeriesTimer::timeout);
}

void SeriesTimer::sync(bool armed) {
    if (!armed) {
        m_timer.stop();
        return;
    }
    if (!m_timer.isActive() || m_starts != m_state.starts) {
        m_starts = m_state.starts;
        m_timer.start(m_state.interval);
    }
}
