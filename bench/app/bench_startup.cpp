// Start-up of the real program against a bare Qt window, measured in the same run on a private
// X server: the time from launch until the window's pixels are on screen, and the resident
// memory (VmRSS, and the peak VmHWM) at that moment and a second later, when the program has
// built its other windows. Median of several launches of each, taken in turn after one
// unmeasured launch of each (fontconfig's and the disk's caches warm).
//   bench_startup [launches] [program]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Launch {
    double ms = 0;
    double rssMb = 0;
    double hwmMb = 0;
    double settledMb = 0; // a second after the window is on screen
};

double statusMb(qint64 pid, const char* field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(line.find(':') + 1)) / 1024.0;
    return 0;
}

// A private Xvfb with a black root window, so that any drawn pixel at the screen's centre
// (where both windows are placed) says the window is on screen.
class PrivateX {
public:
    PrivateX() {
        m_server.setProcessChannelMode(QProcess::SeparateChannels);
        m_server.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1024x768x24"),
                        QStringLiteral("-br"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                        QStringLiteral("-displayfd"), QStringLiteral("1")});
        // The server writes its display number once it accepts connections.
        QByteArray number;
        while (!number.contains('\n') && m_server.waitForReadyRead(10000))
            number += m_server.readAllStandardOutput();
        m_display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        m_connection = xcb_connect(m_display.toLocal8Bit().constData(), nullptr);
        if (number.trimmed().isEmpty() || xcb_connection_has_error(m_connection)) {
            std::fprintf(stderr, "cannot start Xvfb\n");
            std::exit(1);
        }
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_root = screen->root;
        m_centreX = std::int16_t(screen->width_in_pixels / 2);
        m_centreY = std::int16_t(screen->height_in_pixels / 2);
    }

    ~PrivateX() {
        xcb_disconnect(m_connection);
        m_server.terminate();
        m_server.waitForFinished();
    }

    const QString& display() const { return m_display; }

    bool centreDrawn() {
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            m_connection,
            xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, m_centreX, m_centreY, 1, 1, ~0u),
            nullptr);
        bool drawn = false;
        if (reply) {
            const std::uint8_t* data = xcb_get_image_data(reply);
            for (int i = 0; i < xcb_get_image_data_length(reply); ++i)
                drawn = drawn || data[i] != 0;
            std::free(reply);
        }
        return drawn;
    }

private:
    QProcess m_server;
    QString m_display;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
    std::int16_t m_centreX = 0;
    std::int16_t m_centreY = 0;
};

Launch launch(PrivateX& x, const QString& program) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), x.display());
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    if (!process.waitForStarted()) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(program));
        std::exit(1);
    }
    while (!x.centreDrawn()) {
        if (process.state() != QProcess::Running || timer.elapsed() > 30000) {
            std::fprintf(stderr, "%s did not show a window\n", qPrintable(program));
            std::exit(1);
        }
        QThread::usleep(200);
    }
    Launch result;
    result.ms = double(timer.nsecsElapsed()) / 1e6;
    result.rssMb = statusMb(process.processId(), "VmRSS:");
    result.hwmMb = statusMb(process.processId(), "VmHWM:");
    QThread::sleep(1);
    result.settledMb = statusMb(process.processId(), "VmRSS:");
    process.kill();
    process.waitForFinished();
    // The next launch must find the screen black again.
    while (x.centreDrawn())
        QThread::usleep(200);
    return result;
}

Launch median(std::vector<Launch> launches) {
    const auto middle = [&launches](double Launch::*field) {
        std::vector<double> values;
        for (const Launch& l : launches)
            values.push_back(l.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    return {middle(&Launch::ms), middle(&Launch::rssMb), middle(&Launch::hwmMb), middle(&Launch::settledMb)};
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int launches = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const QString program = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(CYFROLIA_BINARY);
    const QString bare = QStringLiteral(BARE_WINDOW_BINARY);

    PrivateX x;
    launch(x, bare);
    launch(x, program);
    std::vector<Launch> bareRuns;
    std::vector<Launch> programRuns;
    for (int i = 0; i < launches; ++i) {
        bareRuns.push_back(launch(x, bare));
        programRuns.push_back(launch(x, program));
    }
    const Launch b = median(bareRuns);
    const Launch p = median(programRuns);
    std::printf("launch to the window on screen, median of %d launches each\n", launches);
    std::printf("%-16s %10s %10s %10s %10s\n", "", "time ms", "VmRSS MB", "VmHWM MB", "1 s later");
    std::printf("%-16s %10.1f %10.1f %10.1f %10.1f\n", "bare Qt window", b.ms, b.rssMb, b.hwmMb, b.settledMb);
    std::printf("%-16s %10.1f %10.1f %10.1f %10.1f\n", "Cyfrolia", p.ms, p.rssMb, p.hwmMb, p.settledMb);
    std::printf("RESULT start-up (launch to menu on screen) | %.0f ms | %.0f ms (bare Qt window) | %.2f\n",
                p.ms, b.ms, p.ms / b.ms);
    std::printf("RESULT memory (VmRSS at the menu) | %.1f MB | %.1f MB (bare Qt window) | %.2f\n", p.rssMb,
                b.rssMb, p.rssMb / b.rssMb);
    std::printf("RESULT peak memory (VmHWM at the menu) | %.1f MB | %.1f MB (bare Qt window) | %.2f\n",
                p.hwmMb, b.hwmMb, p.hwmMb / b.hwmMb);
    std::printf(
        "RESULT memory (VmRSS 1 s later, every window built) | %.1f MB | %.1f MB (bare Qt window) | %.2f\n",
        p.settledMb, b.settledMb, p.settledMb / b.settledMb);
    return 0;
}
