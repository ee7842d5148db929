#include "exercise/series.h"

#include <algorithm>

namespace cyfrolia {

Series::Series(Operation op, RandomSource& random, SeedSource seed)
    : m_operation(op), m_random(random), m_seed(std::move(seed)) {
    Timer1.interval = 1;
    Timer2.interval = 100;
    Timer3.interval = 1000;
    Timer4.interval = 1;
    Timer4.start();
}

void Series::setPace(int milliseconds) {
    (m_operation == Operation::Subtraction ? Timer1 : Timer2).interval = milliseconds;
}

bool Series::armed(const TimerState& timer) const {
    return timer.running && (&timer != &Timer4 || watcherNeeded());
}

void Series::setAnswer(const QString& text) {
    m_answer = text.left(kMaxAnswerLength);
}

void Series::setBar(int value) {
    m_bar = std::clamp(value, 0, kBarFull);
}

bool Series::answerIsRight() const {
    // Compared as text: "07", " 7" and letters are simply wrong.
    return m_answer == expectedText(m_operation, m_operands);
}

void Series::hideProblemLine() {
    m_problemVisible = false;
}

void Series::closingSteps() {
    Timer1.stop();
    Timer2.stop();
    Timer3.stop();
    m_summaryVisible = true;
    m_grade = gradeFor(m_right);
}

bool Series::watcherNeeded() const {
    if (m_remaining > 0)
        return false;
    const bool settled = m_summaryVisible && !Timer1.running && !Timer2.running && !Timer3.running &&
                         m_grade == gradeFor(m_right);
    return !settled;
}

void Series::welcomeReset() {
    m_summaryVisible = false;
    setBar(0);
    hideProblemLine();
    m_welcomeVisible = true;
    Timer1.stop();
    m_startVisible = true;
    m_remaining = kProblems;
    m_right = 0;
    m_wrong = 0;
}

void Series::Image1Click() {
    welcomeReset();
}

void Series::closingReset() {
    // The welcome reset, with the bar and pause timers stopped too: a broken-off series is dropped.
    Timer2.stop();
    Timer3.stop();
    welcomeReset();
}

void Series::startClick() {
    m_problemVisible = true;
    m_answerVisible = true;
    m_welcomeVisible = false;
    Timer1.start();
    m_startVisible = false;
}

void Series::Timer1Timer() {
    m_random.reseed(m_seed());
    const std::optional<Operands> drawn = drawOperands(m_operation, m_random);
    if (!drawn)
        return; // a rejected division draw: the timer keeps running and draws again
    --m_remaining;
    m_operands = *drawn;
    setBar(0);
    Timer1.stop();
    Timer2.start();
}

void Series::Timer2Timer() {
    setBar(m_bar + barStep(m_operation));
    if (m_bar < kBarFull)
        return;
    Timer2.stop();
    if (answerIsRight()) {
        ++m_right;
        m_answer.clear();
        Timer1.start();
    } else {
        // The pause: problem, full bar and the child's text stay for a second.
        Timer3.start();
    }
}

void Series::Timer3Timer() {
    ++m_wrong;
    m_answer.clear();
    Timer3.stop();
    Timer1.start();
}

void Series::Timer4Timer() {
    if (m_remaining <= 0)
        closingSteps();
}

bool Series::isBounce(std::int64_t at, bool autoRepeat) const {
    if (autoRepeat)
        return true;
    // A clock that went back tells nothing; the press counts.
    return m_answer.isEmpty() && m_lastEnter && at >= *m_lastEnter && at - *m_lastEnter <= kBounceMs;
}

void Series::odpEnter(std::int64_t at, bool autoRepeat) {
    // Every Enter, a repeat too, is the one the next is measured from.
    const bool bounce = isBounce(at, autoRepeat);
    m_lastEnter = at;
    if (bounce)
        return;
    if (m_remaining == 0) {
        closingSteps();
        // In the division window the field is hidden too, so it loses the focus.
        if (m_operation == Operation::Division)
            m_answerVisible = false;
    }
    if (answerIsRight()) {
        ++m_right;
        Timer1.start();
        Timer3.stop();
        Timer2.stop();
        setBar(0);
    } else {
        ++m_wrong;
        Timer3.stop();
        Timer2.stop();
        Timer1.start();
    }
    m_answer.clear();
}

} // namespace cyfrolia
