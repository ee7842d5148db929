#include "exercise/series.h"
#include "support/case_names.h"
#include "support/virtual_scheduler.h"

#include <gtest/gtest.h>

using namespace cyfrolia;
using cyfrolia::testing::caseName;
using cyfrolia::testing::ScriptedRandom;
using cyfrolia::testing::SeriesState;
using cyfrolia::testing::stateOf;
using cyfrolia::testing::VirtualScheduler;

namespace {

struct Fixture {
    explicit Fixture(Operation op) : series(op, random, [this] { return ++seeds; }) {}
    ScriptedRandom random;
    std::uint32_t seeds = 0;
    Series series;
};

std::string opName(Operation op) {
    switch (op) {
    case Operation::Addition:
        return "Addition";
    case Operation::Subtraction:
        return "Subtraction";
    case Operation::Multiplication:
        return "Multiplication";
    case Operation::Division:
        return "Division";
    }
    return "Unknown";
}

QString rightAnswer(const Series& s) {
    return expectedText(s.operation(), s.operands());
}

// Starts a series and runs it to its first problem on screen.
void startAndDraw(Series& s, VirtualScheduler& clock) {
    s.startClick();
    clock.sync();
    ASSERT_TRUE(clock.runUntil([&] { return stateOf(s) == SeriesState::Answering; }));
}

} // namespace

// ---- grade table ----------------------------------------------------------------------------

class GradeBounds : public ::testing::TestWithParam<std::pair<int, const char*>> {};

