#pragma once

#include "exercise/operation.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace cyfrolia {

// A timer as the series sees it. Starting a running timer changes nothing; stopping one
// discards its pending tick. `starts` grows at every start from stopped, so whoever drives
// the real timer knows when a fresh interval begins.
struct TimerState {
    bool running = false;
    int interval = 0;
    std::uint64_t starts = 0;

    void start() {
        if (!running) {
            running = true;
            ++starts;
        }
    }
    void stop() { running = false; }
};

// One exercise window's series of 50 problems, without the window: counts, operands, the
// answer text, the time bar, what is visible and the four timers. Each public operation is
// the handler of the same name; tests fire the timers' ticks themselves.
class Series {
public:
    static constexpr int kProblems = 50;
    static constexpr int kBarFull = 100;
    static constexpr int kMaxAnswerLength = 2;
    static constexpr std::int64_t kBounceMs = 300;

    using SeedSource = std::function<std::uint32_t()>;

    Series(Operation op, RandomSource& random, SeedSource seed);

    // Events.
    void startClick();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Timer4Timer();
    // Enter (key code 13) in the answer field, pressed at `at` milliseconds on the key events' own
    // clock. A child's hand gives two presses where one was meant: an auto-repeat of a held key, and
    // an Enter on an empty field within kBounceMs of the Enter before it, judge nothing.
    void odpEnter(std::int64_t at, bool autoRepeat = false);
    void Image1Click(); // again: the welcome reset
    void welcomeReset();
    void closingReset(); // done once the window, opened for a series, has closed

    // The child's typing; the field holds at most two characters of any kind.
    void setAnswer(const QString& text);

    Operation operation() const { return m_operation; }

    int remaining() const { return m_remaining; }
    int rightCount() const { return m_right; }
    int wrongCount() const { return m_wrong; }
    const Operands& operands() const { return m_operands; }
    const QString& answer() const { return m_answer; }
    int bar() const { return m_bar; }
    const QString& grade() const { return m_grade; }

    bool problemVisible() const { return m_problemVisible; } // problem line and time bar
    bool answerVisible() const { return m_problemVisible && m_answerVisible; }
    bool welcomeVisible() const { return m_welcomeVisible; }
    bool startVisible() const { return m_startVisible; }
    bool summaryVisible() const { return m_summaryVisible; }

    TimerState Timer1; // draw timer
    TimerState Timer2; // bar timer
    TimerState Timer3; // pause timer
    TimerState Timer4; // end watcher, never stopped

    // The class choice's pace: the interval of the draw timer for subtraction, of the bar timer
    // otherwise.
    void setPace(int milliseconds);

    // Whether whoever drives `timer` (one of the four above) should have its ticks coming now:
    // a running timer, except that the end watcher only acts on a remaining count of 0 or below
    // and repeating the closing steps over a settled summary is idle, so it is armed only while
    // a tick could change something.
    bool armed(const TimerState& timer) const;

private:
    bool watcherNeeded() const;
    bool answerIsRight() const;
    bool isBounce(std::int64_t at, bool autoRepeat) const;
    void closingSteps();
    void hideProblemLine();
    void setBar(int value);

    Operation m_operation;
    RandomSource& m_random;
    SeedSource m_seed;

    int m_remaining = kProblems;
    int m_right = 0;
    int m_wrong = 0;
    Operands m_operands{33, 5};
    QString m_answer;
    int m_bar = 0;
    std::optional<std::int64_t> m_lastEnter;
    QString m_grade = QStringLiteral("0");

    bool m_problemVisible = false;
    bool m_answerVisible = true;
    bool m_welcomeVisible = true;
    bool m_startVisible = true;
    bool m_summaryVisible = false;
};

} // namespace cyfrolia
