// Shaping the menu from its 446 x 495 outline: the program's path (the 1-bit file kept indexed,
// scanned straight from its packed rows, one-pass union) against expanding it to colours and
// uniting one rectangle at a time, measured in the same run.
#include "shell/bmp_reader.h"
#include "shell/mask_scan.h"
#include "shell/window_shape.h"

#include <QElapsedTimer>
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

// The straightforward way: look at each pixel, unite each run as soon as it ends.
QRegion naiveRegion(const cyfrolia::Bitmap& bitmap) {
    QRegion region;
    for (int y = 0; y < bitmap.height; ++y) {
        int start = -1;
        for (int x = 0; x <= bitmap.width; ++x) {
            const bool inside = x < bitmap.width && (bitmap.pixel(x, y) & 0xffffff) != 0;
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

// The program's scan with the naive union: what the one-pass union alone saves.
QRegion fastScanNaiveUnion(const cyfrolia::Bitmap& bitmap) {
    QRegion region;
    cyfrolia::forEachBitmapRun(bitmap, 0, [&region](int left, int y, int right) {
        region = region.united(QRect(left, y, right - left, 1));
    });
    return region;
}

} // namespace

int main() {
    const QString path = QStringLiteral(CYFROLIA_ASSETS_DIR "/forma.bmp");
    constexpr auto kIndexed = cyfrolia::BmpPixels::KeepIndexed;
    const cyfrolia::Bitmap bitmap = cyfrolia::readBmpFile(path);
    const cyfrolia::Bitmap indexed = cyfrolia::readBmpFile(path, kIndexed);
    const QList<cyfrolia::MaskRect> runs = cyfrolia::scanMask(indexed, 0);
    if (!indexed.isIndexed() || runs != cyfrolia::scanMask(bitmap, 0)) {
        std::fprintf(stderr, "the indexed scan differs from the expanded one\n");
        return 1;
    }

    QRegion fast;
    QRegion slow;
    QRegion expanded;
    // What the menu does at every showing.
    const double readAndShape =
        medianMicros(51, [&] { fast = maskRegion(cyfrolia::readBmpFile(path, kIndexed), 0); });
    const double shape = medianMicros(51, [&] { fast = maskRegion(indexed, 0); });
    long long sink = 0;
    const double scanOnly = medianMicros(51, [&] {
        cyfrolia::forEachBitmapRun(indexed, 0, [&sink](int left, int, int right) { sink += right - left; });
    });
    // The same with the pixels expanded to colours first.
    const double readAndShapeExpanded =
        medianMicros(51, [&] { expanded = maskRegion(cyfrolia::readBmpFile(path), 0); });
    const double shapeExpanded = medianMicros(51, [&] { expanded = maskRegion(bitmap, 0); });
    std::uint64_t total = 0;
    const double onePass = medianMicros(51, [&] {
        for (std::uint32_t v : bitmap.pixels)
            total += v;
    });
    std::printf("one plain pass over the pixels (for scale): %.1f us (%llu)\n", onePass,
                (unsigned long long)(total & 1));
    const double naive = medianMicros(11, [&] { slow = naiveRegion(bitmap); });
    QRegion mixed;
    const double naiveUnion = medianMicros(11, [&] { mixed = fastScanNaiveUnion(indexed); });
    if (!(fast ^ slow).isEmpty() || !(fast ^ mixed).isEmpty() || !(fast ^ expanded).isEmpty()) {
        std::fprintf(stderr, "the two regions differ\n");
        return 1;
    }

    std::printf("mask %d x %d, %lld runs, region of %d rectangles\n", bitmap.width, bitmap.height,
                static_cast<long long>(runs.size()), int(fast.rectCount()));
    std::printf("read + scan + union (program): %9.1f us\n", readAndShape);
    std::printf("scan + union (program):        %9.1f us\n", shape);
    std::printf("  of which the scan alone:     %9.1f us (%lld inside pixels)\n", scanOnly, sink);
    std::printf("expanded to colours: read + scan + union %7.1f us, scan + union %6.1f us\n",
                readAndShapeExpanded, shapeExpanded);
    std::printf("naive: pixel loop + union per run: %5.1f us\n", naive);
    std::printf("program's scan + union per run:    %5.1f us\n", naiveUnion);
    std::printf("ratio naive / program:             %5.1f x (goal >= 10 x; program goal < 1000 us)\n",
                naive / shape);
    std::printf("ratio of the unions alone:         %5.1f x\n",
                (naiveUnion - scanOnly) / std::max(1.0, shape - scanOnly));
    return 0;
}
