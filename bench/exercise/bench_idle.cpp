// Idle cost of the program: wake-ups per second and CPU share while it sits at its menu, beside
// a bare Qt window and a bare window with four 1 ms timers (what always-armed end watchers cost),
// all measured in the same run.
#include <QApplication>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

struct Sample {
    long long switches = 0; // voluntary + involuntary context switches: the process's wake-ups
    long long cpuTicks = 0; // user + system
};

Sample sample(qint64 pid) {
    Sample s;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
            line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
            s.switches += std::stoll(line.substr(line.find(':') + 1));
    }
    // Threads' switches count too: sum over /proc/<pid>/task/*/status.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), {});
    const auto close = all.rfind(')');
    std::istringstream rest(all.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 15; ++i) {
        rest >> field;
        if (i == 14 || i == 15)
            s.cpuTicks += std::stoll(field);
    }
    return s;
}

struct Figures {
    double wakeupsPerSecond;
    double cpuPercent;
};

Figures measure(const QString& program, const QStringList& arguments, int settleMs, int seconds) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    process.waitForStarted();
    QThread::msleep(settleMs);
    const Sample before = sample(process.processId());
    QThread::sleep(seconds);
    const Sample after = sample(process.processId());
    process.kill();
    process.waitForFinished();
    const double hz = double(sysconf(_SC_CLK_TCK));
    return {double(after.switches - before.switches) / seconds,
            100.0 * double(after.cpuTicks - before.cpuTicks) / hz / seconds};
}

int runBareWindow(int argc, char* argv[], int timers) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(446, 495);
    window.show();
    for (int i = 0; i < timers; ++i) {
        auto* timer = new QTimer(&window);
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, &window, [] {});
        timer->start(1);
    }
    return app.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc > 1 && std::string(argv[1]) == "--bare")
        return runBareWindow(argc, argv, 0);
    if (argc > 1 && std::string(argv[1]) == "--bare-with-watchers")
        return runBareWindow(argc, argv, 4);

    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    const QString self = QCoreApplication::applicationFilePath();
    const Figures bare = measure(self, {QStringLiteral("--bare")}, 1000, seconds);
    const Figures watchers = measure(self, {QStringLiteral("--bare-with-watchers")}, 1000, seconds);
    const Figures program = measure(QStringLiteral(CYFROLIA_BINARY), {}, 1500, seconds);

    std::printf("idle for %d s %21s %10s\n", seconds, "wake-ups/s", "CPU %");
    std::printf("%-34s %14.1f %10.2f\n", "bare Qt window (baseline)", bare.wakeupsPerSecond, bare.cpuPercent);
    std::printf("%-34s %14.1f %10.2f\n", "bare window + four 1 ms timers", watchers.wakeupsPerSecond,
                watchers.cpuPercent);
    std::printf("%-34s %14.1f %10.2f\n", "Cyfrolia at its menu", program.wakeupsPerSecond,
                program.cpuPercent);
    std::printf("extra wake-ups/s over the bare window: always-armed watchers %.1f, Cyfrolia %.1f\n",
                watchers.wakeupsPerSecond - bare.wakeupsPerSecond,
                program.wakeupsPerSecond - bare.wakeupsPerSecond);
    // Nothing against nothing is even; something against nothing has no finite ratio.
    const auto ratio = [](double figure, double baseline) {
        return baseline > 0 ? QString::number(figure / baseline, 'f', 1)
                            : QString::fromLatin1(figure > 0 ? "inf" : "1.0");
    };
    std::printf("RESULT idle (wake-ups/s at the menu) | %.1f | %.1f (bare Qt window) | %s\n",
                program.wakeupsPerSecond, bare.wakeupsPerSecond,
                qPrintable(ratio(program.wakeupsPerSecond, bare.wakeupsPerSecond)));
    std::printf("RESULT idle (CPU %% at the menu) | %.2f | %.2f (bare Qt window) | %s\n", program.cpuPercent,
                bare.cpuPercent, qPrintable(ratio(program.cpuPercent, bare.cpuPercent)));
    return 0;
}