TEST_P(GradeBounds, FollowsTheTable) {
    EXPECT_EQ(gradeFor(GetParam().first), QString::fromLatin1(GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(EveryBound, GradeBounds,
                         ::testing::Values(std::pair{0, "0"}, std::pair{1, "1"}, std::pair{10, "1"},
                                           std::pair{11, "2"}, std::pair{20, "2"}, std::pair{21, "3"},
                                           std::pair{30, "3"}, std::pair{31, "4"}, std::pair{40, "4"},
                                           std::pair{41, "5"}, std::pair{45, "5"}, std::pair{46, "6"},
                                           std::pair{49, "6"}, std::pair{50, "6"}),
                         [](const auto& info) { return "Right" + std::to_string(info.param.first); });

// ---- whole series in virtual time ----------------------------------------------------------

enum class Play { AllRightByEnter, AllWrongByTimeout, RightTypedNotConfirmed, EveryThirdRight, WrongByEnter };

struct SeriesCase {
    Operation op;
    Play play;
};

class WholeSeries : public ::testing::TestWithParam<SeriesCase> {};

TEST_P(WholeSeries, JudgesExactly49AndGradesTheRightCount) {
    const SeriesCase c = GetParam();
    Fixture f(c.op);
    Series& s = f.series;
    VirtualScheduler clock(s);
    s.startClick();
    clock.sync();

    int problemsSeen = 0;
    int expectedRight = 0;
    long long lastProblemAt = -1;
    while (stateOf(s) != SeriesState::Summary) {
        ASSERT_LE(problemsSeen, Series::kProblems) << "the series never ends";
        const int before = s.remaining();
        ASSERT_TRUE(
            clock.runUntil([&] { return stateOf(s) == SeriesState::Summary || s.remaining() < before; }));
        if (stateOf(s) == SeriesState::Summary)
            break;
        lastProblemAt = clock.now();
        ++problemsSeen;
        EXPECT_EQ(s.remaining(), Series::kProblems - problemsSeen);
        if (s.remaining() == 0)
            continue; // the 50th problem: the watcher closes the series before any bar tick
        switch (c.play) {
        case Play::AllRightByEnter:
            s.setAnswer(rightAnswer(s));
            s.odpEnter(clock.now());
            ++expectedRight;
            break;
        case Play::AllWrongByTimeout:
            break;
        case Play::RightTypedNotConfirmed:
            s.setAnswer(rightAnswer(s));
            ++expectedRight;
            break;
        case Play::EveryThirdRight:
            if (problemsSeen % 3 == 0) {
                s.setAnswer(rightAnswer(s));
                s.odpEnter(clock.now());
                ++expectedRight;
            }
            break;
        case Play::WrongByEnter:
            s.setAnswer(QStringLiteral("x"));
            s.odpEnter(clock.now());
            break;
        }
        clock.sync();
    }

    EXPECT_EQ(problemsSeen, Series::kProblems);
    EXPECT_EQ(s.remaining(), 0);
    EXPECT_EQ(s.rightCount() + s.wrongCount(), 49);
    EXPECT_EQ(s.rightCount(), expectedRight);
    EXPECT_EQ(s.grade(), gradeFor(expectedRight));
    EXPECT_FALSE(s.Timer1.running || s.Timer2.running || s.Timer3.running);
    EXPECT_TRUE(s.Timer4.running);
    // The 50th problem is closed by the watcher within one watcher interval, before a bar tick.
    EXPECT_LE(clock.now() - lastProblemAt, 1);
    EXPECT_EQ(s.bar(), 0);
}

static std::vector<SeriesCase> wholeSeriesCases() {
    std::vector<SeriesCase> cases;
    for (Operation op :
         {Operation::Addition, Operation::Subtraction, Operation::Multiplication, Operation::Division})
        for (Play play : {Play::AllRightByEnter, Play::AllWrongByTimeout, Play::RightTypedNotConfirmed,
                          Play::EveryThirdRight, Play::WrongByEnter})
            cases.push_back({op, play});
    return cases;
}

std::string playName(Play play) {
    switch (play) {
    case Play::AllRightByEnter:
        return "AllRightByEnter";
    case Play::AllWrongByTimeout:
        return "AllWrongByTimeout";
    case Play::RightTypedNotConfirmed:
        return "RightTypedNotConfirmed";
    case Play::EveryThirdRight:
        return "EveryThirdRight";
    case Play::WrongByEnter:
        return "WrongByEnter";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(AllOperations, WholeSeries, ::testing::ValuesIn(wholeSeriesCases()),
                         [](const auto& info) {
                             return opName(info.param.op) + "_" + playName(info.param.play);
                         });

// ---- time to answer and pace -----------------------------------------------------------------

struct PaceCase {
    Operation op;
    int barInterval;  // Timer2
    int drawInterval; // Timer1
    long long answerTime;
    long long drawDelay;
};

class Pace : public ::testing::TestWithParam<PaceCase> {};

TEST_P(Pace, BarFillsInTicksTimesIntervalAndNextProblemFollowsTheDrawInterval) {
    const PaceCase c = GetParam();
    Fixture f(c.op);
    Series& s = f.series;
    s.Timer2.interval = c.barInterval;
    s.Timer1.interval = c.drawInterval;
    VirtualScheduler clock(s);

    s.startClick();
    clock.sync();
    ASSERT_TRUE(clock.runUntil([&] { return stateOf(s) == SeriesState::Answering; }));
    EXPECT_EQ(clock.now(), c.drawDelay);
    const long long drawnAt = clock.now();
    s.setAnswer(rightAnswer(s));
    ASSERT_TRUE(clock.runUntil([&] { return s.rightCount() == 1; }));
    EXPECT_EQ(clock.now() - drawnAt, c.answerTime);
    ASSERT_TRUE(clock.runUntil([&] { return stateOf(s) == SeriesState::Answering; }));
    EXPECT_EQ(clock.now() - drawnAt, c.answerTime + c.drawDelay);
}

INSTANTIATE_TEST_SUITE_P(Classes, Pace,
                         ::testing::Values(PaceCase{Operation::Addition, 100, 1, 5000, 1},
                                           PaceCase{Operation::Addition, 300, 1, 15000, 1},
                                           PaceCase{Operation::Multiplication, 250, 1, 34 * 250, 1},
                                           PaceCase{Operation::Division, 100, 1, 3400, 1},
                                           // subtraction: the class sets the pause before each problem
                                           PaceCase{Operation::Subtraction, 100, 300, 5000, 300}),
                         [](const auto& info) {
                             return opName(info.param.op) + "_Bar" + std::to_string(info.param.barInterval) +
                                    "_Draw" + std::to_string(info.param.drawInterval);
                         });

TEST(Pace, ClassRetunesTheDrawTimerForSubtractionOnly) {
    for (Operation op :
         {Operation::Addition, Operation::Subtraction, Operation::Multiplication, Operation::Division}) {
        Fixture f(op);
        f.series.setPace(300);
        EXPECT_EQ(f.series.Timer1.interval, op == Operation::Subtraction ? 300 : 1);
        EXPECT_EQ(f.series.Timer2.interval, op == Operation::Subtraction ? 100 : 300);
    }
}

// ---- judging around the pause ---------------------------------------------------------------

TEST(Pause, WrongAtFullBarKeepsProblemBarAndTextForOneSecond) {
    Fixture f(Operation::Addition);
    Series& s = f.series;
    f.random.push({20, 7});
    VirtualScheduler clock(s);
    startAndDraw(s, clock);
    s.setAnswer(QStringLiteral("26"));
    ASSERT_TRUE(clock.runUntil([&] { return stateOf(s) == SeriesState::Pause; }));
    const long long pausedAt = clock.now();
    clock.runFor(999);
    EXPECT_EQ(stateOf(s), SeriesState::Pause);
    EXPECT_EQ(s.bar(), 100);
    EXPECT_EQ(s.answer(), QStringLiteral("26"));
    EXPECT_EQ(s.operands().left, 20);
    EXPECT_EQ(s.wrongCount(), 0);
    ASSERT_TRUE(clock.runUntil([&] { return s.wrongCount() == 1; }));
    EXPECT_EQ(clock.now() - pausedAt, 1000);
    EXPECT_TRUE(s.answer().isEmpty());
    EXPECT_EQ(stateOf(s), SeriesState::Drawing);
}

struct PauseEnterCase {
    const char* typed;
    int right;
    int wrong;
};

class EnterDuringPause : public ::testing::TestWithParam<PauseEnterCase> {};

TEST_P(EnterDuringPause, EndsThePauseAndCountsOnce) {
    Fixture f(Operation::Addition);
    Series& s = f.series;
    f.random.push({20, 7});
    VirtualScheduler clock(s);
    startAndDraw(s, clock);
    ASSERT_TRUE(clock.runUntil([&] { return stateOf(s) == SeriesState::Pause; }));
    clock.runFor(400);
    s.setAnswer(QString::fromLatin1(GetParam().typed));
    s.odpEnter(clock.now());
    clock.sync();
    EXPECT_FALSE(s.Timer3.running);
    clock.runFor(2000); // long past the pause: its tick never comes
    EXPECT_EQ(s.rightCount(), GetParam().right);
    EXPECT_EQ(s.wrongCount(), GetParam().wrong);
}

INSTANTIATE_TEST_SUITE_P(Corrected, EnterDuringPause,
                         ::testing::Values(PauseEnterCase{"27", 1, 0}, PauseEnterCase{"26", 0, 1},
                                           PauseEnterCase{"", 0, 1}),
                         [](const auto& info) { return "Typed" + caseName(info.param.typed); });

TEST(Judging, RightTypedButNotConfirmedCountsAtFullBarWithoutPause) {
    Fixture f(Operation::Multiplication);
    Series& s = f.series;
    f.random.push({9, 9});
    VirtualScheduler clock(s);
    startAndDraw(s, clock);
    s.setAnswer(QStringLiteral("81"));
    ASSERT_TRUE(clock.runUntil([&] { return s.rightCount() == 1; }));
    EXPECT_EQ(s.bar(), 100);
    EXPECT_FALSE(s.Timer3.running);
    EXPECT_TRUE(s.Timer1.running);
    EXPECT_TRUE(s.answer().isEmpty());
    EXPECT_EQ(clock.fired(2), 34);
}

struct TextCase {
    Operation op;
    int left;
    int right;
    const char* typed;
    bool isRight;
};

class AnswerText : public ::testing::TestWithParam<TextCase> {};

TEST_P(AnswerText, IsComparedAsTextNeverAsNumber) {
    const TextCase c = GetParam();
    Fixture f(c.op);
    Series& s = f.series;
    if (c.op == Operation::Subtraction)
        f.random.push({c.right, c.left});
    else if (c.op == Operation::Division)
        f.random.push({c.right, c.left / c.right});
    else
        f.random.push({c.left, c.right});
    VirtualScheduler clock(s);
    startAndDraw(s, clock);
    ASSERT_EQ(s.operands().left, c.left);
    ASSERT_EQ(s.operands().right, c.right);
    s.setAnswer(QString::fromUtf8(c.typed));
    s.odpEnter(clock.now());
    EXPECT_EQ(s.rightCount(), c.isRight ? 1 : 0);
    EXPECT_EQ(s.wrongCount(), c.isRight ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AnswerText,
    ::testing::Values(
        TextCase{Operation::Addition, 50, 49, "99", true}, TextCase{Operation::Addition, 0, 0, "0", true},
        TextCase{Operation::Addition, 3, 4, "07", false}, TextCase{Operation::Addition, 3, 4, " 7", false},
        TextCase{Operation::Addition, 3, 4, "7 ", false}, TextCase{Operation::Addition, 3, 4, "", false},
        TextCase{Operation::Addition, 3, 4, "a7", false}, TextCase{Operation::Addition, 3, 4, "+7", false},
        TextCase{Operation::Subtraction, 17, 17, "0", true},
        TextCase{Operation::Subtraction, 30, 12, "18", true},
        TextCase{Operation::Subtraction, 30, 12, "-18", false},
        TextCase{Operation::Multiplication, 9, 9, "81", true},
        TextCase{Operation::Multiplication, 0, 7, "0", true},
        TextCase{Operation::Multiplication, 0, 7, "00", false},
        TextCase{Operation::Division, 81, 9, "9", true}, TextCase{Operation::Division, 8, 8, "1", true},
        TextCase{Operation::Division, 63, 7, "09", false}, TextCase{Operation::Division, 63, 7, "9.", false}),
    [](const auto& info) {
        const TextCase& c = info.param;
        return opName(c.op) + "_" + std::to_string(c.left) + "_" + std::to_string(c.right) + "_Typed" +
               caseName(c.typed);
    });

// A child's second Enter: each row presses Enter on a problem, then again after `gap` ms, with
// `typed` in the field by then (the first judgement empties it).
struct SecondEnterCase {
    const char* name;
    const char* first;
    long long gap;
    bool autoRepeat;
    const char* typed;
    int right;
    int wrong;
};

class SecondEnter : public ::testing::TestWithParam<SecondEnterCase> {};

TEST_P(SecondEnter, JudgesOnlyWhatTheChildMeant) {
    const SecondEnterCase c = GetParam();
    Fixture f(Operation::Addition);
    Series& s = f.series;
    f.random.push({1, 1});
    f.random.push({2, 2});
    VirtualScheduler clock(s);
    startAndDraw(s, clock);
    s.setAnswer(QString::fromLatin1(c.first));
    s.odpEnter(clock.now());
    clock.runFor(c.gap); // the next problem, 2 + 2, is drawn 1 ms after the first Enter
    s.setAnswer(QString::fromLatin1(c.typed));
    s.odpEnter(clock.now(), c.autoRepeat);
    EXPECT_EQ(s.rightCount(), c.right);
    EXPECT_EQ(s.wrongCount(), c.wrong);
}

INSTANTIATE_TEST_SUITE_P(
    Presses, SecondEnter,
    ::testing::Values(SecondEnterCase{"BounceBeforeTheDraw", "2", 0, false, "", 1, 0},
                      SecondEnterCase{"BounceOnTheNextProblem", "2", 120, false, "", 1, 0},
                      SecondEnterCase{"BounceAfterAnEmptyEnter", "", 120, false, "", 0, 1},
                      SecondEnterCase{"BounceAtThreeHundred", "2", 300, false, "", 1, 0},
                      SecondEnterCase{"DeliberateEmptyEnter", "2", 301, false, "", 1, 1},
                      SecondEnterCase{"QuickRightAnswer", "2", 120, false, "4", 2, 0},
                      SecondEnterCase{"QuickWrongAnswer", "2", 120, false, "5", 1, 1},
                      SecondEnterCase{"RepeatOnEmptyField", "2", 600, true, "", 1, 0},
                      SecondEnterCase{"RepeatWithTypedAnswer", "2", 600, true, "4", 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Judging, HeldEnterJudgesOnceAndTheRepeatsPostponeTheNextPress) {
    Fixture f(Operation::Addition);
    Series& s = f.series;
    VirtualScheduler clock(s);
    startAndDraw(s, clock);
    s.odpEnter(clock.now()); // pressed on the empty field: a deliberate wrong answer
    clock.runFor(500);
    for (int repeat = 0; repeat < 15; ++repeat, clock.runFor(33))
        s.odpEnter(clock.now(), true);
    clock.runFor(200); // released, and pressed again 200 ms after the last repeat
    s.odpEnter(clock.now());
    EXPECT_EQ(s.wrongCount(), 1);
    clock.runFor(301);
    s.odpEnter(clock.now());
    EXPECT_EQ(s.wrongCount(), 2);
    EXPECT_EQ(s.rightCount(), 0);
}

TEST(Judging, WrongEnterLeadsStraightToTheNextProblemKeepingTheBar) {
    Fixture f(Operation::Addition);
    Series& s = f.series;
    VirtualScheduler clock(s);
    startAndDraw(s, clock);
    clock.runFor(1000); // ten bar ticks
    ASSERT_EQ(s.bar(), 20);
    s.odpEnter(clock.now());
    EXPECT_EQ(s.bar(), 20);
    EXPECT_EQ(stateOf(s), SeriesState::Drawing);
    clock.sync();
    clock.runFor(1);
    EXPECT_EQ(s.bar(), 0);
    EXPECT_EQ(stateOf(s), SeriesState::Answering);
}

TEST(Answer, HoldsAtMostTwoCharactersOfAnyKind) {
    Fixture f(Operation::Addition);
    f.series.setAnswer(QStringLiteral("ąb3"));
    EXPECT_EQ(f.series.answer(), QStringLiteral("ąb"));
}

// ---- the summary state --------------------------------------------------------------------

namespace {

// Plays a series to its summary with `right` right answers among the 49.
void playToSummary(Series& s, VirtualScheduler& clock, int right) {
    s.startClick();
    clock.sync();
    int judged = 0;
    while (stateOf(s) != SeriesState::Summary) {
        ASSERT_LT(judged, Series::kProblems) << "the series never ends";
        ASSERT_TRUE(clock.runUntil([&] { return stateOf(s) != SeriesState::Drawing; }));
        if (stateOf(s) == SeriesState::Summary)
            break;
        if (s.remaining() == 0) { // the 50th problem: the watcher closes the series
            ASSERT_TRUE(clock.runUntil([&] { return stateOf(s) == SeriesState::Summary; }));
            break;
        }
        s.setAnswer(judged < right ? rightAnswer(s) : QStringLiteral("?"));
        s.odpEnter(clock.now());
        ++judged;
        clock.sync();
    }
}

} // namespace

struct SummaryEnterCase {
    Operation op;
    int rightBefore;
    bool typeRight;
    const char* gradeAfter;
    bool answerVisibleAfter;
};

class EnterBeneathSummary : public ::testing::TestWithParam<SummaryEnterCase> {};

TEST_P(EnterBeneathSummary, JudgesTheLastProblemAgainAndRewritesTheGrade) {
    const SummaryEnterCase c = GetParam();
    Fixture f(c.op);
    Series& s = f.series;
    VirtualScheduler clock(s);
    playToSummary(s, clock, c.rightBefore);
    ASSERT_EQ(stateOf(s), SeriesState::Summary);
    ASSERT_EQ(s.grade(), gradeFor(c.rightBefore));
    ASSERT_FALSE(s.armed(s.Timer4));

    s.setAnswer(c.typeRight ? rightAnswer(s) : QStringLiteral("?"));
    s.odpEnter(clock.now());
    clock.sync();
    EXPECT_TRUE(s.armed(s.Timer4));
    ASSERT_TRUE(clock.runUntil([&] { return !s.armed(s.Timer4); }, 1000));
    EXPECT_EQ(stateOf(s), SeriesState::Summary);
    EXPECT_TRUE(s.summaryVisible());
    EXPECT_EQ(s.grade(), QString::fromLatin1(c.gradeAfter));
    EXPECT_EQ(s.rightCount() + s.wrongCount(), 50);
    EXPECT_EQ(s.answerVisible(), c.answerVisibleAfter);
    EXPECT_FALSE(s.Timer1.running || s.Timer2.running || s.Timer3.running);
}

INSTANTIATE_TEST_SUITE_P(Cases, EnterBeneathSummary,
                         ::testing::Values(SummaryEnterCase{Operation::Addition, 45, true, "6", true},
                                           SummaryEnterCase{Operation::Addition, 45, false, "5", true},
                                           SummaryEnterCase{Operation::Multiplication, 40, true, "5", true},
                                           SummaryEnterCase{Operation::Subtraction, 0, true, "1", true},
                                           SummaryEnterCase{Operation::Division, 45, true, "6", false},
                                           SummaryEnterCase{Operation::Division, 10, false, "1", false}),
                         [](const auto& info) {
                             return opName(info.param.op) + "_" + std::to_string(info.param.rightBefore) +
                                    "Right" + (info.param.typeRight ? "_ThenRight" : "_ThenWrong");
                         });

TEST(Summary, BothTickOrdersAfterEnterEndInTheSameSummary) {
    for (bool drawFirst : {true, false}) {
        Fixture f(Operation::Addition);
        Series& s = f.series;
        VirtualScheduler clock(s);
        playToSummary(s, clock, 30);
        s.setAnswer(rightAnswer(s));
        s.odpEnter(clock.now());
        ASSERT_TRUE(s.Timer1.running);
        if (drawFirst) {
            s.Timer1Timer();
            EXPECT_EQ(s.remaining(), -1);
            EXPECT_TRUE(s.Timer2.running);
        }
        s.Timer4Timer();
        EXPECT_EQ(stateOf(s), SeriesState::Summary) << drawFirst;
        EXPECT_FALSE(s.Timer1.running || s.Timer2.running || s.Timer3.running) << drawFirst;
        EXPECT_EQ(s.grade(), gradeFor(31)) << drawFirst;
        EXPECT_FALSE(s.armed(s.Timer4)) << drawFirst;
    }
}

TEST(Summary, WatcherRepeatsClosingStepsWithoutChange) {
    Fixture f(Operation::Addition);
    Series& s = f.series;
    VirtualScheduler clock(s);
    playToSummary(s, clock, 12);
    for (int i = 0; i < 50; ++i)
        s.Timer4Timer();                       // a watcher that kept ticking ...
    EXPECT_EQ(s.grade(), QStringLiteral("2")); // ... would change nothing
    EXPECT_EQ(stateOf(s), SeriesState::Summary);
    EXPECT_FALSE(s.armed(s.Timer4)); // so the window need not arm it
}

// ---- resets and the transitions table ------------------------------------------------------

TEST(Resets, AgainLeavesBarAndPauseTimersGradeOperandsAndAnswerAlone) {
    Fixture f(Operation::Addition);
    Series& s = f.series;
    VirtualScheduler clock(s);
    playToSummary(s, clock, 25);
    s.setAnswer(QStringLiteral("1")); // typed beneath the panel
    const Operands last = s.operands();
    s.Image1Click();
    EXPECT_EQ(stateOf(s), SeriesState::Welcome);
    EXPECT_EQ(s.remaining(), 50);
    EXPECT_EQ(s.rightCount(), 0);
    EXPECT_EQ(s.wrongCount(), 0);
    EXPECT_EQ(s.grade(), QStringLiteral("3"));
    EXPECT_EQ(s.answer(), QStringLiteral("1"));
    EXPECT_EQ(s.operands().left, last.left);
    EXPECT_TRUE(s.welcomeVisible() && s.startVisible());
    EXPECT_FALSE(s.problemVisible() || s.summaryVisible());
}

TEST(Resets, ClosingResetMidSeriesDropsItAndStopsEveryTimerButTheWatcher) {
    for (SeriesState at :
         {SeriesState::Drawing, SeriesState::Answering, SeriesState::Pause, SeriesState::Summary}) {
        Fixture f(Operation::Division);
        Series& s = f.series;
        VirtualScheduler clock(s);
        s.startClick();
        clock.sync();
        if (at == SeriesState::Summary)
            playToSummary(s, clock, 3);
        else
            ASSERT_TRUE(clock.runUntil([&] { return stateOf(s) == at; }));
        s.closingReset();
        EXPECT_EQ(stateOf(s), SeriesState::Welcome);
        EXPECT_FALSE(s.Timer1.running || s.Timer2.running || s.Timer3.running);
        EXPECT_TRUE(s.Timer4.running);
        EXPECT_EQ(s.remaining(), 50);
        EXPECT_EQ(s.bar(), 0);
        // and the next showing plays a full series again
        playToSummary(s, clock, 49);
        EXPECT_EQ(s.rightCount(), 49);
        EXPECT_EQ(s.grade(), QStringLiteral("6"));
    }
}

enum class Event { Start, Draw, Bar, Pause, Watcher, EnterRight, EnterWrong, Again, Close };

struct TransitionCase {
    const char* name;
    SeriesState from;
    Event event;
    SeriesState to;
};

class Transitions : public ::testing::TestWithParam<TransitionCase> {};

TEST_P(Transitions, FollowTheTable) {
    const TransitionCase c = GetParam();
    Fixture f(Operation::Addition);
    Series& s = f.series;
    VirtualScheduler clock(s);
    if (c.from == SeriesState::Summary) {
        playToSummary(s, clock, 20);
    } else if (c.from != SeriesState::Welcome) {
        s.startClick();
        clock.sync();
        ASSERT_TRUE(clock.runUntil([&] { return stateOf(s) == c.from; }));
    }
    if (c.event == Event::Bar) // the last bar tick of the problem
        while (s.bar() < 98)
            s.Timer2Timer();
    switch (c.event) {
    case Event::Start:
        s.startClick();
        break;
    case Event::Draw:
        s.Timer1Timer();
        break;
    case Event::Bar:
        s.Timer2Timer();
        break;
    case Event::Pause:
        s.Timer3Timer();
        break;
    case Event::Watcher:
        s.Timer4Timer();
        break;
    case Event::EnterRight:
        s.setAnswer(rightAnswer(s));
        s.odpEnter(clock.now());
        break;
    case Event::EnterWrong:
        s.setAnswer(QStringLiteral("x"));
        s.odpEnter(clock.now());
        break;
    case Event::Again:
        s.Image1Click();
        break;
    case Event::Close:
        s.closingReset();
        break;
    }
    EXPECT_EQ(stateOf(s), c.to) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Transitions,
    ::testing::Values(
        TransitionCase{"start", SeriesState::Welcome, Event::Start, SeriesState::Drawing},
        TransitionCase{"draw", SeriesState::Drawing, Event::Draw, SeriesState::Answering},
        TransitionCase{"bar full wrong", SeriesState::Answering, Event::Bar, SeriesState::Pause},
        TransitionCase{"pause tick", SeriesState::Pause, Event::Pause, SeriesState::Drawing},
        TransitionCase{"enter answering", SeriesState::Answering, Event::EnterWrong, SeriesState::Drawing},
        TransitionCase{"enter pause", SeriesState::Pause, Event::EnterRight, SeriesState::Drawing},
        TransitionCase{"enter drawing", SeriesState::Drawing, Event::EnterWrong, SeriesState::Drawing},
        TransitionCase{"watcher mid series", SeriesState::Answering, Event::Watcher, SeriesState::Answering},
        TransitionCase{"enter summary", SeriesState::Summary, Event::EnterRight, SeriesState::Summary},
        TransitionCase{"watcher summary", SeriesState::Summary, Event::Watcher, SeriesState::Summary},
        TransitionCase{"again", SeriesState::Summary, Event::Again, SeriesState::Welcome},
        TransitionCase{"close answering", SeriesState::Answering, Event::Close, SeriesState::Welcome},
        TransitionCase{"close pause", SeriesState::Pause, Event::Close, SeriesState::Welcome},
        TransitionCase{"close summary", SeriesState::Summary, Event::Close, SeriesState::Welcome}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (ch == ' ')
                ch = '_';
        return n;
    });

// ---- operation variants ----------------------------------------------------------------

struct DrawCase {
    Operation op;
    std::vector<int> values;
    bool drawn;
    int left;
    int right;
    const char* expected;
};

class Draws : public ::testing::TestWithParam<DrawCase> {};

TEST_P(Draws, PlaceTheNumbersAndExpectTheResult) {
    const DrawCase c = GetParam();
    Fixture f(c.op);
    Series& s = f.series;
    s.startClick();
    for (int v : c.values)
        f.random.push({v});
    s.Timer1Timer();
    EXPECT_EQ(f.random.reseeds, 1);
    if (!c.drawn) {
        EXPECT_EQ(s.remaining(), 50);
        EXPECT_EQ(s.operands().left, 33);
        EXPECT_EQ(s.operands().right, 5);
        EXPECT_TRUE(s.Timer1.running);
        EXPECT_FALSE(s.Timer2.running);
        return;
    }
    EXPECT_EQ(s.remaining(), 49);
    EXPECT_EQ(s.operands().left, c.left);
    EXPECT_EQ(s.operands().right, c.right);
    EXPECT_EQ(expectedText(c.op, s.operands()), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Variants, Draws,
                         ::testing::Values(DrawCase{Operation::Addition, {50, 49}, true, 50, 49, "99"},
                                           DrawCase{Operation::Addition, {0, 0}, true, 0, 0, "0"},
                                           DrawCase{Operation::Subtraction, {12, 40}, true, 40, 12, "28"},
                                           DrawCase{Operation::Subtraction, {40, 12}, true, 40, 12, "28"},
                                           DrawCase{Operation::Subtraction, {17, 17}, true, 17, 17, "0"},
                                           DrawCase{Operation::Multiplication, {9, 9}, true, 9, 9, "81"},
                                           DrawCase{Operation::Multiplication, {0, 6}, true, 0, 6, "0"},
                                           DrawCase{Operation::Division, {9, 9}, true, 81, 9, "9"},
                                           DrawCase{Operation::Division, {1, 1}, true, 1, 1, "1"},
                                           DrawCase{Operation::Division, {7, 3}, true, 21, 7, "3"},
                                           DrawCase{Operation::Division, {0, 5}, false, 0, 0, ""},
                                           DrawCase{Operation::Division, {5, 0}, false, 0, 0, ""}),
                         [](const auto& info) {
                             std::string name = opName(info.param.op);
                             for (int v : info.param.values)
                                 name += "_" + std::to_string(v);
                             return name;
                         });

class Ranges : public ::testing::TestWithParam<Operation> {};

TEST_P(Ranges, RandomDrawsStayInRangeAndReseedEveryTick) {
    Mt19937Source random;
    std::uint32_t seed = 1;
    Series s(GetParam(), random, [&] { return seed++; });
    VirtualScheduler clock(s);
    s.startClick();
    clock.sync();
    int lo1 = 1000, hi1 = -1, lo2 = 1000, hi2 = -1;
    for (int i = 0; i < 2000; ++i) {
        ASSERT_TRUE(clock.runUntil([&] { return stateOf(s) == SeriesState::Answering; }));
        const Operands o = s.operands();
        lo1 = std::min(lo1, o.left), hi1 = std::max(hi1, o.left);
        lo2 = std::min(lo2, o.right), hi2 = std::max(hi2, o.right);
        EXPECT_LE(expectedText(GetParam(), o).size(), 2);
        EXPECT_FALSE(expectedText(GetParam(), o).startsWith(QLatin1Char('-')));
        if (GetParam() == Operation::Division)
            EXPECT_EQ(o.left % o.right, 0);
        s.setAnswer(QStringLiteral("x"));
        s.odpEnter(clock.now());
        if (s.remaining() <= 1)
            s.closingReset(), s.startClick();
        clock.sync();
    }
    const std::map<Operation, std::array<int, 4>> bounds{{Operation::Addition, {0, 50, 0, 49}},
                                                         {Operation::Subtraction, {0, 49, 0, 49}},
                                                         {Operation::Multiplication, {0, 9, 0, 9}},
                                                         {Operation::Division, {1, 81, 1, 9}}};
    const auto b = bounds.at(GetParam());
    EXPECT_EQ(lo1, b[0]);
    EXPECT_EQ(hi1, b[1]);
    EXPECT_EQ(lo2, b[2]);
    EXPECT_EQ(hi2, b[3]);
    EXPECT_GE(seed, 2001u); // every draw tick reseeds, rejected division draws included
}

INSTANTIATE_TEST_SUITE_P(AllOperations, Ranges,
                         ::testing::Values(Operation::Addition, Operation::Subtraction,
                                           Operation::Multiplication, Operation::Division),
                         [](const auto& info) { return opName(info.param); });

// ---- timer semantics ------------------------------------------------------------------------

TEST(TimerStateRules, StartingARunningTimerChangesNothingStoppingDiscardsTheTick) {
    Fixture f(Operation::Addition);
    Series& s = f.series;
    VirtualScheduler clock(s);
    s.Timer3.start();
    clock.sync();
    clock.runFor(600);
    s.Timer3.start(); // no restart: still due at 1000
    clock.sync();
    clock.runFor(400);
    EXPECT_EQ(clock.fired(3), 1);
    s.Timer3.stop();
    clock.sync();
    s.Timer3.start(); // a fresh interval from now
    clock.sync();
    clock.runFor(999);
    EXPECT_EQ(clock.fired(3), 1);
    clock.runFor(1);
    EXPECT_EQ(clock.fired(3), 2);
}

TEST(Watcher, NeededOnlyWhileTheCountCanCloseTheSeries) {
    Fixture f(Operation::Addition);
    Series& s = f.series;
    VirtualScheduler clock(s);
    EXPECT_FALSE(s.armed(s.Timer4));
    s.startClick();
    clock.sync();
    clock.runFor(60'000);
    EXPECT_EQ(clock.fired(4), 0); // no watcher tick while problems remain
    playToSummary(s, clock, 5);
    EXPECT_EQ(stateOf(s), SeriesState::Summary);
    EXPECT_GE(clock.fired(4), 1);
    const int ticks = clock.fired(4);
    clock.runFor(10'000);
    EXPECT_EQ(clock.fired(4), ticks);
}
