#include "exercise/series_timer.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

// The real timer behind a series timer. Sleeping past an interval makes its tick due, so the
// next turn of the event loop tells whether that tick is still pending.
class TestSeriesTimer : public QObject {
    Q_OBJECT
private slots:
    void startingARunningTimerKeepsItsDueTick();
    void stoppingDiscardsThePendingTick();
    void stopAndStartInOneHandlerBeginsAFreshInterval();
};

namespace {

void turnEventLoop() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

void TestSeriesTimer::startingARunningTimerKeepsItsDueTick() {
    cyfrolia::TimerState state;
    state.interval = 200;
    SeriesTimer timer(QStringLiteral("Timer2"), state, nullptr);
    QSignalSpy ticks(&timer, &SeriesTimer::timeout);

    state.start();
    timer.sync(state.running);
    QThread::msleep(250);
    // Starting again changes nothing: the tick that is due now still comes now.
    state.start();
    timer.sync(state.running);
    turnEventLoop();
    QCOMPARE(ticks.count(), 1);
    QVERIFY(timer.isActive());
    QVERIFY(timer.isArmed());
}

void TestSeriesTimer::stoppingDiscardsThePendingTick() {
    cyfrolia::TimerState state;
    state.interval = 5;
    SeriesTimer timer(QStringLiteral("Timer3"), state, nullptr);
    QSignalSpy ticks(&timer, &SeriesTimer::timeout);

    state.start();
    timer.sync(state.running);
    QThread::msleep(30);
    state.stop();
    timer.sync(state.running);
    turnEventLoop();
    QCOMPARE(ticks.count(), 0);
    QVERIFY(!timer.isArmed());
}

void TestSeriesTimer::stopAndStartInOneHandlerBeginsAFreshInterval() {
    cyfrolia::TimerState state;
    state.interval = 200;
    SeriesTimer timer(QStringLiteral("Timer1"), state, nullptr);
    QSignalSpy ticks(&timer, &SeriesTimer::timeout);

    state.start();
    timer.sync(state.running);
    QThread::msleep(250);
    // Stopped and started again before the window shows the state: the due tick is gone.
    state.stop();
    state.start();
    timer.sync(state.running);
    turnEventLoop();
    QCOMPARE(ticks.count(), 0);
    QVERIFY(timer.isArmed());
    QTRY_COMPARE(ticks.count(), 1);
}

QTEST_GUILESS_MAIN(TestSeriesTimer)
#include "tst_series_timer.moc"
