#pragma once

#include "exercise/series.h"
#include "support/scripted_random.h"

#include <array>
#include <deque>
#include <functional>

namespace cyfrolia::testing {

// The five states of a shown exercise window, told by which timers run.
enum class SeriesState { Welcome, Drawing, Answering, Pause, Summary };

inline SeriesState stateOf(const Series& s) {
    if (s.summaryVisible())
        return SeriesState::Summary;
    if (s.Timer3.running)
        return SeriesState::Pause;
    if (s.Timer2.running)
        return SeriesState::Answering;
    if (s.Timer1.running)
        return SeriesState::Drawing;
    return SeriesState::Welcome;
}

// Fires the due ticks of a series' running timers in virtual time, in time order, the way
// the message loop would: a timer started from stopped is due one interval later, a running
// one keeps its period, a stopped one loses its pending tick.
class VirtualScheduler {
public:
    explicit VirtualScheduler(Series& series) : m_series(series) { sync(); }

    long long now() const { return m_now; }
    int fired(int timer) const { return m_fired[timer - 1]; }

    // Call after an event from outside (a click, Enter) so fresh starts count from now.
    void sync() {
        for (int i = 0; i < 4; ++i) {
            TimerState& t = timer(i);
            Slot& slot = m_slots[i];
            if (!m_series.armed(t)) {
                slot.armed = false;
            } else if (!slot.armed || slot.starts != t.starts) {
                slot = Slot{true, t.starts, m_now + t.interval};
            }
        }
    }

    // Fires the next due tick if it is due by `limit`; returns false when none is.
    bool step(long long limit) {
        sync();
        int next = -1;
        for (int i = 0; i < 4; ++i)
            if (m_slots[i].armed && (next < 0 || m_slots[i].due < m_slots[next].due))
                next = i;
        if (next < 0 || m_slots[next].due > limit)
            return false;
        m_now = m_slots[next].due;
        m_slots[next].due += timer(next).interval;
        ++m_fired[next];
        fire(next);
        sync();
        return true;
    }

    void runFor(long long milliseconds) {
        const long long limit = m_now + milliseconds;
        while (step(limit)) {
        }
        m_now = limit;
        sync();
    }

    // Runs until the condition holds (checked after every tick); false if `limit` ms pass first.
    // A minute is longer than any one wait of a series: its slowest problem takes 16 s.
    bool runUntil(const std::function<bool()>& condition, long long limit = 60'000) {
        const long long end = m_now + limit;
        while (!condition()) {
            if (!step(end))
                return false;
        }
        return true;
    }

private:
    struct Slot {
        bool armed = false;
        std::uint64_t starts = 0;
        long long due = 0;
    };

    TimerState& timer(int i) {
        switch (i) {
        case 0:
            return m_series.Timer1;
        case 1:
            return m_series.Timer2;
        case 2:
            return m_series.Timer3;
        default:
            return m_series.Timer4;
        }
    }

    void fire(int i) {
        switch (i) {
        case 0:
            m_series.Timer1Timer();
            break;
        case 1:
            m_series.Timer2Timer();
            break;
        case 2:
            m_series.Timer3Timer();
            break;
        default:
            m_series.Timer4Timer();
            break;
        }
    }

    Series& m_series;
    long long m_now = 0;
    std::array<Slot, 4> m_slots{};
    std::array<int, 4> m_fired{};
};

} // namespace cyfrolia::testing
