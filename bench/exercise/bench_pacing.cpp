// Pacing of the exercise windows on the real event loop: the time from a draw to the judgement
// at full bar, against ticks x interval.
#include "app/window_set.h"
#include "exercise/tform2.h"
#include "exercise/tform3.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

namespace {

// Plays one problem with the right answer typed but not confirmed; returns milliseconds from its
// draw to its judgement at full bar.
double measure(ExerciseWindow* window, int interval) {
    window->setPace(interval);
    cyfrolia::Series& s = window->series();
    QElapsedTimer clock;
    double result = -1;
    int phase = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QEventLoop loop;
    // The window's own handlers run from its timers; the probe only watches the series.
    QObject::connect(
        window->Timer1, &SeriesTimer::timeout, &loop,
        [&] {
            if (phase == 0 && s.Timer2.running) {
                clock.start();
                window->odp->setText(cyfrolia::expectedText(s.operation(), s.operands()));
                phase = 1;
            }
        },
        Qt::QueuedConnection);
    QObject::connect(window->Timer2, &SeriesTimer::timeout, &loop, [&] {
        if (phase == 1 && s.rightCount() == 1) {
            result = double(clock.nsecsElapsed()) / 1e6;
            loop.quit();
        }
    });
    window->startClick();
    loop.exec();
    window->closingReset();
    return result;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    WindowSet windows;
    std::printf("%-16s %9s %6s %12s %12s %8s\n", "window", "interval", "ticks", "expected ms", "measured ms",
                "ratio");
    struct Row {
        ExerciseWindow* window;
        const char* name;
        int ticks;
        int interval;
    } rows[] = {{form2, "Dodawanie", 50, 100},
                {form2, "Dodawanie", 50, 300},
                {Form3, "Mnozenie", 34, 100},
                {Form3, "Mnozenie", 34, 300}};
    bool ok = true;
    QString results;
    for (const Row& r : rows) {
        const double expected = double(r.ticks) * r.interval;
        const double measured = measure(r.window, r.interval);
        const double ratio = measured / expected;
        ok = ok && ratio > 0.99 && ratio < 1.01;
        std::printf("%-16s %9d %6d %12.1f %12.1f %8.4f\n", r.name, r.interval, r.ticks, expected, measured,
                    ratio);
        results += QString::asprintf(
            "RESULT pacing (%s, %d ticks of %d ms) | %.1f ms | %.1f ms (the ticks' sum) | %.4f\n", r.name,
            r.ticks, r.interval, measured, expected, ratio);
    }
    std::printf("pacing within 1%%: %s\n", ok ? "yes" : "NO");
    std::printf("%s", qPrintable(results));
    return 0;
}
