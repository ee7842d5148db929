// Cost of the links' hover watcher: one tick over the About window's link (control-at-point
// search, switching and the repaint it asks for) against the bare control-at-point search, and
// the watcher's ticks per second with the About window shown and hidden, all in the same run.
#include "about/link.h"
#include "about/link_checker.h"
#include "about/tabout_box.h"
#include "common/style.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

double nanosecondsPer(int rounds, const std::function<void()>& step) {
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < rounds; ++i)
        step();
    return double(clock.nsecsElapsed()) / rounds;
}

int ticksIn(int milliseconds) {
    int ticks = 0;
    const auto connection = QObject::connect(LinkTimer, &QTimer::timeout, [&] { ++ticks; });
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    QObject::disconnect(connection);
    return ticks;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    style::installFontSubstitutes();
    CreateLinkWatcher();
    {
        TAboutBox box;
        AboutBox = &box;
        box.show();
        QCoreApplication::processEvents();
        const QPoint overLink = box.Link1->mapToGlobal(box.Link1->rect().center());
        LinkChecker->SetPointerSource([&] { return overLink; });

        const int rounds = 20000;
        const double bare = nanosecondsPer(rounds, [&] { QApplication::widgetAt(overLink); });
        const double tick = nanosecondsPer(rounds, [&] {
            LinkChecker->CheckMouse();
            QCoreApplication::sendPostedEvents();
        });
        std::printf("watcher tick over a link: %.1f x the bare control-at-point search (%.0f ns)\n",
                    tick / bare, bare);
        std::printf(
            "RESULT link watcher (tick over a link) | %.0f ns | %.0f ns (control-at-point search) | %.1f\n",
            tick, bare, tick / bare);

        LinkChecker->SetPointerSource(nullptr);
        const int shown = ticksIn(1000);
        box.hide();
        QCoreApplication::processEvents();
        const int hidden = ticksIn(1000);
        std::printf(
            "watcher ticks per second: %d with the About window shown, %d with it hidden (%.2f of shown)\n",
            shown, hidden, shown ? double(hidden) / shown : 0.0);
        AboutBox = nullptr;
    }
    FreeLinkWatcher();
    return 0;
}
