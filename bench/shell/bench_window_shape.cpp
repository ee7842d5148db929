// Shaping the menu from its 446 x 495 outline at every showing (read the file, mask the black,
// build the region with Qt) against the straightforward way: load the image and unite one
// rectangle per run of pixels that are not black, measured in the same run.
#include "shell/mask_region.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QRegion>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Median of several runs, in microseconds.
double medianMicros(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QRegion runByRun(const QString& path, const QSize& window) {
    const QImage image(path);
    QRegion region;
    const int width = qMin(image.width(), window.width());
    for (int y = 0; y < qMin(image.height(), window.height()); ++y) {
        int start = -1;
        for (int x = 0; x <= width; ++x) {
            const bool inside = x < width && (image.pixel(x, y) & 0xffffff) != 0;
            if (inside && start < 0)
                start = x;
            if (!inside && start >= 0) {
                region = region.united(QRect(start, y, x - start, 1));
                start = -1;
            }
        }
    }
    return region;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString path = QStringLiteral(CYFROLIA_ASSETS_DIR "/forma.bmp");
    const QSize window(446, 495);

    QString failure;
    const auto readAndShape = [&] {
        const cyfrolia::Result<QImage> mask = cyfrolia::readMaskBitmap(path);
        failure = mask.failure();
        return mask ? cyfrolia::maskRegion(mask.value(), qRgb(0, 0, 0), window) : QRegion();
    };
    QRegion region;
    const double shaping = medianMicros(101, [&] { region = readAndShape(); });
    QRegion naive;
    const double baseline = medianMicros(21, [&] { naive = runByRun(path, window); });
    if (!failure.isEmpty() || region.isEmpty() || !(region ^ naive).isEmpty()) {
        std::fprintf(stderr, "cannot shape from %s: %s\n", qPrintable(path), qPrintable(failure));
        return 1;
    }
    // The worst a mask can do: alternating pixels, clipped to the window before the region is built.
    QImage board(2048, 2048, QImage::Format_Mono);
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x)
            board.setPixel(x, y, (x + y) % 2);
    QRegion boardRegion;
    const double worst =
        medianMicros(5, [&] { boardRegion = cyfrolia::maskRegion(board, qRgb(0, 0, 0), window); });

    std::printf("outline %d x %d: region of %d rectangles\n", window.width(), window.height(),
                int(region.rectCount()));
    std::printf("read + mask + region (menu's showing) %8.1f us\n", shaping);
    std::printf("load + unite run by run (baseline)     %8.1f us\n", baseline);
    std::printf("2048 x 2048 checkerboard mask          %8.1f us, %d rectangles within the window\n", worst,
                int(boardRegion.rectCount()));
    std::printf("RESULT shaping (read + region) | %.0f us | %.0f us (run by run) | %.2f\n", shaping, baseline,
                shaping / baseline);
    return 0;
}
